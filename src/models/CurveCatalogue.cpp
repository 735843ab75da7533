#include "CurveCatalogue.h"

#include "InstallPaths.h"
#include "OptionBox.h"
#include "TPrintingModel.h"

namespace {

const QString curveSuffix = QStringLiteral(".zorl");

// Keeps only the entry at position index of the box and its value list. A position that
// is not in the list (a model without a default curve) keeps nothing, so that the list
// and the box stay in step.
void keepDefaultEntry(OptionBox &box, QStringList &values, int index)
{
    const bool listed = index >= 0 && index < box.count() && index < values.size();
    const QString text = listed ? box.itemText(index) : QString();
    const QString keyword = listed ? values.at(index) : QString();
    box.clear();
    values.clear();
    if (listed) {
        box.addItem(text);
        values.append(keyword);
    }
}

} // namespace

QString curveFolderPath(const QString &installFolder, const QString &model)
{
    return resolveCaseInsensitive(installFolder, QStringLiteral("Zorlane/") + model + u'/');
}

QStringList listCurveNames(const QString &folder)
{
    QStringList names;
    for (const QString &file : filesWithSuffix(folder, curveSuffix))
        names.append(file.left(file.indexOf(curveSuffix, 0, Qt::CaseInsensitive)));
    return names;
}

void RebuildCurveLists(TPrintingModel &printingModel, OptionBox &curve1, OptionBox &curve2,
                       const QString &installFolder, const QString &model,
                       const QString &previousCurve1, const QString &previousCurve2)
{
    keepDefaultEntry(curve1, printingModel.Curve1Values, printingModel.Curve1Default);
    keepDefaultEntry(curve2, printingModel.Curve2Values, printingModel.Curve2Default);

    for (const QString &name : listCurveNames(curveFolderPath(installFolder, model))) {
        curve1.addItem(name);
        printingModel.Curve1Values.append(name);
        curve2.addItem(name);
        printingModel.Curve2Values.append(name);
    }

    curve1.setCurrentIndex(printingModel.Curve1Default);
    SelectByText(curve1, previousCurve1);
    curve2.setCurrentIndex(printingModel.Curve2Default);
    SelectByText(curve2, previousCurve2);
}
