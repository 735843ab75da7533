#pragma once

#include <QString>
#include <QStringList>

// The installation was laid out for a case-insensitive file system: the names the program
// uses ("PPD/", "channelwedge.tif", "*.zorl") must find files whatever their letter case.

// Resolves relative ("/"-separated components) below base. Each component is taken as it
// is when it exists, else the first entry (in name order) that matches it without regard
// to letter case. When a component matches nothing the rest is appended unchanged, so
// the result names the path the caller asked for and opening it fails as usual.
QString resolveCaseInsensitive(const QString &base, const QString &relative);

// Names of the files in folder whose names end with suffix in any letter case, sorted
// by name. Subfolders are not listed.
QStringList filesWithSuffix(const QString &folder, const QString &suffix);

// The folder part of a path, ending with "/".
QString folderOf(const QString &path);

// The parent of a program folder that ends with "/": everything up to and including the
// "/" before the last one. Empty when there is none (the program sits in the root).
QString installFolderOf(const QString &programFolder);
