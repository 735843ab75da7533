#pragma once

#include "CurveFile.h"

#include <cstdint>
#include <vector>

// How a raster value becomes ink. With darkness d = 1 - grey / maxval (0 paper white,
// 1 full black):
//
//   gamma g (-15..15), midtones:  u = d ^ (2 ^ (-g / 15))
//       ends stay put; g = 15 halves the exponent (darker midtones), g = -15 doubles it
//   limit l (-50..50), shadows:   v = u                          for u <= 1/2
//                                 v = 1/2 + (u - 1/2)(1 + l/100)  above, at most 1
//       highlights stay put; l < 0 stops the deepest shadow short of the curve's end
//       (l = -50 at level 191), l > 0 reaches the curve's end before full black
//   curve, blend b (0..100 % of curve 1):
//       c = (b * curve1 + (100 - b) * curve2) / 100, level by level
//       ink = c at level 255 v, linear between the two neighbouring levels
//
// Each step is non-decreasing in d, so a curve that never falls gives ink that never falls
// as the raster darkens. In calibration (ZorCal) the inks are driven straight, without
// curve, gamma or limit: every channel gets d * 65535.
struct InkAdjustments
{
    double blend = 100;
    int gamma = 0;
    int limit = 0;
    bool calibration = false;
};

double adjustedLevel(double darkness, int gamma, int limit);

// For each channel, the ink amount for every raster value 0..maxValue.
std::vector<std::vector<uint16_t>> inkTables(const std::vector<CurveChannel> &curve1,
                                             const std::vector<CurveChannel> &curve2,
                                             const InkAdjustments &adjustments, int maxValue);
