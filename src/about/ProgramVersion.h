#pragma once

#include <QString>

// The program's own version and copyright, as the build stamps them: four 16-bit numbers
// major.minor.release.build and the LegalCopyright text.
struct TProgramVersion
{
    int Major = 0;
    int Minor = 0;
    int Release = 0;
    int Build = 0;
    QString LegalCopyright;

    // "major.minor.release.build".
    QString text() const;
    // "major.minor.release", the form the window caption and the About box show.
    QString shortText() const;
};

// dotted: up to four numbers joined by points; missing or unreadable numbers count as 0.
TProgramVersion parseProgramVersion(const QString &dotted, const QString &legalCopyright);

// The version of this build.
TProgramVersion programVersion();
