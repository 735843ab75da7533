#include "PathCaption.h"

QString ShortenPathCaption(const QString &path, int maxWidth,
                           const std::function<int(const QString &)> &widthOf)
{
    if (widthOf(path) <= maxWidth)
        return path;
    const QChar separator = path.contains(QLatin1Char('/')) ? QLatin1Char('/') : QLatin1Char('\\');
    const qsizetype first = path.indexOf(separator);
    if (first < 0)
        return path;
    const QString prefix = path.left(first + 1) + QStringLiteral("...") + separator;
    QString rest = path.mid(first + 1);
    QString caption = path;
    for (;;) {
        const qsizetype next = rest.indexOf(separator);
        if (next < 0)
            break;
        rest = rest.mid(next + 1);
        caption = prefix + rest;
        if (widthOf(caption) <= maxWidth)
            break;
    }
    return caption;
}
