#pragma once

#include "PpdTokenizer.h"

#include <QString>
#include <QStringList>

class CurveFolderWatch;
class OptionBox;
struct TPrintingModel;

// The nine option boxes of the main window that a model fills. Every pointer must be set.
struct PrintingModelBoxes
{
    OptionBox *PaperSize = nullptr;
    OptionBox *DitherType = nullptr;
    OptionBox *Resolution = nullptr;
    OptionBox *PaperFeed = nullptr; // enabling it enables its label as well
    OptionBox *Curve1 = nullptr;
    OptionBox *Curve2 = nullptr;
    OptionBox *MediaType = nullptr;
    OptionBox *RipBlack = nullptr; // enabling it enables its label as well
    OptionBox *RipSpeed = nullptr;
};

// installFolder + "PPD/" + model + ".ppd", with the parts that exist found without regard
// to letter case.
QString ppdFilePath(const QString &installFolder, const QString &model);

// The printing models of an installation: one per file in its ppd folder whose name ends
// with ".ppd" in any letter case, named by the file name up to its first ".ppd", in file
// name order.
QStringList listPrintingModels(const QString &installFolder);

// Reads printing models from their PPD files into the model record and the option boxes.
class PpdLoader
{
public:
    PpdLoader(TPrintingModel &printingModel, const PrintingModelBoxes &boxes,
              CurveFolderWatch &curveFolderWatch);

    // Loads model from installFolder (ending with "/"), rebuilds the curve lists, creates
    // the model's curve folder and watches it. Throws ZorError when the file cannot be
    // read or is rejected; what was filled until then stays.
    void LoadPPD(const QString &installFolder, const QString &model);

    // RebuildCurveLists on this loader's model record and curve boxes; for the curve
    // folder watch's changed().
    void RebuildCurveLists(const QString &installFolder, const QString &model,
                           const QString &previousCurve1, const QString &previousCurve2);

private:
    class LineReader;
    struct Group
    {
        OptionBox *box = nullptr;
        QStringList *values = nullptr;
        int *defaultIndex = nullptr;
    };

    Group groupFor(PpdKeyword keyword) const;
    void readGroup(LineReader &reader, PpdKeyword keyword, const QString &rememberedFeedText);
    void readParamCustomPageSize(PpdLine &line);
    void checkPageSizeLists() const;

    TPrintingModel &m_model;
    PrintingModelBoxes m_boxes;
    CurveFolderWatch &m_curveFolderWatch;
    // Names of the *PaperDimension and *ImageableArea lines, for the check after a load.
    QStringList m_dimensionNames;
    QStringList m_areaNames;
};
