#include "InstalledToolVersions.h"

#include "TFileInfo.h"
#include "ToolVersions.h"

QStringList readInstalledToolVersions(const QStringList &toolPaths, int timeoutMs)
{
    QStringList fromResources;
    QStringList toAsk; // an empty path is asked nothing and tells nothing
    for (const QString &path : toolPaths) {
        const TFileInfo info(path);
        const bool windowsExecutable = info.isExecutable();
        fromResources.append(windowsExecutable ? normaliseVersionText(info.read().FileVersion)
                                               : QString());
        toAsk.append(windowsExecutable ? QString() : path);
    }
    const QStringList told = readToolVersions(toAsk, timeoutMs);
    QStringList versions;
    for (qsizetype i = 0; i < toolPaths.size(); ++i)
        versions.append(toAsk.at(i).isEmpty() ? fromResources.at(i) : told.value(i));
    return versions;
}
