// Reading and writing Diridu.ini: every setting of the main window, applied in a fixed order
// at start-up and written back at exit.
#include "TDiriduForm.h"

#include "ComboOptionBox.h"
#include "Dialogs.h"
#include "FolderMonitor.h"
#include "IniFile.h"
#include "InstallPaths.h"
#include "PageGeometry.h"
#include "PageGeometryController.h"
#include "PpdLoader.h"
#include "TPrintingModel.h"
#include "ZorError.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>

namespace {

const QString kFolders = QStringLiteral("Folders");
const QString kCurveCreation = QStringLiteral("CurveCreation");
const QString kOptions = QStringLiteral("Options");
const QString kRecentFiles = QStringLiteral("RecentFiles");
const QString kPrinter = QStringLiteral("Printer");
const QString kCurves = QStringLiteral("Curves");
const QString kPage = QStringLiteral("Page");
const QString kPlacement = QStringLiteral("Placement");
const QString kMonitoring = QStringLiteral("Monitoring");
const QString kPresets = QStringLiteral("Presets");

constexpr int kMostRecentFiles = 25;

} // namespace

QString TDiriduForm::settingsPath() const
{
    return resolveCaseInsensitive(SettingsFolder, QStringLiteral("Diridu.ini"));
}

void TDiriduForm::ReadSettings()
{
    try {
        applySettings();
    } catch (const std::exception &) {
        Dialogs::instance().error(
            QStringLiteral("Diridu encountered an error in the Diridu.ini file. Diridu.ini has "
                           "been deleted and all settings reverted to default."),
            Dialogs::Button::Ok);
        // The damaged file is kept as Diridu.ini.bak, so presets and folders can be recovered.
        IniFile::backUpAndRemove(settingsPath());
        setRecentFileCount(0);
        ui.PrintingModelName->clear();
        applySettings();
    }
}

void TDiriduForm::applySettings()
{
    const IniFile ini(settingsPath());

    ImageFolder = ini.readString(kFolders, QStringLiteral("Image"), InstallFolder);
    CurveCreation.inkDescriptionsFolder = ini.readString(kFolders, QStringLiteral("InkDescriptions"),
                                           InstallFolder + QStringLiteral("Curvewright"));
    CurveCreation.inkCurvesFolder = ini.readString(kFolders, QStringLiteral("InkCurves"),
                                     InstallFolder + QStringLiteral("Curvewright"));
    CurveCreation.defaultLimit = ini.readString(kCurveCreation, QStringLiteral("DefaultLimit"),
                                  QStringLiteral("70"));

    MinimizeToTray = ini.readBool(kOptions, QStringLiteral("MinimizeToTray"), true);
    ui.MinimizeToTrayMenu->setChecked(MinimizeToTray);
    ui.UseBatch->setChecked(ini.readBool(kOptions, QStringLiteral("BatchFiles"), false));
    const int recentCount =
        std::min(ini.readInteger(kOptions, QStringLiteral("RecentFileCount"), 5), kMostRecentFiles);
    ui.RecentFileCountMenu->setText(QStringLiteral("&Recent File Count [%1]").arg(recentCount));
    ui.DragDropAutoPrint->setChecked(
        ini.readBool(kOptions, QStringLiteral("DragDropAutoprint"), true));
    ui.AutoOrient->setChecked(ini.readBool(kOptions, QStringLiteral("AutoOrient"), false));
    Debugging = ini.readBool(kOptions, QStringLiteral("Debugging"), false);
    // The item holds the mode from the start, so the settings keep it whenever they are written.
    ui.DebugMenu->setChecked(Debugging);

    setRecentFileCount(recentCount);
    for (int k = 1; k <= recentCount; ++k)
        setRecentFile(k, ini.readString(kRecentFiles, QStringLiteral("File%1").arg(k)));

    for (const QString &model : listPrintingModels(InstallFolder))
        insertSorted(ui.PrintingModelName, model);

    const QString savedModel = ini.readString(kPrinter, QStringLiteral("PrintingModel"));
    for (int i = 0; i < ui.PrintingModelName->count(); ++i) {
        if (ui.PrintingModelName->itemText(i) == savedModel) {
            ui.PrintingModelName->setCurrentIndex(i);
            m_ppdLoader->LoadPPD(InstallFolder, savedModel);
            ui.PrintingModelName->setToolTip(PrintingModel->ModelHint);
        }
    }
    selectByText(ui.PrinterList,
                 ini.readString(kPrinter, QStringLiteral("PrinterName"), DefaultPrinterName));

    selectByText(ui.Curve1, ini.readString(kCurves, QStringLiteral("Curve1Name")));
    Curve1CloseUp();
    selectByText(ui.Curve2, ini.readString(kCurves, QStringLiteral("Curve2Name")));
    Curve2CloseUp();

    TPageGeometry &page = PageGeometry;
    page.CustomUnit = ini.readInteger(kPage, QStringLiteral("CustomUnits"), 0);
    const bool customInMm = page.CustomUnit == 1;
    page.CustomWidthValue = ini.readReal(kPage, QStringLiteral("Width"), customInMm ? 210 : 8.5);
    page.CustomLengthValue = ini.readReal(kPage, QStringLiteral("Length"), customInMm ? 297 : 11);

    selectByText(ui.DitherType, ini.readString(kCurves, QStringLiteral("Dither")));
    selectByText(ui.Resolution, ini.readString(kCurves, QStringLiteral("Resolution")));
    ui.CustomScale->setValue(ini.readInteger(kCurves, QStringLiteral("CustomScale"), 100));
    ui.ScaleToFit->setChecked(ini.readBool(kCurves, QStringLiteral("ScaleToFit"), false));

    selectDefaultThenText(ui.RipSpeed, PrintingModel->SpeedDefault,
                          ini.readString(kCurves, QStringLiteral("Speed")));
    selectDefaultThenText(ui.RipBlack, PrintingModel->BlackDefault,
                          ini.readString(kCurves, QStringLiteral("BlackInk")));

    selectByText(ui.MediaType, ini.readString(kPage, QStringLiteral("Media")));
    selectByText(ui.PaperFeed, ini.readString(kPage, QStringLiteral("Source")));
    m_geometry->PaperFeedChange();
    selectRadioItem(ui.OrientationBoxGroup,
                    std::clamp(ini.readInteger(kPage, QStringLiteral("Orientation"), 0), -1, 1));
    selectByText(ui.PaperSize, ini.readString(kPage, QStringLiteral("PageSize")));
    m_geometry->PaperSizeCloseUp();

    ui.PlaceCentered->setChecked(ini.readBool(kPlacement, QStringLiteral("Centered"), true));
    m_geometry->PlaceCenteredClick();

    ui.CurveBlendValue->setText(ini.readString(kCurves, QStringLiteral("Blend"), QStringLiteral("50")));
    CurveBlendValueExit();
    ui.GammaBlendValue->setText(ini.readString(kCurves, QStringLiteral("Gamma"), QStringLiteral("0")));
    GammaBlendValueExit();
    ui.LimitBlendValue->setText(ini.readString(kCurves, QStringLiteral("Limit"), QStringLiteral("0")));
    LimitBlendValueExit();

    m_monitor->restore(ini.readBool(kMonitoring, QStringLiteral("State"), false),
                       ini.readString(kMonitoring, QStringLiteral("Folder")));

    ui.CopyCount->setValue(ini.readInteger(kPage, QStringLiteral("Copies"), 1));

    m_monitor->Disposal = ini.readInteger(kOptions, QStringLiteral("Disposal"), m_monitor->Disposal);
    m_monitor->RepeatFileExistsAction = ini.readBool(
        kOptions, QStringLiteral("RepeateFileExistsAction"), m_monitor->RepeatFileExistsAction);

    ui.LoadPreset->setEnabled(ini.sectionHasKeys(kPresets));

    ui.PresetLbl->setText(ini.readString(kCurves, QStringLiteral("Preset")));
    ui.PresetLbl->setVisible(!ui.PresetLbl->text().isEmpty() &&
                             ui.PrintingModelName->currentIndex() >= 0 &&
                             ui.Curve1->currentIndex() >= 0 && ui.Curve2->currentIndex() >= 0);

    const double toDisplayUnit = ui.UnitsBoxGroup->checkedId() == 1 ? 25.4 : 1.0;
    page.TopMarginValue =
        ini.readReal(kPlacement, QStringLiteral("Top"), page.MinTop * toDisplayUnit);
    ui.TopMargin->setText(m_geometry->numberText(page.TopMarginValue));
    page.LeftMarginValue =
        ini.readReal(kPlacement, QStringLiteral("Left"), page.MinLeft * toDisplayUnit);
    ui.LeftMargin->setText(m_geometry->numberText(page.LeftMarginValue));
}

void TDiriduForm::WriteSettings()
{
    IniFile ini(settingsPath());

    ini.eraseSection(kPrinter);
    ini.writeString(kPrinter, QStringLiteral("PrinterName"), ui.PrinterList->currentText());
    ini.writeString(kPrinter, QStringLiteral("PrintingModel"), ui.PrintingModelName->currentText());

    const TPageGeometry &page = PageGeometry;
    ini.eraseSection(kPage);
    ini.writeReal(kPage, QStringLiteral("Width"), page.CustomWidthValue);
    ini.writeReal(kPage, QStringLiteral("Length"), page.CustomLengthValue);
    ini.writeInteger(kPage, QStringLiteral("CustomUnits"), page.CustomUnit);
    ini.writeInteger(kPage, QStringLiteral("Orientation"), ui.OrientationBoxGroup->checkedId());
    ini.writeString(kPage, QStringLiteral("PageSize"), ui.PaperSize->currentText());
    ini.writeString(kPage, QStringLiteral("Media"), ui.MediaType->currentText());
    ini.writeString(kPage, QStringLiteral("Source"), ui.PaperFeed->currentText());
    ini.writeInteger(kPage, QStringLiteral("Copies"), ui.CopyCount->value());

    ini.eraseSection(kPlacement);
    ini.writeReal(kPlacement, QStringLiteral("Top"), page.TopMarginValue);
    ini.writeReal(kPlacement, QStringLiteral("Left"), page.LeftMarginValue);
    ini.writeBool(kPlacement, QStringLiteral("Centered"), ui.PlaceCentered->isChecked());

    ini.eraseSection(kCurves);
    ini.writeString(kCurves, QStringLiteral("Curve1Name"), ui.Curve1->currentText());
    ini.writeString(kCurves, QStringLiteral("Curve2Name"), ui.Curve2->currentText());
    ini.writeString(kCurves, QStringLiteral("Blend"), ui.CurveBlendValue->text());
    ini.writeString(kCurves, QStringLiteral("Dither"), ui.DitherType->currentText());
    ini.writeString(kCurves, QStringLiteral("Resolution"), ui.Resolution->currentText());
    ini.writeString(kCurves, QStringLiteral("Gamma"), ui.GammaBlendValue->text());
    ini.writeString(kCurves, QStringLiteral("Limit"), ui.LimitBlendValue->text());
    ini.writeString(kCurves, QStringLiteral("Speed"), ui.RipSpeed->currentText());
    ini.writeString(kCurves, QStringLiteral("BlackInk"), ui.RipBlack->currentText());
    ini.writeString(kCurves, QStringLiteral("Preset"),
                    ui.PresetLbl->isVisibleTo(this) ? ui.PresetLbl->text() : QString());
    ini.writeInteger(kCurves, QStringLiteral("CustomScale"), ui.CustomScale->value());
    ini.writeBool(kCurves, QStringLiteral("ScaleToFit"), ui.ScaleToFit->isChecked());

    ini.eraseSection(kMonitoring);
    ini.writeBool(kMonitoring, QStringLiteral("State"), ui.StopMonitoring->isEnabled());
    ini.writeString(kMonitoring, QStringLiteral("Folder"), m_monitor->MonitoredFolder);

    ini.eraseSection(kRecentFiles);
    for (int k = 1; k <= int(m_recentPlaces.size()); ++k) {
        const QString path = recentFile(k);
        if (path.isEmpty())
            break;
        ini.writeString(kRecentFiles, QStringLiteral("File%1").arg(k), path);
    }

    ini.eraseSection(kOptions);
    ini.writeInteger(kOptions, QStringLiteral("RecentFileCount"), int(m_recentPlaces.size()));
    ini.writeBool(kOptions, QStringLiteral("MinimizeToTray"), ui.MinimizeToTrayMenu->isChecked());
    ini.writeBool(kOptions, QStringLiteral("Debugging"), ui.DebugMenu->isChecked());
    ini.writeBool(kOptions, QStringLiteral("DragDropAutoprint"), ui.DragDropAutoPrint->isChecked());
    ini.writeBool(kOptions, QStringLiteral("BatchFiles"), ui.UseBatch->isChecked());
    ini.writeBool(kOptions, QStringLiteral("RepeateFileExistsAction"),
                  m_monitor->RepeatFileExistsAction);
    ini.writeInteger(kOptions, QStringLiteral("Disposal"), m_monitor->Disposal);
    ini.writeBool(kOptions, QStringLiteral("AutoOrient"), ui.AutoOrient->isChecked());

    ini.writeString(kFolders, QStringLiteral("Image"), ImageFolder);
    ini.writeString(kFolders, QStringLiteral("InkDescriptions"), CurveCreation.inkDescriptionsFolder);
    ini.writeString(kFolders, QStringLiteral("InkCurves"), CurveCreation.inkCurvesFolder);
    ini.writeString(kCurveCreation, QStringLiteral("DefaultLimit"), CurveCreation.defaultLimit);

    ini.save();
}

void TDiriduForm::setRecentFileCount(int count)
{
    count = std::clamp(count, 0, kMostRecentFiles);
    while (int(m_recentPlaces.size()) > count)
        delete m_recentPlaces.takeLast();
    while (int(m_recentPlaces.size()) < count) {
        auto *place = new QAction(ui.recentFileIcon, QString(), ui.ImageMenu);
        connect(place, &QAction::triggered, this, [this, place] { RecentFileClick(place); });
        ui.ImageMenu->addAction(place);
        m_recentPlaces.append(place);
        setRecentFile(int(m_recentPlaces.size()), QString());
    }
    showFileListDividerWhenUsed();
}

void TDiriduForm::setRecentFile(int place, const QString &path)
{
    QAction *action = m_recentPlaces.value(place - 1);
    if (!action)
        return;
    action->setText(QStringLiteral("&%1 %2").arg(place).arg(path));
    action->setVisible(!path.isEmpty());
    action->setEnabled(!path.isEmpty());
    showFileListDividerWhenUsed();
}

// The separator stands above the recent images only while there is one to show.
void TDiriduForm::showFileListDividerWhenUsed()
{
    bool used = false;
    for (int k = 1; k <= int(m_recentPlaces.size()) && !used; ++k)
        used = !recentFile(k).isEmpty();
    ui.FileListDivider->setVisible(used);
}

QString TDiriduForm::recentFile(int place) const
{
    const QAction *action = m_recentPlaces.value(place - 1);
    return action ? action->text().section(QLatin1Char(' '), 1) : QString();
}
