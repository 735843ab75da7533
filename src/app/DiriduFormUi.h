#pragma once

#include <QIcon>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QMenuBar;
class QPushButton;
class QSlider;
class QSpinBox;
class QStatusBar;
class QSystemTrayIcon;
class QTabBar;
class QTimer;
class QWidget;
class RotatedLabel;

// The controls of the main window, built by hand the way a form designer would: setupUi()
// creates every widget, menu, action, popup, timer and the tray icon with its designed
// caption, items, hint, range and start state, and lays them out. Behaviour (connections to
// handlers, start-up, settings) belongs to the window class. Every object carries its name as
// objectName; the help context of a control or menu is its int property "helpContext".
//
// Things the window class should know:
// - PrintingModelName and PrinterList are sorted lists, but QComboBox has no sort flag: insert
//   their items in sorted position.
// - Hints are both tool tip and status tip. The two status bar panels, StatusPanel0 and
//   StatusPanel1, are QLabels added as normal status bar widgets; a status tip shown while the
//   mouse is over a control hides them until it is cleared, as Qt status bars do. Their texts
//   are the panel texts.
// - UnitsBox and OrientationBox items are the buttons of UnitsBoxGroup and OrientationBoxGroup
//   with ids 0 and 1. Designed selection is item 0 in both.
// - setupUi connects no handlers; its only connection keeps the start of a chosen item in view in
//   the editable combo boxes. PictureFrame, Curve1 and Curve2 have the context menu
//   policy Qt::CustomContextMenu for their popups ResizeMenu, Curve1Popup and Curve2Popup; the
//   window connects customContextMenuRequested to show them. A right click on NowPrinting
//   reaches PictureFrame.
// - The help context of a main menu is set on the QMenu and on its menuAction().
// - Widgets that the window moves or resizes itself sit at fixed positions and in no layout:
//   everything directly on DropTarget (ImageScreen, FeedLbl, the arrows, WarningPanel,
//   WarningsTabs, PrintBtn, the logo, the status labels), WarningMessage inside WarningPanel,
//   PictureFrame inside ImageScreen, and FilePrinting and PresetLbl inside ImageBox. NowPrinting
//   fills PictureFrame by a layout, so sizing the frame sizes the picture.
// - FeedLbl resizes itself to its turned text whenever its angle changes.
struct DiriduFormUi
{
    // Window
    QWidget *DropTarget = nullptr;
    QLabel *DiriduLogo = nullptr;
    QLabel *GUIlbl = nullptr;
    QLabel *StatusLBL = nullptr;
    QLabel *FolderLBL = nullptr;
    RotatedLabel *FeedLbl = nullptr;
    QLabel *LeftArrow = nullptr;
    QLabel *UpArrow = nullptr;
    QFrame *ImageScreen = nullptr;
    QLabel *NoImageBMP = nullptr;
    QFrame *PictureFrame = nullptr;
    QLabel *NowPrinting = nullptr;
    QPushButton *PrintBtn = nullptr;
    QFrame *WarningPanel = nullptr;
    QLabel *WarningMessage = nullptr;
    QTabBar *WarningsTabs = nullptr;
    QStatusBar *StatusBar = nullptr;
    QLabel *StatusPanel0 = nullptr;
    QLabel *StatusPanel1 = nullptr;

    // Copies
    QGroupBox *CopiesBox = nullptr;
    QSpinBox *CopyCount = nullptr;

    // Printer
    QGroupBox *PrinterBox = nullptr;
    QComboBox *PrintingModelName = nullptr;
    QLabel *ModelLbl = nullptr;
    QLabel *ModelLbl2 = nullptr;
    QComboBox *PrinterList = nullptr;
    QLabel *PrinterLbl = nullptr;

    // Paper
    QGroupBox *PaperBox = nullptr;
    QComboBox *PaperSize = nullptr;
    QGroupBox *UnitsBox = nullptr;
    QButtonGroup *UnitsBoxGroup = nullptr;
    QGroupBox *OrientationBox = nullptr;
    QButtonGroup *OrientationBoxGroup = nullptr;
    QLineEdit *CustomWidth = nullptr;
    QLineEdit *CustomLength = nullptr;
    QLabel *WidthLBL = nullptr;
    QLabel *LengthLBL = nullptr;

    // Media
    QGroupBox *MediaBox = nullptr;
    QComboBox *PaperFeed = nullptr;
    QLabel *SourceLbl = nullptr;
    QComboBox *MediaType = nullptr;
    QLabel *TypeLbl = nullptr;

    // Image
    QGroupBox *ImageBox = nullptr;
    QLabel *FilePrinting = nullptr;
    QLabel *PresetLbl = nullptr;
    QComboBox *Resolution = nullptr;
    QLabel *Label5 = nullptr;
    QComboBox *DitherType = nullptr;
    QLabel *Label11 = nullptr;
    QComboBox *RipSpeed = nullptr;
    QLabel *RipSpeedLbl = nullptr;
    QComboBox *RipBlack = nullptr;
    QLabel *RipBlackLbl = nullptr;

    // Placement
    QGroupBox *PlacementBox = nullptr;
    QCheckBox *PlaceCentered = nullptr;
    QLineEdit *TopMargin = nullptr;
    QLineEdit *LeftMargin = nullptr;
    QLabel *TopLBL = nullptr;
    QLabel *LeftLBL = nullptr;
    QLabel *PlaceUnitsLbl = nullptr;

    // Scale
    QGroupBox *ScaleBox = nullptr;
    QCheckBox *ScaleToFit = nullptr;
    QSpinBox *CustomScale = nullptr;
    QLabel *percentLbl = nullptr;

    // Curves
    QGroupBox *CurvesBox = nullptr;
    QComboBox *Curve1 = nullptr;
    QComboBox *Curve2 = nullptr;
    QSlider *CurveBlend = nullptr;
    QLineEdit *CurveBlendValue = nullptr;
    QLabel *BlendLbl = nullptr;
    QLabel *CalibrationModeLbl = nullptr;

    // Gamma
    QGroupBox *GammaBox = nullptr;
    QSlider *GammaBlend = nullptr;
    QLineEdit *GammaBlendValue = nullptr;
    QLabel *GammaLightestLbl = nullptr;
    QLabel *GammaDarkestLbl = nullptr;

    // Ink limit
    QGroupBox *RIPLimit = nullptr;
    QSlider *LimitBlend = nullptr;
    QLineEdit *LimitBlendValue = nullptr;
    QLabel *LimitLightestLbl = nullptr;
    QLabel *LimitDarkestLbl = nullptr;

    // Main menu
    QMenuBar *MainMenu = nullptr;
    QMenu *ImageMenu = nullptr;
    QAction *OpenFile = nullptr;
    QAction *PrintFile = nullptr;
    QAction *N5 = nullptr;
    QAction *ExitProgram = nullptr;
    QAction *FileListDivider = nullptr;
    QMenu *Presets1 = nullptr;
    QAction *LoadPreset = nullptr;
    QAction *SavePreset = nullptr;
    QMenu *Monitor1 = nullptr;
    QAction *MonitorFolder1 = nullptr;
    QAction *StopMonitoring = nullptr;
    QMenu *OptionsMenu = nullptr;
    QAction *RecentFileCountMenu = nullptr;
    QAction *MinimizeToTrayMenu = nullptr;
    QAction *DragDropAutoPrint = nullptr;
    QAction *AutoOrient = nullptr;
    QAction *DebugMenu = nullptr;
    QAction *CalibrationMode = nullptr;
    QAction *UseBatch = nullptr;
    QAction *InkDescriptionMenu = nullptr; // a menu bar entry without items, acts on click
    QMenu *Help1 = nullptr;
    QAction *Contents1 = nullptr;
    QAction *Tutorial = nullptr;
    QAction *N2 = nullptr;
    QAction *About1 = nullptr;

    // Non-visual parts
    QTimer *EggTimer = nullptr;
    QTimer *CheckMail = nullptr;
    QSystemTrayIcon *CoolTrayIcon = nullptr;
    QMenu *TrayMenu = nullptr;
    QAction *Restore1 = nullptr;
    QAction *N3 = nullptr;
    QAction *Exit1 = nullptr;
    QMenu *ResizeMenu = nullptr;
    QAction *SetHeightPopup = nullptr;
    QAction *SetWidthPopup = nullptr;
    QAction *ScaleToFitPopup = nullptr;
    QMenu *Curve1Popup = nullptr;
    QAction *ShowCurve1Graph = nullptr;
    QMenu *Curve2Popup = nullptr;
    QAction *ShowCurve2Graph = nullptr;

    // Icon of the recent-file places that follow FileListDivider.
    QIcon recentFileIcon;

    // Builds everything on window: DropTarget becomes its central widget, and the window gets
    // its fixed size (client area 561 x 563 below the menu bar), caption, font and icon.
    void setupUi(QMainWindow *window);

    // Keeps the logo at its designed 35 x 36 pixels against the window's pixels per inch and
    // puts GUIlbl's left edge 3 pixels left of the logo's right edge.
    void placeLogoLabel();

    // Centres StatusLBL over status panel 0 and puts FolderLBL 7 pixels past its right edge.
    // Needs the status bar laid out: setupUi does it; call it again after a panel changes size.
    void centreStatusLabels();
};

// A control's hint: shown as its tool tip and in the status bar.
void setHint(QWidget *widget, const QString &hint);
