#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// What the program is started with; tests give their own folders and arguments.
struct StartupOptions
{
    QString programFolder; // ends with "/"
    // Image paths named on the command line, as the bytes the system gave them.
    QList<QByteArray> arguments;
    // How long start-up waits, at most, for the tools to tell their versions.
    int toolVersionTimeoutMs = 750;
};

inline QString designedCaption()
{
    return QStringLiteral("Zorlane Graphical Interface");
}

// The program's own version: four numbers joined by points, from the build.
QString guiVersion();
// designed caption + " Version " + the first three numbers of the version.
QString versionCaption(const QString &caption, const QString &version);
