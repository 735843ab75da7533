#pragma once

#include "CurveCreationSettings.h"
#include "DiriduFormUi.h"
#include "PageGeometry.h"
#include "TImageFacts.h"
#include "ZorCommon.h"

#include <QHash>
#include <QMainWindow>
#include <QSize>

#include <functional>
#include <memory>
#include <optional>

class ComboOptionBox;
class QPushButton;
class QShortcut;
class QSlider;
class CurveFolderWatch;
class FileDropFilter;
class FolderMonitor;
class HelpRouter;
class MailChannel;
class PageGeometryController;
class PpdLoader;
class PreviewController;
class TAboutBox;
class TCurvePreview;
class TErrorDisplay;
class TFileExistsDlg;
class TInkDescription;
class TInkLoaderForm;
class TLoadPresetsForm;
class TProfileErrors;
class TRecentCounter;
class TSavePresetsForm;
class TSetDimension;
class TZorGraphs;
struct PresetValues;
struct TPrintRequest;
class TPrintPipeline;
struct TPrintingModel;

// The main window. It owns the program's state: its controls are the settings, and beside
// them it keeps the printing model, the folders and the versions.
class TDiriduForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit TDiriduForm(const StartupOptions &options, QWidget *parent = nullptr);
    ~TDiriduForm() override;

    // The further windows, created once after this one, in this order, and kept until exit.
    void createFurtherWindows();

    DiriduFormUi ui;

    // Start-up state.
    QString GuiVersion;
    QString VersionCaption;
    QString InkforgeVersion;
    QString RastermillVersion;
    QString DefaultPrinterName;
    bool Debugging = false;
    QSize MaxPreviewSize;
    QString ProgramFolder;
    QString InstallFolder;
    // Where Diridu.ini lives, and where logs, temporary and script files go: the program
    // and install folders when the installation can be written, else the user's own.
    QString SettingsFolder;
    QString WorkFolder;
    QString HelpFile;
    QString ImageFolder;
    CurveCreationSettings CurveCreation;
    QString ImagePath;
    bool MinimizeToTray = true;
    TPageGeometry PageGeometry;
    TImageFacts ImageFacts;

    std::unique_ptr<TPrintingModel> PrintingModel;

    TFileExistsDlg *FileExistsDlg = nullptr;
    TLoadPresetsForm *LoadPresetsForm = nullptr;
    TSavePresetsForm *SavePresetsForm = nullptr;
    TRecentCounter *RecentCounter = nullptr;
    TAboutBox *AboutBox = nullptr;
    TErrorDisplay *ErrorDisplay = nullptr;
    TSetDimension *SetDimension = nullptr;
    TProfileErrors *ProfileErrors = nullptr;
    TZorGraphs *ZorGraphs = nullptr;
    TInkLoaderForm *InkLoaderForm = nullptr;
    TInkDescription *InkDescription = nullptr;
    TCurvePreview *CurvePreview = nullptr;

    void ReadSettings();
    void WriteSettings();
    void CommitFocusedField();
    // Ends the program; false when the settings could not be written and it stays open.
    bool ExitProgramClick();
    // Ends the program when the system or the desktop session asks: the settings are
    // written if they can be, and the program ends either way.
    void EndProgram();
    void PrinterListChange();
    void PrintingModelNameCloseUp();
    void InkDescriptionMenuClick();
    void CurveFolderChangeChange();
    void PrintFileClick();
    bool PrintReady();
    void WMCheckMail();
    // Builds the request from the controls and runs the tools; throws ZorError on failure.
    void ProcessPrintRequest(const QString &imagePath, const QString &printSource);
    // Stops the print request that is running (the busy state's Cancel and Escape).
    void CancelPrintClick();
    MailChannel *mailChannel() const { return m_mail; }
    void CalibrationModeClick();
    void DropFileTargetDrop(const QStringList &paths);
    void OpenFileClick();
    void ProbeImage(const QString &path);
    void ClearImage();
    void AddRecentFile(const QString &path);
    void RecentFileClick(QAction *place);
    void RecentFileCountMenuClick();
    void MinimizeToTrayMenuClick();
    void DebugMenuClick();
    void CoolTrayIconDblClick();
    void Restore1Click();
    void Contents1Click();
    void TutorialClick();
    void About1Click();
    void SavePresetClick();
    void LoadPresetClick();
    void Curve1CloseUp();
    void Curve2CloseUp();
    void ShowCurve1GraphClick();
    void ShowCurve2GraphClick();
    void CurveBlendChange();
    void CurveBlendValueExit();
    void GammaBlendChange();
    void GammaBlendValueExit();
    void LimitBlendChange();
    void LimitBlendValueExit();

signals:
    void deferredStartupFinished();
    // The program is to end now, from wherever it was asked: the owner of the event loop
    // ends every loop (so that open message boxes return) and with it the program.
    void leaving();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void FormCreate(const StartupOptions &options);
    void DeferredStartup();
    void keepLogoAtDesignedSize();
    void fillPrinterList();
    void readToolVersions(int timeoutMs);
    void connectHandlers();
    void connectOptionsAndHelp();
    void minimizeToTray();
    void shareEnterKeyHandler();
    bool loadsAModelWhenChosen(QObject *watched) const;
    void updatePasteButtons();
    void loadModel(const QString &model);
    QString settingsPath() const;
    std::optional<QString> keepSettings();
    void applySettings();
    void setRecentFileCount(int count);
    void setRecentFile(int place, const QString &path);
    QString recentFile(int place) const;
    void showFileListDividerWhenUsed();
    PresetValues currentPresetValues() const;
    TPrintRequest printRequestFromControls(const QString &imagePath) const;
    void openMailChannel(const StartupOptions &options);
    void reportUnreachableMailChannel();
    void createBusyControls();
    void showBusy(bool busy);
    void leaveProgram();
    void setSliderPosition(QSlider *slider, int position);
    void applyPreset(const QString &name, const PresetValues &values);
    void curveCloseUp(QComboBox *box);
    void connectCurveGraphMenus();
    void showCurveGraph(const QComboBox *box);

    // The exit handlers of the edits: run when the focus leaves, on Enter, and before menus,
    // prints and exit take the values.
    QHash<QObject *, std::function<void()>> m_exitHandlers;

    std::unique_ptr<ComboOptionBox> m_paperSize, m_dither, m_resolution, m_paperFeed, m_curve1,
        m_curve2, m_mediaType, m_ripBlack, m_ripSpeed;
    CurveFolderWatch *m_curveFolderWatch = nullptr;
    std::unique_ptr<PpdLoader> m_ppdLoader;
    HelpRouter *m_helpRouter = nullptr;
    FileDropFilter *m_dropFilter = nullptr;
    PageGeometryController *m_geometry = nullptr;
    PreviewController *m_preview = nullptr;
    MailChannel *m_mail = nullptr;
    FolderMonitor *m_monitor = nullptr;
    std::unique_ptr<TPrintPipeline> m_pipeline;
    bool m_checkingMail = false;
    // A check-mail notification came while the reader was busy and has not been served.
    bool m_mailMissed = false;
    QPushButton *m_cancelPrint = nullptr;
    QShortcut *m_cancelKey = nullptr;
    // What calibration mode replaces, to give it back exactly when the mode ends.
    int m_calibrationPositions[3] = {};
    QString m_calibrationPreset;
    bool m_calibrationPresetShown = false;
    QList<QAction *> m_recentPlaces;
    bool m_shuttingDown = false;
};

// Creates the main window and the further windows as the program does at start.
std::unique_ptr<TDiriduForm> createDiriduWindows(const StartupOptions &options);
