#pragma once

#include "PageGeometry.h"
#include "TImageFacts.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringView>

#include <optional>

// The page preview's own arithmetic: where the paper panel, the feed arrow and its label go,
// what a dragged frame means in margins, and what a typed height or width means as a scale.

// The placeholder paper of start-up is 2 x 2 inches; nothing is drawn before a real paper.
inline constexpr double PlaceholderPaperLength = 2.0;
bool previewPaperApplied(const TPageGeometry &geometry);

// The feed label reads upwards beside a portrait page and lies flat above a landscape one.
int feedLabelAngle(bool landscape);

// What the preview is placed by. All rectangles are in the coordinates of the panel's parent.
struct TPreviewPlacementInput
{
    double PaperWidth = 0; // inches, as oriented
    double PaperLength = 0;
    bool Landscape = false;
    int MaxPreviewWidth = 0; // the panel's designed size
    int MaxPreviewHeight = 0;
    QSize FeedLabel; // the feed label as turned for the orientation
    QSize UpArrow;   // the landscape arrow is placed by the up arrow's size as well
    QRect CopiesBox;
    QRect PrintBtn;
    QRect PrinterBox;
    QRect ImageBox;
};

struct TPreviewPlacement
{
    QRect Screen;             // the paper panel
    bool UpArrowShown = true; // portrait: the up arrow; landscape: the right-pointing one
    QPoint Arrow;             // top left of the arrow shown
    QPoint FeedLabel;         // top left of the feed label
    QSize Frame;              // the image frame before an image sizes it: the panel less 8
};

// The panel takes the paper's proportions within the designed size, less the feed label's
// room on the side where the label sits, and is centred between CopiesBox and PrintBtn and
// between PrinterBox and ImageBox. Integer halves truncate toward zero.
TPreviewPlacement previewPlacement(const TPreviewPlacementInput &input);

// The panel's hint: the paper as oriented. A custom paper shows its own numbers (held portrait,
// so swapped in landscape); a paper of the model whole millimetres or inches to three decimals.
QString previewPaperHint(const TPageGeometry &geometry, bool customPaper, bool millimetres,
                         bool landscape, QStringView decimalPoint);

// A frame edge at this pixel position of a panel of screenExtent pixels standing for
// paperExtent inches, in inches; nothing for a panel without size.
std::optional<double> previewPixelsToInches(int position, int screenExtent, double paperExtent);

// What the set-dimension dialog starts with for the image's height (or width): the unit of
// the image's resolution, the natural size at 100 % in that unit, and the printed size of the
// last layout pass rounded for showing (inches to three decimals, centimetres to one).
struct TDimensionPrompt
{
    bool Centimetres = false;
    QString UnitText; // "in" or "cm"
    double Natural = 0;
    double Shown = 0;
};
TDimensionPrompt dimensionPrompt(const TImageFacts &facts, const TImageValidation &validation,
                                 const TPageGeometry &geometry, bool height);

// The whole percentage that prints the natural size as the typed one, within the scale's range;
// nothing when the image has no natural size (a failed decode) or the result is no number.
std::optional<int> scaleForDimension(double typed, double natural);
