#include "CurveCreationRun.h"

#include "InkDescription.h"
#include "InstallPaths.h"
#include "PrintPipeline.h"
#include "TProcessRunner.h"
#include "TProfileErrors.h"
#include "TZorGraphs.h"

#include <QApplication>
#include <QFile>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kCurvewright = QStringLiteral("./bin/Curvewright");
// A tool gone astray can write without end; the report shows only its beginning.
constexpr qint64 MaxReportBytes = 1024 * 1024;

// The curve file as it was before the run. A rewrite within the same second counts as a
// change, and so does a new file put in place by renaming (another inode).
struct FileStamp
{
    bool exists = false;
    timespec modified{};
    ino_t inode = 0;

    bool operator==(const FileStamp &other) const
    {
        return exists == other.exists && modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec && inode == other.inode;
    }
};

FileStamp stampOf(const QString &path)
{
    FileStamp stamp;
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return stamp;
    stamp.exists = true;
    stamp.modified = info.st_mtim;
    stamp.inode = info.st_ino;
    return stamp;
}

// The report file's lines, as a text list reads them: CR LF, LF or CR end a line, and a
// last line without an end counts.
QStringList reportLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(MaxReportBytes);
    QString text = QString::fromLocal8Bit(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (text.endsWith(u'\n'))
        text.chop(1);
    QStringList lines = text.isEmpty() ? QStringList() : text.split(u'\n');
    if (!file.atEnd())
        lines.append(QStringLiteral("(Curvewright reported more than %1 bytes; the rest is "
                                    "not shown.)")
                         .arg(MaxReportBytes));
    return lines;
}

void writeLog(const QString &path, const QStringList &lines)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    for (const QString &line : lines)
        file.write(line.toLocal8Bit() + "\r\n");
    file.commit();
}

// The two files that receive the tool's streams; closed and removed whatever happens.
class StreamFiles
{
public:
    explicit StreamFiles(const QString &folder)
    {
        for (TExclusiveFile &file : m_files) {
            file = createZorFile(folder, QStringLiteral(".tmp"));
            if (file.fd < 0)
                m_error = file.error;
            else
                file.name.prepend(folder);
        }
    }
    ~StreamFiles()
    {
        closeHandles();
        remove(0);
        remove(1);
    }
    StreamFiles(const StreamFiles &) = delete;
    StreamFiles &operator=(const StreamFiles &) = delete;

    QString error() const { return m_error; }
    int fd(int index) const { return m_files[index].fd; }
    QString path(int index) const { return m_files[index].name; }
    // Once the tool runs only it holds the files.
    void closeHandles()
    {
        for (TExclusiveFile &file : m_files) {
            if (file.fd >= 0)
                ::close(file.fd);
            file.fd = -1;
        }
    }
    void remove(int index)
    {
        if (!m_files[index].name.isEmpty())
            QFile::remove(m_files[index].name);
        m_files[index].name.clear();
    }

private:
    TExclusiveFile m_files[2];
    QString m_error;
};

enum StreamFile { ReportFile = 0, GraphOutputFile = 1 };

// Starts the tool and waits for it; the wait keeps the windows repainting. A tool that
// goes on past the limit is stopped. Empty when it ran, else why not.
QString runTool(const CurveCreationJob &job, StreamFiles &files, QStringList &report,
                int timeLimitMs)
{
    TProcessRunner runner;
    runner.setExecuteName(kCurvewright);
    runner.setArguments({job.descriptionPath});
    runner.setStartInString(job.installFolder);
    runner.setStdOutput(files.fd(GraphOutputFile));
    runner.setStdError(files.fd(ReportFile));
    runner.setShowCommand(job.debugging ? TShowCommand::Normal : TShowCommand::Hidden);
    runner.setWait(false);
    QObject::connect(&runner, &TProcessRunner::started, [&files] { files.closeHandles(); });
    if (!runner.Execute())
        return QStringLiteral("Could not start Curvewright");
    if (!runner.waitForEnd(timeLimitMs)) {
        runner.terminate();
        report.append(QStringLiteral("Curvewright did not finish in time and was stopped."));
    }
    return {};
}

} // namespace

QString expectedCurveFile(const QString &installFolder, const QString &model,
                          const QString &descriptionPath)
{
    return resolveCaseInsensitive(installFolder, QStringLiteral("Zorlane/") + model + u'/' +
                                                     curveNameOf(descriptionPath) +
                                                     QStringLiteral(".zorl"));
}

CurveCreationOutcome runCurvewright(const CurveCreationJob &job, TProfileErrors *report,
                                    TZorGraphs *graphs, int timeLimitMs)
{
    CurveCreationOutcome outcome;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString curveFile = expectedCurveFile(job.installFolder, job.model, job.descriptionPath);
    const FileStamp before = stampOf(curveFile);

    StreamFiles files(job.workFolder);
    QStringList lines;
    if (!files.error().isEmpty()) {
        outcome.error = QStringLiteral("Cannot Create Temporary File: ") + files.error();
    } else {
        outcome.error = runTool(job, files, lines, timeLimitMs);
        if (outcome.error.isEmpty()) {
            lines = reportLines(files.path(ReportFile)) + lines;
            outcome.succeeded = !(stampOf(curveFile) == before);
            if (!outcome.succeeded)
                lines.append(QStringLiteral("Curve Creation failed."));
        }
    }
    QApplication::restoreOverrideCursor();
    files.remove(ReportFile);

    if (lines.size() > 1 && report)
        report->showReport(QStringLiteral("Curvewright Report"), lines);
    lines.prepend(QStringLiteral("Curvewright version ") + job.curvewrightVersion);
    writeLog(job.workFolder + QStringLiteral("CurvewrightLog.txt"), lines);
    outcome.report = lines;

    if (outcome.succeeded && graphs) {
        graphs->CurveFile = curveFile;
        graphs->GraphOutputFile = files.path(GraphOutputFile);
        graphs->ShowGraphs();
    }
    return outcome;
}
