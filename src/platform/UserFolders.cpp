#include "UserFolders.h"

#include "InstallPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace {

const QString kSettingsName = QStringLiteral("Diridu.ini");

FolderWritableCheck &currentCheck()
{
    static FolderWritableCheck check;
    return check;
}

// The XDG base folder named by variable when it is absolute, else home + fallback.
QString xdgFolder(const char *variable, const QString &fallback)
{
    QString base = qEnvironmentVariable(variable);
    if (!QDir::isAbsolutePath(base))
        base = QDir::homePath() + u'/' + fallback;
    return QDir::cleanPath(base) + QStringLiteral("/zorlane/");
}

// Makes folder with its parents; the folder of Zorlane's own is private to the user, as
// the scripts the pipeline runs are written there.
void makePrivateFolder(const QString &folder)
{
    if (QFileInfo(folder).isDir() || !QDir().mkpath(folder))
        return;
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void seedSettings(const QString &programFolder, const QString &settingsFolder)
{
    const QString own = resolveCaseInsensitive(settingsFolder, kSettingsName);
    if (QFileInfo::exists(own))
        return;
    const QString seed = resolveCaseInsensitive(programFolder, kSettingsName);
    if (!QFileInfo(seed).isFile() || !QFile::copy(seed, own))
        return;
    // The copy keeps the installation's permissions, which may not let its owner write.
    QFile::setPermissions(own, QFile::permissions(own) | QFile::WriteOwner | QFile::ReadOwner);
}

} // namespace

bool folderWritable(const QString &folder)
{
    return ::access(QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder).constData(),
                    W_OK | X_OK) == 0;
}

QString userConfigFolder()
{
    return xdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

QString userStateFolder()
{
    return xdgFolder("XDG_STATE_HOME", QStringLiteral(".local/state"));
}

TUserFolders chooseUserFolders(const QString &programFolder, const QString &installFolder,
                               const FolderWritableCheck &writable)
{
    const bool installationWritable =
        writable(programFolder) && (installFolder.isEmpty() || writable(installFolder));
    if (installationWritable)
        return {programFolder, installFolder, false};
    return {userConfigFolder(), userStateFolder(), true};
}

TUserFolders prepareUserFolders(const QString &programFolder, const QString &installFolder)
{
    const FolderWritableCheck &check = currentCheck();
    const TUserFolders folders =
        chooseUserFolders(programFolder, installFolder, check ? check : folderWritable);
    if (folders.PerUser) {
        makePrivateFolder(folders.SettingsFolder);
        makePrivateFolder(folders.WorkFolder);
        seedSettings(programFolder, folders.SettingsFolder);
    }
    return folders;
}

void setFolderWritableCheck(FolderWritableCheck check)
{
    currentCheck() = std::move(check);
}
