#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

// Whether the process has its own handler for the signal yet (Linux /proc).
bool catchesSignal(qint64 pid, int signalNumber)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signalNumber - 1)) & 1;
    }
    return false;
}

} // namespace

class TestTermination : public QObject
{
    Q_OBJECT

private slots:
    void signalWritesTheSettings_data();
    void signalWritesTheSettings();
    void unwritableSettingsDoNotHoldTheEndUp();

private:
    static bool startDiridu(QProcess &diridu, const QTemporaryDir &dir);
};

void TestTermination::signalWritesTheSettings_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

bool TestTermination::startDiridu(QProcess &diridu, const QTemporaryDir &dir)
{
    const QString bin = dir.path() + QStringLiteral("/bin/");
    QDir().mkpath(bin);
    QDir().mkpath(dir.path() + QStringLiteral("/ppd"));
    // The program finds its installation beside its own executable.
    if (!QFile::copy(QStringLiteral(DIRIDU_EXECUTABLE), bin + QStringLiteral("Diridu")))
        return false;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    diridu.setProcessEnvironment(environment);
    diridu.start(bin + QStringLiteral("Diridu"), {});
    return diridu.waitForStarted();
}

void TestTermination::signalWritesTheSettings()
{
    QFETCH(int, signalNumber);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcess diridu;
    QVERIFY(startDiridu(diridu, dir));
    QTRY_VERIFY_WITH_TIMEOUT(catchesSignal(diridu.processId(), signalNumber), 10000);
    ::kill(pid_t(diridu.processId()), signalNumber);
    QVERIFY(diridu.waitForFinished(10000));
    QCOMPARE(diridu.exitStatus(), QProcess::NormalExit);
    QCOMPARE(diridu.exitCode(), 0);

    QFile settings(dir.path() + QStringLiteral("/bin/Diridu.ini"));
    QVERIFY(settings.open(QIODevice::ReadOnly));
    const QByteArray written = settings.readAll();
    QVERIFY(written.contains("[Options]\r\nRecentFileCount=5\r\n"));
    QVERIFY(written.contains("[CurveCreation]\r\nDefaultLimit=70\r\n"));
}

// Asked to end while the settings cannot be written, the program still ends (no message box
// waits for an answer nobody may give) and says why on its error output.
void TestTermination::unwritableSettingsDoNotHoldTheEndUp()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir().mkpath(dir.path() + QStringLiteral("/bin/Diridu.ini")));
    QProcess diridu;
    QVERIFY(startDiridu(diridu, dir));
    QTRY_VERIFY_WITH_TIMEOUT(catchesSignal(diridu.processId(), SIGTERM), 10000);
    ::kill(pid_t(diridu.processId()), SIGTERM);
    QVERIFY(diridu.waitForFinished(10000));
    QCOMPARE(diridu.exitCode(), 0);
    QVERIFY(diridu.readAllStandardError().contains("Unable to write to"));
}

QTEST_GUILESS_MAIN(TestTermination)
#include "tst_termination.moc"
