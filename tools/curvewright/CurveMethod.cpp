// The method, in the order the steps run. The tonal axis t runs from 0 (paper white, level 0)
// to 1 (deepest black, level 255). Every curve is first made as a share of its ink's limit,
// 0 to 1 and never decreasing; only the last step turns shares into ink amounts.
//
// 1. Tonal axis of a group (gray, toner, toner 2): t' = 1 - (1 - t)^(1 / gamma), so gamma
//    above 1 lightens the midtones and both ends stay where they are; then the group's
//    adjustment curve, when it has one, maps t' onto the axis once more.
//
// 2. Ramps: a ramp rises from 0 at its start to 1 at its peak along a cubic Hermite segment
//    whose slope at the start comes from the highlight value and at the peak from the
//    shadow value (slope = 3 x 10 / (10 + value): 0 gives the steepest start or finish,
//    300 an almost flat one). Both slopes lie between 0 and 3, which keeps the segment
//    monotone (Fritsch and Carlson's sufficient condition).
//
// 3. Gray inks, ordered by density (100 = darkest), spread across the tonal range: an ink's
//    ramp peaks at its density relative to the darkest gray ink, so the darkest one peaks at
//    full black. The lightest ink starts at paper white; every darker ink starts before the
//    next lighter one peaks, by the overlap (percent of that lighter ink's ramp width), so
//    the hand-over is gradual. After its peak an ink keeps its full amount.
//
// 4. Toner and toner 2 inks: one ramp over the whole tonal range with their group's shape,
//    reaching their density in percent of their limit.
//
// 5. Load Curve: the loaded curve as it is (a point list interpolated by a monotone cubic,
//    or a curve file's channel as a share of the full amount).
//
// 6. Black boost on K: K's share s becomes s^(100 / boost): 100 leaves it, lower values hold
//    K back in the midtones and shadows while full black keeps its full amount; 0 leaves K
//    out.
//
// 7. Linearization: the measured values (density, or lightness, at evenly spaced steps) are
//    scaled to the response r(x) from 0 to 1, raised where they fall, and inverted: each
//    curve c becomes c(r^-1(t)), so that a step that printed too dark gets less ink.
//
// 8. "Copy curve from": the share of the source ink's final curve.
//
// 9. Ink amounts: share x limit (percent) x 65535, rounded. Rounding keeps the order of
//    values, so every channel stays monotone and within its limit; unused inks stay 0.

#include "CurveMethod.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double FullAmount = 65535.0;

double levelPosition(int level)
{
    return double(level) / double(CurveLevels - 1);
}

// The curve's value at x (0 to 1), linear between levels.
double valueAt(const CurveFraction &curve, double x)
{
    const double at = std::clamp(x, 0.0, 1.0) * double(CurveLevels - 1);
    const int below = std::min(int(at), CurveLevels - 2);
    const double part = at - double(below);
    return curve[size_t(below)] * (1.0 - part) + curve[size_t(below + 1)] * part;
}

double hermite(double u, double startSlope, double endSlope)
{
    const double u2 = u * u;
    const double u3 = u2 * u;
    return (u3 - 2.0 * u2 + u) * startSlope + (-2.0 * u3 + 3.0 * u2) + (u3 - u2) * endSlope;
}

double slopeOf(double shapeValue)
{
    return 30.0 / (10.0 + std::max(0.0, shapeValue));
}

class TonalAxis
{
public:
    explicit TonalAxis(const ToneShape &shape) : m_shape(shape) {}

    double at(int level) const
    {
        const double t = levelPosition(level);
        double shaped = 1.0 - std::pow(1.0 - t, 1.0 / m_shape.gamma);
        if (m_shape.adjustment)
            shaped = valueAt(*m_shape.adjustment, shaped);
        return std::clamp(shaped, 0.0, 1.0);
    }

    // The ramp from start to peak on this axis, sampled at the levels.
    CurveFraction ramp(double start, double peak) const
    {
        CurveFraction curve{};
        const double startSlope = slopeOf(m_shape.highlight);
        const double endSlope = slopeOf(m_shape.shadow);
        for (int level = 0; level < CurveLevels; ++level) {
            const double t = at(level);
            double value = 0;
            if (t >= peak)
                value = 1;
            else if (t > start)
                value = hermite((t - start) / (peak - start), startSlope, endSlope);
            curve[size_t(level)] = std::clamp(value, 0.0, 1.0);
        }
        return curve;
    }

private:
    const ToneShape &m_shape;
};

void scale(CurveFraction &curve, double factor)
{
    for (double &value : curve)
        value *= factor;
}

// Step 3: the gray inks' ramps, into shares.
void buildGrayInks(const CurvePlan &plan, std::vector<CurveFraction> &shares)
{
    std::vector<int> grays; // darkest first; equal densities keep slot order
    for (size_t c = 0; c < plan.channels.size(); ++c) {
        if (plan.channels[c].use == InkUse::GrayInk)
            grays.push_back(int(c));
    }
    if (grays.empty())
        return;
    std::stable_sort(grays.begin(), grays.end(), [&](int a, int b) {
        return plan.channels[size_t(a)].density > plan.channels[size_t(b)].density;
    });
    const double darkest = plan.channels[size_t(grays.front())].density;
    const TonalAxis axis(plan.gray);
    const double overlap = plan.gray.overlap / 100.0;
    double lighterStart = 0;
    double lighterPeak = 0;
    for (size_t i = grays.size(); i-- > 0;) {
        const bool lightest = i + 1 == grays.size();
        const double peak = i == 0 ? 1.0 : plan.channels[size_t(grays[i])].density / darkest;
        const double start =
            lightest ? 0.0 : std::max(0.0, lighterPeak - overlap * (lighterPeak - lighterStart));
        shares[size_t(grays[i])] = axis.ramp(start, std::max(start, peak));
        lighterStart = start;
        lighterPeak = peak;
    }
}

// Step 4.
void buildToners(const CurvePlan &plan, std::vector<CurveFraction> &shares)
{
    const TonalAxis tonerAxis(plan.toner);
    const TonalAxis toner2Axis(plan.toner2);
    for (size_t c = 0; c < plan.channels.size(); ++c) {
        const ChannelPlan &channel = plan.channels[c];
        if (channel.use != InkUse::Toner && channel.use != InkUse::Toner2)
            continue;
        const TonalAxis &axis = channel.use == InkUse::Toner ? tonerAxis : toner2Axis;
        shares[c] = axis.ramp(0.0, 1.0);
        scale(shares[c], std::clamp(channel.density / 100.0, 0.0, 1.0));
    }
}

// Step 6.
void applyBlackBoost(const CurvePlan &plan, std::vector<CurveFraction> &shares)
{
    if (plan.blackChannel < 0 || plan.blackBoost >= 100)
        return;
    CurveFraction &black = shares[size_t(plan.blackChannel)];
    if (plan.blackBoost <= 0) {
        black.fill(0);
        return;
    }
    const double exponent = 100.0 / plan.blackBoost;
    for (double &value : black)
        value = std::pow(value, exponent);
}

// Step 7.
void applyCorrection(const CurveFraction &correction, CurveFraction &curve)
{
    const CurveFraction original = curve;
    for (int level = 0; level < CurveLevels; ++level)
        curve[size_t(level)] = valueAt(original, correction[size_t(level)]);
}

quint16 inkAmount(double share, double limit)
{
    const double amount = std::clamp(share, 0.0, 1.0) * std::clamp(limit, 0.0, 100.0) / 100.0;
    return quint16(std::lround(amount * FullAmount));
}

// Fritsch and Carlson's tangents for the points' secants.
std::vector<double> monotoneTangents(const std::vector<QPointF> &points)
{
    const size_t n = points.size();
    std::vector<double> secant(n - 1);
    for (size_t k = 0; k + 1 < n; ++k)
        secant[k] = (points[k + 1].y() - points[k].y()) / (points[k + 1].x() - points[k].x());
    std::vector<double> tangent(n);
    tangent[0] = secant[0];
    tangent[n - 1] = secant[n - 2];
    for (size_t k = 1; k + 1 < n; ++k)
        tangent[k] = secant[k - 1] * secant[k] > 0 ? (secant[k - 1] + secant[k]) / 2.0 : 0.0;
    for (size_t k = 0; k + 1 < n; ++k) {
        if (secant[k] == 0) {
            tangent[k] = tangent[k + 1] = 0;
            continue;
        }
        const double a = tangent[k] / secant[k];
        const double b = tangent[k + 1] / secant[k];
        const double radius = std::hypot(a, b);
        if (radius > 3.0) {
            tangent[k] = 3.0 / radius * a * secant[k];
            tangent[k + 1] = 3.0 / radius * b * secant[k];
        }
    }
    return tangent;
}

} // namespace

bool makeNonDecreasing(CurveFraction &values)
{
    bool raised = false;
    for (size_t i = 1; i < values.size(); ++i) {
        if (values[i] < values[i - 1]) {
            values[i] = values[i - 1];
            raised = true;
        }
    }
    return raised;
}

CurveFraction monotoneCurveThrough(std::vector<QPointF> points, bool *raised)
{
    std::stable_sort(points.begin(), points.end(),
                     [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
    std::vector<QPointF> distinct;
    for (const QPointF &point : points) {
        if (!distinct.empty() && distinct.back().x() == point.x())
            distinct.back() = point;
        else
            distinct.push_back(point);
    }
    bool fell = false;
    for (size_t k = 1; k < distinct.size(); ++k) {
        if (distinct[k].y() < distinct[k - 1].y()) {
            distinct[k].setY(distinct[k - 1].y());
            fell = true;
        }
    }
    if (raised)
        *raised = fell;

    CurveFraction curve{};
    if (distinct.empty())
        return curve;
    if (distinct.size() == 1) {
        curve.fill(std::clamp(distinct.front().y(), 0.0, 1.0));
        return curve;
    }
    const std::vector<double> tangent = monotoneTangents(distinct);
    size_t k = 0;
    for (int level = 0; level < CurveLevels; ++level) {
        const double x = levelPosition(level);
        double value = 0;
        if (x <= distinct.front().x()) {
            value = distinct.front().y();
        } else if (x >= distinct.back().x()) {
            value = distinct.back().y();
        } else {
            while (x > distinct[k + 1].x())
                ++k;
            const double h = distinct[k + 1].x() - distinct[k].x();
            const double u = (x - distinct[k].x()) / h;
            const double u2 = u * u, u3 = u2 * u;
            value = (2 * u3 - 3 * u2 + 1) * distinct[k].y() + (u3 - 2 * u2 + u) * h * tangent[k] +
                    (-2 * u3 + 3 * u2) * distinct[k + 1].y() + (u3 - u2) * h * tangent[k + 1];
        }
        curve[size_t(level)] = std::clamp(value, 0.0, 1.0);
    }
    // Rounding in the cubic may leave a last bit of fall; it must not reach the amounts.
    makeNonDecreasing(curve);
    return curve;
}

std::optional<CurveFraction> linearizationCorrection(const std::vector<double> &measured)
{
    if (measured.size() < 2 || measured.front() == measured.back())
        return std::nullopt;
    const size_t n = measured.size();
    // The response, 0 at paper white and 1 at full black, whatever the measure's direction.
    std::vector<double> response(n);
    const double range = measured.back() - measured.front();
    for (size_t j = 0; j < n; ++j)
        response[j] = std::clamp((measured[j] - measured.front()) / range, 0.0, 1.0);
    for (size_t j = 1; j < n; ++j)
        response[j] = std::max(response[j], response[j - 1]);

    CurveFraction correction{};
    size_t j = 0;
    for (int level = 0; level < CurveLevels; ++level) {
        const double target = levelPosition(level);
        if (target <= 0) {
            correction[size_t(level)] = 0;
            continue;
        }
        while (j + 2 < n && response[j + 1] < target)
            ++j;
        const double low = response[j], high = response[j + 1];
        const double part = high > low ? std::clamp((target - low) / (high - low), 0.0, 1.0) : 1.0;
        correction[size_t(level)] = (double(j) + part) / double(n - 1);
    }
    makeNonDecreasing(correction);
    return correction;
}

BuiltCurve buildCurve(const CurvePlan &plan)
{
    std::vector<CurveFraction> shares(plan.channels.size(), CurveFraction{});
    buildGrayInks(plan, shares);
    buildToners(plan, shares);
    for (size_t c = 0; c < plan.channels.size(); ++c) {
        if (plan.channels[c].use == InkUse::LoadCurve)
            shares[c] = plan.channels[c].loaded;
    }
    applyBlackBoost(plan, shares);

    BuiltCurve built;
    built.linearization = linearizationCorrection(plan.linearization);
    if (built.linearization) {
        for (CurveFraction &curve : shares)
            applyCorrection(*built.linearization, curve);
    }
    for (size_t c = 0; c < plan.channels.size(); ++c) {
        const int source = plan.channels[c].copyOf;
        if (plan.channels[c].use == InkUse::CopyCurveFrom && source >= 0)
            shares[c] = shares[size_t(source)];
    }

    built.channels.assign(plan.channels.size(), ::CurveChannel{});
    for (size_t c = 0; c < plan.channels.size(); ++c) {
        if (plan.channels[c].use == InkUse::NotUsed)
            continue;
        for (int level = 0; level < CurveLevels; ++level)
            built.channels[c][size_t(level)] =
                inkAmount(shares[c][size_t(level)], plan.channels[c].limit);
    }
    return built;
}
