#pragma once

#include "InkDescription.h"

#include <QHash>
#include <QWidget>

#include <array>
#include <functional>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class NumericBoxKeys;
class TInkLoaderForm;
class TProfileErrors;
class TZorGraphs;
struct CurveCreationSettings;
struct NumberRange;

// What the editor needs of the program around it; the main window fills it in once.
struct InkDescriptionContext
{
    QString installFolder; // with its trailing "/": PPD files, curve folders, Curvewright
    QString programFolder; // with its trailing "/": the Curvewright executable
    QString workFolder;    // with its trailing "/": the run's temporary files and log
    QString helpFile;
    CurveCreationSettings *settings = nullptr;
    TInkLoaderForm *inkLoader = nullptr;
    TProfileErrors *report = nullptr;
    TZorGraphs *graphs = nullptr;
    std::function<bool()> debugging;
};

// One ink slot of the editor: its group box and what the controls do not show.
struct InkBox
{
    bool Used = false;
    QGroupBox *Box = nullptr;
    QString CurveData;
    QString Ink;
    CurveSource curveSource = CurveSource::PointList;

    // The box's children, in their fixed order.
    QLabel *densityLabel = nullptr;
    QLabel *limitLabel = nullptr;
    QLabel *nameLabel = nullptr;
    QLabel *slotLabel = nullptr;
    QComboBox *use = nullptr;
    QLineEdit *density = nullptr;
    QLineEdit *limit = nullptr;
    QComboBox *copySource = nullptr;
    QPushButton *curveButton = nullptr;
};

// "Curve Creator": the ink description editor. Created hidden at start-up; shown without
// blocking the main window. Every show starts a new description.
class TInkDescription : public QWidget
{
    Q_OBJECT

public:
    // 0 clean, 1 changed by loading a file, 2 edited by the user.
    enum { Clean = 0, ChangedByLoad = 1, Edited = 2 };

    explicit TInkDescription(QWidget *parent = nullptr);

    void setContext(const InkDescriptionContext &context);
    // The folder the open dialog starts in; it follows each file opened or saved, and the
    // ink descriptions folder setting follows it.
    void setOpenFolder(const QString &folder);
    QString openFolder() const { return m_openFolder; }

    int ModifiedState = Clean;
    QString DescriptionFileName;
    QString curvewrightVersion();

    // Handlers, public so the program's other windows and the tests reach them.
    void NewDescriptionClick();
    void OpenDescriptionClick();
    // Both answer whether the description was written.
    bool SaveDescriptionClick();
    bool SaveDescriptionAsClick();
    void ExitMenuClick();
    void HelpClick();
    void PrintingModelNameChange();
    void CreateCurveBtnClick();
    void CopyBtnClick();
    void PasteBtnClick();
    void ClearBtnClick();
    // Opens the file at path as the open dialog's OK would.
    void openDescription(const QString &path);

    // A copy of the main window's model list, in the same order.
    QComboBox *PrintingModelName;
    QPushButton *CreateCurveBtn;
    QTabWidget *InkDescriptionPages;
    QWidget *Ink;
    QWidget *GrayParts;
    QWidget *TonerParts;
    QWidget *Toner_2Parts;
    QWidget *Linearize;
    QWidget *Notes;
    QLineEdit *DefaultInkLimit;
    QLineEdit *Boost_K;
    QLineEdit *GrayHighlightValue;
    QLineEdit *GrayShadowValue;
    QLineEdit *GrayOverlapValue;
    QLineEdit *GrayGammaValue;
    QLineEdit *GrayCurve;
    QPushButton *GrayBrowseBtn;
    QLineEdit *TonerHighlightValue;
    QLineEdit *TonerShadowValue;
    QLineEdit *TonerGammaValue;
    QLineEdit *TonerCurve;
    QPushButton *TonerBrowseButton;
    QLineEdit *Toner_2HighlightValue;
    QLineEdit *Toner_2ShadowValue;
    QLineEdit *Toner_2GammaValue;
    QLineEdit *Toner_2Curve;
    QPushButton *Toner_2BrowseButton;
    QGroupBox *LinearizeBox;
    std::array<QLineEdit *, LinearizationValueCount> LinearizeValues{};
    QPushButton *CopyBtn;
    // Enabled only while the clipboard holds text.
    QPushButton *PasteBtn;
    QPushButton *ClearBtn;
    QPlainTextEdit *NotesText;
    QAction *NewDescription;
    QAction *OpenDescription;
    QAction *SaveDescription;
    QAction *SaveDescriptionAs;
    QAction *ExitMenu;
    QAction *Help;

    std::array<InkBox, MaxInkSlots> InkBoxes;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Building the window (TInkDescription.cpp).
    void FormCreate();
    QMenuBar *createMenus();
    QWidget *createModelRow();
    QWidget *createInkPage();
    QGroupBox *createSlotBox(int slot, const char *boxName, const char *inkName,
                             const char *suffix);
    void takeSlotChildren(int slot, QGroupBox *box);
    QWidget *createShapePage(const QString &prefix, bool withOverlap, QLineEdit *&highlight,
                             QLineEdit *&shadow, QLineEdit *&overlap, QLineEdit *&gamma,
                             QLineEdit *&curve, QPushButton *browse);
    QWidget *createLinearizePage();
    QWidget *createNotesPage();
    void connectHandlers();
    void watchNumericBox(QLineEdit *box, const NumberRange &range);

    // Slots and fields (TInkDescriptionSlots.cpp).
    void setUpSlots(const QStringList &inks);
    void setUpCopySources(const QStringList &inks);
    void applyUse(int slot);
    void InkUseChange(int slot);
    void CopySourceChange(int slot);
    void CopySourceExit(int slot);
    void CurveSelectBtnClick(int slot);
    void checkBox(QLineEdit *box);
    void DefaultInkLimitExit();
    void BrowseCurveClick(QLineEdit *curve);
    void resetToNewDescription();
    void resetSlot(InkBox &box);
    void commitFocusedBox();
    QString inkAtSlotOf(const QString &ink) const;
    // The folder of the description's file; empty for an unnamed description.
    QString descriptionFolder() const;
    bool linearizationShowing() const;

    // Files and the run (TInkDescriptionFile.cpp).
    InkDescription descriptionFromControls() const;
    void showDescription(const InkDescription &description);
    void showSlot(int slot, const InkSlot &inkSlot);
    void writeDescription();
    bool askToSaveBeforeDropping();
    void startNewDescription();
    void updateCaption();
    QStringList modelList() const;
    QStringList inkSetOf(const QString &model) const;
    void showLoadErrors(const QStringList &errors);
    void runCurveCreation();

    InkDescriptionContext m_context;
    QString m_openFolder;
    QString m_curvewrightVersion;
    bool m_versionRead = false;
    NumericBoxKeys *m_keys = nullptr;
    QHash<QLineEdit *, const NumberRange *> m_ranges;
    // For each of the known inks the slot it last occupied; -1 for none yet.
    std::array<int, 14> InkSlotOf{};
};
