#pragma once

#include "TImageFacts.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>

#include <optional>

struct THWMargins;

// Lengths are held in inches; the printing model gives points, the user may see millimetres,
// and images measured per centimetre are sized in centimetres.
inline constexpr double PointsPerInch = 72.0;
inline constexpr double MmPerInch = 25.4;
inline constexpr double CmPerInch = 2.54;

// The page geometry of the main window.
// The preview panel's sunken border, in pixels: the image frame is placed inside it.
inline constexpr int PreviewPanelBorder = 2;

struct TPageGeometry
{
    // The paper as currently oriented, inches.
    double PaperWidth = 2.0;
    double PaperLength = 2.0;
    // The printer's minimum margins for the paper as currently oriented, inches.
    double MinTop = 0;
    double MinBottom = 0;
    double MinLeft = 0;
    double MinRight = 0;
    // The image's top left corner from the paper's top left edge, in the unit the placement
    // label names; the centring offsets while centred.
    double TopMarginValue = 0;
    double LeftMarginValue = 0;
    // The custom paper, portrait, in CustomUnit.
    double CustomWidthValue = 0;
    double CustomLengthValue = 0;
    qint32 CustomUnit = 0; // 0 inches, 1 millimetres
    // The orientation the paper and its minimum margins are turned for: -1 none yet,
    // 0 portrait, 1 landscape.
    qint32 OrientationState = -1;
    // The PaperSize item last applied.
    qint32 LastPaperIndex = -1;
    // The printed image size of the last layout pass, in the image's resolution unit
    // (inches, or centimetres for an image measured per centimetre).
    double PrintWidth = 0;
    double PrintHeight = 0;
};

// Rounding to an integer, one and three decimals, ties to even. The value rounded is the
// number as it is shown (15 significant digits), so 3.175 mm rounds to 3.2 and 0.5015 to
// 0.502 although their binary doubles lie a hair below the tie.
double Round(double x);
double Round1(double x);
double Round3(double x);
// The largest whole number not greater than x as it is shown (15 significant digits), so a
// ratio such as 0.29 * 100 = 28.999999999999996 counts as 29.
double FloorShown(double x);

// Minimum margins, inches.
struct TPaperMargins
{
    double Top = 0;
    double Bottom = 0;
    double Left = 0;
    double Right = 0;

    bool operator==(const TPaperMargins &) const = default;
};

// A paper dimension text "W L" in points as inches (width, length); nothing when the text
// does not hold two positive numbers.
struct TPaperSize
{
    double Width = 0;
    double Length = 0;
};
std::optional<TPaperSize> paperFromDimension(QStringView dimensionText);

// An imageable area "llx lly urx ury" in points, measured from the lower left corner of the
// portrait page, as the minimum margins of a paper of the given size; nothing when the text
// does not hold four numbers.
std::optional<TPaperMargins> marginsFromImageableArea(QStringView areaText, double paperWidth,
                                                      double paperLength);

// Applies a page size of the model: paper size, minimum margins and the orientation the
// paper comes in (1 when it is wider than long). An unreadable area gives the hardware
// margins; an unreadable dimension changes nothing and gives false.
bool applyModelPaper(TPageGeometry &geometry, QStringView dimensionText, QStringView areaText,
                     const THWMargins &hardwareMargins);

// A4, A3, A5...: page sizes shown in millimetres.
bool isMetricPageSize(QStringView keyword);

// "8.5x11in", "210x297mm": a model paper in whole millimetres or in inches to three decimals.
QString modelPaperHint(double paperWidth, double paperLength, bool millimetres,
                       QStringView decimalPoint);
// first + "x" + second + unit, the numbers in the general form.
QString dimensionsText(double first, double second, QStringView unit, QStringView decimalPoint);

// Turns the paper and its minimum margins for the given orientation (0 portrait,
// 1 landscape); false when it already is turned that way.
bool rotateGeometry(TPageGeometry &geometry, int orientation);

// A length in inches in the display unit as it is held and shown: millimetres to one decimal,
// inches to three.
double toDisplayUnit(double inches, bool millimetres);
double displayToInches(double value, bool millimetres);
// A held value after the display unit changed: to millimetres (one decimal) or to inches
// (three decimals).
double convertDisplayValue(double value, bool toMillimetres);

// A margin in inches kept between the near minimum margin and the paper's far end less its
// minimum margin.
double clampMargin(double inches, double nearMinimum, double farMinimum, double paperExtent);
// A margin as typed (display unit) as it is then held and shown.
double validatedMargin(double value, bool millimetres, double nearMinimum, double farMinimum,
                       double paperExtent);

// A custom paper dimension as typed, rounded and kept within the model's limits (inches):
// the value held in the display unit and the same length in inches.
struct TCustomDimension
{
    double Value = 0;
    double Inches = 0;
};
TCustomDimension clampCustomDimension(double number, bool millimetres, double minimumInches,
                                      double maximumInches);

// The scale-to-fit factor of the image on the printable part of the paper; nothing when the
// image has no size (a failed decode) or the result is no number.
std::optional<double> fitFactor(const TPageGeometry &geometry, const TImageFacts &facts,
                                const TImageValidation &validation);
// The whole percentage of the fit, within the scale control's range 1 to 1600.
inline constexpr int MinScalePercent = 1;
inline constexpr int MaxScalePercent = 1600;
std::optional<int> fitPercent(const TPageGeometry &geometry, const TImageFacts &facts,
                              const TImageValidation &validation);

// The scale control's text as a whole percentage; anything else counts as 1.
int scalePercentFromText(QStringView text);

// "8.2x6.56 in" or "3.9x2.6 cm".
QString printedSizeText(double printWidth, double printHeight, bool centimetres,
                        QStringView decimalPoint);
inline const QString MouseHelp =
    QStringLiteral(" Left Click and drag to move, Right Click to scale");
// The hint of the image: its printed size and how to move and scale it.
QString imageHint(const QString &sizeText);

inline const QString DoesNotFitWarning = QStringLiteral("Image does not fit");
QString warningsQuestion(int count);

inline const QString MillimetrePlacementHint = QStringLiteral(
    "Placement from the top left edge of the paper. Note: there is a required margin of 3.17 mm.");
inline const QString InchPlacementHint =
    QStringLiteral("Placement from the top left edge of the paper. Note: there is a required "
                   "margin of 0.125 inch.");

// What the layout pass reads besides the geometry and the image facts.
struct TLayoutOptions
{
    int ScalePercent = 100;
    bool ScaleToFit = false;
    bool PlaceCentered = false;
    bool MarginsInMm = false;
    int ScreenWidth = 0; // the preview panel's width in pixels
};

// What the layout pass computes: the printed size, the placement and the preview frame.
struct TLayoutResult
{
    TImageValidation Validation;
    double PrintWidth = 0; // in the image's unit
    double PrintHeight = 0;
    double PrintWidthInches = 0;
    double PrintHeightInches = 0;
    QString SizeText;
    double PixelsPerInch = 0;
    // The placement in the display unit: the centring offsets when centred (an image loaded),
    // otherwise the geometry's margins unchanged.
    bool Centred = false;
    double TopMarginValue = 0;
    double LeftMarginValue = 0;
    // The image's frame inside the preview panel, in pixels.
    int FrameLeft = 0;
    int FrameTop = 0;
    int FrameWidth = 0;
    int FrameHeight = 0;
    bool Overruns = false;
    QStringList Warnings;
};
TLayoutResult computeLayout(const TPageGeometry &geometry, const TImageFacts &facts,
                            const TLayoutOptions &options, QStringView decimalPoint);

// Whether the image runs past the paper's minimum margins.
bool imageOverruns(const TPageGeometry &geometry, double printWidthInches, double printHeightInches,
                   bool centred, double topInches, double leftInches);

// The image warnings in list order: the image's own, then the fit unless scale-to-fit is on.
QStringList layoutWarnings(const TImageValidation &validation, bool overruns, bool scaleToFit);

// Whether probing this image turns the page: a landscape image on portrait paper or the
// reverse; square images and square papers never do.
bool autoOrientationToggles(const TImageFacts &facts, double paperWidth, double paperLength);
