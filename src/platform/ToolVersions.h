#pragma once

#include <QString>
#include <QStringList>

// A FileVersion text as shown to the user: blanks removed, commas turned into points,
// so "2, 8, 0, 1" reads "2.8.0.1".
QString normaliseVersionText(const QString &fileVersion);

// Asks each tool for its version (the first line it prints for --version) and returns the
// normalised texts in the same order. All tools run at once and the whole call waits at
// most timeoutMs: a missing, failing, silent or slow tool gives an empty text.
QStringList readToolVersions(const QStringList &toolPaths, int timeoutMs);
