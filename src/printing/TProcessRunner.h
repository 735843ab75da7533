#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <sys/types.h>

// How a started program's window is shown. Only a program started without standard
// handles and shown normally gets a window here: a terminal emulator that runs it.
enum class TShowCommand { Hidden = 0, Normal = 1 };

// Starts one program as a child process: an argument array (never through a shell), the
// standard handles given as file descriptors, a start folder, and optionally a wait that
// keeps the application's events running while the child works.
//
// Every descriptor the program gets besides its standard ones is closed in the child, and
// signal dispositions and the signal mask are reset there, so a tool sees a clean start
// whatever the front end has open or ignores. Children are always reaped.
class TProcessRunner : public QObject
{
    Q_OBJECT

public:
    // The longest stretch the wait spends without running the application's events.
    static constexpr int WaitSliceMs = 100;

    explicit TProcessRunner(QObject *parent = nullptr);
    ~TProcessRunner() override;

    // The program to run. A name without "/" is looked up on PATH; a relative path is
    // taken from the start folder.
    QString executeName() const { return m_executeName; }
    void setExecuteName(const QString &program) { m_executeName = program; }

    // The arguments after the program, each passed unchanged as one argv entry.
    QStringList arguments() const { return m_arguments; }
    void setArguments(const QStringList &arguments) { m_arguments = arguments; }

    // The start folder; empty means the front end's current folder.
    QString startInString() const { return m_startIn; }
    void setStartInString(const QString &folder) { m_startIn = folder; }

    // "NAME=value" entries; empty means the front end's own environment.
    QStringList environment() const { return m_environment; }
    void setEnvironment(const QStringList &environment) { m_environment = environment; }

    TShowCommand showCommand() const { return m_showCommand; }
    void setShowCommand(TShowCommand show) { m_showCommand = show; }

    // Wait until the program has ended (with events running) before Execute returns.
    bool waits() const { return m_wait; }
    void setWait(bool wait) { m_wait = wait; }

    // The standard handles for the child; -1 leaves the front end's own. The runner never
    // closes them: they stay the caller's.
    int stdInput() const { return m_stdIn; }
    int stdOutput() const { return m_stdOut; }
    int stdError() const { return m_stdErr; }
    void setStdInput(int fd) { m_stdIn = fd; }
    void setStdOutput(int fd) { m_stdOut = fd; }
    void setStdError(int fd) { m_stdErr = fd; }
    void clearStdHandles() { m_stdIn = m_stdOut = m_stdErr = -1; }

    // The terminal emulator for programs shown normally (a path, or a name looked up on
    // PATH). Empty: the first of x-terminal-emulator and xterm found on PATH, used only when
    // a display is there.
    QString terminalProgram() const { return m_terminal; }
    void setTerminalProgram(const QString &terminal) { m_terminal = terminal; }
    // The terminal a program shown normally would run in now; empty when there is none (or
    // the one set is not an executable file).
    QString terminalToUse() const;

    // Starts the program; true when the process was created, whatever its exit code. With
    // the wait on, returns once it has ended. Does not raise.
    bool Execute();

    // The child of the last Execute has not ended yet.
    bool isRunning();
    // Its exit status once it has ended: the exit code, or 128 + the signal that ended it;
    // -1 while it runs or when nothing was started.
    int exitCode() const { return m_exitCode; }
    // The signal that ended it, 0 when it exited by itself (or has not ended).
    int exitSignal() const { return m_exitSignal; }
    // It was still running when terminate() asked it to stop.
    bool wasTerminated() const { return m_terminated; }
    pid_t processId() const { return m_pid; }
    // Why the last Execute could not create the process.
    QString errorString() const { return m_error; }

    // Ends the child of the last Execute if it still runs: asks it to stop, and kills it
    // when it has not after a short grace, during which the application's events keep
    // running. Returns once it has been reaped.
    void terminate();

    // Waits at most ms (no limit when negative) for the child to end, with the
    // application's events running; true when it has ended. Returns early, false, when
    // stopWaiting() is called meanwhile.
    bool waitForEnd(int ms);

    // Makes a wait in progress return at its next slice although the child still runs.
    void stopWaiting() { m_stopWaiting = true; }

    // The child leads a process group of its own, and terminate() ends the whole group: for
    // a shell whose pipeline must end with it.
    bool ownProcessGroup() const { return m_ownGroup; }
    void setOwnProcessGroup(bool own) { m_ownGroup = own; }

signals:
    // The process has been created (before any wait).
    void started();

private:
    bool spawn(const QStringList &argv);
    bool reap(bool block);
    void forgetChild();
    void signalChild(int signalNumber);

    QString m_executeName;
    QStringList m_arguments;
    QString m_startIn;
    QStringList m_environment;
    TShowCommand m_showCommand = TShowCommand::Normal;
    bool m_wait = true;
    int m_stdIn = -1;
    int m_stdOut = -1;
    int m_stdErr = -1;
    QString m_terminal;

    pid_t m_pid = 0;
    int m_pidFd = -1;
    bool m_reaped = true;
    int m_exitCode = -1;
    int m_exitSignal = 0;
    bool m_terminated = false;
    QString m_error;
    bool m_stopWaiting = false;
    bool m_ownGroup = false;
};
