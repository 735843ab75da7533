#pragma once

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QString>

#include <array>
#include <optional>

// A curve file (.zorl) holds, for each ink channel, the ink amount at each of 256 input
// levels:
//
//   line 1:  two comment characters, a word, then the channel list ("# ZORLANE K,C,M,Y")
//   then:    one decimal integer per line, 256 per channel in list order; empty lines and
//            lines starting with "#" are skipped anywhere
//
// Curvewright's graph output holds a linearization section: after the line starting with
// "LINEARIZE_CURVE", one "level amount" pair per line up to an empty line, a "#" line or
// the end.
//
// Everything is turned into points in percent for the graphs window: x = level / 255 × 100,
// y = amount / 65575 × 100 (65575 is the tools' full scale, so 65535 plots at 99.94).

constexpr int CurveLevels = 256;
constexpr int MaxCurveChannels = 8;

// The ink series of the graphs window, in its order.
enum class InkSeries {
    Cyan,
    Magenta,
    Yellow,
    Black,
    LtCyan,
    LtMagenta,
    LtBlack,
    Gloss,
    Red,
    Blue,
    PhotoBlack,
    LtLtBlack,
    Green
};
constexpr int InkSeriesCount = 13;

// The series titles, in the order of InkSeries.
const std::array<QString, InkSeriesCount> &inkSeriesTitles();

// One channel of a curve file as read.
struct CurveChannel
{
    char code = 0;                   // 'K', 'c', 'l', ... or the unknown name's character
    std::optional<InkSeries> series; // none for a name the window has no series for
    QList<QPointF> points;           // one per value read, in level order
    qint64 amountSum = 0;            // of the values read

    // A channel is drawn unless all of its 256 values are 0; one cut short stays drawn.
    bool drawn() const { return points.size() < CurveLevels || amountSum != 0; }
};

struct CurveGraphs
{
    QString caption;
    bool linearizationFound = false;
    QList<QPointF> density;
    std::array<QList<QPointF>, InkSeriesCount> inkPoints;
    std::array<bool, InkSeriesCount> inkShown{};

    int shownInkCount() const;
    // One line needs no legend.
    bool legendVisible() const { return shownInkCount() > 1; }
};

// The readers below throw ZorError for anything they cannot read: a file that cannot be
// opened or read, a value that is not an integer ("'x' is not a valid integer value"),
// a header without a channel list, more than 8 channels, a value beyond the listed
// channels' blocks, a linearization line that is not two numbers. fileName names the file
// in the messages.

// The channels of a curve file's text, in file order.
QList<CurveChannel> readCurveChannels(const QByteArray &text, const QString &fileName);

struct Linearization
{
    bool found = false; // the LINEARIZE_CURVE line was there
    QList<QPointF> points;
};
Linearization readLinearization(const QByteArray &text, const QString &fileName);

// Both files read into what the graphs window shows; graphOutputFile may be empty.
CurveGraphs readCurveGraphs(const QString &curveFile, const QString &graphOutputFile);
