#pragma once

#include <QString>
#include <QStringList>

// Hardware margins of a printer, in inches.
struct THWMargins
{
    double left = 0;
    double bottom = 0;
    double right = 0;
    double top = 0;
};

// The printing model last loaded from its PPD file. Each value list holds the option
// keywords sent to the tools, in the order of the items of its option box; each default
// is the position of the option the file names as its default, or -1.
struct TPrintingModel
{
    QStringList PageSizeValues;
    int PageSizeDefault = -1;
    QStringList DitherValues;
    int DitherDefault = -1;
    QStringList ResolutionValues;
    int ResolutionDefault = -1;
    QStringList FeedValues;
    int FeedDefault = -1;
    QStringList Curve1Values;
    int Curve1Default = -1;
    QStringList Curve2Values;
    int Curve2Default = -1;
    QStringList MediaValues;
    int MediaDefault = -1;
    QStringList BlackValues;
    int BlackDefault = -1;
    QStringList SpeedValues;
    int SpeedDefault = -1;

    // "InputSlot" or "RipFeed": the key under which the paper-feed choice is sent.
    QString FeedOptionName;
    // Per page size, the file's texts: "612 792" (width length) and "9 36 603 783"
    // (llx lly urx ury), all in points.
    QStringList PaperDimensions;
    QStringList ImageableAreas;

    THWMargins HWMargins;
    // Limits of a custom paper size, in inches.
    double MaxMediaWidth = 0;
    double MaxMediaLength = 0;
    double MinMediaWidth = 0;
    double MinMediaLength = 0;
    // The page size box ends with "Custom".
    bool CustomPageSize = false;

    // Hint of the model box: "Version " + the file's *FileVersion, or empty.
    QString ModelHint;
};
