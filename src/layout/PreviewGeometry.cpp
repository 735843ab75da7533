#include "PreviewGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

int roundedPixels(double x)
{
    if (!std::isfinite(x))
        return 0;
    return int(std::clamp(Round(x), -1e6, 1e6));
}

// The whole part as the number is shown, so that 100 * 2.9 / 10 = 28.999999999999996 is 29.
double wholePartShown(double x)
{
    return x < 0 ? -FloorShown(-x) : FloorShown(x);
}

} // namespace

bool previewPaperApplied(const TPageGeometry &geometry)
{
    return geometry.PaperLength > PlaceholderPaperLength;
}

int feedLabelAngle(bool landscape)
{
    return landscape ? 0 : 90;
}

TPreviewPlacement previewPlacement(const TPreviewPlacementInput &in)
{
    TPreviewPlacement out;
    const int feedWidth = in.FeedLabel.width();
    const int feedHeight = in.FeedLabel.height();
    const int right = in.CopiesBox.x() + in.CopiesBox.width();
    const int bottom = in.PrinterBox.y() + in.PrinterBox.height();
    const bool upright = in.PaperLength >= in.PaperWidth;
    int width;
    int height;
    int left;
    int top;

    if (!in.Landscape) {
        // The label stands beside the panel, so a wide paper leaves its width free.
        if (upright) {
            height = in.MaxPreviewHeight;
            width = roundedPixels(in.MaxPreviewHeight * in.PaperWidth / in.PaperLength);
        } else {
            width = in.MaxPreviewWidth - feedWidth;
            height = roundedPixels(width * in.PaperLength / in.PaperWidth);
        }
        const int hGap = in.PrintBtn.x() - right - feedWidth - width;
        left = right + feedWidth + hGap / 2 - 1;
        const int vGap = in.ImageBox.y() - bottom - height;
        top = bottom + vGap / 2 + 3;

        out.UpArrowShown = true;
        out.Arrow = QPoint(left - in.UpArrow.width(), top);
        out.FeedLabel = QPoint(out.Arrow.x() - (feedWidth - in.UpArrow.width()) / 2 - 1,
                               out.Arrow.y() + in.UpArrow.height());
    } else {
        // The label lies above the panel, so a long paper leaves its height free.
        if (upright) {
            height = in.MaxPreviewHeight - feedHeight;
            width = roundedPixels(height * in.PaperWidth / in.PaperLength);
        } else {
            width = in.MaxPreviewWidth;
            height = roundedPixels(in.MaxPreviewHeight * in.PaperLength / in.PaperWidth);
        }
        const int hGap = in.PrintBtn.x() - right - width;
        left = right + hGap / 2;
        const int vGap = in.ImageBox.y() + 5 - bottom - feedHeight - height;
        top = bottom + feedHeight + vGap / 2;

        out.UpArrowShown = false;
        out.Arrow = QPoint(left + width - in.UpArrow.width(), top - in.UpArrow.height());
        out.FeedLabel = QPoint(out.Arrow.x() - feedWidth,
                               out.Arrow.y() - (in.UpArrow.height() - feedHeight) / 2);
    }

    out.Screen = QRect(left, top, width, height);
    out.Frame = QSize(std::max(0, width - 8), std::max(0, height - 8));
    return out;
}

QString previewPaperHint(const TPageGeometry &g, bool customPaper, bool millimetres, bool landscape,
                         QStringView decimalPoint)
{
    if (!customPaper)
        return modelPaperHint(g.PaperWidth, g.PaperLength, millimetres, decimalPoint);
    const QStringView unit = millimetres ? u"mm" : u"in";
    return landscape ? dimensionsText(g.CustomLengthValue, g.CustomWidthValue, unit, decimalPoint)
                     : dimensionsText(g.CustomWidthValue, g.CustomLengthValue, unit, decimalPoint);
}

std::optional<double> previewPixelsToInches(int position, int screenExtent, double paperExtent)
{
    if (screenExtent <= 0)
        return std::nullopt;
    return paperExtent / screenExtent * position;
}

TDimensionPrompt dimensionPrompt(const TImageFacts &facts, const TImageValidation &validation,
                                 const TPageGeometry &geometry, bool height)
{
    TDimensionPrompt prompt;
    prompt.Centimetres = validation.ResolutionInCm;
    prompt.UnitText = prompt.Centimetres ? QStringLiteral("cm") : QStringLiteral("in");
    const double pixels = height ? facts.Height : facts.Width;
    const double resolution =
        height ? validation.EffectiveResolutionY : validation.EffectiveResolutionX;
    prompt.Natural = pixels / resolution;
    const double printed = height ? geometry.PrintHeight : geometry.PrintWidth;
    prompt.Shown = prompt.Centimetres ? Round1(printed) : Round3(printed);
    return prompt;
}

std::optional<int> scaleForDimension(double typed, double natural)
{
    if (natural == 0 || !std::isfinite(natural))
        return std::nullopt;
    const double percent = 100 * typed / natural;
    if (!std::isfinite(percent))
        return std::nullopt;
    return int(
        std::clamp(wholePartShown(percent), double(MinScalePercent), double(MaxScalePercent)));
}
