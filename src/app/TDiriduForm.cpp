#include "TDiriduForm.h"

#include "ApplicationTitle.h"
#include "Beeper.h"
#include "ComboOptionBox.h"
#include "CurveFolderWatch.h"
#include "Dialogs.h"
#include "Events.h"
#include "FileDropFilter.h"
#include "FolderMonitor.h"
#include "HelpRouter.h"
#include "HelpService.h"
#include "InstallPaths.h"
#include "InstalledToolVersions.h"
#include "MailChannel.h"
#include "PageGeometryController.h"
#include "PpdLoader.h"
#include "PreviewController.h"
#include "PrintPipeline.h"
#include "PrinterQueues.h"
#include "QueueModelName.h"
#include "TAboutBox.h"
#include "TCurvePreview.h"
#include "TErrorDisplay.h"
#include "TFileExistsDlg.h"
#include "TInkDescription.h"
#include "TInkLoaderForm.h"
#include "TLoadPresetsForm.h"
#include "TPrintingModel.h"
#include "TProfileErrors.h"
#include "TRecentCounter.h"
#include "TSavePresetsForm.h"
#include "TSetDimension.h"
#include "TZorGraphs.h"
#include "UserFolders.h"
#include "ZorError.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QToolTip>

#include <cmath>

namespace {

const QString kCurveHint = QStringLiteral("Select a curve.");
const QString kCurvePopupHint = QStringLiteral(" Right click to view a graph of the curve.");

// The number typed in a slider's field: a non-number beeps and gives fallback; any number
// is clamped to the range silently.
int fieldValue(const QLineEdit *edit, int fallback, int minimum, int maximum)
{
    bool ok = false;
    int value = edit->text().trimmed().toInt(&ok, 10);
    if (!ok) {
        ErrorBeep();
        value = fallback;
    }
    return std::clamp(value, minimum, maximum);
}

} // namespace

TDiriduForm::TDiriduForm(const StartupOptions &options, QWidget *parent)
    : QMainWindow(parent), PrintingModel(std::make_unique<TPrintingModel>()),
      m_pipeline(std::make_unique<TPrintPipeline>())
{
    ui.setupUi(this);
    FormCreate(options);
}

TDiriduForm::~TDiriduForm()
{
    if (m_helpRouter)
        qApp->removeEventFilter(m_helpRouter);
    if (m_dropFilter)
        qApp->removeEventFilter(m_dropFilter);
}

void TDiriduForm::FormCreate(const StartupOptions &options)
{
    setToolTipDuration(10000);
    keepLogoAtDesignedSize();
    ui.centreStatusLabels();
    MaxPreviewSize = ui.ImageScreen->size();

    ProgramFolder = options.programFolder;
    const bool calibrationTarget =
        QFileInfo(resolveCaseInsensitive(ProgramFolder, QStringLiteral("ChannelWedge.tif")))
            .isFile();
    ui.CalibrationMode->setVisible(calibrationTarget);
    ui.InkDescriptionMenu->setVisible(calibrationTarget);
    InstallFolder = installFolderOf(ProgramFolder);
    const TUserFolders userFolders = prepareUserFolders(ProgramFolder, InstallFolder);
    SettingsFolder = userFolders.SettingsFolder;
    WorkFolder = userFolders.WorkFolder;

    HelpFile = resolveCaseInsensitive(ProgramFolder, QStringLiteral("DirIduHelp"));
    m_helpRouter = new HelpRouter(HelpFile, this);
    qApp->installEventFilter(m_helpRouter);

    PageGeometry.OrientationState = -1;
    selectRadioItem(ui.OrientationBoxGroup, -1);

    fillPrinterList();

    GuiVersion = guiVersion();
    VersionCaption = versionCaption(designedCaption(), GuiVersion);
    setWindowTitle(VersionCaption);

    readToolVersions(options.toolVersionTimeoutMs);

    connectHandlers();
    try {
        ReadSettings();
    } catch (const std::exception &error) {
        // A settings file that fails even after the recovery ends the start-up here; the
        // window opens as far as it was set up.
        Dialogs::instance().applicationError(QString::fromUtf8(error.what()));
        return;
    }
    m_monitor->showStatus();
    openMailChannel(options);
}

// The request queue is opened to other programs at the end of the start-up. Files named on
// the command line are queued like files handed over by a second start, after the start-up
// has finished; they are this process's own requests, so they need no socket.
void TDiriduForm::openMailChannel(const StartupOptions &options)
{
    connect(m_mail, &MailChannel::activationRequested, this, [this] {
        if (isMinimized())
            showNormal();
        raise();
        activateWindow();
    });
    m_mail->create();
    QCoreApplication::postEvent(this, new QEvent(DeferredStartupEvent));
    if (!options.arguments.isEmpty()) {
        QueueCommandLineFiles(*m_mail, options.arguments);
        QCoreApplication::postEvent(this, new QEvent(WM_CHECKMAIL));
    }
}

// Said once, when the window is up: every request of this window still works, only a
// second start can no longer hand its files over.
void TDiriduForm::reportUnreachableMailChannel()
{
    if (m_mail->isListening())
        return;
    Dialogs::instance().error(
        QStringLiteral("Diridu could not set up its request socket (%1), so other programs "
                       "cannot hand files over to it: starting Diridu again with a file does "
                       "not reach this window. Printing, dropped files and the monitored folder "
                       "work as usual.")
            .arg(m_mail->errorString()),
        Dialogs::Button::Ok);
}

void TDiriduForm::keepLogoAtDesignedSize()
{
    const double f = 96.0 / logicalDpiY();
    const QSize designed = ui.DiriduLogo->size();
    ui.DiriduLogo->setFixedSize(int(std::lround(designed.width() * f)),
                                int(std::lround(designed.height() * f)));
    ui.placeLogoLabel();
}

void TDiriduForm::fillPrinterList()
{
    const PrinterQueueList queues = PrinterQueues::instance().queues();
    for (const QString &name : queues.names)
        insertSorted(ui.PrinterList, name);
    DefaultPrinterName = queues.defaultName;
}

void TDiriduForm::readToolVersions(int timeoutMs)
{
    const QStringList versions = readInstalledToolVersions(
        {resolveCaseInsensitive(ProgramFolder, QStringLiteral("Inkforge")),
         resolveCaseInsensitive(ProgramFolder, QStringLiteral("Rastermill"))},
        timeoutMs);
    InkforgeVersion = versions.value(0);
    RastermillVersion = versions.value(1);
}

void TDiriduForm::connectHandlers()
{
    m_paperSize = std::make_unique<ComboOptionBox>(ui.PaperSize);
    m_dither = std::make_unique<ComboOptionBox>(ui.DitherType);
    m_resolution = std::make_unique<ComboOptionBox>(ui.Resolution);
    m_paperFeed = std::make_unique<ComboOptionBox>(ui.PaperFeed, ui.SourceLbl);
    m_curve1 = std::make_unique<ComboOptionBox>(ui.Curve1);
    m_curve2 = std::make_unique<ComboOptionBox>(ui.Curve2);
    m_mediaType = std::make_unique<ComboOptionBox>(ui.MediaType);
    m_ripBlack = std::make_unique<ComboOptionBox>(ui.RipBlack, ui.RipBlackLbl);
    m_ripSpeed = std::make_unique<ComboOptionBox>(ui.RipSpeed);

    m_curveFolderWatch = new CurveFolderWatch(this);
    connect(m_curveFolderWatch, &CurveFolderWatch::changed, this,
            &TDiriduForm::CurveFolderChangeChange);
    m_ppdLoader = std::make_unique<PpdLoader>(
        *PrintingModel,
        PrintingModelBoxes{m_paperSize.get(), m_dither.get(), m_resolution.get(), m_paperFeed.get(),
                           m_curve1.get(), m_curve2.get(), m_mediaType.get(), m_ripBlack.get(),
                           m_ripSpeed.get()},
        *m_curveFolderWatch);

    connect(ui.PrintingModelName, &QComboBox::activated, this,
            &TDiriduForm::PrintingModelNameCloseUp);
    connect(ui.PrinterList, &QComboBox::activated, this, &TDiriduForm::PrinterListChange);
    ui.PrintingModelName->installEventFilter(this);
    ui.PrinterList->installEventFilter(this);
    connect(ui.InkDescriptionMenu, &QAction::triggered, this,
            &TDiriduForm::InkDescriptionMenuClick);
    connect(ui.Curve1, &QComboBox::activated, this, &TDiriduForm::Curve1CloseUp);
    connect(ui.Curve2, &QComboBox::activated, this, &TDiriduForm::Curve2CloseUp);
    connect(ui.Resolution, &QComboBox::activated, ui.PresetLbl, &QWidget::hide);
    connect(ui.DitherType, &QComboBox::activated, ui.PresetLbl, &QWidget::hide);
    for (QComboBox *box : {ui.Curve1, ui.Curve2}) {
        box->setContextMenuPolicy(Qt::PreventContextMenu);
        QMenu *popup = box == ui.Curve1 ? ui.Curve1Popup : ui.Curve2Popup;
        connect(box, &QWidget::customContextMenuRequested, this,
                [box, popup](const QPoint &at) { popup->exec(box->mapToGlobal(at)); });
    }
    connectCurveGraphMenus();

    connect(ui.CurveBlend, &QSlider::valueChanged, this, &TDiriduForm::CurveBlendChange);
    connect(ui.GammaBlend, &QSlider::valueChanged, this, &TDiriduForm::GammaBlendChange);
    connect(ui.LimitBlend, &QSlider::valueChanged, this, &TDiriduForm::LimitBlendChange);
    m_exitHandlers.insert(ui.CurveBlendValue, [this] { CurveBlendValueExit(); });
    m_exitHandlers.insert(ui.GammaBlendValue, [this] { GammaBlendValueExit(); });
    m_exitHandlers.insert(ui.LimitBlendValue, [this] { LimitBlendValueExit(); });

    m_geometry = new PageGeometryController(PageGeometry, *PrintingModel, ImageFacts,
                                            PageGeometryControls(ui), this);
    // Made while ImageScreen still has its designed size, the largest the preview takes.
    m_preview = new PreviewController(PageGeometry, ImageFacts, *m_geometry, PreviewControls(ui),
                                      nullptr, this);
    connect(m_geometry, &PageGeometryController::previewLayoutRequested, m_preview,
            &PreviewController::PreviewLayout);
    for (const auto &[edit, handler] : m_geometry->exitHandlers())
        m_exitHandlers.insert(edit, handler);
    shareEnterKeyHandler();

    connect(ui.OpenFile, &QAction::triggered, this, &TDiriduForm::OpenFileClick);
    connect(ui.CalibrationMode, &QAction::triggered, this, &TDiriduForm::CalibrationModeClick);
    // Files dropped anywhere on the window are queued, over any control: the panel that
    // fills the window passes drags on to it, and the filter takes them before the control.
    ui.DropTarget->setAcceptDrops(false);
    setAcceptDrops(true);
    m_dropFilter = new FileDropFilter(
        this, [this](const QStringList &paths) { DropFileTargetDrop(paths); }, this);
    qApp->installEventFilter(m_dropFilter);
    connect(ui.PrintFile, &QAction::triggered, this, &TDiriduForm::PrintFileClick);
    connect(ui.PrintBtn, &QPushButton::clicked, this, &TDiriduForm::PrintFileClick);
    createBusyControls();
    m_mail = new MailChannel(this);
    m_mail->setCheckMailReceiver(this);
    m_monitor = new FolderMonitor({m_mail, this, ui.StopMonitoring, ui.StatusPanel0,
                                   ui.StatusPanel1, nullptr, ui.EggTimer,
                                   [this] { return PrintReady(); }, [this] { return ImagePath; }},
                                  this);
    connect(ui.MonitorFolder1, &QAction::triggered, this,
            [this] { m_monitor->MonitorFolder1Click(this); });
    connect(ui.StopMonitoring, &QAction::triggered, m_monitor, &FolderMonitor::StopMonitoringClick);
    connect(ui.SavePreset, &QAction::triggered, this, &TDiriduForm::SavePresetClick);
    connect(ui.LoadPreset, &QAction::triggered, this, &TDiriduForm::LoadPresetClick);
    connect(ui.ExitProgram, &QAction::triggered, this, &TDiriduForm::ExitProgramClick);
    connect(ui.Exit1, &QAction::triggered, this, &TDiriduForm::ExitProgramClick);
    connectOptionsAndHelp();
    // Opening a menu first takes the value still being typed.
    for (QMenu *menu : {ui.ImageMenu, ui.Presets1, ui.Monitor1, ui.Help1})
        connect(menu, &QMenu::aboutToShow, this, &TDiriduForm::CommitFocusedField);
}

// Enter in a centred edit commits its value at once, as leaving the field does.
void TDiriduForm::shareEnterKeyHandler()
{
    for (QObject *edit : m_exitHandlers.keys())
        edit->installEventFilter(this);
}

bool TDiriduForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel && loadsAModelWhenChosen(watched))
        return true;
    const auto handler = m_exitHandlers.constFind(watched);
    if (handler != m_exitHandlers.cend()) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                handler.value()();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut &&
                   static_cast<QFocusEvent *>(event)->reason() != Qt::ActiveWindowFocusReason) {
            // Switching to another window does not leave the field: the caret is still in
            // it on return, and the value counts once the field is really left.
            handler.value()();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// The wheel would choose a new item on every notch, and choosing a model or a queue loads a
// model: over the closed box it does nothing; the open list still scrolls.
bool TDiriduForm::loadsAModelWhenChosen(QObject *watched) const
{
    return watched == ui.PrintingModelName || watched == ui.PrinterList;
}

void TDiriduForm::createFurtherWindows()
{
    FileExistsDlg = new TFileExistsDlg(this);
    m_monitor->setFileExistsDlg(FileExistsDlg);
    LoadPresetsForm = new TLoadPresetsForm(this);
    SavePresetsForm = new TSavePresetsForm(this);
    RecentCounter = new TRecentCounter(this);
    AboutBox = new TAboutBox(this);
    AboutBox->setInstallation(HelpFile, InstallFolder);
    ErrorDisplay = new TErrorDisplay(this);
    SetDimension = new TSetDimension(this);
    m_preview->setSetDimensionDialog(SetDimension);
    ProfileErrors = new TProfileErrors(this);
    ZorGraphs = new TZorGraphs(this);
    InkLoaderForm = new TInkLoaderForm(this);
    InkDescription = new TInkDescription(this);
    CurvePreview = new TCurvePreview(this);
    InkLoaderForm->setSettings(&CurveCreation);
    InkDescription->setContext({InstallFolder, ProgramFolder, WorkFolder, HelpFile, &CurveCreation,
                                InkLoaderForm, ProfileErrors, ZorGraphs,
                                [this] { return Debugging; }});
    InkLoaderForm->setCurvePreview(CurvePreview);
}

bool TDiriduForm::event(QEvent *event)
{
    if (event->type() == DeferredStartupEvent) {
        DeferredStartup();
        return true;
    }
    if (event->type() == WM_CHECKMAIL) {
        WMCheckMail();
        return true;
    }
    return QMainWindow::event(event);
}

void TDiriduForm::DeferredStartup()
{
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &TDiriduForm::updatePasteButtons);
    updatePasteButtons();

    if (InkDescription) {
        InkDescription->setOpenFolder(CurveCreation.inkDescriptionsFolder);
        for (int i = 0; i < ui.PrintingModelName->count(); ++i)
            InkDescription->PrintingModelName->addItem(ui.PrintingModelName->itemText(i));
    }

    if (!QFileInfo(settingsPath()).isFile())
        HelpService::instance().showTopic(HelpFile + QStringLiteral("::/html/Configuring.htm"));

    if (Debugging) {
        setWindowTitle(VersionCaption + QStringLiteral(" [Debugging]"));
        ui.DebugMenu->setChecked(true);
    }

    if (ui.PrintingModelName->count() == 0)
        Dialogs::instance().applicationError(QStringLiteral(
            "No printer definitions found. Be sure Diridu is installed in the same folder as "
            "Zorlane."));
    reportUnreachableMailChannel();
    emit deferredStartupFinished();
}

void TDiriduForm::updatePasteButtons()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    const bool hasText = data && data->hasText();
    if (InkLoaderForm)
        InkLoaderForm->PasteBtn->setEnabled(hasText);
    if (InkDescription)
        InkDescription->PasteBtn->setEnabled(hasText);
}

void TDiriduForm::CommitFocusedField()
{
    const auto handler = m_exitHandlers.constFind(QApplication::focusWidget());
    if (handler != m_exitHandlers.cend())
        handler.value()();
}

// Takes the value still being typed and writes the settings; the error when that failed.
std::optional<QString> TDiriduForm::keepSettings()
{
    CommitFocusedField();
    try {
        WriteSettings();
    } catch (const ZorError &error) {
        return error.message();
    }
    return std::nullopt;
}

bool TDiriduForm::ExitProgramClick()
{
    if (m_shuttingDown)
        return true;
    if (const std::optional<QString> error = keepSettings()) {
        // The settings could not be kept: the user decides whether to leave without them
        // (a read-only program folder would otherwise keep the window open for good).
        Dialogs::instance().applicationError(*error);
        if (m_shuttingDown)
            return true;
        const int answer = Dialogs::instance().question(
            applicationTitle(), QStringLiteral("Exit without saving the settings?"),
            {QStringLiteral("Exit"), QStringLiteral("Cancel")});
        if (answer != 0 && !m_shuttingDown)
            return false;
    }
    leaveProgram();
    return true;
}

void TDiriduForm::EndProgram()
{
    if (m_shuttingDown)
        return;
    // Nobody may be there to answer a message box: say it where the system logs it.
    if (const std::optional<QString> error = keepSettings())
        qWarning("%s", qPrintable(*error));
    leaveProgram();
}

// Ends the program from wherever the request came, also from inside a message box or a
// print: a running print stops and its tools are ended, no further request starts, and the
// event loops end.
void TDiriduForm::leaveProgram()
{
    m_shuttingDown = true;
    m_pipeline->cancel(QStringLiteral("Diridu is closing"));
    emit leaving();
}

void TDiriduForm::closeEvent(QCloseEvent *event)
{
    if (ExitProgramClick())
        event->accept();
    else
        event->ignore();
}

void TDiriduForm::PrinterListChange()
{
    const QString model = modelNameFromQueue(ui.PrinterList->currentText());
    for (int i = 0; i < ui.PrintingModelName->count(); ++i) {
        if (ui.PrintingModelName->itemText(i) == model) {
            ui.PrintingModelName->setCurrentIndex(i);
            PrintingModelNameCloseUp();
        }
    }
}

void TDiriduForm::InkDescriptionMenuClick()
{
    if (!InkDescription)
        return;
    // An editor already open keeps its model and the description being edited.
    if (!InkDescription->isVisible()) {
        const QSignalBlocker blocker(InkDescription->PrintingModelName);
        InkDescription->PrintingModelName->setCurrentIndex(ui.PrintingModelName->currentIndex());
    }
    InkDescription->show();
    InkDescription->raise();
    InkDescription->activateWindow();
}

void TDiriduForm::PrintingModelNameCloseUp()
{
    loadModel(ui.PrintingModelName->currentText());
}

void TDiriduForm::loadModel(const QString &model)
{
    // The page sizes are the new model's now: the paper at the old position is another one.
    PageGeometry.LastPaperIndex = -1;
    try {
        m_ppdLoader->LoadPPD(InstallFolder, model);
    } catch (const ZorError &error) {
        ui.PrintingModelName->setToolTip(PrintingModel->ModelHint);
        Dialogs::instance().applicationError(error.message());
        return;
    }
    ui.PrintingModelName->setToolTip(PrintingModel->ModelHint);
    m_geometry->PaperSizeCloseUp();
}

void TDiriduForm::CurveFolderChangeChange()
{
    m_ppdLoader->RebuildCurveLists(InstallFolder, ui.PrintingModelName->currentText(),
                                   ui.Curve1->currentText(), ui.Curve2->currentText());
}

void TDiriduForm::curveCloseUp(QComboBox *box)
{
    ui.PresetLbl->hide();
    const bool curveFile = box->currentIndex() != 0;
    box->setContextMenuPolicy(curveFile ? Qt::CustomContextMenu : Qt::PreventContextMenu);
    box->setToolTip(curveFile ? kCurveHint + kCurvePopupHint : kCurveHint);
}

void TDiriduForm::Curve1CloseUp()
{
    curveCloseUp(ui.Curve1);
}

void TDiriduForm::Curve2CloseUp()
{
    curveCloseUp(ui.Curve2);
}

void TDiriduForm::CurveBlendChange()
{
    ui.CurveBlendValue->setText(QString::number(100 - ui.CurveBlend->value()));
    update();
}

// Setting a slider's position always runs its change handler, also when it does not move.
void TDiriduForm::setSliderPosition(QSlider *slider, int position)
{
    {
        const QSignalBlocker blocker(slider);
        slider->setValue(position);
    }
    if (slider == ui.CurveBlend)
        CurveBlendChange();
    else if (slider == ui.GammaBlend)
        GammaBlendChange();
    else if (slider == ui.LimitBlend)
        LimitBlendChange();
}

void TDiriduForm::CurveBlendValueExit()
{
    const int percent = fieldValue(ui.CurveBlendValue, 100 - ui.CurveBlend->value(), 0, 100);
    setSliderPosition(ui.CurveBlend, 100 - percent);
    ui.PresetLbl->hide();
}

void TDiriduForm::GammaBlendChange()
{
    ui.GammaBlendValue->setText(QString::number(ui.GammaBlend->value()));
    update();
    ui.PresetLbl->hide();
}

void TDiriduForm::GammaBlendValueExit()
{
    const QSlider *slider = ui.GammaBlend;
    setSliderPosition(ui.GammaBlend, fieldValue(ui.GammaBlendValue, slider->value(),
                                                slider->minimum(), slider->maximum()));
}

void TDiriduForm::LimitBlendChange()
{
    ui.LimitBlendValue->setText(QString::number(ui.LimitBlend->value()));
    update();
    ui.PresetLbl->hide();
}

void TDiriduForm::LimitBlendValueExit()
{
    const QSlider *slider = ui.LimitBlend;
    setSliderPosition(ui.LimitBlend, fieldValue(ui.LimitBlendValue, slider->value(),
                                                slider->minimum(), slider->maximum()));
}

std::unique_ptr<TDiriduForm> createDiriduWindows(const StartupOptions &options)
{
    auto form = std::make_unique<TDiriduForm>(options);
    form->createFurtherWindows();
    return form;
}
