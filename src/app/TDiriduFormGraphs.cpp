// The curve boxes' "Show Curve Graph" commands.
#include "TDiriduForm.h"

#include "CurveCatalogue.h"
#include "InstallPaths.h"
#include "TZorGraphs.h"

#include <QAction>
#include <QComboBox>

void TDiriduForm::connectCurveGraphMenus()
{
    connect(ui.ShowCurve1Graph, &QAction::triggered, this, &TDiriduForm::ShowCurve1GraphClick);
    connect(ui.ShowCurve2Graph, &QAction::triggered, this, &TDiriduForm::ShowCurve2GraphClick);
}

void TDiriduForm::ShowCurve1GraphClick()
{
    showCurveGraph(ui.Curve1);
}

void TDiriduForm::ShowCurve2GraphClick()
{
    showCurveGraph(ui.Curve2);
}

// The curve selected in box, from the loaded model's curve folder; no graph output.
void TDiriduForm::showCurveGraph(const QComboBox *box)
{
    const QString folder = curveFolderPath(InstallFolder, ui.PrintingModelName->currentText());
    ZorGraphs->GraphOutputFile.clear();
    ZorGraphs->CurveFile =
        resolveCaseInsensitive(folder, box->currentText() + QStringLiteral(".zorl"));
    ZorGraphs->ShowGraphs();
}
