#include "CurveFileChoice.h"

#include "CurveCreationSettings.h"
#include "Dialogs.h"

#include <QDir>
#include <QFileInfo>

const QString kCurveDialogTitle = QStringLiteral("Select Toner Curve");
const QString kCurveDialogFilter =
    QStringLiteral("Adjustment Curve (*.acv *.raw);;Photoshop Curve (*.acv);;"
                   "Multichannel Raw (*.raw);;All Files (*)");
const QString kCurveDialogDefaultSuffix = QStringLiteral("acv");

namespace {

// Folder texts of the program end with "/".
QString folderText(const QString &folder)
{
    return QDir::cleanPath(folder) + u'/';
}

} // namespace

QString curveFileReference(const QString &path, const QString &descriptionFolder)
{
    const QFileInfo file(path);
    if (!descriptionFolder.isEmpty() &&
        folderText(file.absolutePath()) == folderText(QDir(descriptionFolder).absolutePath()))
        return file.fileName();
    return path;
}

std::optional<QString> chooseCurveFile(CurveCreationSettings &settings,
                                       const QString &descriptionFolder)
{
    const QString path = Dialogs::instance().openFileName(
        kCurveDialogTitle, settings.inkCurvesFolder, kCurveDialogFilter, kCurveDialogDefaultSuffix);
    if (path.isEmpty())
        return std::nullopt;
    settings.inkCurvesFolder = folderText(QFileInfo(path).absolutePath());
    return curveFileReference(path, descriptionFolder);
}
