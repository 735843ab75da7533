#pragma once

#include "CurveFile.h"
#include "InkMapping.h"
#include "RequestModel.h"
#include "ToolArguments.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Inkforge's arguments: gui 0 0 <copies> "<parameters>", the parameters
//   PPD=<model>.ppd PRINTER=<model> MediaType=<kw> [<feed key>=<kw>] Pagesize=<kw or custom>
//   Resolution=<kw> [RipSpeed=<kw>] ColorModel=<ZorRIP|ZorCal> ripCurve1=<curve>
//   ripCurve2=<curve> ripBlend=<0..100> stpDither=<kw> [RipBlack=<kw>]
//   ripGamma=<[m]0..15> ripLimit=<[m]0..50>
// A curve is the file Zorlane/<PRINTER>/<curve>.zorl of the install folder, found whatever
// the letter case; a curve keyword of the model file without such a file is the built-in
// neutral curve (ZorNeutral).
struct InkRequest
{
    JobPrefix prefix;
    RequestModel model;
    QString curve1;
    QString curve2;
    InkAdjustments adjustments;
    QStringList channels;                   // ink channels of the printer data, in order
    std::vector<CurveChannel> curve1Values; // one per channel
    std::vector<CurveChannel> curve2Values;
    QList<QPair<QString, QString>> facts; // what the printer data header repeats
};

constexpr int MaxGamma = 15;
constexpr int MaxLimit = 50;

std::optional<InkRequest> parseInkRequest(const QStringList &args, Diagnostics &diagnostics);

// "0", "7" or "m7" (minus seven) within -limit..limit.
std::optional<int> parseSignedSlider(const QString &text, int limit);

// The built-in neutral curve: black ink alone, straight from paper white to full black.
// The black is K, else the one RipBlack names, else PK, else MK, else the first channel.
std::vector<CurveChannel> neutralCurve(const QStringList &channels, const QString &black);
