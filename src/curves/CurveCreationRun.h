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
    QString error;          // for the application's error box; empty when the tool ran
    bool succeeded = false; // the curve file was written
    QStringList report;     // the log's lines, version line first
};

// How long the tool may work before it is stopped; a real run takes seconds.
constexpr int CurvewrightTimeLimitMs = 5 * 60 * 1000;

// Runs the job, keeping the windows responsive while the tool works, with the busy cursor
// until the report is in. Shows report (when it holds more than one line) and graphs (on
// success) itself; the caller shows outcome.error after this returns. timeLimitMs is for
// tests.
CurveCreationOutcome runCurvewright(const CurveCreationJob &job, TProfileErrors *report,
                                    TZorGraphs *graphs, int timeLimitMs = CurvewrightTimeLimitMs);

// The curve file a run for model and description makes: Zorlane/<model>/<name>.zorl.
QString expectedCurveFile(const QString &installFolder, const QString &model,
                          const QString &descriptionPath);
