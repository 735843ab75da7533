#pragma once

#include <QString>
#include <QStringList>

class OptionBox;
struct TPrintingModel;

// The model's curve folder, installFolder + "Zorlane/" + model + "/", with the parts that
// exist found without regard to letter case. Ends with "/".
QString curveFolderPath(const QString &installFolder, const QString &model);

// Curve names of the files ending in ".zorl" (any letter case) in folder: each file name
// up to its first ".zorl", in file name order. Empty when the folder does not exist.
QStringList listCurveNames(const QString &folder);

// Rebuilds the two curve lists: each keeps only the entry at its default position (the
// model's built-in curve right after a load), followed by the model's curve files; then
// selects the default position and, where still listed, the previous text.
void RebuildCurveLists(TPrintingModel &printingModel, OptionBox &curve1, OptionBox &curve2,
                       const QString &installFolder, const QString &model,
                       const QString &previousCurve1, const QString &previousCurve2);
