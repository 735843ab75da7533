#pragma once

#include <QString>

#include <functional>

// Where a run keeps the files it writes itself. An installation the user can write keeps
// them as it always has: Diridu.ini in the program folder, ZorLog.txt and the temporary
// and script files in the install folder. An installation the user cannot write (one
// laid out by the system's package manager) leaves them to the user: Diridu.ini in
// $XDG_CONFIG_HOME/zorlane/ (~/.config/zorlane/), the rest in $XDG_STATE_HOME/zorlane/
// (~/.local/state/zorlane/). The tools are started in the install folder either way.
struct TUserFolders
{
    QString SettingsFolder; // ends with "/": holds Diridu.ini
    QString WorkFolder;     // ends with "/" unless empty: logs, temporary and script files
    bool PerUser = false;
};

// Whether this process may create files in folder.
using FolderWritableCheck = std::function<bool(const QString &folder)>;
bool folderWritable(const QString &folder);

// The user's configuration and state folders for Zorlane, each ending with "/". A relative
// or empty XDG_CONFIG_HOME or XDG_STATE_HOME is ignored, as those variables must name
// absolute paths.
QString userConfigFolder();
QString userStateFolder();

// The decision alone, nothing on disk touched. The installation counts as writable when
// its program folder and its install folder (where there is one) both are.
TUserFolders chooseUserFolders(const QString &programFolder, const QString &installFolder,
                               const FolderWritableCheck &writable);

// Decides with the current check and, for a per-user run, makes the folders (private to
// the user) and seeds the user's Diridu.ini from the installation's copy when the user has
// none yet. A folder that cannot be made shows later, when its file is written.
TUserFolders prepareUserFolders(const QString &programFolder, const QString &installFolder);

// The check prepareUserFolders uses; tests put their own in place for their lifetime.
void setFolderWritableCheck(FolderWritableCheck check);

class ScopedFolderWritableCheck
{
public:
    explicit ScopedFolderWritableCheck(FolderWritableCheck check)
    {
        setFolderWritableCheck(std::move(check));
    }
    ~ScopedFolderWritableCheck() { setFolderWritableCheck({}); }
    ScopedFolderWritableCheck(const ScopedFolderWritableCheck &) = delete;
    ScopedFolderWritableCheck &operator=(const ScopedFolderWritableCheck &) = delete;
};
