#include "TProcessRunner.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <pthread.h>
#include <sys/wait.h>
#include <unistd.h>

// Starting one program: exit codes, the standard handles, start folder and environment, what
// the child does not inherit, the wait that keeps events running, ending a child.
class TestProcessRunner : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void exitCodes_data();
    void exitCodes();
    void missingProgram_data();
    void missingProgram();
    void standardInputAndOutput();
    void standardErrorToFile();
    void standardDescriptorsCrossed();
    void startFolderAndRelativeProgram();
    void environment();
    void programNamedByArguments();
    void onlyStandardDescriptorsInherited();
    void signalsStartClean();
    void waitRunsEventsEvery100ms();
    void stopWaiting();
    void noWaitThenTerminate();
    void terminateKillsAChildThatIgnoresTheRequest();
    void terminateAfterTheEndOnlyReaps();
    void terminateEndsTheGroupOfAShell_data();
    void terminateEndsTheGroupOfAShell();
    void exitSignals_data();
    void exitSignals();
    void terminalForShownPrograms_data();
    void terminalForShownPrograms();

private:
    QTemporaryDir m_dir;
};

namespace {

struct Pipe
{
    int read = -1;
    int write = -1;
    Pipe()
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) == 0) {
            read = fds[0];
            write = fds[1];
        }
    }
    ~Pipe()
    {
        closeRead();
        closeWrite();
    }
    void closeRead()
    {
        if (read >= 0)
            ::close(read);
        read = -1;
    }
    void closeWrite()
    {
        if (write >= 0)
            ::close(write);
        write = -1;
    }
};

QByteArray readAll(int fd)
{
    QByteArray data;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return data;
        data.append(buffer, n);
    }
}

// Runs sh -c script with its output captured, waiting for the end.
QByteArray outputOf(TProcessRunner &runner, const QString &script)
{
    Pipe out;
    runner.setExecuteName(QStringLiteral("/bin/sh"));
    runner.setArguments({QStringLiteral("-c"), script});
    runner.setStdOutput(out.write);
    runner.setWait(true);
    if (!runner.Execute())
        return "not started";
    out.closeWrite();
    return readAll(out.read);
}

bool reapedAlready(pid_t pid)
{
    return ::waitpid(pid, nullptr, WNOHANG) < 0 && errno == ECHILD;
}

void writeScript(const QString &path, const QByteArray &body)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("#!/bin/sh\n" + body + '\n');
    file.close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

} // namespace

void TestProcessRunner::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // No child may wait for a key on the developer's terminal.
    const int devNull = ::open("/dev/null", O_RDONLY);
    QVERIFY(devNull >= 0);
    ::dup2(devNull, STDIN_FILENO);
    ::close(devNull);
}

void TestProcessRunner::exitCodes_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("success") << "exit 0" << 0;
    QTest::newRow("failure 3") << "exit 3" << 3;
    QTest::newRow("failure 255") << "exit 255" << 255;
    QTest::newRow("ended by SIGTERM") << "kill -TERM $$" << 128 + SIGTERM;
    QTest::newRow("ended by SIGKILL") << "kill -KILL $$" << 128 + SIGKILL;
}

void TestProcessRunner::exitCodes()
{
    QFETCH(QString, script);
    QFETCH(int, exitCode);
    TProcessRunner runner;
    QSignalSpy started(&runner, &TProcessRunner::started);
    runner.setExecuteName(QStringLiteral("/bin/sh"));
    runner.setArguments({QStringLiteral("-c"), script});
    QVERIFY(runner.Execute());
    QCOMPARE(started.count(), 1);
    QVERIFY(!runner.isRunning());
    QCOMPARE(runner.exitCode(), exitCode);
    QVERIFY(reapedAlready(runner.processId()));
}

void TestProcessRunner::missingProgram_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("missing path") << m_dir.filePath(QStringLiteral("no-such-tool"));
    QTest::newRow("missing name on PATH") << "diridu-no-such-tool-anywhere";
    QTest::newRow("not executable") << m_dir.filePath(QStringLiteral("plain.txt"));
    QTest::newRow("a folder") << m_dir.path();
}

void TestProcessRunner::missingProgram()
{
    QFETCH(QString, program);
    QFile plain(m_dir.filePath(QStringLiteral("plain.txt")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.write("#!/bin/sh\nexit 0\n");
    plain.close();

    TProcessRunner runner;
    QSignalSpy started(&runner, &TProcessRunner::started);
    runner.setExecuteName(program);
    QVERIFY(!runner.Execute());
    QCOMPARE(started.count(), 0);
    QVERIFY(!runner.errorString().isEmpty());
    QVERIFY(!runner.isRunning());
    QCOMPARE(runner.exitCode(), -1);
}

void TestProcessRunner::standardInputAndOutput()
{
    Pipe in;
    Pipe out;
    TProcessRunner runner;
    runner.setExecuteName(QStringLiteral("tr"));
    runner.setArguments({QStringLiteral("a-z"), QStringLiteral("A-Z")});
    runner.setStdInput(in.read);
    runner.setStdOutput(out.write);
    runner.setWait(false);
    QVERIFY(runner.Execute());
    // The runner leaves the caller's descriptors open; the caller lets go of its copies.
    QVERIFY(::fcntl(in.read, F_GETFD) >= 0);
    in.closeRead();
    out.closeWrite();
    QCOMPARE(::write(in.write, "pier at dusk\n", 13), ssize_t(13));
    in.closeWrite();
    QCOMPARE(readAll(out.read), QByteArray("PIER AT DUSK\n"));
    QTRY_VERIFY(!runner.isRunning());
    QCOMPARE(runner.exitCode(), 0);
}

void TestProcessRunner::standardErrorToFile()
{
    const QString path = m_dir.filePath(QStringLiteral("errors.txt"));
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    QVERIFY(fd >= 0);
    Pipe out;
    TProcessRunner runner;
    runner.setExecuteName(QStringLiteral("/bin/sh"));
    runner.setArguments({QStringLiteral("-c"), QStringLiteral("echo data; echo 'ERROR one' >&2")});
    runner.setStdOutput(out.write);
    runner.setStdError(fd);
    QVERIFY(runner.Execute());
    ::close(fd);
    out.closeWrite();
    QCOMPARE(readAll(out.read), QByteArray("data\n"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("ERROR one\n"));
}

void TestProcessRunner::standardDescriptorsCrossed()
{
    // The child's standard error is the front end's standard output while its standard
    // output goes elsewhere: setting up one must not overwrite the source of the other.
    Pipe out;
    Pipe frontEndOut;
    const int savedOut = ::dup(STDOUT_FILENO);
    QVERIFY(savedOut >= 0);
    ::dup2(frontEndOut.write, STDOUT_FILENO);

    TProcessRunner runner;
    runner.setExecuteName(QStringLiteral("/bin/sh"));
    runner.setArguments({QStringLiteral("-c"), QStringLiteral("echo to-out; echo to-err >&2")});
    runner.setStdOutput(out.write);
    runner.setStdError(STDOUT_FILENO);
    const bool executed = runner.Execute();

    ::dup2(savedOut, STDOUT_FILENO);
    ::close(savedOut);
    QVERIFY(executed);
    out.closeWrite();
    frontEndOut.closeWrite();
    QCOMPARE(readAll(out.read), QByteArray("to-out\n"));
    QCOMPARE(readAll(frontEndOut.read), QByteArray("to-err\n"));
}

void TestProcessRunner::startFolderAndRelativeProgram()
{
    const QString folder = m_dir.filePath(QStringLiteral("install"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/bin")));
    writeScript(folder + QStringLiteral("/bin/where"), "pwd -P");
    const QString before = QDir::currentPath();

    Pipe out;
    TProcessRunner runner;
    runner.setExecuteName(QStringLiteral("./bin/where"));
    runner.setStartInString(folder + u'/');
    runner.setStdOutput(out.write);
    QVERIFY2(runner.Execute(), qPrintable(runner.errorString()));
    out.closeWrite();
    QCOMPARE(QString::fromLocal8Bit(readAll(out.read)).trimmed(), QDir(folder).canonicalPath());
    // The front end's own folder is not touched.
    QCOMPARE(QDir::currentPath(), before);
}

void TestProcessRunner::environment()
{
    TProcessRunner inherited;
    qputenv("DIRIDU_RUNNER_TEST", "inherited");
    QCOMPARE(outputOf(inherited, QStringLiteral("echo \"$DIRIDU_RUNNER_TEST\"")),
             QByteArray("inherited\n"));

    TProcessRunner own;
    own.setEnvironment({QStringLiteral("ZOR_VALUE=42")});
    QCOMPARE(outputOf(own, QStringLiteral("echo \"$ZOR_VALUE/$DIRIDU_RUNNER_TEST\"")),
             QByteArray("42/\n"));
    qunsetenv("DIRIDU_RUNNER_TEST");
}

void TestProcessRunner::programNamedByArguments()
{
    Pipe out;
    TProcessRunner runner;
    runner.setArguments(
        {QStringLiteral("/bin/echo"), QStringLiteral("named"), QStringLiteral("by the list")});
    runner.setStdOutput(out.write);
    QVERIFY(runner.Execute());
    out.closeWrite();
    QCOMPARE(readAll(out.read), QByteArray("named by the list\n"));

    TProcessRunner nothing;
    QVERIFY(!nothing.Execute());
}

void TestProcessRunner::onlyStandardDescriptorsInherited()
{
    // A descriptor the front end opened without close-on-exec stays behind all the same.
    const int leaky = ::open("/dev/null", O_RDONLY);
    QVERIFY(leaky >= 3);
    TProcessRunner runner;
    const QByteArray listed = outputOf(runner, QStringLiteral("ls /proc/$$/fd"));
    ::close(leaky);
    QCOMPARE(listed, QByteArray("0\n1\n2\n"));
}

void TestProcessRunner::signalsStartClean()
{
    // The front end ignores SIGPIPE and blocks SIGUSR1 here; a tool must not inherit either.
    struct sigaction ignore
    {
    };
    struct sigaction previous
    {
    };
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &previous);
    sigset_t blocked;
    sigset_t previousMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    ::pthread_sigmask(SIG_BLOCK, &blocked, &previousMask);

    Pipe out;
    TProcessRunner runner;
    runner.setExecuteName(QStringLiteral("grep"));
    runner.setArguments({QStringLiteral("-E"), QStringLiteral("^Sig(Ign|Blk)"),
                         QStringLiteral("/proc/self/status")});
    runner.setStdOutput(out.write);
    const bool executed = runner.Execute();

    ::pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    ::sigaction(SIGPIPE, &previous, nullptr);
    QVERIFY(executed);
    out.closeWrite();
    // Bit n - 1 stands for signal n. The C library's own real-time signals above 31 are
    // not the front end's to reset.
    const QList<QByteArray> lines = readAll(out.read).trimmed().split('\n');
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines.at(0).startsWith("SigBlk:\t"));
    QVERIFY(lines.at(1).startsWith("SigIgn:\t"));
    bool ok = false;
    QCOMPARE(lines.at(0).mid(8).toULongLong(&ok, 16) & 0x7fffffffULL, 0ULL);
    QVERIFY(ok);
    QCOMPARE(lines.at(1).mid(8).toULongLong(&ok, 16) & 0x7fffffffULL, 0ULL);
    QVERIFY(ok);
}

void TestProcessRunner::waitRunsEventsEvery100ms()
{
    QTimer timer;
    int ticks = 0;
    connect(&timer, &QTimer::timeout, this, [&] { ++ticks; });
    timer.start(10);

    TProcessRunner runner;
    runner.setExecuteName(QStringLiteral("sleep"));
    runner.setArguments({QStringLiteral("0.5")});
    runner.setWait(true);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(runner.Execute());
    const qint64 elapsed = clock.elapsed();
    timer.stop();

    QVERIFY2(elapsed >= 450, qPrintable(QString::number(elapsed)));
    QVERIFY(!runner.isRunning());
    QCOMPARE(runner.exitCode(), 0);
    // Events run at least every 100 ms of the half second, so the timer fired each time.
    QVERIFY2(ticks >= int(elapsed / TProcessRunner::WaitSliceMs) - 1,
             qPrintable(QStringLiteral("%1 ticks in %2 ms").arg(ticks).arg(elapsed)));
}

void TestProcessRunner::stopWaiting()
{
    TProcessRunner runner;
    runner.setExecuteName(QStringLiteral("sleep"));
    runner.setArguments({QStringLiteral("30")});
    QTimer::singleShot(50, &runner, &TProcessRunner::stopWaiting);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(runner.Execute());
    QVERIFY(clock.elapsed() < 10000);
    QVERIFY(runner.isRunning());
    runner.terminate();
    QVERIFY(!runner.isRunning());
    QCOMPARE(runner.exitCode(), 128 + SIGTERM);
}

void TestProcessRunner::noWaitThenTerminate()
{
    TProcessRunner runner;
    QSignalSpy started(&runner, &TProcessRunner::started);
    runner.setExecuteName(QStringLiteral("sleep"));
    runner.setArguments({QStringLiteral("30")});
    runner.setWait(false);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(runner.Execute());
    QVERIFY(clock.elapsed() < 10000);
    QCOMPARE(started.count(), 1);
    QVERIFY(runner.isRunning());
    QCOMPARE(runner.exitCode(), -1);

    const pid_t pid = runner.processId();
    runner.terminate();
    QVERIFY(!runner.isRunning());
    QCOMPARE(runner.exitCode(), 128 + SIGTERM);
    QVERIFY(reapedAlready(pid));
}

void TestProcessRunner::terminateKillsAChildThatIgnoresTheRequest()
{
    TProcessRunner runner;
    runner.setExecuteName(QStringLiteral("/bin/sh"));
    runner.setArguments({QStringLiteral("-c"), QStringLiteral("trap '' TERM; exec sleep 30")});
    runner.setWait(false);
    QVERIFY(runner.Execute());
    // Let the shell set its trap before it is asked to stop.
    QTest::qWait(200);
    // The grace before the kill does not freeze the window: events keep running.
    int ticks = 0;
    QTimer tick;
    tick.setInterval(50);
    connect(&tick, &QTimer::timeout, &tick, [&] { ++ticks; });
    tick.start();
    QElapsedTimer clock;
    clock.start();
    runner.terminate();
    const qint64 elapsed = clock.elapsed();
    QVERIFY(!runner.isRunning());
    QCOMPARE(runner.exitCode(), 128 + SIGKILL);
    QCOMPARE(runner.exitSignal(), SIGKILL);
    QVERIFY(runner.wasTerminated());
    QVERIFY(reapedAlready(runner.processId()));
    QVERIFY2(ticks >= int(elapsed / TProcessRunner::WaitSliceMs) - 1,
             qPrintable(QStringLiteral("%1 ticks in %2 ms").arg(ticks).arg(elapsed)));
}

void TestProcessRunner::terminateAfterTheEndOnlyReaps()
{
    TProcessRunner runner;
    runner.setExecuteName(QStringLiteral("/bin/sh"));
    runner.setArguments({QStringLiteral("-c"), QStringLiteral("exit 4")});
    runner.setWait(false);
    QVERIFY(runner.Execute());
    const pid_t pid = runner.processId();
    QTRY_VERIFY(!runner.isRunning());
    runner.terminate();
    QCOMPARE(runner.exitCode(), 4);
    QVERIFY(reapedAlready(pid));
}

void TestProcessRunner::terminateEndsTheGroupOfAShell_data()
{
    QTest::addColumn<bool>("ownGroup");
    QTest::newRow("own process group") << true;
    QTest::newRow("the front end's group") << false;
}

// A shell's pipeline ends with the shell when it leads its own process group.
void TestProcessRunner::terminateEndsTheGroupOfAShell()
{
    QFETCH(bool, ownGroup);
    const QString pidFile = m_dir.path() + QStringLiteral("/grandchild-%1").arg(ownGroup);
    TProcessRunner runner;
    runner.setOwnProcessGroup(ownGroup);
    runner.setExecuteName(QStringLiteral("/bin/sh"));
    runner.setArguments(
        {QStringLiteral("-c"),
         QStringLiteral("sleep 60 & echo $! > '%1.tmp'; mv '%1.tmp' '%1'; wait").arg(pidFile)});
    runner.setWait(false);
    QVERIFY(runner.Execute());
    QTRY_VERIFY(QFile::exists(pidFile));
    QFile file(pidFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const pid_t grandchild = pid_t(file.readAll().trimmed().toInt());
    QVERIFY(grandchild > 0);
    runner.terminate();
    QVERIFY(!runner.isRunning());
    if (ownGroup) {
        QTRY_VERIFY(::kill(grandchild, 0) < 0 && errno == ESRCH);
    } else {
        QVERIFY(::kill(grandchild, 0) == 0);
        ::kill(grandchild, SIGKILL);
    }
}

void TestProcessRunner::exitSignals_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("exitSignal");
    QTest::newRow("exit 3") << "exit 3" << 3 << 0;
    // The same status a shell reports for a command ended by SIGTERM, told apart.
    QTest::newRow("exit 143") << "exit 143" << 143 << 0;
    QTest::newRow("SIGTERM") << "kill -TERM $$" << 128 + SIGTERM << int(SIGTERM);
    QTest::newRow("SIGUSR1") << "kill -USR1 $$" << 128 + SIGUSR1 << int(SIGUSR1);
}

void TestProcessRunner::exitSignals()
{
    QFETCH(QString, script);
    QFETCH(int, exitCode);
    QFETCH(int, exitSignal);
    TProcessRunner runner;
    runner.setExecuteName(QStringLiteral("/bin/sh"));
    runner.setArguments({QStringLiteral("-c"), script});
    QVERIFY(runner.Execute());
    QCOMPARE(runner.exitCode(), exitCode);
    QCOMPARE(runner.exitSignal(), exitSignal);
    QVERIFY(!runner.wasTerminated());
}

void TestProcessRunner::terminalForShownPrograms_data()
{
    QTest::addColumn<int>("show");
    QTest::addColumn<bool>("ownHandle");
    QTest::addColumn<bool>("inTerminal");
    QTest::newRow("shown, no handles") << int(TShowCommand::Normal) << false << true;
    QTest::newRow("shown, with a handle") << int(TShowCommand::Normal) << true << false;
    QTest::newRow("hidden") << int(TShowCommand::Hidden) << false << false;
}

void TestProcessRunner::terminalForShownPrograms()
{
    QFETCH(int, show);
    QFETCH(bool, ownHandle);
    QFETCH(bool, inTerminal);

    // A stand-in terminal: notes how it was called, then runs the command after -e.
    const QString record = m_dir.filePath(QStringLiteral("terminal.args"));
    QFile::remove(record);
    const QString terminal = m_dir.filePath(QStringLiteral("fake-terminal"));
    writeScript(terminal, "printf '%s\\n' \"$@\" > '" + QFile::encodeName(record) +
                              "'\n[ \"$1\" = -e ] || exit 99\nshift\nexec \"$@\"");

    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    TProcessRunner runner;
    runner.setTerminalProgram(terminal);
    runner.setShowCommand(TShowCommand(show));
    runner.setExecuteName(QStringLiteral("/bin/sh"));
    runner.setArguments({QStringLiteral("-c"), QStringLiteral("exit 7")});
    if (ownHandle)
        runner.setStdOutput(devNull);
    QVERIFY(runner.Execute());
    ::close(devNull);
    QCOMPARE(runner.exitCode(), 7);
    QCOMPARE(QFile::exists(record), inTerminal);
    if (inTerminal) {
        QFile file(record);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("-e\n/bin/sh\n-c\nexit 7\n"));
    }
}

QTEST_GUILESS_MAIN(TestProcessRunner)
#include "tst_processrunner.moc"
