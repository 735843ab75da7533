#include "InstancePaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>

QString runtimeDirectory()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (path.isEmpty())
        return {};
    if (!QFileInfo(path).isDir()) {
        // Parents with the usual permissions, the directory itself private from its first
        // moment, so there is no window in which another account could reach it.
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && !QFileInfo(path).isDir())
            return {};
    }
    return path;
}

QString instanceLockPath()
{
    const QString directory = runtimeDirectory();
    return directory.isEmpty() ? QString() : directory + QStringLiteral("/DIRIDU.MUTEX");
}

QString mailServerPath()
{
    const QString directory = runtimeDirectory();
    return directory.isEmpty() ? QString() : directory + QStringLiteral("/DiriduMail");
}
