#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

// A curve file (.zorl): for each ink channel the ink amount (0 to 65535) at each of 256
// levels, level 0 paper white, level 255 the deepest black.
//
//   line 1:  two comment characters, a word, then the channel list ("# ZORLANE K,C,M,Y")
//   then:    one integer per line, 256 per channel in list order; empty lines and lines
//            starting with "#" are skipped anywhere
constexpr int CurveLevels = 256;
constexpr int MaxCurveChannels = 8;
constexpr qint64 MaxCurveFileBytes = 1024 * 1024;

using CurveChannel = std::array<quint16, CurveLevels>;

struct InkCurve
{
    QStringList channels; // upper-cased names in file order
    std::vector<CurveChannel> values;
};

// Nothing, with the reason in error, for a file that does not hold a complete curve.
// Values after the last channel are reported in warning and ignored.
std::optional<InkCurve> parseCurveFile(const QByteArray &content, QString &error, QString &warning);
