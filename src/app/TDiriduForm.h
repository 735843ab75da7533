#pragma once

#include "DiriduFormUi.h"
#include "ZorCommon.h"

#include <QHash>
#include <QMainWindow>
#include <QSize>

#include <memory>

class ComboOptionBox;
class CurveFolderWatch;
class HelpRouter;
class PpdLoader;
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
    bool AnotherInstance = false;
    QString GuiVersion;
    QString VersionCaption;
    QString InkforgeVersion;
    QString RastermillVersion;
    QString DefaultPrinterName;
    bool Debugging = false;
    int OrientationState = -1;
    QSize MaxPreviewSize;
    QString ProgramFolder;
    QString InstallFolder;
    QString HelpFile;
    QString InkDescriptionsFolder;

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
    void ExitProgramClick();
    void PrintingModelNameCloseUp();
    void CurveFolderChangeChange();
    void Curve1CloseUp();
    void Curve2CloseUp();
    void CurveBlendChange();
    void CurveBlendValueExit();
    void GammaBlendChange();
    void GammaBlendValueExit();
    void LimitBlendChange();
    void LimitBlendValueExit();

signals:
    void deferredStartupFinished();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate(const StartupOptions &options);
    void DeferredStartup();
    void keepLogoAtDesignedSize();
    void fillPrinterList();
    void readToolVersions(int timeoutMs);
    void showMonitoringStatus();
    void connectHandlers();
    void shareEnterKeyHandler();
    void updatePasteButtons();
    void loadModel(const QString &model);
    void curveCloseUp(QComboBox *box);

    using ExitHandler = void (TDiriduForm::*)();
    QHash<QObject *, ExitHandler> m_exitHandlers;

    std::unique_ptr<ComboOptionBox> m_paperSize, m_dither, m_resolution, m_paperFeed, m_curve1,
        m_curve2, m_mediaType, m_ripBlack, m_ripSpeed;
    CurveFolderWatch *m_curveFolderWatch = nullptr;
    std::unique_ptr<PpdLoader> m_ppdLoader;
    HelpRouter *m_helpRouter = nullptr;
    bool m_shuttingDown = false;
};

// Creates the main window and the further windows as the program does at start.
std::unique_ptr<TDiriduForm> createDiriduWindows(const StartupOptions &options);
