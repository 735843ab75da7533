#include "PrintPipeline.h"

#include "InstallPaths.h"
#include "ZorError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <array>
#include <cerrno>
#include <cstring>
#include <functional>
#include <utility>

#include <fcntl.h>
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
// by a crash still shows how far the request got.
class LogFile
{
public:
    bool open(const QString &path)
    {
        m_file.setFileName(path);
        return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
    QString errorString() const { return m_file.errorString(); }

    void line(const QString &text = QString())
    {
        if (!m_file.isOpen())
            return;
        m_file.write(text.toUtf8());
        m_file.write("\r\n", 2);
        m_file.flush();
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

class PipelineRun
{
public:
    PipelineRun(TPrintPipeline &pipeline, const TPipelineRequest &request, LogFile &log,
                TPipelineResult &result)
        : m_p(pipeline), m_r(request), m_log(log), m_result(result),
          m_install(withSlash(request.InstallFolder)), m_files(m_install)
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
        readErrorFiles();
    }

    // The temporary files go before the caller writes the end of the log.
    void removeFiles() { m_files.removeAll(); }

private:
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

    void runBatch()
    {
        m_log.line(QStringLiteral("      Execution Mode is Batch File"));
        m_log.line();
        // Only the shell writes to the error files from here on.
        m_files.closeAll();

        const TPrintArguments &a = m_r.Arguments;
        auto segment = [&](const QString &tool, int errorFile, const QStringList &arguments) {
            QStringList words{shellQuoted(toolPath(tool)),
                              QStringLiteral("2>") +
                                  shellQuoted(m_files.path(errorFile).mid(m_install.size()))};
            for (const QString &argument : arguments)
                words.append(shellQuoted(argument));
            return words.join(u' ');
        };
        QStringList script{
            QStringLiteral("#!/bin/sh"),
            QStringLiteral("cd ") +
                shellQuoted(m_install.isEmpty() ? QStringLiteral(".") : m_install),
            segment(RastermillName, 0, a.rastermillArguments()) + QStringLiteral(" | ") +
                segment(InkforgeName, 1, a.inkforgeArguments()) + QStringLiteral(" | ") +
                segment(SpoolgateName, 2, a.spoolgateArguments()),
        };
        // In debugging mode the script runs in a terminal, which stays open on the tools'
        // output until Enter; without a terminal it runs as usual and must not wait at all.
        TProcessRunner &runner = m_p.BatchExec;
        const bool inTerminal = m_r.Debugging && !runner.terminalToUse().isEmpty();
        if (inTerminal)
            script << QStringLiteral("echo") << QStringLiteral("echo")
                   << QStringLiteral("printf '%s' 'Press Enter to continue . . . '")
                   << QStringLiteral("read -r answer");

        const QString batchName =
            m_files.create(QStringLiteral(".sh"), m_log, QStringLiteral("Batch File"));
        const int batch = 3;
        const QByteArray text = (script.join(u'\n') + u'\n').toUtf8();
        const bool written = ::write(m_files.fd(batch), text.constData(), size_t(text.size())) ==
                             ssize_t(text.size());
        m_files.closeFd(batch);
        if (!written)
            m_log.LogAndRaise(QStringLiteral("Cannot Create Batch File"));

        // The log shows the script as it was written to disk.
        forEachLine(m_files.path(batch), [this](const QString &line) { m_log.line(line); });

        runner.setExecuteName(QStringLiteral("/bin/sh"));
        runner.setArguments({m_install + batchName});
        runner.setStartInString(QString());
        runner.clearStdHandles();
        runner.setWait(true);
        runner.setShowCommand(inTerminal ? TShowCommand::Normal : TShowCommand::Hidden);
        if (!runner.Execute())
            m_log.LogAndRaise(QStringLiteral("Could not start Batch File"));
        QFile::remove(m_files.path(batch));
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
        rastermill.terminate();
        inkforge.terminate();
        if (!started) {
            m_result.ErrorFlag = true;
            m_log.LogAndRaise(QStringLiteral("Could not start ") + SpoolgateName);
        }
    }

    void readErrorFiles()
    {
        toolSection(RastermillName, m_r.RastermillVersion, 0, m_result.RastermillList);
        toolSection(InkforgeName, m_r.InkforgeVersion, 1, m_result.InkforgeList);

        m_log.line();
        m_log.line(QStringLiteral("***** Spoolgate Log *****"));
        m_log.line();
        // Spoolgate writes nothing unless something went wrong.
        forEachLine(m_files.path(2), [this](const QString &line) {
            m_log.line(line);
            m_result.ErrorFlag = true;
            m_result.SpoolgateList.append(line);
        });
    }

    void toolSection(const QString &tool, const QString &version, int errorFile,
                     QStringList &errors)
    {
        m_log.line();
        m_log.line(QStringLiteral("***** ") + tool + QStringLiteral(" Log *****"));
        m_log.line(QStringLiteral("      Version ") + version);
        m_log.line();
        forEachLine(m_files.path(errorFile), [&](const QString &line) {
            m_log.line(line);
            if (reportsError(line)) {
                m_result.ErrorFlag = true;
                errors.append(line);
            }
        });
    }

    TPrintPipeline &m_p;
    const TPipelineRequest &m_r;
    LogFile &m_log;
    TPipelineResult &m_result;
    QString m_install;
    RequestFiles m_files;
};

} // namespace

void TPipelineResult::raiseIfFailed() const
{
    if (failed())
        throw ZorError(FailureMessage);
}

TPrintPipeline::TPrintPipeline()
{
    Rastermill.setObjectName(QStringLiteral("Rastermill"));
    Inkforge.setObjectName(QStringLiteral("Inkforge"));
    Spoolgate.setObjectName(QStringLiteral("Spoolgate"));
    BatchExec.setObjectName(QStringLiteral("BatchExec"));
}

TPipelineResult TPrintPipeline::run(const TPipelineRequest &request)
{
    TPipelineResult result;
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
    const QString logPath = install + QStringLiteral("ZorLog.txt");
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
