#pragma once

#include "CurveMethod.h"

#include <QString>
#include <QStringList>

#include <optional>

class Diagnostics;

// What one run of Curvewright makes: the description read, its printing model's ink set,
// the curve file to write, and the numbers the method works on.
struct CurveJob
{
    QString model;
    QStringList inks;   // the model's ink set, the curve file's channels
    QString curveName;  // CURVE_NAME, or the description file's name without extension
    QString curvePath;  // Zorlane/<model>/<curveName>.zorl in the install folder
    QString sourceName; // the description file's name, for the curve file's comment
    CurvePlan plan;
    QStringList summary; // informative report lines for a run that succeeds
};

// Reads the description at descriptionPath (relative to the current folder or absolute)
// against the printing models of installFolder. Reports every problem through diagnostics
// and returns nothing when there was any.
std::optional<CurveJob> prepareCurveJob(const QString &installFolder,
                                        const QString &descriptionPath, Diagnostics &diagnostics);
