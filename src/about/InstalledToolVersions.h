#pragma once

#include <QString>
#include <QStringList>

// The normalised version text of each tool, in the order given: from the FileVersion of its
// version resource when the tool is a Windows executable (empty when it carries none),
// otherwise from the first line it prints for --version, all asked at once and waited for
// at most timeoutMs.
QStringList readInstalledToolVersions(const QStringList &toolPaths, int timeoutMs);
