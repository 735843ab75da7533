#include "PrintPipeline.h"

#include "InstallPaths.h"
#include "ZorError.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

const QString RastermillName = QStringLiteral("Rastermill");
const QString InkforgeName = QStringLiteral("Inkforge");
const QString SpoolgateName = QStringLiteral("Spoolgate");

// A file descriptor closed when it goes out of scope, or earlier by hand.
class UniqueFd
{
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    UniqueFd(const UniqueFd &) = delete;
    UniqueFd &operator=(const UniqueFd &) = delete;
    ~UniqueFd() { close(); }

    int get() const { return m_fd; }
    void reset(int fd)
    {
        close();
        m_fd = fd;
    }
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd = -1;
};

bool makePipe(UniqueFd &readEnd, UniqueFd &writeEnd)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    readEnd.reset(fds[0]);
    writeEnd.reset(fds[1]);
    return true;
}

// ZorLog.txt: text lines with CR LF ends, written as they come so that a log broken off
// by a crash still shows how far the request got. The first write that fails (a full disk)
// is kept, and nothing more is written after it: the request fails with it.
class LogFile
{
public:
    bool open(const QString &path)
    {
        m_file.setFileName(path);
        return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    }
    QString errorString() const { return m_file.errorString(); }
    QString failure() const { return m_failure; }

    void line(const QString &text = QString())
    {
        if (!m_file.isOpen() || !m_failure.isEmpty())
            return;
        const QByteArray bytes = text.toUtf8() + "\r\n";
        if (m_file.write(bytes) != bytes.size())
            m_failure = m_file.error() == QFileDevice::NoError ? QStringLiteral("incomplete write")
                                                               : m_file.errorString();
    }

    // Writes the error and raises it; the caller's guard finishes the log.
    [[noreturn]] void LogAndRaise(const QString &message)
    {
        line(QStringLiteral("Error: ") + message);
        throw ZorError(message);
    }

    void close() { m_file.close(); }

private:
    QFile m_file;
    QString m_failure;
};

// The lines of a file, each without its line end (LF, or CR LF); a last line without an
// end counts too.
void forEachLine(const QString &path, const std::function<void(const QString &)> &take)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    while (!file.atEnd()) {
        QByteArray bytes = file.readLine();
        if (bytes.endsWith('\n'))
            bytes.chop(1);
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        take(QString::fromUtf8(bytes));
    }
}

// Rastermill and Inkforge start a line that reports a failure with the word ERROR in any
// letter case.
bool reportsError(const QString &line)
{
    return line.left(5).toUpper() == QLatin1String("ERROR");
}

QString withSlash(const QString &folder)
{
    return folder.isEmpty() || folder.endsWith(u'/') ? folder : folder + u'/';
}

QString workFolderOf(const TPipelineRequest &request)
{
    return withSlash(request.WorkFolder.isEmpty() ? request.InstallFolder : request.WorkFolder);
}

// The error lines of one tool as the error display gets them: the first ones, each cut to a
// readable length, then a line saying how many more the log holds.
class ErrorLines
{
public:
    explicit ErrorLines(QStringList &list) : m_list(list) {}

    void add(const QString &line)
    {
        if (m_list.size() >= TPrintPipeline::MaxErrorLines) {
            ++m_omitted;
            return;
        }
        m_list.append(line.size() > TPrintPipeline::MaxErrorLineLength
                          ? line.left(TPrintPipeline::MaxErrorLineLength) + QStringLiteral("...")
                          : line);
    }
    bool isEmpty() const { return m_list.isEmpty(); }

    void pointTo(const QString &logPath)
    {
        if (m_omitted > 0)
            m_list.append(QStringLiteral("... %1 more lines are in %2")
                              .arg(m_omitted)
                              .arg(QDir::toNativeSeparators(logPath)));
    }

private:
    QStringList &m_list;
    int m_omitted = 0;
};

// How a tool's process ended, as far as this request knows it.
struct ToolEnd
{
    bool known = false;
    int exitCode = 0;
    int signal = 0;
    // Still running when the front end had to end it.
    bool stopped = false;
    // An end that none of the above describes.
    QString note;
};

ToolEnd endOf(const TProcessRunner &runner)
{
    ToolEnd end;
    end.known = true;
    end.stopped = runner.wasTerminated();
    end.signal = runner.exitSignal();
    end.exitCode = end.signal == 0 ? std::max(0, runner.exitCode()) : 0;
    return end;
}

// The shell reports a command ended by signal N as the status 128 + N.
ToolEnd endOfShellStatus(int status)
{
    ToolEnd end;
    end.known = true;
    if (status > 128 && status < 128 + NSIG)
        end.signal = status - 128;
    else
        end.exitCode = status;
    return end;
}

// The line a tool's section gets for an end that was not a plain success; empty otherwise.
QString endLine(const QString &tool, const ToolEnd &end)
{
    if (!end.known)
        return {};
    if (!end.note.isEmpty())
        return end.note;
    if (end.stopped)
        return tool + QStringLiteral(" did not end by itself and was stopped");
    if (end.signal != 0)
        return tool + QStringLiteral(" was ended by signal %1 (%2)")
                          .arg(end.signal)
                          .arg(QString::fromLocal8Bit(::strsignal(end.signal)));
    if (end.exitCode != 0)
        return tool + QStringLiteral(" ended with exit code %1").arg(end.exitCode);
    return {};
}

// The number a marker file holds; none while it is empty or unreadable.
std::optional<long> numberIn(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    bool ok = false;
    const long number = file.read(32).trimmed().toLong(&ok);
    return ok ? std::optional<long>(number) : std::nullopt;
}

bool processExists(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// Signals a process that is not a child of the front end, and its group when it leads one.
void signalProcess(pid_t pid, int signalNumber)
{
    if (::kill(-pid, signalNumber) != 0)
        ::kill(pid, signalNumber);
}

// Keeps the application's events running for at most ms.
void runEventsFor(int ms)
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    ::poll(nullptr, 0, ms);
}

// The temporary files of one request; whatever happens they are gone when it ends.
class RequestFiles
{
public:
    explicit RequestFiles(QString folder) : m_folder(std::move(folder)) {}
    RequestFiles(const RequestFiles &) = delete;
    RequestFiles &operator=(const RequestFiles &) = delete;
    ~RequestFiles() { removeAll(); }

    // The name without folder; the open descriptor stays here until taken or closed.
    QString create(const QString &extension, LogFile &log, const QString &what)
    {
        TExclusiveFile file = createZorFile(m_folder, extension);
        if (file.fd < 0)
            log.LogAndRaise(QStringLiteral("Cannot Create ") + what);
        m_names.append(file.name);
        m_fds.append(file.fd);
        return file.name;
    }
    int fd(int index) const { return m_fds.at(index); }
    int count() const { return int(m_names.size()); }
    QString name(int index) const { return m_names.at(index); }
    void closeFd(int index)
    {
        if (m_fds.at(index) >= 0)
            ::close(m_fds.at(index));
        m_fds[index] = -1;
    }
    void closeAll()
    {
        for (int i = 0; i < m_fds.size(); ++i)
            closeFd(i);
    }
    QString path(int index) const { return m_folder + m_names.at(index); }
    void removeAll()
    {
        closeAll();
        for (int i = 0; i < m_names.size(); ++i)
            QFile::remove(path(i));
        m_names.clear();
        m_fds.clear();
    }

private:
    QString m_folder;
    QStringList m_names;
    QList<int> m_fds;
};

// Tools before Spoolgate usually end a moment after it; only then are they ended.
constexpr int UpstreamGraceMs = 1000;
// How long a script handed to a terminal may take to begin.
constexpr int ScriptStartTimeoutMs = 10000;
// How long a script asked to stop may take before it is killed.
constexpr int ScriptStopGraceMs = 2000;

enum ToolIndex { RastermillTool = 0, InkforgeTool = 1, SpoolgateTool = 2 };

class PipelineRun
{
public:
    PipelineRun(TPrintPipeline &pipeline, const TPipelineRequest &request, LogFile &log,
                TPipelineResult &result)
        : m_p(pipeline), m_r(request), m_log(log), m_result(result),
          m_install(withSlash(request.InstallFolder)), m_work(workFolderOf(request)),
          m_files(m_work)
    {
    }

    void execute()
    {
        m_files.create(QStringLiteral(".tmp"), m_log, QStringLiteral("Temporary File"));
        m_files.create(QStringLiteral(".tmp"), m_log, QStringLiteral("Temporary File"));
        m_files.create(QStringLiteral(".tmp"), m_log, QStringLiteral("Temporary File"));
        if (m_r.UseBatch)
            runBatch();
        else
            runPipes();
        noteCancellation();
        readErrorFiles();
    }

    // The temporary files go before the caller writes the end of the log.
    void removeFiles() { m_files.removeAll(); }

private:
    QString logPath() const { return m_work + QStringLiteral("ZorLog.txt"); }

    // "./bin/Rastermill": the tool in the program folder, relative to the install folder
    // the tools are started from.
    QString toolPath(const QString &tool) const
    {
        const QString path = resolveCaseInsensitive(withSlash(m_r.ProgramFolder), tool);
        if (!m_install.isEmpty() && path.startsWith(m_install))
            return QStringLiteral("./") + path.mid(m_install.size());
        // Never a bare name, which would be looked up on PATH.
        return path.contains(u'/') ? path : QStringLiteral("./") + path;
    }

    // A request file as the script, which runs in the install folder, names it: by its
    // bare name when the work folder is the install folder.
    QString scriptName(int file) const
    {
        return shellQuoted(m_work == m_install ? m_files.name(file) : m_files.path(file));
    }

    void runBatch()
    {
        m_log.line(QStringLiteral("      Execution Mode is Batch File"));
        m_log.line();
        // Only the shell writes to the error files from here on.
        m_files.closeAll();

        const TPrintArguments &a = m_r.Arguments;
        auto segment = [&](const QString &tool, int errorFile, const QStringList &arguments) {
            QStringList words{shellQuoted(toolPath(tool)),
                              QStringLiteral("2>") + scriptName(errorFile)};
            for (const QString &argument : arguments)
                words.append(shellQuoted(argument));
            return words.join(u' ');
        };
        // In debugging mode the script runs in a terminal, which stays open on the tools'
        // output until Enter; without a terminal it runs as usual and must not wait at all.
        TProcessRunner &runner = m_p.BatchExec;
        const bool inTerminal = m_r.Debugging && !runner.terminalToUse().isEmpty();
        // A terminal may hand the script on and return at once: the script itself notes
        // its process when it begins and its status when it ends.
        int pidMarker = -1;
        int endMarker = -1;
        if (inTerminal) {
            pidMarker = createMarker();
            endMarker = createMarker();
        }

        QStringList script{
            QStringLiteral("#!/bin/sh"),
            QStringLiteral("cd ") +
                shellQuoted(m_install.isEmpty() ? QStringLiteral(".") : m_install),
        };
        if (inTerminal)
            script << QStringLiteral("echo \"$$\" >") + scriptName(pidMarker);
        script << segment(RastermillName, 0, a.rastermillArguments()) + QStringLiteral(" | ") +
                      segment(InkforgeName, 1, a.inkforgeArguments()) + QStringLiteral(" | ") +
                      segment(SpoolgateName, 2, a.spoolgateArguments());
        if (inTerminal)
            script << QStringLiteral("status=$?") << QStringLiteral("echo")
                   << QStringLiteral("echo")
                   << QStringLiteral("printf '%s' 'Press Enter to continue . . . '")
                   << QStringLiteral("read -r answer")
                   << QStringLiteral("echo \"$status\" >") + scriptName(endMarker);

        m_files.create(QStringLiteral(".sh"), m_log, QStringLiteral("Batch File"));
        const int batch = m_files.count() - 1;
        const QByteArray text = (script.join(u'\n') + u'\n').toUtf8();
        const bool written = ::write(m_files.fd(batch), text.constData(), size_t(text.size())) ==
                             ssize_t(text.size());
        m_files.closeFd(batch);
        if (!written)
            m_log.LogAndRaise(QStringLiteral("Cannot Create Batch File"));

        // The log shows the script as it was written to disk.
        forEachLine(m_files.path(batch), [this](const QString &line) { m_log.line(line); });

        runner.setExecuteName(QStringLiteral("/bin/sh"));
        runner.setArguments({m_files.path(batch)});
        runner.setStartInString(QString());
        runner.clearStdHandles();
        runner.setWait(true);
        runner.setShowCommand(inTerminal ? TShowCommand::Normal : TShowCommand::Hidden);
        if (!runner.Execute())
            m_log.LogAndRaise(QStringLiteral("Could not start Batch File"));
        if (m_p.cancelled())
            runner.terminate();
        if (inTerminal)
            waitForScript(pidMarker, endMarker);
        else
            m_ends[SpoolgateTool] = runner.exitSignal() != 0 || runner.wasTerminated()
                                        ? endOf(runner)
                                        : endOfShellStatus(runner.exitCode());
        QFile::remove(m_files.path(batch));
    }

    int createMarker()
    {
        m_files.create(QStringLiteral(".tmp"), m_log, QStringLiteral("Temporary File"));
        const int marker = m_files.count() - 1;
        m_files.closeFd(marker);
        return marker;
    }

    // Waits until the script in the terminal has ended (with the events running), and takes
    // the pipeline's status from it.
    void waitForScript(int pidMarker, int endMarker)
    {
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            if (const std::optional<long> status = numberIn(m_files.path(endMarker))) {
                m_ends[SpoolgateTool] = endOfShellStatus(int(*status));
                return;
            }
            const std::optional<long> pid = numberIn(m_files.path(pidMarker));
            if (m_p.cancelled()) {
                if (pid)
                    stopScript(pid_t(*pid));
                return;
            }
            if (pid && !processExists(pid_t(*pid))) {
                // Gone without its status (unless it wrote it just before): the terminal
                // was closed, or it was killed.
                const std::optional<long> status = numberIn(m_files.path(endMarker));
                m_ends[SpoolgateTool] = status ? endOfShellStatus(int(*status)) : ToolEnd{};
                if (!status) {
                    m_ends[SpoolgateTool].known = true;
                    m_ends[SpoolgateTool].note =
                        QStringLiteral("The batch file was ended before it finished");
                }
                return;
            }
            if (!pid && clock.elapsed() > ScriptStartTimeoutMs)
                m_log.LogAndRaise(QStringLiteral("Could not start Batch File"));
            runEventsFor(TProcessRunner::WaitSliceMs);
        }
    }

    void stopScript(pid_t pid)
    {
        signalProcess(pid, SIGTERM);
        QElapsedTimer clock;
        clock.start();
        while (processExists(pid) && clock.elapsed() < ScriptStopGraceMs)
            runEventsFor(10);
        if (processExists(pid))
            signalProcess(pid, SIGKILL);
    }

    void prepare(TProcessRunner &runner, const QString &tool, const QStringList &arguments,
                 const QString &commandText)
    {
        const QString program = toolPath(tool);
        runner.setExecuteName(program);
        runner.setArguments(arguments);
        runner.setStartInString(m_install);
        runner.clearStdHandles();
        // The tools have no windows to show; their output goes to the pipes and files.
        runner.setShowCommand(TShowCommand::Hidden);
        m_log.line(u'"' + program + QStringLiteral("\" ") + commandText);
    }

    void runPipes()
    {
        m_log.line(QStringLiteral("      Execution Mode is Pipes"));
        m_log.line();

        const TPrintArguments &a = m_r.Arguments;
        TProcessRunner &rastermill = m_p.Rastermill;
        TProcessRunner &inkforge = m_p.Inkforge;
        TProcessRunner &spoolgate = m_p.Spoolgate;
        // Tools that outlive Spoolgate, or a broken-off start, are ended: nothing is left
        // writing into a pipe nobody reads.
        auto endTools = qScopeGuard([&] {
            rastermill.terminate();
            inkforge.terminate();
        });

        UniqueFd r1, w1, r2, w2;
        if (!makePipe(r1, w1))
            m_log.LogAndRaise(QStringLiteral("Cannot Create Pipe"));

        prepare(rastermill, RastermillName, a.rastermillArguments(), a.rastermillCommandText());
        rastermill.setStdOutput(w1.get());
        rastermill.setStdError(m_files.fd(0));
        rastermill.setWait(false);
        if (!rastermill.Execute())
            m_log.LogAndRaise(QStringLiteral("Could not start ") + RastermillName);
        // Once a child holds its ends, the front end lets go of its copies, so that each
        // tool sees the end of its input when the one before it ends.
        w1.close();
        m_files.closeFd(0);

        prepare(inkforge, InkforgeName, a.inkforgeArguments(), a.inkforgeCommandText());
        inkforge.setStdInput(r1.get());
        if (!makePipe(r2, w2))
            m_log.LogAndRaise(QStringLiteral("Cannot Create Pipe"));
        inkforge.setStdOutput(w2.get());
        inkforge.setStdError(m_files.fd(1));
        inkforge.setWait(false);
        if (!inkforge.Execute()) {
            rastermill.terminate();
            m_log.LogAndRaise(QStringLiteral("Could not start ") + InkforgeName);
        }
        r1.close();
        w2.close();
        m_files.closeFd(1);

        prepare(spoolgate, SpoolgateName, a.spoolgateArguments(), a.spoolgateCommandText());
        spoolgate.setStdInput(r2.get());
        spoolgate.setStdError(m_files.fd(2));
        spoolgate.setWait(true);
        // Spoolgate's start returns only after it has ended; its ends are let go as soon as
        // it has started, so Inkforge notices when it stops reading.
        const QMetaObject::Connection letGo =
            QObject::connect(&spoolgate, &TProcessRunner::started, [&] {
                r2.close();
                m_files.closeFd(2);
            });
        const bool started = spoolgate.Execute();
        QObject::disconnect(letGo);
        r2.close();
        m_files.closeFd(2);

        endTools.dismiss();
        if (m_p.cancelled())
            spoolgate.terminate();
        else
            letUpstreamEnd();
        rastermill.terminate();
        inkforge.terminate();
        m_ends[RastermillTool] = endOf(rastermill);
        m_ends[InkforgeTool] = endOf(inkforge);
        if (!started) {
            m_result.ErrorFlag = true;
            m_log.LogAndRaise(QStringLiteral("Could not start ") + SpoolgateName);
        }
        m_ends[SpoolgateTool] = endOf(spoolgate);
    }

    // Rastermill and Inkforge get a moment to end by themselves after Spoolgate, so that
    // only a tool that really hangs is stopped.
    void letUpstreamEnd()
    {
        QElapsedTimer clock;
        clock.start();
        for (TProcessRunner *tool : {&m_p.Rastermill, &m_p.Inkforge}) {
            const int left = int(std::max<qint64>(0, UpstreamGraceMs - clock.elapsed()));
            if (m_p.cancelled() || !tool->waitForEnd(left))
                return;
        }
    }

    void noteCancellation()
    {
        if (!m_p.cancelled())
            return;
        m_result.Cancelled = true;
        m_log.line(QStringLiteral("Cancelled: ") + m_p.cancelReason());
    }

    void readErrorFiles()
    {
        toolSection(RastermillName, &m_r.RastermillVersion, RastermillTool, m_result.RastermillList,
                    reportsError);
        toolSection(InkforgeName, &m_r.InkforgeVersion, InkforgeTool, m_result.InkforgeList,
                    reportsError);
        // Spoolgate writes nothing unless something went wrong.
        toolSection(SpoolgateName, nullptr, SpoolgateTool, m_result.SpoolgateList,
                    [](const QString &) { return true; });
    }

    // The tool's section of the log: its header, every line of its error file, and how it
    // ended when that was not a plain success. An abnormal end that left no error line
    // becomes the error line of its own.
    void toolSection(const QString &tool, const QString *version, int index, QStringList &list,
                     const std::function<bool(const QString &)> &isError)
    {
        m_log.line();
        m_log.line(QStringLiteral("***** ") + tool + QStringLiteral(" Log *****"));
        if (version)
            m_log.line(QStringLiteral("      Version ") + *version);
        m_log.line();
        ErrorLines errors(list);
        forEachLine(m_files.path(index), [&](const QString &line) {
            m_log.line(line);
            if (isError(line)) {
                m_result.ErrorFlag = true;
                errors.add(line);
            }
        });
        const QString end = endLine(tool, m_ends[index]);
        if (!end.isEmpty() && errors.isEmpty()) {
            m_log.line(end);
            if (!m_ends[index].stopped) {
                m_result.ErrorFlag = true;
                errors.add(end);
            }
        }
        errors.pointTo(logPath());
    }

    TPrintPipeline &m_p;
    const TPipelineRequest &m_r;
    LogFile &m_log;
    TPipelineResult &m_result;
    QString m_install;
    QString m_work;
    RequestFiles m_files;
    ToolEnd m_ends[3];
};

} // namespace

void TPipelineResult::raiseIfFailed() const
{
    if (failed())
        throw ZorError(FailureMessage);
}

TPrintPipeline::TPrintPipeline()
{
    // Ending the script ends the tools of its pipeline with it.
    BatchExec.setOwnProcessGroup(true);
    Rastermill.setObjectName(QStringLiteral("Rastermill"));
    Inkforge.setObjectName(QStringLiteral("Inkforge"));
    Spoolgate.setObjectName(QStringLiteral("Spoolgate"));
    BatchExec.setObjectName(QStringLiteral("BatchExec"));
}

void TPrintPipeline::cancel(const QString &reason)
{
    if (!m_running || cancelled())
        return;
    m_cancelReason = reason;
    for (TProcessRunner *runner : {&Rastermill, &Inkforge, &Spoolgate, &BatchExec})
        runner->stopWaiting();
}

TPipelineResult TPrintPipeline::run(const TPipelineRequest &request)
{
    TPipelineResult result;
    m_cancelReason.clear();
    m_running = true;
    const auto notRunning = qScopeGuard([this] { m_running = false; });
    const QString install = withSlash(request.InstallFolder);

    // The tools and the script name their files relative to the install folder.
    const QString previousFolder = QDir::currentPath();
    auto restoreFolder = qScopeGuard([&] { QDir::setCurrent(previousFolder); });
    if (!install.isEmpty() && !QDir::setCurrent(install)) {
        result.FailureMessage = QStringLiteral("Cannot make the install folder %1 the current "
                                               "folder.")
                                    .arg(QDir::toNativeSeparators(install));
        return result;
    }

    LogFile log;
    const QString logPath = workFolderOf(request) + QStringLiteral("ZorLog.txt");
    if (!log.open(logPath)) {
        result.FailureMessage = QStringLiteral("Cannot Create Log File %1 (%2)")
                                    .arg(QDir::toNativeSeparators(logPath), log.errorString());
        return result;
    }
    log.line(QStringLiteral("***** Diridu Log *****"));
    log.line(QStringLiteral("      Version ") + request.GuiVersion);
    log.line(QStringLiteral("      Print by ") + request.PrintSource);

    PipelineRun pipelineRun(*this, request, log, result);
    try {
        pipelineRun.execute();
    } catch (const ZorError &error) {
        result.FailureMessage = error.message();
    }
    log.line();
    log.line(QStringLiteral("***** End of Log *****"));
    log.close();
    pipelineRun.removeFiles();
    if (!log.failure().isEmpty()) {
        // Without its log a request cannot be judged: what the tools said may be lost.
        const QString message = QStringLiteral("Unable to write to %1 (%2)")
                                    .arg(QDir::toNativeSeparators(logPath), log.failure());
        result.FailureMessage = result.failed() ? result.FailureMessage + u'\n' + message : message;
    }
    return result;
}

QString shellQuoted(const QString &text)
{
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + quoted + u'\'';
}

TExclusiveFile createZorFile(const QString &folder, const QString &extension)
{
    TExclusiveFile file;
    // Numbers 1 to FFFF from a random start, as the names' form allows, so that two front
    // ends sharing an install folder rarely try the same names.
    constexpr int count = 0xFFFF;
    const int start = int(QRandomGenerator::global()->bounded(count));
    for (int i = 0; i < count; ++i) {
        const int number = (start + i) % count + 1;
        const QString name =
            QStringLiteral("Zor") + QString::number(number, 16).toUpper() + extension;
        const int fd = ::open(QFile::encodeName(folder + name).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            file.name = name;
            file.fd = fd;
            return file;
        }
        if (errno != EEXIST) {
            file.error = QString::fromLocal8Bit(std::strerror(errno));
            return file;
        }
    }
    file.error = QStringLiteral("All names are taken");
    return file;
}
