#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>

// Watches the curve folder of the loaded model for files that appear, disappear or get
// new names (not in subfolders). Reports arrive on the thread that owns the watch.
class CurveFolderWatch : public QObject
{
    Q_OBJECT

public:
    explicit CurveFolderWatch(QObject *parent = nullptr);

    // Watches folder instead of the folder watched so far; an empty text stops watching.
    void setFolder(const QString &folder);
    QString folder() const { return m_folder; }

signals:
    // The set of file names in the folder changed.
    void changed();

private:
    void onDirectoryChanged(const QString &path);
    QStringList listNames() const;

    QFileSystemWatcher m_watcher;
    QString m_folder;
    QStringList m_names;
};
