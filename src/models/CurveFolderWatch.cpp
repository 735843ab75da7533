#include "CurveFolderWatch.h"

#include <QDir>
#include <QFileInfo>

CurveFolderWatch::CurveFolderWatch(QObject *parent) : QObject(parent)
{
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this,
            &CurveFolderWatch::onDirectoryChanged);
}

void CurveFolderWatch::setFolder(const QString &folder)
{
    const QStringList watched = m_watcher.directories();
    if (!watched.isEmpty())
        m_watcher.removePaths(watched);
    m_folder = folder;
    m_names = listNames();
    if (!m_folder.isEmpty() && QFileInfo(m_folder).isDir())
        m_watcher.addPath(m_folder);
}

void CurveFolderWatch::onDirectoryChanged(const QString &path)
{
    if (m_folder.isEmpty() || QDir::cleanPath(path) != QDir::cleanPath(m_folder))
        return;
    // The system also reports changes of attributes; only names matter to the curve lists.
    QStringList names = listNames();
    if (names == m_names)
        return;
    m_names = std::move(names);
    emit changed();
}

QStringList CurveFolderWatch::listNames() const
{
    if (m_folder.isEmpty())
        return {};
    // Files only: new or removed subfolders do not change the curve lists.
    return QDir(m_folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}
