#include "ToolRun.h"
#include "ToolTestTiff.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <cups/cups.h>

// Spoolgate and the whole pipeline Rastermill | Inkforge | Spoolgate against the private
// scheduler of the test fixture, whose queues append each job to <queue>.out.
class TestSpoolgate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void answersVersion();
    void sendsStandardInputAsOneJob();
    void sendsAFile();
    void copiesComeFromThePrinterData();
    void refusesIncompleteData_data();
    void refusesIncompleteData();
    void reportsUnknownQueue();
    void reportsUnreachableServer();
    void reportsMissingData();
    void rejectsBadArguments_data();
    void rejectsBadArguments();
    void pipelinePrints();
    void pipelineToUnknownQueueBlamesOnlySpoolgate();

private:
    QByteArray captured(const QString &queue, qint64 from) const;
    qint64 capturedSize(const QString &queue) const;
    bool jobTitled(const QString &queue, const QString &title) const;
    QString uniqueTitle() const;

    QTemporaryDir m_dir;
};

namespace {

const QString Office = QStringLiteral("Office_Printer");
const QString Pro3800 = QStringLiteral("Epson_Stylus_Pro_3800");
constexpr int JobWaitMs = 30000;

QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char &c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

QByteArray printerData(int copies, const QByteArray &payload, qint64 announced = -1)
{
    return "ZORPRN 1\nModel: Test\nCopies: " + QByteArray::number(copies) +
           "\nDataBytes: " + QByteArray::number(announced < 0 ? payload.size() : announced) +
           "\n\n" + payload;
}

} // namespace

void TestSpoolgate::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(!qEnvironmentVariableIsEmpty("CUPS_SERVER"), "runs with the private scheduler");
    QVERIFY(QFile::exists(QStringLiteral(DIRIDU_TEST_CUPS_DIR "/Office_Printer.out")));
}

QByteArray TestSpoolgate::captured(const QString &queue, qint64 from) const
{
    QFile file(QStringLiteral(DIRIDU_TEST_CUPS_DIR "/%1.out").arg(queue));
    if (!file.open(QIODevice::ReadOnly) || !file.seek(from))
        return {};
    return file.readAll();
}

qint64 TestSpoolgate::capturedSize(const QString &queue) const
{
    return QFileInfo(QStringLiteral(DIRIDU_TEST_CUPS_DIR "/%1.out").arg(queue)).size();
}

bool TestSpoolgate::jobTitled(const QString &queue, const QString &title) const
{
    cups_job_t *jobs = nullptr;
    const int count =
        cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
    bool found = false;
    for (int i = 0; i < count; ++i)
        found = found || QString::fromUtf8(jobs[i].title) == title;
    cupsFreeJobs(count, jobs);
    return found;
}

QString TestSpoolgate::uniqueTitle() const
{
    return QStringLiteral("print-%1.tif").arg(QUuid::createUuid().toString(QUuid::WithoutBraces));
}

void TestSpoolgate::answersVersion()
{
    const ToolRun run = runTool(QStringLiteral(SPOOLGATE_PATH), {"--version"}, m_dir.path());
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    const QString first = QString::fromUtf8(run.out).section(QLatin1Char('\n'), 0, 0);
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d+, \\d+, \\d+, \\d+$")).match(first).hasMatch(),
             qPrintable(first));
}

void TestSpoolgate::sendsStandardInputAsOneJob()
{
    const QString title = uniqueTitle();
    const QByteArray payload = title.toUtf8() + randomBytes(200000, 1);
    const qint64 before = capturedSize(Office);
    const ToolRun run = runTool(QStringLiteral(SPOOLGATE_PATH), {Office, "-", title},
                                QStringLiteral(DIRIDU_DEMO_INSTALL), payload);
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    QVERIFY2(run.err.isEmpty(), run.err.constData()); // the front end counts any line as failure
    QTRY_VERIFY_WITH_TIMEOUT(captured(Office, before).contains(payload), JobWaitMs);
    QCOMPARE(captured(Office, before).count(payload), 1);
    QVERIFY(jobTitled(Office, title));
}

void TestSpoolgate::sendsAFile()
{
    const QString title = uniqueTitle();
    const QString path = m_dir.filePath(title);
    const QByteArray payload = title.toUtf8() + randomBytes(5000, 2);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(payload);
    file.close();
    const qint64 before = capturedSize(Office);
    const ToolRun run = runTool(QStringLiteral(SPOOLGATE_PATH), {Office, path}, m_dir.path());
    QVERIFY2(run.succeeded() && run.err.isEmpty(), qPrintable(run.describe()));
    QTRY_VERIFY_WITH_TIMEOUT(captured(Office, before).contains(payload), JobWaitMs);
    QVERIFY(jobTitled(Office, title));
}

void TestSpoolgate::copiesComeFromThePrinterData()
{
    const QString title = uniqueTitle();
    const QByteArray job = printerData(3, title.toUtf8() + randomBytes(30000, 3));
    const qint64 before = capturedSize(Office);
    const ToolRun run =
        runTool(QStringLiteral(SPOOLGATE_PATH), {Office, "-", title}, m_dir.path(), job);
    QVERIFY2(run.succeeded() && run.err.isEmpty(), qPrintable(run.describe()));
    QTRY_VERIFY_WITH_TIMEOUT(captured(Office, before).contains(job + job + job), JobWaitMs);
}

void TestSpoolgate::refusesIncompleteData_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("message");
    const QByteArray payload = randomBytes(1000, 4);
    QTest::newRow("fewer bytes than announced") << printerData(1, payload, 5000) << "1000 of 5000";
    QTest::newRow("more bytes than announced") << printerData(1, payload, 10) << "1000 of 10";
    QTest::newRow("header never ends")
        << QByteArray("ZORPRN 1\nCopies: 1\n") + QByteArray(70000, 'x') << "damaged";
    QTest::newRow("no byte count") << QByteArray("ZORPRN 1\nCopies: 2\n\n") + payload << "damaged";
}

void TestSpoolgate::refusesIncompleteData()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, message);
    const QString title = uniqueTitle();
    const ToolRun run =
        runTool(QStringLiteral(SPOOLGATE_PATH), {Office, "-", title}, m_dir.path(), data);
    QVERIFY2(run.failedCleanly(), qPrintable(run.describe()));
    QVERIFY2(run.errorLines().join(u'\n').contains(message), qPrintable(run.describe()));
    QVERIFY(!jobTitled(Office, title)); // no job was made, so none can print later
}

void TestSpoolgate::reportsUnknownQueue()
{
    const ToolRun run = runTool(QStringLiteral(SPOOLGATE_PATH), {"No_Such_Printer", "-", "x.tif"},
                                m_dir.path(), printerData(1, "abc"));
    QVERIFY2(run.failedCleanly(), qPrintable(run.describe()));
    QVERIFY2(run.errorLines().join(u'\n').contains("\"No_Such_Printer\" not found"),
             qPrintable(run.describe()));
}

void TestSpoolgate::reportsUnreachableServer()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CUPS_SERVER"), m_dir.filePath(QStringLiteral("none.sock")));
    const ToolRun run = runTool(QStringLiteral(SPOOLGATE_PATH), {Office, "-", "x.tif"},
                                m_dir.path(), printerData(1, "abc"), environment);
    QVERIFY2(run.failedCleanly(), qPrintable(run.describe()));
    QVERIFY2(run.errorLines().join(u'\n').contains("cannot reach the print server"),
             qPrintable(run.describe()));
}

void TestSpoolgate::reportsMissingData()
{
    const QString title = uniqueTitle();
    const ToolRun run = runTool(QStringLiteral(SPOOLGATE_PATH), {Office, "-", title}, m_dir.path());
    QVERIFY2(run.failedCleanly(), qPrintable(run.describe()));
    QVERIFY2(run.errorLines().join(u'\n').contains("no printer data"), qPrintable(run.describe()));
    QVERIFY(!jobTitled(Office, title));
}

void TestSpoolgate::rejectsBadArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing") << QStringList() << "usage";
    QTest::newRow("queue only") << QStringList{Office} << "usage";
    QTest::newRow("one too many") << QStringList{Office, "-", "a.tif", "b.tif"} << "usage";
    QTest::newRow("empty queue name") << QStringList{"", "-", "a.tif"} << "no printer queue";
    QTest::newRow("missing file") << QStringList{Office, "/nonexistent/data.prn"} << "cannot open";
}

void TestSpoolgate::rejectsBadArguments()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const ToolRun run = runTool(QStringLiteral(SPOOLGATE_PATH), args, m_dir.path(), "data");
    QVERIFY2(run.failedCleanly(), qPrintable(run.describe()));
    QVERIFY2(run.errorLines().join(u'\n').contains(message), qPrintable(run.describe()));
}

namespace {

struct Pipeline
{
    QString rastermillErr, inkforgeErr, spoolgateErr;
    bool finished = false;
};

// The three tools joined by pipes as the front end joins them, started from the install
// folder, each one's standard error in a file of its own.
Pipeline runPipeline(const QString &folder, const QString &errors, const QStringList &prefix,
                     const QString &millParameters, const QString &image,
                     const QString &forgeParameters, const QString &queue, const QString &title)
{
    Pipeline result;
    result.rastermillErr = errors + QStringLiteral("/rastermill.err");
    result.inkforgeErr = errors + QStringLiteral("/inkforge.err");
    result.spoolgateErr = errors + QStringLiteral("/spoolgate.err");
    QProcess mill, forge, spool;
    for (QProcess *p : {&mill, &forge, &spool})
        p->setWorkingDirectory(folder);
    mill.setStandardInputFile(QProcess::nullDevice());
    mill.setStandardOutputProcess(&forge);
    forge.setStandardOutputProcess(&spool);
    spool.setStandardOutputFile(QProcess::nullDevice());
    mill.setStandardErrorFile(result.rastermillErr);
    forge.setStandardErrorFile(result.inkforgeErr);
    spool.setStandardErrorFile(result.spoolgateErr);
    spool.start(QStringLiteral(SPOOLGATE_PATH), {queue, "-", title});
    forge.start(QStringLiteral(INKFORGE_PATH), prefix + QStringList{forgeParameters});
    mill.start(QStringLiteral(RASTERMILL_PATH), prefix + QStringList{millParameters, image});
    result.finished =
        mill.waitForFinished(60000) && forge.waitForFinished(60000) && spool.waitForFinished(60000);
    return result;
}

QByteArray fileContent(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool hasErrorLine(const QByteArray &text)
{
    for (const QByteArray &line : text.split('\n'))
        if (line.left(5).toUpper() == "ERROR")
            return true;
    return false;
}

const QString MillParameters = QStringLiteral(
    "PPD=Zorl3800.ppd PRINTER=Zorl3800 MediaType=Matte RipFeed=Sheet Pagesize=Custom.2x3in "
    "position=center scale-to-fit=yes Landscape=yes Resolution=1440x720dpi ColorModel=ZorRIP");
const QString ForgeParameters = QStringLiteral(
    "PPD=Zorl3800.ppd PRINTER=Zorl3800 MediaType=Matte RipFeed=Sheet Pagesize=Custom.2x3in "
    "Resolution=1440x720dpi RipSpeed=Uni ColorModel=ZorRIP ripCurve1=Warm ripCurve2=Cool "
    "ripBlend=60 stpDither=Adaptive RipBlack=MK ripGamma=m3 ripLimit=5");

} // namespace

void TestSpoolgate::pipelinePrints()
{
    ToolTiff layout;
    layout.width = 90;
    layout.height = 60;
    layout.bits = 16;
    const QString image = m_dir.filePath(QStringLiteral("pier.tif"));
    QVERIFY(writeToolTiff(image, layout,
                          [](uint32_t x, uint32_t y, int) { return (x * 700 + y * 90) % 65536; }));
    const QString install = QStringLiteral(DIRIDU_DEMO_INSTALL);
    const QStringList prefix = {"gui", "0", "0", "2"};

    // What the printer should receive: the same two tools run one after the other.
    const ToolRun mill = runTool(QStringLiteral(RASTERMILL_PATH),
                                 prefix + QStringList{MillParameters, image}, install);
    QVERIFY2(mill.succeeded(), qPrintable(mill.describe()));
    const ToolRun forge = runTool(QStringLiteral(INKFORGE_PATH),
                                  prefix + QStringList{ForgeParameters}, install, mill.out);
    QVERIFY2(forge.succeeded(), qPrintable(forge.describe()));
    const auto data = parsePrinterData(forge.out);
    QVERIFY(data);
    QCOMPARE(data->width, 300); // 2 x 3 in at 150 dpi
    QCOMPARE(data->height, 450);
    QCOMPARE(data->header.value("Copies"), QStringLiteral("2"));

    const QString title = uniqueTitle();
    const qint64 before = capturedSize(Pro3800);
    const Pipeline run = runPipeline(install, m_dir.path(), prefix, MillParameters, image,
                                     ForgeParameters, Pro3800, title);
    QVERIFY(run.finished);
    QVERIFY2(!hasErrorLine(fileContent(run.rastermillErr)),
             fileContent(run.rastermillErr).constData());
    QVERIFY2(!hasErrorLine(fileContent(run.inkforgeErr)), fileContent(run.inkforgeErr).constData());
    QVERIFY2(fileContent(run.spoolgateErr).isEmpty(), fileContent(run.spoolgateErr).constData());
    QTRY_VERIFY_WITH_TIMEOUT(captured(Pro3800, before).contains(forge.out + forge.out), JobWaitMs);
    QVERIFY(jobTitled(Pro3800, title));
}

void TestSpoolgate::pipelineToUnknownQueueBlamesOnlySpoolgate()
{
    ToolTiff layout;
    const QString image = m_dir.filePath(QStringLiteral("small.tif"));
    QVERIFY(writeToolTiff(image, layout, [](uint32_t x, uint32_t, int) { return x * 6; }));
    const Pipeline run = runPipeline(QStringLiteral(DIRIDU_DEMO_INSTALL), m_dir.path(),
                                     {"gui", "0", "0", "1"}, MillParameters, image, ForgeParameters,
                                     QStringLiteral("No_Such_Printer"), "small.tif");
    QVERIFY(run.finished);
    QVERIFY2(!hasErrorLine(fileContent(run.rastermillErr)),
             fileContent(run.rastermillErr).constData());
    QVERIFY2(!hasErrorLine(fileContent(run.inkforgeErr)), fileContent(run.inkforgeErr).constData());
    QVERIFY(fileContent(run.spoolgateErr).startsWith("ERROR"));
}

QTEST_GUILESS_MAIN(TestSpoolgate)
#include "tst_spoolgate.moc"
