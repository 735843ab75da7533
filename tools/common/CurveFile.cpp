#include "CurveFile.h"

#include <QList>
#include <QRegularExpression>

std::optional<InkCurve> parseCurveFile(const QByteArray &content, QString &error, QString &warning)
{
    if (content.size() > MaxCurveFileBytes) {
        error = QStringLiteral("larger than %1 bytes").arg(MaxCurveFileBytes);
        return std::nullopt;
    }
    const QList<QByteArray> lines = content.split('\n');
    const QByteArray header = lines.first().trimmed();
    // Past the comment mark: a word, then the channel list.
    const QString rest = QString::fromLatin1(header.mid(2)).trimmed();
    const qsizetype blank = rest.indexOf(QRegularExpression(QStringLiteral("\\s")));
    const QString list = blank < 0 ? QString() : rest.mid(blank).trimmed();
    InkCurve curve;
    curve.channels =
        list.toUpper().split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts);
    if (header.size() < 3 || curve.channels.isEmpty()) {
        error = QStringLiteral("line 1 names no ink channels");
        return std::nullopt;
    }
    if (curve.channels.size() > MaxCurveChannels) {
        error = QStringLiteral("more than %1 ink channels").arg(MaxCurveChannels);
        return std::nullopt;
    }
    static const QRegularExpression channelName(QStringLiteral("^[A-Z]{1,3}$"));
    for (const QString &name : std::as_const(curve.channels)) {
        if (!channelName.match(name).hasMatch()) {
            error = QStringLiteral("\"%1\" is not an ink channel name").arg(name.left(20));
            return std::nullopt;
        }
    }

    const qsizetype wanted = curve.channels.size() * qsizetype(CurveLevels);
    curve.values.assign(size_t(curve.channels.size()), CurveChannel{});
    qsizetype count = 0;
    qsizetype extra = 0;
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QByteArray line = lines.at(n).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        bool ok = false;
        const int value = line.size() <= 10 ? line.toInt(&ok) : 0;
        if (!ok || value < 0 || value > 65535) {
            error = QStringLiteral("line %1: \"%2\" is not an ink amount from 0 to 65535")
                        .arg(n + 1)
                        .arg(QString::fromLatin1(line.left(20)));
            return std::nullopt;
        }
        if (count < wanted) {
            curve.values[size_t(count / CurveLevels)][size_t(count % CurveLevels)] = quint16(value);
            ++count;
        } else {
            ++extra;
        }
    }
    if (count < wanted) {
        error = QStringLiteral("%1 ink amounts for %2 channels; %3 needed")
                    .arg(count)
                    .arg(curve.channels.size())
                    .arg(wanted);
        return std::nullopt;
    }
    if (extra > 0)
        warning = QStringLiteral("%1 ink amounts after the last channel ignored").arg(extra);
    return curve;
}
