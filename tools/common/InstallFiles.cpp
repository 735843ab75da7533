#include "InstallFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

std::optional<QString> findCaseInsensitive(const QString &base, const QString &relative)
{
    QString path = base.endsWith(QLatin1Char('/')) ? base : base + QLatin1Char('/');
    const QStringList parts = relative.split(QLatin1Char('/'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString &part = parts.at(i);
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return std::nullopt;
        QString found;
        if (QFileInfo::exists(path + part)) {
            found = part;
        } else {
            const QStringList entries = QDir(path).entryList(
                QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
            for (const QString &entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    found = entry;
                    break;
                }
            }
        }
        if (found.isEmpty())
            return std::nullopt;
        path += found;
        if (i + 1 < parts.size())
            path += QLatin1Char('/');
    }
    return path;
}

std::optional<QByteArray> readSmallFile(const QString &path, qint64 maxBytes, QString &error)
{
    QFile file(path);
    if (!QFileInfo(path).isFile()) {
        error = QStringLiteral("not a file");
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return std::nullopt;
    }
    // Read one byte past the limit rather than trusting the size the file system reports.
    QByteArray data = file.read(maxBytes + 1);
    if (data.size() > maxBytes) {
        error = QStringLiteral("larger than %1 bytes").arg(maxBytes);
        return std::nullopt;
    }
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return std::nullopt;
    }
    return data;
}
