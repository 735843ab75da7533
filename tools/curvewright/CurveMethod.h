#pragma once

#include "CurveFile.h"
#include "InkDescription.h"

#include <QPointF>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// How Curvewright turns an ink description into ink amounts: plain numbers in, ink amounts
// out. CurveMethod.cpp describes the method.

// A curve as a share of something per level, 0 to 1: of an ink's limit, or of the tonal
// range for an adjustment of the tonal axis.
using CurveFraction = std::array<double, CurveLevels>;

// The shape of the gray curve or of a toner curve, as numbers.
struct ToneShape
{
    double highlight = 10; // 0 to 300: the higher, the softer each ramp begins
    double shadow = 10;    // 0 to 300: the higher, the softer each ramp reaches its full amount
    double overlap = 50;   // 0 to 300, gray only: how far a darker ink starts before the
                           // lighter one is full, in percent of the lighter one's ramp
    double gamma = 1;      // 0.1 to 10: above 1 lightens the midtones
    std::optional<CurveFraction> adjustment; // an adjustment of the tonal axis
};

struct ChannelPlan
{
    QString ink;
    InkUse use = InkUse::NotUsed;
    double density = 0;     // gray and toner inks: 1 to 100
    double limit = 100;     // percent of the full amount, 0 to 100
    int copyOf = -1;        // "Copy curve from": the channel whose curve this one follows
    CurveFraction loaded{}; // "Load Curve": the curve, as a share of the limit
};

struct CurvePlan
{
    std::vector<ChannelPlan> channels; // in the model's ink set order
    ToneShape gray;
    ToneShape toner;
    ToneShape toner2;
    double blackBoost = 100; // 0 to 100
    int blackChannel = -1;   // the channel the black boost acts on; -1 for none
    // Measured values at evenly spaced steps from paper white to full black, in percent
    // (densities, or lightness: either direction is accepted). Empty: no linearization.
    std::vector<double> linearization;
};

struct BuiltCurve
{
    std::vector<::CurveChannel> channels; // ink amounts 0 to 65535, in the plan's order
    // The correction of the tonal axis: the input level's new position, 0 to 1 per level.
    std::optional<CurveFraction> linearization;
};

// The curve described by plan. Copies must point at a channel that is no copy itself.
// A linearization whose measurements show no tonal range is left out.
BuiltCurve buildCurve(const CurvePlan &plan);

// The monotone cubic (Fritsch-Carlson) through points (x and y from 0 to 1), sampled at the
// 256 levels; flat before the first and after the last point. Points are taken in order of
// x, a later point replacing an earlier one at the same x; outputs that fall are raised to
// the highest output before them, which is reported through raised.
CurveFraction monotoneCurveThrough(std::vector<QPointF> points, bool *raised = nullptr);

// values raised where they fall, so that they never decrease; tells whether any was.
bool makeNonDecreasing(CurveFraction &values);

// The tonal axis correction for measurements as in CurvePlan::linearization; nothing when
// they hold fewer than two values or no tonal range.
std::optional<CurveFraction> linearizationCorrection(const std::vector<double> &measured);
