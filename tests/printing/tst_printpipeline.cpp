#include "PrintPipeline.h"
#include "ZorError.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

// The pipeline run with small stand-in tools in a throw-away installation: the log laid out
// line by line, the error lines of each tool, the pipes between the tools, the shell script
// of batch mode with a hostile image name, every failure path, and what is left behind.
class TestPrintPipeline : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pipesModeLog();
    void batchModeLog();
    void batchModeDebuggingInTerminal();
    void batchModeDebuggingWithoutTerminal_data();
    void batchModeDebuggingWithoutTerminal();
    void errorLines_data();
    void errorLines();
    void missingErrorFileGivesEmptySection();
    void hostileImageName_data();
    void hostileImageName();
    void toolCannotStart_data();
    void toolCannotStart();
    void spoolgateEndsEarlyWhileRastermillWrites();
    void logCannotBeCreated();
    void logWriteFailureFailsTheRequest();
    void abnormalToolEnds_data();
    void abnormalToolEnds();
    void errorLinesShownAreCapped();
    void cancelEndsTheTools_data();
    void cancelEndsTheTools();
    void terminalThatReturnsAtOnce();
    void shellQuoting_data();
    void shellQuoting();
    void exclusiveFiles();

private:
    void writeTool(const QString &name, const QByteArray &body);
    void writeStandardTools();
    void writeQuietTools();
    QString writeTerminal(const QByteArray &run);
    TPipelineRequest request(bool batch = false) const;
    QByteArray logText() const;
    QStringList leftovers() const;
    QByteArray recorded(const QString &name) const;

    QTemporaryDir m_root;
    QString m_install;
    QString m_out;
    QString m_elsewhere;
    QString m_image;
};

namespace {

QByteArray crlf(const QStringList &lines)
{
    QByteArray text;
    for (const QString &line : lines)
        text += line.toUtf8() + "\r\n";
    return text;
}

// The argv a stand-in tool noted, one NUL-ended entry each.
QStringList argvOf(const QByteArray &recorded)
{
    QStringList list;
    for (const QByteArray &part : recorded.split('\0'))
        list.append(QString::fromUtf8(part));
    if (!list.isEmpty() && list.last().isEmpty())
        list.removeLast();
    return list;
}

bool reapedOrGone(pid_t pid)
{
    return pid > 0 && ::kill(pid, 0) < 0 && errno == ESRCH;
}

} // namespace

void TestPrintPipeline::initTestCase()
{
    QVERIFY(m_root.isValid());
    // Rastermill reads the front end's standard input; no tool may wait on a terminal.
    const int devNull = ::open("/dev/null", O_RDONLY);
    QVERIFY(devNull >= 0);
    ::dup2(devNull, STDIN_FILENO);
    ::close(devNull);
    // No terminal window may open during the tests.
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
}

void TestPrintPipeline::init()
{
    QString tag = QString::fromLatin1(QTest::currentDataTag());
    tag.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"));
    const QString root =
        m_root.path() + u'/' + QString::fromLatin1(QTest::currentTestFunction()) + u'-' + tag;
    m_install = root + QStringLiteral("/zorlane/");
    m_out = root + QStringLiteral("/out/");
    m_elsewhere = root + QStringLiteral("/elsewhere");
    QVERIFY(QDir().mkpath(m_install + QStringLiteral("bin")));
    QVERIFY(QDir().mkpath(m_out));
    QVERIFY(QDir().mkpath(root + QStringLiteral("/photos")));
    QVERIFY(QDir().mkpath(m_elsewhere));
    m_elsewhere = QDir(m_elsewhere).canonicalPath();
    m_image = root + QStringLiteral("/photos/pier.tif");
    QFile image(m_image);
    QVERIFY(image.open(QIODevice::WriteOnly));
    QVERIFY(QDir::setCurrent(m_elsewhere));
}

void TestPrintPipeline::cleanup()
{
    QDir::setCurrent(m_root.path());
}

void TestPrintPipeline::writeTool(const QString &name, const QByteArray &body)
{
    QFile file(m_install + QStringLiteral("bin/") + name);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("#!/bin/sh\n" + body + '\n');
    file.close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

// Each tool notes its argv; Rastermill writes a raster, Inkforge passes it on marked,
// Spoolgate keeps what reaches it.
void TestPrintPipeline::writeStandardTools()
{
    const QByteArray out = QFile::encodeName(m_out);
    writeTool(QStringLiteral("Rastermill"),
              QByteArrayList{
                  "printf '%s\\0' \"$@\" > '" + out + "rastermill.args'",
                  "pwd -P > '" + out + "rastermill.pwd'",
                  "echo 'Warning: paper low' >&2",
                  "echo 'error: first' >&2",
                  "echo 'ERRORS ahead' >&2",
                  "echo ' ERROR indented' >&2",
                  "printf RASTER",
              }
                  .join('\n'));
    writeTool(QStringLiteral("Inkforge"),
              QByteArrayList{
                  "printf '%s\\0' \"$@\" > '" + out + "inkforge.args'",
                  "echo 'Error in curve' >&2",
                  "echo 'all fine' >&2",
                  "printf 'INK:'; cat",
              }
                  .join('\n'));
    writeTool(QStringLiteral("Spoolgate"),
              QByteArrayList{
                  "printf '%s\\0' \"$@\" > '" + out + "spoolgate.args'",
                  "cat > '" + out + "spooled'",
                  "echo >&2",
                  "echo 'queue offline' >&2",
              }
                  .join('\n'));
}

// Tools that do their part and say nothing.
void TestPrintPipeline::writeQuietTools()
{
    writeTool(QStringLiteral("Rastermill"), "printf RASTER");
    writeTool(QStringLiteral("Inkforge"), "printf 'INK:'; cat");
    writeTool(QStringLiteral("Spoolgate"), "cat > '" + QFile::encodeName(m_out) + "spooled'");
}

// A stand-in terminal: notes its arguments, drops the "-e" and then does what run says
// with the command in "$@".
QString TestPrintPipeline::writeTerminal(const QByteArray &run)
{
    const QString terminal = m_out + QStringLiteral("terminal");
    QFile file(terminal);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\nprintf '%s\\0' \"$@\" > '" + QFile::encodeName(m_out) +
               "terminal.args'\nshift\n" + run + '\n');
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return terminal;
}

TPipelineRequest TestPrintPipeline::request(bool batch) const
{
    TPipelineRequest r;
    r.InstallFolder = m_install;
    r.ProgramFolder = m_install + QStringLiteral("bin/");
    r.Arguments.JobPrefix = QStringLiteral("gui 0 0 2");
    r.Arguments.RastermillParameters =
        QStringLiteral("PPD=ModelA.ppd PRINTER=ModelA portrait=yes ColorModel=ZorRIP");
    r.Arguments.InkforgeParameters =
        QStringLiteral("PPD=ModelA.ppd PRINTER=ModelA ColorModel=ZorRIP ripGamma=m3");
    r.Arguments.ImagePath = m_image;
    r.Arguments.PrinterName = QStringLiteral("Darkroom Printer");
    r.PrintSource = QStringLiteral("Print");
    r.GuiVersion = QStringLiteral("0.1.0.1");
    r.RastermillVersion = QStringLiteral("2.8.0.1");
    r.InkforgeVersion = QStringLiteral("3.1");
    r.UseBatch = batch;
    return r;
}

QByteArray TestPrintPipeline::logText() const
{
    QFile file(m_install + QStringLiteral("ZorLog.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return "no log";
    return file.readAll();
}

// What the request left in the install folder besides the tools and the log.
QStringList TestPrintPipeline::leftovers() const
{
    QStringList names =
        QDir(m_install).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.removeAll(QStringLiteral("bin"));
    names.removeAll(QStringLiteral("ZorLog.txt"));
    return names;
}

QByteArray TestPrintPipeline::recorded(const QString &name) const
{
    QFile file(m_out + name);
    if (!file.open(QIODevice::ReadOnly))
        return "not run";
    return file.readAll();
}

void TestPrintPipeline::pipesModeLog()
{
    writeStandardTools();
    TPrintPipeline pipeline;
    const TPipelineResult result = pipeline.run(request());

    QVERIFY(!result.failed());
    QVERIFY(result.ErrorFlag);
    QCOMPARE(result.RastermillList, QStringList({"error: first", "ERRORS ahead"}));
    QCOMPARE(result.InkforgeList, QStringList({"Error in curve"}));
    QCOMPARE(result.SpoolgateList, QStringList({"", "queue offline"}));

    const QString image = m_image;
    // clang-format off
    QCOMPARE(logText(),
             crlf({"***** Diridu Log *****",
                   "      Version 0.1.0.1",
                   "      Print by Print",
                   "      Execution Mode is Pipes",
                   "",
                   "\"./bin/Rastermill\" gui 0 0 2 \"PPD=ModelA.ppd PRINTER=ModelA portrait=yes "
                   "ColorModel=ZorRIP\" \"" + image + "\"",
                   "\"./bin/Inkforge\" gui 0 0 2 \"PPD=ModelA.ppd PRINTER=ModelA "
                   "ColorModel=ZorRIP ripGamma=m3\"",
                   "\"./bin/Spoolgate\" \"Darkroom Printer\" - \"pier.tif\"",
                   "",
                   "***** Rastermill Log *****",
                   "      Version 2.8.0.1",
                   "",
                   "Warning: paper low",
                   "error: first",
                   "ERRORS ahead",
                   " ERROR indented",
                   "",
                   "***** Inkforge Log *****",
                   "      Version 3.1",
                   "",
                   "Error in curve",
                   "all fine",
                   "",
                   "***** Spoolgate Log *****",
                   "",
                   "",
                   "queue offline",
                   "",
                   "***** End of Log *****"}));
    // clang-format on

    // The pipes joined the tools, each got its own arguments and ran in the install folder.
    QCOMPARE(recorded(QStringLiteral("spooled")), QByteArray("INK:RASTER"));
    QCOMPARE(argvOf(recorded(QStringLiteral("rastermill.args"))),
             QStringList({"gui", "0", "0", "2",
                          "PPD=ModelA.ppd PRINTER=ModelA portrait=yes ColorModel=ZorRIP", image}));
    QCOMPARE(argvOf(recorded(QStringLiteral("inkforge.args"))),
             QStringList({"gui", "0", "0", "2",
                          "PPD=ModelA.ppd PRINTER=ModelA ColorModel=ZorRIP ripGamma=m3"}));
    QCOMPARE(argvOf(recorded(QStringLiteral("spoolgate.args"))),
             QStringList({"Darkroom Printer", "-", "pier.tif"}));
    QCOMPARE(QString::fromLocal8Bit(recorded(QStringLiteral("rastermill.pwd"))).trimmed(),
             QDir(m_install).canonicalPath());

    QCOMPARE(leftovers(), QStringList());
    QCOMPARE(QDir::currentPath(), m_elsewhere);
    QVERIFY(!pipeline.Rastermill.isRunning());
    QVERIFY(!pipeline.Inkforge.isRunning());
    QVERIFY(reapedOrGone(pipeline.Rastermill.processId()));
    QVERIFY(reapedOrGone(pipeline.Inkforge.processId()));
    QVERIFY(reapedOrGone(pipeline.Spoolgate.processId()));
}

void TestPrintPipeline::batchModeLog()
{
    writeStandardTools();
    TPrintPipeline pipeline;
    TPipelineRequest r = request(true);
    r.PrintSource = QStringLiteral("Monitor Folder");
    const TPipelineResult result = pipeline.run(r);

    QVERIFY(!result.failed());
    QCOMPARE(result.RastermillList, QStringList({"error: first", "ERRORS ahead"}));
    QCOMPARE(result.InkforgeList, QStringList({"Error in curve"}));
    QCOMPARE(result.SpoolgateList, QStringList({"", "queue offline"}));

    // The temporary names are the request's own: three different ones, in Zor form.
    const QString log = QString::fromUtf8(logText());
    static const QRegularExpression tempName(QStringLiteral("Zor[0-9A-F]{1,4}\\.tmp"));
    QSet<QString> names;
    for (const QRegularExpressionMatch &m : tempName.globalMatch(log))
        names.insert(m.captured());
    QCOMPARE(names.size(), 3);
    QString normalised = log;
    normalised.replace(tempName, QStringLiteral("ZorN.tmp"));

    const QString install = m_install;
    const QString image = m_image;
    // clang-format off
    QCOMPARE(normalised.toUtf8(),
             crlf({"***** Diridu Log *****",
                   "      Version 0.1.0.1",
                   "      Print by Monitor Folder",
                   "      Execution Mode is Batch File",
                   "",
                   "#!/bin/sh",
                   "cd '" + install + "'",
                   "'./bin/Rastermill' 2>'ZorN.tmp' 'gui' '0' '0' '2' 'PPD=ModelA.ppd "
                   "PRINTER=ModelA portrait=yes ColorModel=ZorRIP' '" + image + "' | "
                   "'./bin/Inkforge' 2>'ZorN.tmp' 'gui' '0' '0' '2' 'PPD=ModelA.ppd "
                   "PRINTER=ModelA ColorModel=ZorRIP ripGamma=m3' | "
                   "'./bin/Spoolgate' 2>'ZorN.tmp' 'Darkroom Printer' '-' 'pier.tif'",
                   "",
                   "***** Rastermill Log *****",
                   "      Version 2.8.0.1",
                   "",
                   "Warning: paper low",
                   "error: first",
                   "ERRORS ahead",
                   " ERROR indented",
                   "",
                   "***** Inkforge Log *****",
                   "      Version 3.1",
                   "",
                   "Error in curve",
                   "all fine",
                   "",
                   "***** Spoolgate Log *****",
                   "",
                   "",
                   "queue offline",
                   "",
                   "***** End of Log *****"}));
    // clang-format on

    QCOMPARE(recorded(QStringLiteral("spooled")), QByteArray("INK:RASTER"));
    QCOMPARE(leftovers(), QStringList());
    QCOMPARE(QDir::currentPath(), m_elsewhere);
}

void TestPrintPipeline::batchModeDebuggingInTerminal()
{
    writeStandardTools();
    // A stand-in terminal that runs the command after -e with no keyboard, so the pause at
    // the end returns at once, and no screen.
    const QString terminal = writeTerminal("exec \"$@\" < /dev/null > /dev/null");

    TPrintPipeline pipeline;
    pipeline.BatchExec.setTerminalProgram(terminal);
    TPipelineRequest r = request(true);
    r.Debugging = true;
    const TPipelineResult result = pipeline.run(r);
    QVERIFY(!result.failed());

    const QStringList lines = QString::fromUtf8(logText()).split(QStringLiteral("\r\n"));
    int pipelineLine = -1;
    for (int i = 0; i < lines.size() && pipelineLine < 0; ++i) {
        if (lines.at(i).startsWith(QLatin1String("'./bin/Rastermill'")))
            pipelineLine = i;
    }
    QVERIFY(pipelineLine > 0);
    // The script notes its process first and its status last, for a terminal that returns
    // before the script has run.
    QVERIFY(lines.at(pipelineLine - 1).startsWith(QLatin1String("echo \"$$\" >'Zor")));
    QCOMPARE(lines.mid(pipelineLine + 1, 5),
             QStringList({"status=$?", "echo", "echo",
                          "printf '%s' 'Press Enter to continue . . . '", "read -r answer"}));
    QVERIFY(lines.at(pipelineLine + 6).startsWith(QLatin1String("echo \"$status\" >'Zor")));
    QCOMPARE(lines.at(pipelineLine + 8), QStringLiteral("***** Rastermill Log *****"));

    const QStringList terminalArgs = argvOf(recorded(QStringLiteral("terminal.args")));
    QCOMPARE(terminalArgs.size(), 3);
    QCOMPARE(terminalArgs.mid(0, 2), QStringList({"-e", "/bin/sh"}));
    QVERIFY(QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(m_install) +
                               QStringLiteral("Zor[0-9A-F]{1,4}\\.sh$"))
                .match(terminalArgs.at(2))
                .hasMatch());
    QCOMPARE(recorded(QStringLiteral("spooled")), QByteArray("INK:RASTER"));
    QCOMPARE(leftovers(), QStringList());
}

void TestPrintPipeline::batchModeDebuggingWithoutTerminal_data()
{
    QTest::addColumn<QString>("terminal");
    QTest::newRow("no display, none set") << QString();
    QTest::newRow("the one set is missing") << "no-such-terminal";
}

void TestPrintPipeline::batchModeDebuggingWithoutTerminal()
{
    // With no terminal to show it in, the script runs as usual and waits for no key.
    QFETCH(QString, terminal);
    writeStandardTools();
    TPrintPipeline pipeline;
    if (!terminal.isEmpty())
        pipeline.BatchExec.setTerminalProgram(m_out + terminal);
    QVERIFY(pipeline.BatchExec.terminalToUse().isEmpty());
    TPipelineRequest r = request(true);
    r.Debugging = true;
    const TPipelineResult result = pipeline.run(r);
    QVERIFY(!result.failed());
    QVERIFY(!logText().contains("read -r"));
    QCOMPARE(recorded(QStringLiteral("spooled")), QByteArray("INK:RASTER"));
    QCOMPARE(leftovers(), QStringList());
}

void TestPrintPipeline::errorLines_data()
{
    QTest::addColumn<bool>("batch");
    QTest::addColumn<QByteArray>("rastermill");
    QTest::addColumn<QByteArray>("inkforge");
    QTest::addColumn<QByteArray>("spoolgate");
    QTest::addColumn<QStringList>("rastermillList");
    QTest::addColumn<QStringList>("inkforgeList");
    QTest::addColumn<QStringList>("spoolgateList");
    QTest::addColumn<bool>("errorFlag");

    for (const bool batch : {false, true}) {
        const QByteArray mode = batch ? "batch: " : "pipes: ";
        QTest::newRow(mode + "clean run")
            << batch << QByteArray() << QByteArray() << QByteArray() << QStringList()
            << QStringList() << QStringList() << false;
        QTest::newRow(mode + "warnings only")
            << batch << QByteArray("Warning: a\nnote ERROR later\n") << QByteArray("warn\n")
            << QByteArray() << QStringList() << QStringList() << QStringList() << false;
        QTest::newRow(mode + "error in any letter case")
            << batch << QByteArray("error: a\nErRoR b\n") << QByteArray("ERROR\n") << QByteArray()
            << QStringList({"error: a", "ErRoR b"}) << QStringList({"ERROR"}) << QStringList()
            << true;
        QTest::newRow(mode + "only Inkforge")
            << batch << QByteArray() << QByteArray("Errors: 2\n") << QByteArray() << QStringList()
            << QStringList({"Errors: 2"}) << QStringList() << true;
        QTest::newRow(mode + "CR LF and no last line end")
            << batch << QByteArray("ERROR one\r\nERROR two") << QByteArray() << QByteArray()
            << QStringList({"ERROR one", "ERROR two"}) << QStringList() << QStringList() << true;
        QTest::newRow(mode + "Spoolgate's empty line counts")
            << batch << QByteArray() << QByteArray() << QByteArray("\n") << QStringList()
            << QStringList() << QStringList({""}) << true;
        QTest::newRow(mode + "Spoolgate's every line counts")
            << batch << QByteArray() << QByteArray() << QByteArray("Warning\nsent\n")
            << QStringList() << QStringList() << QStringList({"Warning", "sent"}) << true;
    }
}

void TestPrintPipeline::errorLines()
{
    QFETCH(bool, batch);
    QFETCH(QByteArray, rastermill);
    QFETCH(QByteArray, inkforge);
    QFETCH(QByteArray, spoolgate);
    QFETCH(QStringList, rastermillList);
    QFETCH(QStringList, inkforgeList);
    QFETCH(QStringList, spoolgateList);
    QFETCH(bool, errorFlag);

    // Each tool writes the row's bytes to its standard error, kept in a file beside it.
    for (const auto &[tool, bytes] : {std::pair{QStringLiteral("Rastermill"), rastermill},
                                      std::pair{QStringLiteral("Inkforge"), inkforge},
                                      std::pair{QStringLiteral("Spoolgate"), spoolgate}}) {
        QFile text(m_out + tool + QStringLiteral(".stderr"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(bytes);
        text.close();
        writeTool(tool, "cat '" + QFile::encodeName(text.fileName()) + "' >&2\ncat");
    }

    TPrintPipeline pipeline;
    const TPipelineResult result = pipeline.run(request(batch));
    QVERIFY(!result.failed());
    QCOMPARE(result.RastermillList, rastermillList);
    QCOMPARE(result.InkforgeList, inkforgeList);
    QCOMPARE(result.SpoolgateList, spoolgateList);
    QCOMPARE(result.ErrorFlag, errorFlag);
    // The log holds every line the tools wrote, errors or not.
    const QByteArray log = logText();
    for (const QByteArray &bytes : {rastermill, inkforge, spoolgate}) {
        for (QByteArray line : bytes.split('\n')) {
            if (line.endsWith('\r'))
                line.chop(1);
            QVERIFY2(log.contains(line + "\r\n"), line.constData());
        }
    }
    QCOMPARE(leftovers(), QStringList());
}

void TestPrintPipeline::missingErrorFileGivesEmptySection()
{
    // A tool that removes its own error file: its section is there, empty, and no error.
    writeTool(QStringLiteral("Rastermill"), "for f in Zor*.tmp; do rm -f \"$f\"; done");
    writeTool(QStringLiteral("Inkforge"), "cat");
    writeTool(QStringLiteral("Spoolgate"), "cat > /dev/null");
    TPrintPipeline pipeline;
    const TPipelineResult result = pipeline.run(request(true));
    QVERIFY(!result.failed());
    QVERIFY(!result.ErrorFlag);
    // clang-format off
    QVERIFY(logText().endsWith(crlf({"",
                                     "***** Rastermill Log *****",
                                     "      Version 2.8.0.1",
                                     "",
                                     "",
                                     "***** Inkforge Log *****",
                                     "      Version 3.1",
                                     "",
                                     "",
                                     "***** Spoolgate Log *****",
                                     "",
                                     "",
                                     "***** End of Log *****"})));
    // clang-format on
    QCOMPARE(leftovers(), QStringList());
}

void TestPrintPipeline::hostileImageName_data()
{
    QTest::addColumn<bool>("batch");
    QTest::newRow("batch") << true;
    QTest::newRow("pipes") << false;
}

void TestPrintPipeline::hostileImageName()
{
    QFETCH(bool, batch);
    writeStandardTools();

    const QString name = QStringLiteral("a \"b\" 'c' $(touch pwned) `touch pwned2` and a\n"
                                        "newline.tif");
    const QString image = QFileInfo(m_image).absolutePath() + u'/' + name;
    QFile file(image);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    TPrintPipeline pipeline;
    TPipelineRequest r = request(batch);
    r.Arguments.ImagePath = image;
    r.Arguments.PrinterName = QStringLiteral("Queue 'x' $HOME");
    const TPipelineResult result = pipeline.run(r);
    QVERIFY(!result.failed());

    // The tools got the name exactly, and nothing in it ran.
    QCOMPARE(argvOf(recorded(QStringLiteral("rastermill.args"))).last(), image);
    QCOMPARE(argvOf(recorded(QStringLiteral("spoolgate.args"))),
             QStringList({"Queue 'x' $HOME", "-", name}));
    QDirIterator all(m_root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (all.hasNext()) {
        const QString found = all.next();
        QVERIFY2(!found.endsWith(QLatin1String("/pwned")) &&
                     !found.endsWith(QLatin1String("/pwned2")),
                 qPrintable(found));
    }
    QCOMPARE(recorded(QStringLiteral("spooled")), QByteArray("INK:RASTER"));
    QCOMPARE(leftovers(), QStringList());
}

void TestPrintPipeline::toolCannotStart_data()
{
    QTest::addColumn<QString>("missing");
    QTest::addColumn<int>("commandLines");
    QTest::addColumn<bool>("errorFlag");
    QTest::newRow("Rastermill") << "Rastermill" << 1 << false;
    QTest::newRow("Inkforge") << "Inkforge" << 2 << false;
    QTest::newRow("Spoolgate") << "Spoolgate" << 3 << true;
}

void TestPrintPipeline::toolCannotStart()
{
    QFETCH(QString, missing);
    QFETCH(int, commandLines);
    QFETCH(bool, errorFlag);

    // The tools that do start keep running until they are ended.
    writeTool(QStringLiteral("Rastermill"), "echo 'ERROR lost' >&2\nexec sleep 30");
    writeTool(QStringLiteral("Inkforge"), "echo 'ERROR lost' >&2\nexec sleep 30");
    writeTool(QStringLiteral("Spoolgate"), "cat > /dev/null");
    QVERIFY(QFile::remove(m_install + QStringLiteral("bin/") + missing));

    TPrintPipeline pipeline;
    const TPipelineResult result = pipeline.run(request());

    const QString message = QStringLiteral("Could not start ") + missing;
    QCOMPARE(result.FailureMessage, message);
    QCOMPARE(result.ErrorFlag, errorFlag);
    QCOMPARE(result.RastermillList, QStringList());
    QCOMPARE(result.InkforgeList, QStringList());
    QCOMPARE(result.SpoolgateList, QStringList());
    try {
        result.raiseIfFailed();
        QFAIL("no error raised");
    } catch (const ZorError &error) {
        QCOMPARE(error.message(), message);
    }

    QStringList expected{"***** Diridu Log *****", "      Version 0.1.0.1", "      Print by Print",
                         "      Execution Mode is Pipes", ""};
    const QStringList commands{
        "\"./bin/Rastermill\" gui 0 0 2 \"PPD=ModelA.ppd PRINTER=ModelA portrait=yes "
        "ColorModel=ZorRIP\" \"" +
            m_image + "\"",
        "\"./bin/Inkforge\" gui 0 0 2 \"PPD=ModelA.ppd PRINTER=ModelA ColorModel=ZorRIP "
        "ripGamma=m3\"",
        "\"./bin/Spoolgate\" \"Darkroom Printer\" - \"pier.tif\""};
    expected += commands.mid(0, commandLines);
    expected += {"Error: " + message, "", "***** End of Log *****"};
    QCOMPARE(logText(), crlf(expected));

    QVERIFY(!pipeline.Rastermill.isRunning());
    QVERIFY(!pipeline.Inkforge.isRunning());
    if (commandLines > 1)
        QVERIFY(reapedOrGone(pipeline.Rastermill.processId()));
    if (commandLines > 2)
        QVERIFY(reapedOrGone(pipeline.Inkforge.processId()));
    QCOMPARE(leftovers(), QStringList());
    QCOMPARE(QDir::currentPath(), m_elsewhere);
}

void TestPrintPipeline::spoolgateEndsEarlyWhileRastermillWrites()
{
    // Rastermill shrugs off the broken pipe and goes on writing; Spoolgate gives up at once.
    writeTool(QStringLiteral("Rastermill"),
              "trap '' PIPE\n"
              "echo 'ERROR raster' >&2\n"
              "while :; do echo data 2>/dev/null || sleep 0.05; done");
    writeTool(QStringLiteral("Inkforge"), "cat");
    // Spoolgate takes one byte first, so Rastermill is surely past its first line.
    writeTool(QStringLiteral("Spoolgate"),
              "head -c 1 > /dev/null\necho 'printer gone' >&2\nexit 1");

    TPrintPipeline pipeline;
    const TPipelineResult result = pipeline.run(request());
    QVERIFY(!result.failed());
    QCOMPARE(result.RastermillList, QStringList({"ERROR raster"}));
    QCOMPARE(result.SpoolgateList, QStringList({"printer gone"}));
    QVERIFY(!pipeline.Rastermill.isRunning());
    QVERIFY(!pipeline.Inkforge.isRunning());
    QVERIFY(reapedOrGone(pipeline.Rastermill.processId()));
    QVERIFY(reapedOrGone(pipeline.Inkforge.processId()));
    // clang-format off
    QVERIFY(logText().endsWith(crlf({"***** Spoolgate Log *****", "", "printer gone", "",
                                     "***** End of Log *****"})));
    // clang-format on
    QCOMPARE(leftovers(), QStringList());
}

void TestPrintPipeline::logCannotBeCreated()
{
    writeStandardTools();
    QVERIFY(QDir().mkpath(m_install + QStringLiteral("ZorLog.txt")));
    TPrintPipeline pipeline;
    const TPipelineResult result = pipeline.run(request());
    QVERIFY(result.FailureMessage.startsWith(QLatin1String("Cannot Create Log File ")));
    QCOMPARE(recorded(QStringLiteral("rastermill.args")), QByteArray("not run"));
    QCOMPARE(leftovers(), QStringList());
    QCOMPARE(QDir::currentPath(), m_elsewhere);
}

// A full disk: the log cannot be written, and the request fails saying so instead of
// looking like a success.
void TestPrintPipeline::logWriteFailureFailsTheRequest()
{
    writeStandardTools();
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), m_install + QStringLiteral("ZorLog.txt")));
    TPrintPipeline pipeline;
    const TPipelineResult result = pipeline.run(request());
    QVERIFY(result.failed());
    QVERIFY2(result.FailureMessage.startsWith(QStringLiteral("Unable to write to ") + m_install +
                                              QStringLiteral("ZorLog.txt")),
             qPrintable(result.FailureMessage));
    QVERIFY2(result.FailureMessage.contains(QLatin1String("No space left on device")),
             qPrintable(result.FailureMessage));
    // What the tools reported still reaches the error display.
    QCOMPARE(result.InkforgeList, QStringList({"Error in curve"}));
    QVERIFY(result.ErrorFlag);
    QCOMPARE(recorded(QStringLiteral("spooled")), QByteArray("INK:RASTER"));
    QCOMPARE(leftovers(), QStringList());
}

void TestPrintPipeline::abnormalToolEnds_data()
{
    QTest::addColumn<bool>("batch");
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("reported");

    QTest::newRow("killed by a signal")
        << false << "Rastermill" << QByteArray("printf RASTER; kill -KILL $$")
        << "Rastermill was ended by signal 9 (Killed)";
    QTest::newRow("non-zero exit, no error line")
        << false << "Inkforge" << QByteArray("cat; exit 3") << "Inkforge ended with exit code 3";
    QTest::newRow("Spoolgate fails silently")
        << false << "Spoolgate" << QByteArray("cat > /dev/null; exit 2")
        << "Spoolgate ended with exit code 2";
    // The error line says it already.
    QTest::newRow("non-zero exit with an error line")
        << false << "Inkforge" << QByteArray("cat; echo 'ERROR no curve' >&2; exit 1")
        << "ERROR no curve";
    // The script's status is its last tool's.
    QTest::newRow("batch, Spoolgate fails silently")
        << true << "Spoolgate" << QByteArray("cat > /dev/null; exit 4")
        << "Spoolgate ended with exit code 4";
    QTest::newRow("batch, Spoolgate killed")
        << true << "Spoolgate" << QByteArray("cat > /dev/null; kill -TERM $$")
        << "Spoolgate was ended by signal 15 (Terminated)";
}

void TestPrintPipeline::abnormalToolEnds()
{
    QFETCH(bool, batch);
    QFETCH(QString, tool);
    QFETCH(QByteArray, body);
    QFETCH(QString, reported);
    writeQuietTools();
    writeTool(tool, body);
    TPrintPipeline pipeline;
    const TPipelineResult result = pipeline.run(request(batch));
    QVERIFY(!result.failed());
    QVERIFY(result.ErrorFlag);
    const QStringList expected{reported};
    const QStringList none;
    QCOMPARE(result.RastermillList, tool == QLatin1String("Rastermill") ? expected : none);
    QCOMPARE(result.InkforgeList, tool == QLatin1String("Inkforge") ? expected : none);
    QCOMPARE(result.SpoolgateList, tool == QLatin1String("Spoolgate") ? expected : none);
    // The end is in the tool's own section, once.
    const QString log = QString::fromUtf8(logText());
    const qsizetype section = log.indexOf(QStringLiteral("***** ") + tool);
    QVERIFY(section >= 0);
    QCOMPARE(log.count(reported), 1);
    QVERIFY(log.indexOf(reported) > section);
    QVERIFY(log.indexOf(reported) < log.indexOf(QStringLiteral("\r\n*****"), section));
    QCOMPARE(leftovers(), QStringList());
}

void TestPrintPipeline::errorLinesShownAreCapped()
{
    writeQuietTools();
    // One endless line, then far more error lines than anybody reads in a list.
    writeTool(QStringLiteral("Rastermill"),
              "printf 'ERROR %01000d\\n' 0 >&2\n"
              "i=1; while [ $i -lt 150 ]; do echo \"ERROR line $i\" >&2; i=$((i+1)); done\n"
              "printf RASTER");
    TPrintPipeline pipeline;
    const TPipelineResult result = pipeline.run(request());
    const QStringList &list = result.RastermillList;
    QCOMPARE(list.size(), TPrintPipeline::MaxErrorLines + 1);
    QCOMPARE(list.first().size(), TPrintPipeline::MaxErrorLineLength + 3);
    QVERIFY(list.first().endsWith(QLatin1String("000...")));
    QCOMPARE(list.at(TPrintPipeline::MaxErrorLines - 1), QStringLiteral("ERROR line 99"));
    QCOMPARE(list.last(), QStringLiteral("... 50 more lines are in ") + m_install +
                              QStringLiteral("ZorLog.txt"));
    // The log keeps every line whole.
    const QByteArray log = logText();
    QVERIFY(log.contains("ERROR line 149\r\n"));
    QVERIFY(log.contains("ERROR " + QByteArray(1000, '0') + "\r\n"));
}

void TestPrintPipeline::cancelEndsTheTools_data()
{
    QTest::addColumn<bool>("batch");
    QTest::newRow("pipes") << false;
    QTest::newRow("batch") << true;
}

// A hung Spoolgate: cancelling ends the wait and the tools, and the log says so.
void TestPrintPipeline::cancelEndsTheTools()
{
    QFETCH(bool, batch);
    writeQuietTools();
    const QByteArray pidFile = QFile::encodeName(m_out) + "spoolgate.pid";
    writeTool(QStringLiteral("Spoolgate"), "echo $$ > '" + pidFile + ".tmp'; mv '" + pidFile +
                                               ".tmp' '" + pidFile + "'; exec sleep 60");
    TPrintPipeline pipeline;
    QTimer cancel;
    cancel.setInterval(20);
    connect(&cancel, &QTimer::timeout, &cancel, [&] {
        if (QFile::exists(m_out + QStringLiteral("spoolgate.pid"))) {
            cancel.stop();
            pipeline.cancel(QStringLiteral("by the user"));
        }
    });
    cancel.start();
    QElapsedTimer clock;
    clock.start();
    const TPipelineResult result = pipeline.run(request(batch));
    QVERIFY(clock.elapsed() < 20000);
    QVERIFY(result.Cancelled);
    QVERIFY(!result.failed());
    QVERIFY(!pipeline.running());
    const QByteArray log = logText();
    QVERIFY2(log.contains("\r\nCancelled: by the user\r\n"), log.constData());
    QVERIFY(log.endsWith("***** End of Log *****\r\n"));
    const pid_t spoolgate = pid_t(recorded(QStringLiteral("spoolgate.pid")).trimmed().toInt());
    QVERIFY(spoolgate > 0);
    QTRY_VERIFY(reapedOrGone(spoolgate));
    QCOMPARE(leftovers(), QStringList());
    // A later request runs as usual.
    writeQuietTools();
    QVERIFY(!pipeline.run(request(batch)).Cancelled);
    QCOMPARE(recorded(QStringLiteral("spooled")), QByteArray("INK:RASTER"));
}

// A terminal that hands the script on and returns at once: the request waits for the
// script, which must still be there when it begins.
void TestPrintPipeline::terminalThatReturnsAtOnce()
{
    writeQuietTools();
    const QString terminal =
        writeTerminal("(sleep 0.5; exec \"$@\" < /dev/null > /dev/null 2>&1) &\nexit 0");
    TPrintPipeline pipeline;
    pipeline.BatchExec.setTerminalProgram(terminal);
    TPipelineRequest r = request(true);
    r.Debugging = true;
    const TPipelineResult result = pipeline.run(r);
    QVERIFY2(!result.failed(), qPrintable(result.FailureMessage));
    QVERIFY(!result.ErrorFlag);
    QCOMPARE(recorded(QStringLiteral("spooled")), QByteArray("INK:RASTER"));
    QCOMPARE(leftovers(), QStringList());
}

void TestPrintPipeline::shellQuoting_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "pier.tif";
    QTest::newRow("empty") << "";
    QTest::newRow("blanks") << "dark room/pier 1.tif";
    QTest::newRow("single quotes") << "it's 'quoted'";
    QTest::newRow("only a quote") << "'";
    QTest::newRow("double quotes") << "a \"b\"";
    QTest::newRow("command substitution") << "$(touch pwned)";
    QTest::newRow("backticks") << "`touch pwned2`";
    QTest::newRow("variables and globs") << "$HOME * ? [a] ~";
    QTest::newRow("backslashes") << "a\\b\\'c\\";
    QTest::newRow("newline and tab") << "line one\nline\ttwo";
    QTest::newRow("shell syntax") << "; | & > < ( ) { } # !";
    QTest::newRow("non-ASCII") << "Schärfe – Ω.tif";
}

void TestPrintPipeline::shellQuoting()
{
    // The shell itself reads the quoted text back: it must give the text, unchanged.
    QFETCH(QString, text);
    const QString output = m_out + QStringLiteral("echoed");
    TProcessRunner shell;
    shell.setExecuteName(QStringLiteral("/bin/sh"));
    shell.setArguments({QStringLiteral("-c"), QStringLiteral("printf '%s' ") + shellQuoted(text) +
                                                  QStringLiteral(" > ") + shellQuoted(output)});
    shell.setStartInString(m_out);
    QVERIFY(shell.Execute());
    QCOMPARE(shell.exitCode(), 0);
    QFile file(output);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), text);
    QVERIFY(!QFile::exists(m_out + QStringLiteral("pwned")));
    QVERIFY(!QFile::exists(m_out + QStringLiteral("pwned2")));
}

void TestPrintPipeline::exclusiveFiles()
{
    static const QRegularExpression form(QStringLiteral("^Zor[1-9A-F][0-9A-F]{0,3}\\.tmp$"));
    QSet<QString> names;
    for (int i = 0; i < 300; ++i) {
        const TExclusiveFile file = createZorFile(m_install, QStringLiteral(".tmp"));
        QVERIFY2(file.fd >= 0, qPrintable(file.error));
        QVERIFY2(form.match(file.name).hasMatch(), qPrintable(file.name));
        QVERIFY(!names.contains(file.name));
        names.insert(file.name);
        // Open for writing, and not handed to programs started later.
        QCOMPARE(::write(file.fd, "x", 1), ssize_t(1));
        QVERIFY(::fcntl(file.fd, F_GETFD) & FD_CLOEXEC);
        ::close(file.fd);
    }
    QCOMPARE(QDir(m_install).entryList({QStringLiteral("Zor*.tmp")}, QDir::Files).size(), 300);

    const TExclusiveFile nowhere =
        createZorFile(m_install + QStringLiteral("missing/"), QStringLiteral(".sh"));
    QCOMPARE(nowhere.fd, -1);
    QVERIFY(!nowhere.error.isEmpty());
}

QTEST_GUILESS_MAIN(TestPrintPipeline)
#include "tst_printpipeline.moc"
