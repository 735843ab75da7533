#pragma once

#include <QString>
#include <QStringList>

class TProfileErrors;
class TZorGraphs;

// One run of Curvewright for a saved ink description: the tool is started in the install
// folder, its report collected, success judged by the expected curve file's time stamp,
// the log written, and the report and graphs windows shown.
struct CurveCreationJob
{
    QString installFolder;      // with its trailing "/"; the tool starts here
    QString workFolder;         // with its trailing "/"; temporary files and the log
    QString model;              // the editor's printing model
    QString descriptionPath;    // the saved description, full path
    QString curvewrightVersion; // first line of the log
    bool debugging = false;     // show the run as the pipeline's debugging mode does
};

struct CurveCreationOutcome
{
    bool started = false;   // false: the message "Could not start Curvewright.exe" is due
    bool succeeded = false; // the curve file was written
    QStringList report;     // the log's lines, version line first
};

// Runs the job, keeping the windows responsive while the tool works. Shows report (when it
// holds more than one line) and graphs (on success) itself; the caller shows the start
// failure message after this returns.
CurveCreationOutcome runCurvewright(const CurveCreationJob &job, TProfileErrors *report,
                                    TZorGraphs *graphs);

// The curve file a run for model and description makes: Zorlane/<model>/<name>.zorl.
QString expectedCurveFile(const QString &installFolder, const QString &model,
                          const QString &descriptionPath);
