#include "InstallPaths.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString matchingEntry(const QString &folder, const QString &name)
{
    if (QFileInfo::exists(folder + name))
        return name;
    const QStringList entries =
        QDir(folder.isEmpty() ? QStringLiteral(".") : folder)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

} // namespace

QString resolveCaseInsensitive(const QString &base, const QString &relative)
{
    const QStringList parts = relative.split(QLatin1Char('/'));
    QString path = base;
    for (int i = 0; i < parts.size(); ++i) {
        const QString &part = parts.at(i);
        const bool last = i == parts.size() - 1;
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..")) {
            path += part + (last ? QString() : QStringLiteral("/"));
            continue;
        }
        const QString found = matchingEntry(path, part);
        if (found.isEmpty())
            return path + QStringList(parts.mid(i)).join(QLatin1Char('/'));
        path += found + (last ? QString() : QStringLiteral("/"));
    }
    return path;
}

QStringList filesWithSuffix(const QString &folder, const QString &suffix)
{
    QStringList result;
    const QStringList entries =
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.endsWith(suffix, Qt::CaseInsensitive))
            result.append(entry);
    }
    return result;
}

QString folderOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

QString installFolderOf(const QString &programFolder)
{
    const qsizetype from = programFolder.size() - 2;
    if (from < 0)
        return {};
    const qsizetype slash = programFolder.lastIndexOf(QLatin1Char('/'), from);
    return slash < 0 ? QString() : programFolder.left(slash + 1);
}
