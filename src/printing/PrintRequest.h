#pragma once

#include "TPrintingModel.h"

#include <QString>
#include <QStringList>

// What one print request takes from the main window: the printing model with its value
// lists, the selected item of every option box, the page choices and the curve controls.
// Indexes are the boxes' selected item indexes (-1 for none); the value sent for an option
// is the keyword at that index in the model's value list, never the visible text.
struct TPrintRequest
{
    // The full path of the image to print.
    QString ImagePath;
    // The texts of PrintingModelName and PrinterList (the printer queue).
    QString PrintingModelName;
    QString PrinterName;

    // Value lists, defaults, FeedOptionName and CustomPageSize.
    TPrintingModel Model;

    int MediaTypeIndex = -1;
    // SourceLbl enabled: the model has a paper-feed option.
    bool PaperFeedEnabled = false;
    int PaperFeedIndex = -1;
    int PaperSizeIndex = -1;
    // Items in the PaperSize box; -1 counts those of Model.PageSizeValues.
    int PaperSizeCount = -1;
    int ResolutionIndex = -1;
    // The RipSpeed box is enabled: the model has a speed option.
    bool RipSpeedEnabled = false;
    int RipSpeedIndex = -1;
    // RipBlackLbl enabled: the model has a black-ink option.
    bool RipBlackEnabled = false;
    int RipBlackIndex = -1;
    int DitherTypeIndex = -1;
    int Curve1Index = -1;
    int Curve2Index = -1;

    // The custom paper size in its own unit: CustomUnit 0 inches, 1 millimetres.
    double CustomWidthValue = 0;
    double CustomLengthValue = 0;
    int CustomUnit = 0;

    bool PlaceCentered = true;
    // Margins in the display unit: UnitsIndex 0 inches, 1 millimetres.
    double TopMarginValue = 0;
    double LeftMarginValue = 0;
    int UnitsIndex = 0;

    bool ScaleToFit = false;
    int CustomScale = 100;
    // OrientationBox item: 0 portrait, anything else landscape.
    int OrientationIndex = 0;
    int CopyCount = 1;

    // The text of CurveBlendValue as it stands, and the slider positions of GammaBlend
    // (-15 to 15) and LimitBlend (-50 to 50).
    QString CurveBlendText = QStringLiteral("50");
    int GammaPosition = 0;
    int LimitPosition = 0;

    // CalibrationMode checked: ColorModel=ZorCal and the model's default curves.
    bool CalibrationMode = false;

    // The user's decimal separator for the real numbers of the texts.
    QString DecimalPoint = QStringLiteral(".");
};

// The texts built from one request and the argument lists made of them.
struct TPrintArguments
{
    // "gui 0 0 " and the copy count.
    QString JobPrefix;
    QString RastermillParameters;
    QString InkforgeParameters;
    QString ImagePath;
    QString PrinterName;

    // The image's file name without its folder, as Spoolgate receives it.
    QString imageFileName() const;

    // The arguments after each tool's executable, one entry per argument as the tool's
    // argv sees them: the job prefix's four words, then the parameter text whole, ...
    QStringList rastermillArguments() const;
    QStringList inkforgeArguments() const;
    QStringList spoolgateArguments() const;

    // The same as one line of text, with double quotes where the tools' command lines have
    // them: gui 0 0 2 "PPD=... ColorModel=ZorRIP" "/photos/pier.tif"
    QString rastermillCommandText() const;
    QString inkforgeCommandText() const;
    QString spoolgateCommandText() const;
};

// The two parameter texts, the job prefix and the argument sources of a request. Raises a
// ZorError naming the option when an option box that must send a value has none selected.
TPrintArguments buildPrintArguments(const TPrintRequest &request);

// The parts on their own, for callers and tests that need only one.
QString buildRastermillParameters(const TPrintRequest &request);
QString buildInkforgeParameters(const TPrintRequest &request);
QString buildJobPrefix(const TPrintRequest &request);
