#pragma once

#include "CurveJob.h"

#include <QByteArray>
#include <QString>

// The curve file of a job: the header naming the model's channels in ink set order, a few
// comment lines, then 256 amounts per channel, one a line.
QByteArray curveFileText(const CurveJob &job, const BuiltCurve &curve);

// Graph output for the front end's graphs window: a LINEARIZE_CURVE section of
// "level amount" lines when the curve was linearized, else only a comment line.
QByteArray graphOutputText(const CurveJob &job, const BuiltCurve &curve);

// Writes bytes to path through a temporary file renamed into place, so that a reader sees
// the old file or the whole new one. Returns whether it did; error says why not.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString &error);
