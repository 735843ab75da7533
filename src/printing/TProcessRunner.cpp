#include "TProcessRunner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

namespace {

// How long a child asked to stop may take before it is killed.
constexpr int TerminateGraceMs = 2000;

// Children whose runner started another program (or went away) while they still ran;
// reaped whenever a runner starts the next one, so none stays a zombie for long.
std::vector<pid_t> &strayChildren()
{
    static std::vector<pid_t> children;
    return children;
}

void reapStrays()
{
    std::erase_if(strayChildren(), [](pid_t pid) {
        pid_t r;
        do {
            r = ::waitpid(pid, nullptr, WNOHANG);
        } while (r < 0 && errno == EINTR);
        return r != 0;
    });
}

int statusToExitCode(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

void sleepUs(int us)
{
    timespec t{us / 1000000, long(us % 1000000) * 1000L};
    ::nanosleep(&t, nullptr);
}

// The child has ended (it may not be reaped yet).
bool hasEnded(pid_t pid)
{
    siginfo_t info{};
    int r;
    do {
        r = ::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT);
    } while (r < 0 && errno == EINTR);
    return r < 0 || info.si_pid == pid;
}

// Blocks at most ms or until the child ends, whichever comes first.
void blockUntilEnd(pid_t pid, int pidFd, int ms)
{
    if (pidFd >= 0) {
        pollfd p{pidFd, POLLIN, 0};
        ::poll(&p, 1, ms);
        return;
    }
    // Without a process descriptor: naps that start short and grow, looking between them,
    // so a quick tool is noticed within a fraction of a millisecond and a slow one costs
    // little.
    int waitedUs = 0;
    for (int napUs = 200; waitedUs < ms * 1000 && !hasEnded(pid); napUs = std::min(napUs * 2, 5000)) {
        const int us = std::min(napUs, ms * 1000 - waitedUs);
        sleepUs(us);
        waitedUs += us;
    }
}

// Owns the argument and environment strings for the duration of a spawn call.
struct CStrings
{
    std::vector<QByteArray> data;
    std::vector<char *> pointers;

    explicit CStrings(const QStringList &texts)
    {
        data.reserve(std::size_t(texts.size()));
        for (const QString &text : texts)
            data.push_back(QFile::encodeName(text));
        for (QByteArray &bytes : data)
            pointers.push_back(bytes.data());
        pointers.push_back(nullptr);
    }
};

} // namespace

TProcessRunner::TProcessRunner(QObject *parent) : QObject(parent) {}

TProcessRunner::~TProcessRunner()
{
    forgetChild();
}

void TProcessRunner::forgetChild()
{
    if (!m_reaped && !reap(false))
        strayChildren().push_back(m_pid);
    if (m_pidFd >= 0)
        ::close(m_pidFd);
    m_pidFd = -1;
    m_reaped = true;
}

QString TProcessRunner::terminalToUse() const
{
    if (!m_terminal.isEmpty()) {
        const QString path =
            m_terminal.contains(u'/') ? m_terminal : QStandardPaths::findExecutable(m_terminal);
        const QFileInfo file(path);
        return file.isFile() && file.isExecutable() ? path : QString();
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {};
    for (const char *name : {"x-terminal-emulator", "xterm"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return {};
}

bool TProcessRunner::spawn(const QStringList &argv)
{
    CStrings args(argv);
    CStrings env(m_environment);
    char **envp = m_environment.isEmpty() ? environ : env.pointers.data();

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawnattr_init(&attributes);

    // A source that is itself a standard descriptor other than its target would be
    // overwritten by an earlier dup2 in the child; a copy above them avoids that.
    int sources[3] = {m_stdIn, m_stdOut, m_stdErr};
    std::vector<int> copies;
    for (int target = 0; target < 3; ++target) {
        int &source = sources[target];
        if (source >= 0 && source < 3 && source != target) {
            const int copy = ::fcntl(source, F_DUPFD_CLOEXEC, 3);
            if (copy >= 0) {
                copies.push_back(copy);
                source = copy;
            }
        }
    }
    int failure = 0;
    for (int target = 0; target < 3 && failure == 0; ++target) {
        if (sources[target] >= 0)
            failure = ::posix_spawn_file_actions_adddup2(&actions, sources[target], target);
    }
    // Whatever else is open in the front end (without close-on-exec) stays there.
    if (failure == 0)
        failure = ::posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (failure == 0 && !m_startIn.isEmpty())
        failure = ::posix_spawn_file_actions_addchdir_np(&actions,
                                                         QFile::encodeName(m_startIn).constData());

    // The tools start with default signal handling and nothing blocked, whatever the front
    // end ignores (a tool that ignored SIGPIPE would keep writing into a closed pipe).
    sigset_t all;
    sigset_t none;
    sigfillset(&all);
    sigemptyset(&none);
    if (failure == 0) {
        ::posix_spawnattr_setsigdefault(&attributes, &all);
        ::posix_spawnattr_setsigmask(&attributes, &none);
        ::posix_spawnattr_setpgroup(&attributes, 0);
        int flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
        if (m_ownGroup)
            flags |= POSIX_SPAWN_SETPGROUP;
        failure = ::posix_spawnattr_setflags(&attributes, short(flags));
    }

    pid_t pid = 0;
    if (failure == 0) {
        const bool searchPath = !argv.first().contains(u'/');
        failure = searchPath ? ::posix_spawnp(&pid, args.pointers[0], &actions, &attributes,
                                              args.pointers.data(), envp)
                             : ::posix_spawn(&pid, args.pointers[0], &actions, &attributes,
                                             args.pointers.data(), envp);
    }

    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attributes);
    for (int copy : copies)
        ::close(copy);

    if (failure != 0) {
        m_error = QString::fromLocal8Bit(std::strerror(failure));
        return false;
    }
    m_pid = pid;
    return true;
}

bool TProcessRunner::Execute()
{
    reapStrays();
    forgetChild();
    m_exitCode = -1;
    m_exitSignal = 0;
    m_terminated = false;
    m_error.clear();
    m_pid = 0;

    const QStringList argv =
        m_executeName.isEmpty() ? m_arguments : QStringList{m_executeName} + m_arguments;
    if (argv.isEmpty() || argv.first().isEmpty()) {
        m_error = QStringLiteral("No program named");
        return false;
    }

    // A program shown normally without handles of its own gets a terminal window to show
    // it in, when there is one; otherwise it runs as if hidden.
    bool created = false;
    const bool ownHandles = m_stdIn >= 0 || m_stdOut >= 0 || m_stdErr >= 0;
    if (m_showCommand == TShowCommand::Normal && !ownHandles) {
        const QString terminal = terminalToUse();
        if (!terminal.isEmpty())
            created = spawn(QStringList{terminal, QStringLiteral("-e")} + argv);
    }
    if (!created && !spawn(argv))
        return false;

    m_reaped = false;
    // Lets the wait sleep until the child ends; without it (old kernels) the wait naps.
    m_pidFd = int(::syscall(SYS_pidfd_open, m_pid, 0));

    emit started();
    if (m_wait)
        waitForEnd(-1);
    return true;
}

bool TProcessRunner::waitForEnd(int ms)
{
    m_stopWaiting = false;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        if (reap(false))
            return true;
        if (m_stopWaiting || QCoreApplication::closingDown())
            return false;
        int slice = WaitSliceMs;
        if (ms >= 0) {
            const qint64 left = ms - clock.elapsed();
            if (left <= 0)
                return false;
            slice = int(std::min<qint64>(slice, left));
        }
        blockUntilEnd(m_pid, m_pidFd, slice);
    }
}

bool TProcessRunner::reap(bool block)
{
    if (m_reaped)
        return true;
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(m_pid, &status, block ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == 0)
        return false;
    // r < 0: someone else reaped it (SIGCHLD ignored); its code is lost.
    m_exitCode = r == m_pid ? statusToExitCode(status) : -1;
    m_exitSignal = r == m_pid && WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    m_reaped = true;
    if (m_pidFd >= 0)
        ::close(m_pidFd);
    m_pidFd = -1;
    return true;
}

bool TProcessRunner::isRunning()
{
    return !reap(false);
}

// The child is not reaped yet, so neither its pid nor its group can have been reused.
void TProcessRunner::signalChild(int signalNumber)
{
    if (!m_ownGroup || ::kill(-m_pid, signalNumber) != 0)
        ::kill(m_pid, signalNumber);
}

void TProcessRunner::terminate()
{
    if (reap(false))
        return;
    m_terminated = true;
    signalChild(SIGTERM);
    // The window keeps repainting while a tool that ignores the request is given its grace.
    if (!waitForEnd(TerminateGraceMs) && !reap(false)) {
        signalChild(SIGKILL);
        reap(true);
    }
}
