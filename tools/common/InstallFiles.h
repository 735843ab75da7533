#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The installation was laid out for a case-insensitive file system, so names such as
// "ppd/ZorlR2400.ppd" or "Zorlane/<model>/warm.zorl" are found whatever their letter case.
// The install folder is the current folder: the front end starts the tools there.

// The existing path of relative ("/"-separated, no "." or ".." parts) below base: each
// part as it is when it exists, else the first entry in name order that matches it
// without regard to letter case. Nothing when a part matches no entry.
std::optional<QString> findCaseInsensitive(const QString &base, const QString &relative);

// Reads a whole file of at most maxBytes. Nothing, with the reason in error, when the file
// cannot be read or is larger.
std::optional<QByteArray> readSmallFile(const QString &path, qint64 maxBytes, QString &error);
