#include "CurveOutput.h"

#include <QSaveFile>

#include <cmath>

namespace {

// A name inside a comment line must not start a line of its own.
QByteArray commentText(const QString &text)
{
    QString line = text;
    for (QChar &c : line) {
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    }
    return line.toUtf8();
}

} // namespace

QByteArray curveFileText(const CurveJob &job, const BuiltCurve &curve)
{
    QByteArray text = "# ZORLANE " + job.inks.join(QLatin1Char(',')).toLatin1() + '\n';
    text += "# " +
            commentText(QStringLiteral("%1 curve for %2, made by Curvewright from %3.")
                            .arg(job.curveName, job.model, job.sourceName)) +
            '\n';
    text += "# Levels 0 (paper white) to 255 (deepest black); ink amounts 0 to 65535.\n";
    for (qsizetype c = 0; c < job.inks.size(); ++c) {
        text += "# " + job.inks[c].toLatin1() + '\n';
        for (quint16 amount : curve.channels[size_t(c)])
            text += QByteArray::number(amount) + '\n';
    }
    return text;
}

QByteArray graphOutputText(const CurveJob &job, const BuiltCurve &curve)
{
    QByteArray text = "# Curvewright graph output for " +
                      commentText(job.curveName + QStringLiteral(".zorl")) + '\n';
    if (!curve.linearization)
        return text;
    text += "LINEARIZE_CURVE\n";
    for (int level = 0; level < CurveLevels; ++level) {
        const long amount = std::lround((*curve.linearization)[size_t(level)] * 65535.0);
        text += QByteArray::number(level) + ' ' + QByteArray::number(qlonglong(amount)) + '\n';
    }
    return text + '\n';
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString &error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}
