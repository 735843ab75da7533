#include "InkMapping.h"

#include <algorithm>
#include <cmath>

double adjustedLevel(double darkness, int gamma, int limit)
{
    const double d = std::clamp(darkness, 0.0, 1.0);
    const double u = std::pow(d, std::exp2(-gamma / 15.0));
    const double v = u <= 0.5 ? u : std::min(1.0, 0.5 + (u - 0.5) * (1.0 + limit / 100.0));
    return v * (CurveLevels - 1);
}

std::vector<std::vector<uint16_t>> inkTables(const std::vector<CurveChannel> &curve1,
                                             const std::vector<CurveChannel> &curve2,
                                             const InkAdjustments &adjustments, int maxValue)
{
    const size_t channels = curve1.size();
    std::vector<std::vector<uint16_t>> tables(channels,
                                              std::vector<uint16_t>(size_t(maxValue) + 1));
    const double share = std::clamp(adjustments.blend, 0.0, 100.0) / 100.0;
    for (size_t c = 0; c < channels; ++c) {
        std::vector<double> blended(CurveLevels);
        for (int level = 0; level < CurveLevels; ++level)
            blended[size_t(level)] =
                share * curve1[c][size_t(level)] + (1.0 - share) * curve2[c][size_t(level)];
        for (int value = 0; value <= maxValue; ++value) {
            const double darkness = 1.0 - double(value) / maxValue;
            double ink = 0;
            if (adjustments.calibration) {
                ink = darkness * 65535.0;
            } else {
                const double t = adjustedLevel(darkness, adjustments.gamma, adjustments.limit);
                const int below = std::min(int(std::floor(t)), CurveLevels - 1);
                const int above = std::min(below + 1, CurveLevels - 1);
                const double f = t - below;
                ink =
                    blended[size_t(below)] + f * (blended[size_t(above)] - blended[size_t(below)]);
            }
            tables[c][size_t(value)] = uint16_t(std::clamp(std::lround(ink), 0L, 65535L));
        }
    }
    return tables;
}
