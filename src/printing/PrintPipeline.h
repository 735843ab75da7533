#pragma once

#include "PrintRequest.h"
#include "TProcessRunner.h"

#include <QString>
#include <QStringList>

// One run of Rastermill | Inkforge | Spoolgate for a print request.
struct TPipelineRequest
{
    // Both end with "/". The tools are started from the install folder with paths relative
    // to it; they live in the program folder.
    QString InstallFolder;
    QString ProgramFolder;
    // Where ZorLog.txt and the temporary and script files go, ending with "/"; empty means
    // the install folder.
    QString WorkFolder;

    // The texts and argument lists built for the request.
    TPrintArguments Arguments;

    // "Print", "Drag-Drop AutoPrint" or "Monitor Folder": only written to the log.
    QString PrintSource;
    QString GuiVersion;
    QString RastermillVersion;
    QString InkforgeVersion;

    // UseBatch checked: the pipeline runs through a shell script instead of pipes.
    bool UseBatch = false;
    // Debugging on: the script is shown in a terminal and pauses at its end.
    bool Debugging = false;
};

// What a run leaves for the error display and the caller.
struct TPipelineResult
{
    // The error lines of each tool, in the order the tool wrote them.
    QStringList RastermillList;
    QStringList InkforgeList;
    QStringList SpoolgateList;
    // A tool reported errors, or Spoolgate could not be started: show the error display.
    bool ErrorFlag = false;
    // Set when the run was broken off ("Could not start Rastermill", "Cannot Create Pipe",
    // ...) or its log could not be written: raise it after the error display has been shown.
    QString FailureMessage;
    // The run was cancelled: its tools were ended and nothing is to be shown.
    bool Cancelled = false;

    bool failed() const { return !FailureMessage.isEmpty(); }
    // Raises the failure as a ZorError; does nothing when the run was not broken off.
    void raiseIfFailed() const;
};

// The tools' runners and the run of one request. The runners belong to the pipeline for
// the program's lifetime, so that a tool still running after the pipeline can be ended.
class TPrintPipeline
{
public:
    TPrintPipeline();

    TProcessRunner Rastermill;
    TProcessRunner Inkforge;
    TProcessRunner Spoolgate;
    TProcessRunner BatchExec;

    // Runs the pipeline with the install folder as the current folder and writes
    // ZorLog.txt in the work folder. Whatever happens, the previous current folder is restored and the
    // temporary files are removed before it returns. Does not raise: a failure is written
    // to the log and returned in FailureMessage.
    TPipelineResult run(const TPipelineRequest &request);

    // Asks the run in progress (called from the events it keeps running) to end at once:
    // its waits stop, its tools are ended, and the log says why ("Cancelled: " + reason).
    void cancel(const QString &reason);
    bool running() const { return m_running; }
    bool cancelled() const { return !m_cancelReason.isEmpty(); }
    QString cancelReason() const { return m_cancelReason; }

    // The most error lines kept per tool, and the longest line shown; the log has them all.
    static constexpr int MaxErrorLines = 100;
    static constexpr int MaxErrorLineLength = 300;

private:
    bool m_running = false;
    QString m_cancelReason;
};

// The text as one word for /bin/sh: in single quotes, each quote inside written as '\''.
// Nothing in it is expanded.
QString shellQuoted(const QString &text);

// A file made anew for this request only: "Zor" with up to four hexadecimal digits and the
// extension, created exclusively in folder. fd is open for writing (close-on-exec), or -1
// when no such file could be created; name is without the folder.
struct TExclusiveFile
{
    QString name;
    int fd = -1;
    QString error;
};
TExclusiveFile createZorFile(const QString &folder, const QString &extension);
