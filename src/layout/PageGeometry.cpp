#include "PageGeometry.h"

#include "IniFile.h"
#include "TPrintingModel.h"

#include <QList>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace {

// The decimal digits of |x| as shown: 15 significant digits d1..d15 and the exponent e of
// d1, so that |x| = d1.d2...d15 * 10^e.
struct ShownDigits
{
    bool negative = false;
    std::array<int, 15> digits{};
    int exponent = 0;
};

ShownDigits shownDigits(double x)
{
    ShownDigits shown;
    shown.negative = std::signbit(x);
    // to_chars is independent of the C locale, whose decimal point may not be ".".
    std::array<char, 48> text{};
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), std::fabs(x),
                                            std::chars_format::scientific, 14);
    if (error != std::errc())
        return shown;
    // Layout: d.dddddddddddddde[+-]xx
    int next = 0;
    for (const char *p = text.data(); p != end && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9' && next < 15)
            shown.digits[next++] = *p - '0';
    }
    for (const char *p = text.data(); p != end; ++p) {
        if (*p == 'e') {
            int exponent = 0;
            const char *from = p + 1;
            if (from != end && *from == '+')
                ++from;
            std::from_chars(from, end, exponent);
            shown.exponent = exponent;
            break;
        }
    }
    return shown;
}

double powerOfTen(int n)
{
    double p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

// Rounds to the given number of decimals on the shown digits, ties to even.
double roundShown(double x, int decimals)
{
    if (!std::isfinite(x) || x == 0)
        return x == 0 ? 0.0 : x;
    const ShownDigits shown = shownDigits(x);
    // Digits that stay in front of the rounding position.
    const int kept = shown.exponent + 1 + decimals;
    if (kept >= 15)
        return x; // nothing shown beyond that position
    if (kept < 0)
        return 0.0;
    qint64 n = 0;
    for (int i = 0; i < kept; ++i)
        n = n * 10 + shown.digits[std::size_t(i)];
    const int first = shown.digits[std::size_t(kept)];
    bool restNonZero = false;
    for (int i = kept + 1; i < 15; ++i)
        restNonZero = restNonZero || shown.digits[std::size_t(i)] != 0;
    if (first > 5 || (first == 5 && (restNonZero || (n & 1) != 0)))
        ++n;
    if (n == 0)
        return 0.0;
    const double magnitude = double(n) / powerOfTen(decimals);
    return shown.negative ? -magnitude : magnitude;
}

QList<double> numbersOf(QStringView text)
{
    QList<double> numbers;
    for (QStringView part : text.split(u' ', Qt::SkipEmptyParts)) {
        const std::optional<double> value = IniValue::toReal(part.trimmed(), u".");
        if (!value)
            return {};
        numbers.append(*value);
    }
    return numbers;
}

QString number(double value, QStringView decimalPoint)
{
    return IniValue::fromReal(value, decimalPoint);
}

} // namespace

double Round(double x)
{
    return roundShown(x, 0);
}

double Round1(double x)
{
    return roundShown(x, 1);
}

double Round3(double x)
{
    return roundShown(x, 3);
}

double FloorShown(double x)
{
    if (!std::isfinite(x) || x == 0)
        return x == 0 ? 0.0 : x;
    const ShownDigits shown = shownDigits(x);
    const int kept = shown.exponent + 1;
    if (kept >= 15)
        return std::floor(x);
    qint64 n = 0;
    bool fraction = false;
    for (int i = 0; i < 15; ++i) {
        if (i < kept)
            n = n * 10 + shown.digits[std::size_t(i)];
        else
            fraction = fraction || shown.digits[std::size_t(i)] != 0;
    }
    if (!shown.negative)
        return double(n);
    return -double(n + (fraction ? 1 : 0));
}

std::optional<TPaperSize> paperFromDimension(QStringView dimensionText)
{
    const QList<double> numbers = numbersOf(dimensionText);
    if (numbers.size() < 2 || !(numbers[0] > 0) || !(numbers[1] > 0))
        return std::nullopt;
    return TPaperSize{numbers[0] / PointsPerInch, numbers[1] / PointsPerInch};
}

std::optional<TPaperMargins> marginsFromImageableArea(QStringView areaText, double paperWidth,
                                                      double paperLength)
{
    const QList<double> numbers = numbersOf(areaText);
    if (numbers.size() < 4)
        return std::nullopt;
    TPaperMargins margins;
    margins.Left = numbers[0] / PointsPerInch;
    margins.Bottom = numbers[1] / PointsPerInch;
    margins.Right = paperWidth - numbers[2] / PointsPerInch;
    margins.Top = paperLength - numbers[3] / PointsPerInch;
    return margins;
}

bool applyModelPaper(TPageGeometry &geometry, QStringView dimensionText, QStringView areaText,
                     const THWMargins &hardwareMargins)
{
    const std::optional<TPaperSize> paper = paperFromDimension(dimensionText);
    if (!paper)
        return false;
    geometry.PaperWidth = paper->Width;
    geometry.PaperLength = paper->Length;
    const TPaperMargins margins =
        marginsFromImageableArea(areaText, paper->Width, paper->Length)
            .value_or(TPaperMargins{hardwareMargins.top, hardwareMargins.bottom,
                                    hardwareMargins.left, hardwareMargins.right});
    geometry.MinLeft = margins.Left;
    geometry.MinBottom = margins.Bottom;
    geometry.MinRight = margins.Right;
    geometry.MinTop = margins.Top;
    geometry.OrientationState = geometry.PaperWidth > geometry.PaperLength ? 1 : 0;
    return true;
}

bool isMetricPageSize(QStringView keyword)
{
    return keyword.size() == 2 && keyword.startsWith(u'A');
}

QString dimensionsText(double first, double second, QStringView unit, QStringView decimalPoint)
{
    return number(first, decimalPoint) + u'x' + number(second, decimalPoint) + unit.toString();
}

QString modelPaperHint(double paperWidth, double paperLength, bool millimetres,
                       QStringView decimalPoint)
{
    if (millimetres)
        return dimensionsText(Round(paperWidth * MmPerInch), Round(paperLength * MmPerInch), u"mm",
                              decimalPoint);
    return dimensionsText(Round3(paperWidth), Round3(paperLength), u"in", decimalPoint);
}

bool rotateGeometry(TPageGeometry &g, int orientation)
{
    if (orientation == g.OrientationState)
        return false;
    std::swap(g.PaperWidth, g.PaperLength);
    const TPaperMargins old{g.MinTop, g.MinBottom, g.MinLeft, g.MinRight};
    if (g.OrientationState == 0 && orientation == 1) {
        // A quarter turn clockwise: the left edge goes to the top.
        g.MinTop = old.Left;
        g.MinBottom = old.Right;
        g.MinLeft = old.Bottom;
        g.MinRight = old.Top;
    } else {
        g.MinTop = old.Right;
        g.MinBottom = old.Left;
        g.MinLeft = old.Top;
        g.MinRight = old.Bottom;
    }
    g.OrientationState = orientation;
    return true;
}

double toDisplayUnit(double inches, bool millimetres)
{
    return millimetres ? Round1(inches * MmPerInch) : Round3(inches);
}

double displayToInches(double value, bool millimetres)
{
    return millimetres ? value / MmPerInch : value;
}

double convertDisplayValue(double value, bool toMillimetres)
{
    return toMillimetres ? Round1(value * MmPerInch) : Round3(value / MmPerInch);
}

double clampMargin(double inches, double nearMinimum, double farMinimum, double paperExtent)
{
    if (inches < nearMinimum)
        return nearMinimum;
    if (inches > paperExtent - farMinimum)
        return paperExtent - farMinimum;
    return inches;
}

double validatedMargin(double value, bool millimetres, double nearMinimum, double farMinimum,
                       double paperExtent)
{
    const double inches =
        clampMargin(displayToInches(value, millimetres), nearMinimum, farMinimum, paperExtent);
    return toDisplayUnit(inches, millimetres);
}

TCustomDimension clampCustomDimension(double number, bool millimetres, double minimumInches,
                                      double maximumInches)
{
    TCustomDimension result;
    if (millimetres) {
        double v = Round1(number);
        if (v > maximumInches * MmPerInch)
            v = Round1(maximumInches * MmPerInch);
        else if (v < minimumInches * MmPerInch)
            v = Round1(minimumInches * MmPerInch);
        result.Value = v;
        result.Inches = v / MmPerInch;
    } else {
        double v = Round3(number);
        if (v > maximumInches)
            v = maximumInches;
        else if (v < minimumInches)
            v = minimumInches;
        result.Value = v;
        result.Inches = v;
    }
    return result;
}

std::optional<double> fitFactor(const TPageGeometry &g, const TImageFacts &facts,
                                const TImageValidation &validation)
{
    if (facts.Width <= 0 || facts.Height <= 0)
        return std::nullopt;
    const double availableWidth = g.PaperWidth - g.MinLeft - g.MinRight;
    const double availableHeight = g.PaperLength - g.MinTop - g.MinBottom;
    const double perUnit = validation.ResolutionInCm ? CmPerInch : 1.0;
    const double fw = (availableWidth * perUnit) / (facts.Width / validation.EffectiveResolutionX);
    const double fh =
        (availableHeight * perUnit) / (facts.Height / validation.EffectiveResolutionY);
    const double f = fw >= fh ? fh : fw;
    if (!std::isfinite(f))
        return std::nullopt;
    return f;
}

std::optional<int> fitPercent(const TPageGeometry &geometry, const TImageFacts &facts,
                              const TImageValidation &validation)
{
    const std::optional<double> f = fitFactor(geometry, facts, validation);
    if (!f)
        return std::nullopt;
    const double percent = FloorShown(100 * *f);
    return int(std::clamp(percent, double(MinScalePercent), double(MaxScalePercent)));
}

int scalePercentFromText(QStringView text)
{
    return IniValue::toInteger(text.trimmed()).value_or(1);
}

QString printedSizeText(double printWidth, double printHeight, bool centimetres,
                        QStringView decimalPoint)
{
    if (centimetres)
        return dimensionsText(Round1(printWidth), Round1(printHeight), u" cm", decimalPoint);
    return dimensionsText(Round3(printWidth), Round3(printHeight), u" in", decimalPoint);
}

QString imageHint(const QString &sizeText)
{
    return sizeText + QStringLiteral("   ") + MouseHelp;
}

QString warningsQuestion(int count)
{
    return QStringLiteral("Image has %1 warnimg(s).").arg(count);
}

namespace {

// Pixels from a computed length: whatever the image, a widget coordinate.
int pixels(double value)
{
    constexpr double Limit = 16777215; // the largest widget size
    if (!std::isfinite(value))
        return 0;
    return int(std::clamp(Round(value), -Limit, Limit));
}

// Totals that only exceed the paper by the noise of binary arithmetic still fit.
constexpr double FitTolerance = 1e-9;

} // namespace

bool imageOverruns(const TPageGeometry &g, double printWidthInches, double printHeightInches,
                   bool centred, double topInches, double leftInches)
{
    double across, down;
    if (centred) {
        across = printWidthInches + g.MinLeft + g.MinRight;
        down = printHeightInches + g.MinTop + g.MinBottom;
    } else {
        across = leftInches + printWidthInches + g.MinRight;
        down = topInches + printHeightInches + g.MinBottom;
    }
    return across > g.PaperWidth + FitTolerance || down > g.PaperLength + FitTolerance;
}

QStringList layoutWarnings(const TImageValidation &validation, bool overruns, bool scaleToFit)
{
    QStringList warnings = imageWarnings(validation);
    if (!scaleToFit && overruns)
        warnings << DoesNotFitWarning;
    return warnings;
}

TLayoutResult computeLayout(const TPageGeometry &g, const TImageFacts &facts,
                            const TLayoutOptions &options, QStringView decimalPoint)
{
    TLayoutResult r;
    r.Validation = validateImageFacts(facts);
    const TImageValidation &v = r.Validation;
    r.PixelsPerInch = g.PaperWidth > 0 ? options.ScreenWidth / g.PaperWidth : 0;

    const double s = options.ScalePercent / 100.0;
    r.PrintWidth = facts.Width / v.EffectiveResolutionX * s;
    r.PrintHeight = facts.Height / v.EffectiveResolutionY * s;
    double pw = r.PrintWidth;
    double ph = r.PrintHeight;
    r.SizeText = printedSizeText(pw, ph, v.ResolutionInCm, decimalPoint);
    if (v.ResolutionInCm) {
        pw /= CmPerInch;
        ph /= CmPerInch;
    }
    r.PrintWidthInches = pw;
    r.PrintHeightInches = ph;
    r.FrameWidth = std::max(0, pixels(pw * r.PixelsPerInch));
    r.FrameHeight = std::max(0, pixels(ph * r.PixelsPerInch));

    r.TopMarginValue = g.TopMarginValue;
    r.LeftMarginValue = g.LeftMarginValue;
    r.Centred = options.PlaceCentered && facts.Loaded;
    if (r.Centred) {
        r.TopMarginValue = toDisplayUnit((g.PaperLength - ph) / 2, options.MarginsInMm);
        r.LeftMarginValue = toDisplayUnit((g.PaperWidth - pw) / 2, options.MarginsInMm);
    }
    const double topInches = displayToInches(r.TopMarginValue, options.MarginsInMm);
    const double leftInches = displayToInches(r.LeftMarginValue, options.MarginsInMm);
    r.FrameLeft = pixels(leftInches * r.PixelsPerInch) + PreviewPanelBorder;
    r.FrameTop = pixels(topInches * r.PixelsPerInch) + PreviewPanelBorder;

    // The fit check takes a margin held in millimetres as the inches it is sent as.
    const auto sentInches = [&](double value) {
        return options.MarginsInMm ? Round3(value / MmPerInch) : value;
    };
    r.Overruns = imageOverruns(g, pw, ph, options.PlaceCentered, sentInches(r.TopMarginValue),
                               sentInches(r.LeftMarginValue));
    // Without an image the facts are placeholders: there is nothing to warn about.
    if (facts.Loaded)
        r.Warnings = layoutWarnings(v, r.Overruns, options.ScaleToFit);
    return r;
}

bool autoOrientationToggles(const TImageFacts &facts, double paperWidth, double paperLength)
{
    return (facts.Width > facts.Height && paperWidth < paperLength) ||
           (facts.Width < facts.Height && paperWidth > paperLength);
}
