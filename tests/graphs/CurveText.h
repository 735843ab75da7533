#pragma once

// Curve file texts for the tests of the reader and the graphs windows.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>

namespace curvetext {

// 256 values of one channel: value(level).
template <typename F> QList<int> block(F value)
{
    QList<int> values;
    for (int level = 0; level < 256; ++level)
        values.append(value(level));
    return values;
}

inline QList<int> ramp(int top)
{
    return block([top](int level) { return level * top / 255; });
}

inline QList<int> zeros()
{
    return block([](int) { return 0; });
}

// "# ZORLANE <channels>" and the blocks, each after a comment naming its place.
inline QByteArray curve(const QByteArray &channels, const QList<QList<int>> &blocks)
{
    QByteArray text = "# ZORLANE " + channels + "\n# made for a test\n";
    for (qsizetype b = 0; b < blocks.size(); ++b) {
        text += "# block " + QByteArray::number(b) + "\n";
        for (int value : blocks[b])
            text += QByteArray::number(value) + '\n';
    }
    return text;
}

inline QString write(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(content);
    return path;
}

} // namespace curvetext
