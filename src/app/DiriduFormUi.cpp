#include "DiriduFormUi.h"

#include "ProgramLogo.h"
#include "RotatedLabel.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace {

// The window is drawn for 96 dots per inch with a 13 pixel Arial; Liberation Sans has the
// same metrics where Arial is missing.
constexpr int ClientWidth = 561;
constexpr int ClientHeight = 563;
constexpr int LogoWidth = 35;
constexpr int LogoHeight = 36;
constexpr int PreviewSize = 132;
constexpr int Margin = 6; // between the window edge and the groups, and between groups

const QColor DarkShadow(0x40, 0x40, 0x40);
const QColor WarningRed(0xd0, 0x00, 0x00);

template <typename T> T *named(T *object, const char *name)
{
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

// Labels show file names and preset names: always as written, never as markup.
QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    QLabel *created = named(new QLabel(text, parent), name);
    created->setTextFormat(Qt::PlainText);
    return created;
}

QComboBox *comboBox(QWidget *parent, const char *name, bool editable, const QString &hint)
{
    auto *box = named(new QComboBox(parent), name);
    if (editable) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        // A chosen item longer than the field would otherwise show its end, not its start.
        QLineEdit *edit = box->lineEdit();
        QObject::connect(box, &QComboBox::currentIndexChanged, edit,
                         [edit] { edit->setCursorPosition(0); });
    }
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(4);
    setHint(box, hint);
    return box;
}

QLineEdit *centredEdit(QWidget *parent, const char *name, const QString &text, int width)
{
    auto *edit = named(new QLineEdit(text, parent), name);
    edit->setAlignment(Qt::AlignCenter);
    edit->setFixedWidth(width);
    return edit;
}

QSlider *slider(QWidget *parent, const char *name, int minimum, int maximum, int position,
                int tickInterval, const QString &hint)
{
    auto *bar = named(new QSlider(Qt::Horizontal, parent), name);
    bar->setRange(minimum, maximum);
    bar->setValue(position);
    bar->setPageStep(tickInterval);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setTickInterval(tickInterval);
    setHint(bar, hint);
    return bar;
}

QGroupBox *groupBox(QWidget *parent, const char *name, const QString &title,
                    const QString &hint = QString())
{
    auto *box = named(new QGroupBox(title, parent), name);
    if (!hint.isEmpty())
        setHint(box, hint);
    return box;
}

template <typename Layout> Layout *tightLayout(QWidget *owner)
{
    auto *layout = new Layout(owner);
    layout->setContentsMargins(8, 0, 8, 6);
    layout->setSpacing(6);
    return layout;
}

QAction *menuItem(QWidget *menu, QObject *owner, const char *name, const QString &caption,
                  const QString &hint = QString(), const QIcon &icon = QIcon())
{
    auto *action = named(new QAction(icon, caption, owner), name);
    if (!hint.isEmpty()) {
        action->setToolTip(hint);
        action->setStatusTip(hint);
    }
    menu->addAction(action);
    return action;
}

QAction *separator(QMenu *menu, const char *name)
{
    return named(menu->addSeparator(), name);
}

QIcon themed(const char *themeName, QStyle *style, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QString::fromLatin1(themeName), style->standardIcon(fallback));
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

void setBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setBold(QWidget *widget)
{
    QFont font = widget->font();
    font.setBold(true);
    widget->setFont(font);
}

// Hidden and shown while the window runs; the neighbours keep their places meanwhile.
void keepPlaceWhenHidden(QWidget *widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

QPixmap blankPixmap(int width, int height, qreal pixelRatio)
{
    QPixmap pixmap(QSize(width, height) * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// Stands in for an image that could not be decoded: a picture frame with a stroke through it.
QPixmap noImagePixmap(qreal pixelRatio)
{
    QPixmap pixmap = blankPixmap(32, 32, pixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.5));
    painter.setBrush(QColor(0xf4, 0xf4, 0xf4));
    painter.drawRoundedRect(QRectF(3.5, 6.5, 25, 19), 2, 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x90, 0x90, 0x90));
    const QPointF hills[] = {{5, 24}, {12, 14}, {17, 20}, {21, 16}, {27, 24}};
    painter.drawPolygon(hills, int(std::size(hills)));
    painter.drawEllipse(QRectF(20, 9, 4, 4));
    painter.setPen(QPen(QColor(0xb0, 0x20, 0x20), 2.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(6, 28), QPointF(26, 4));
    return pixmap;
}

// The selected tab takes the warning colour; the strip is small, so the tabs are drawn
// compactly by a style sheet rather than by the platform style.
const char *const WarningTabsStyle = R"(
QTabBar::tab {
    background: palette(button);
    border: 1px solid palette(mid);
    border-bottom: none;
    padding: 1px 0px;
    min-width: 16px;
}
QTabBar::tab:selected {
    background: #d00000;
    color: white;
    font-weight: bold;
}
)";

// Group boxes with the title set into the frame line, as on the classic dialogs this window
// comes from: a title above the frame, as some styles draw it, costs a text line per group,
// and the window holds too many groups at its fixed size for that.
const char *const GroupBoxStyle = R"(
QGroupBox {
    border: 1px solid palette(mid);
    border-radius: 3px;
    margin-top: 8px;
    padding-top: 8px;
}
QGroupBox::title {
    subcontrol-origin: margin;
    subcontrol-position: top left;
    left: 7px;
    padding: 0px 3px;
}
)";

} // namespace

void DiriduFormUi::setupUi(QMainWindow *window)
{
    if (window->objectName().isEmpty())
        window->setObjectName(QStringLiteral("DiriduForm"));
    QFont font = window->font();
    font.setFamily(QStringLiteral("Arial"));
    font.setPixelSize(13);
    window->setFont(font);
    window->setWindowTitle(QStringLiteral("Zorlane Graphical Interface"));
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint);
    const qreal pixelRatio = window->devicePixelRatioF();
    const QPixmap logo = programLogo(QSize(LogoWidth, LogoHeight), pixelRatio);
    window->setWindowIcon(QIcon(logo));
    QStyle *style = window->style();

    // ---- Main menu ----
    MainMenu = named(new QMenuBar(window), "MainMenu");
    window->setMenuBar(MainMenu);

    ImageMenu = named(MainMenu->addMenu(QStringLiteral("&Image")), "ImageMenu");
    OpenFile = menuItem(ImageMenu, window, "OpenFile", QStringLiteral("&Select Image"),
                        QStringLiteral("Pick the image you wish to print."),
                        themed("document-open", style, QStyle::SP_DialogOpenButton));
    PrintFile = menuItem(ImageMenu, window, "PrintFile", QStringLiteral("&Print"),
                         QStringLiteral("Print the selected image."),
                         QIcon::fromTheme(QStringLiteral("document-print")));
    PrintFile->setEnabled(false);
    PrintFile->setProperty("helpContext", 1000);
    N5 = separator(ImageMenu, "N5");
    ExitProgram = menuItem(ImageMenu, window, "ExitProgram", QStringLiteral("&Exit"),
                           QStringLiteral("Close the program."),
                           themed("application-exit", style, QStyle::SP_DialogCloseButton));
    FileListDivider = separator(ImageMenu, "FileListDivider");
    FileListDivider->setVisible(false);
    recentFileIcon = style->standardIcon(QStyle::SP_FileIcon);

    Presets1 = named(MainMenu->addMenu(QStringLiteral("&Presets")), "Presets1");
    Presets1->setProperty("helpContext", 6000);
    Presets1->menuAction()->setProperty("helpContext", 6000);
    LoadPreset = menuItem(Presets1, window, "LoadPreset", QStringLiteral("&Load Preset"),
                          QStringLiteral("Load a set of curve parameters."),
                          themed("document-open", style, QStyle::SP_DialogOpenButton));
    SavePreset = menuItem(Presets1, window, "SavePreset", QStringLiteral("&Save Preset"),
                          QStringLiteral("Save a set of curve parameters."),
                          themed("document-save", style, QStyle::SP_DialogSaveButton));

    Monitor1 = named(MainMenu->addMenu(QStringLiteral("&Monitor")), "Monitor1");
    Monitor1->setProperty("helpContext", 8000);
    Monitor1->menuAction()->setProperty("helpContext", 8000);
    MonitorFolder1 = menuItem(Monitor1, window, "MonitorFolder1", QStringLiteral("&Monitor Folder"),
                              QStringLiteral("Select which folder Diridu will watch."),
                              themed("folder-open", style, QStyle::SP_DirOpenIcon));
    StopMonitoring =
        menuItem(Monitor1, window, "StopMonitoring", QStringLiteral("&Stop Monitoring"),
                 QStringLiteral("Cause Diridu to stop monitoring folders."),
                 themed("process-stop", style, QStyle::SP_BrowserStop));
    StopMonitoring->setEnabled(false);

    OptionsMenu = named(MainMenu->addMenu(QStringLiteral("&Options")), "OptionsMenu");
    OptionsMenu->setProperty("helpContext", 2000);
    OptionsMenu->menuAction()->setProperty("helpContext", 2000);
    RecentFileCountMenu =
        menuItem(OptionsMenu, window, "RecentFileCountMenu", QStringLiteral("&Recent File Count"),
                 QStringLiteral("Manages the number of Images Diridu will remember."));
    const auto checkItem = [&](const char *name, const QString &caption, const QString &hint) {
        QAction *action = menuItem(OptionsMenu, window, name, caption, hint);
        action->setCheckable(true);
        return action;
    };
    MinimizeToTrayMenu =
        checkItem("MinimizeToTrayMenu", QStringLiteral("&Minimize to System Tray"),
                  QStringLiteral("If this item is checked, when Diridu is minimized "
                                 "it will place an icon into the System Tray."));
    MinimizeToTrayMenu->setChecked(true);
    DragDropAutoPrint = checkItem("DragDropAutoPrint", QStringLiteral("Drag-Drop &Autoprint"), {});
    AutoOrient = checkItem("AutoOrient", QStringLiteral("Auto Orient Page"), {});
    DebugMenu = checkItem("DebugMenu", QStringLiteral("&Debug"),
                          QStringLiteral("Check this item and Voduz will show and save the batch "
                                         "file it creates."));
    CalibrationMode = checkItem("CalibrationMode", QStringLiteral("&Calibration Mode"), {});
    CalibrationMode->setVisible(false);
    UseBatch = checkItem("UseBatch", QStringLiteral("Use &Batch Files"), {});

    InkDescriptionMenu =
        named(MainMenu->addAction(QStringLiteral("&Curve Creation")), "InkDescriptionMenu");
    InkDescriptionMenu->setVisible(false);
    InkDescriptionMenu->setProperty("helpContext", 9000);

    Help1 = named(MainMenu->addMenu(QStringLiteral("&Help")), "Help1");
    Contents1 = menuItem(Help1, window, "Contents1", QStringLiteral("&Diridu Help"),
                         QStringLiteral("Help on Diridu configuration and execution."),
                         themed("help-contents", style, QStyle::SP_DialogHelpButton));
    Contents1->setProperty("helpContext", 5000);
    Tutorial = menuItem(Help1, window, "Tutorial", QStringLiteral("User Guide"), {},
                        QIcon::fromTheme(QStringLiteral("x-office-document")));
    N2 = separator(Help1, "N2");
    About1 = menuItem(Help1, window, "About1", QStringLiteral("&About"),
                      QStringLiteral("Contact and update information."),
                      themed("help-about", style, QStyle::SP_MessageBoxInformation));
    About1->setProperty("helpContext", 7000);

    // ---- Popup menus, timers, tray icon ----
    ResizeMenu = named(new QMenu(window), "ResizeMenu");
    SetHeightPopup = menuItem(ResizeMenu, window, "SetHeightPopup", QStringLiteral("SetHeight"));
    SetWidthPopup = menuItem(ResizeMenu, window, "SetWidthPopup", QStringLiteral("Set Width"));
    ScaleToFitPopup =
        menuItem(ResizeMenu, window, "ScaleToFitPopup", QStringLiteral("Scale To Fit"));
    Curve1Popup = named(new QMenu(window), "Curve1Popup");
    ShowCurve1Graph =
        menuItem(Curve1Popup, window, "ShowCurve1Graph", QStringLiteral("Show Curve Graph"));
    Curve2Popup = named(new QMenu(window), "Curve2Popup");
    ShowCurve2Graph =
        menuItem(Curve2Popup, window, "ShowCurve2Graph", QStringLiteral("Show Curve Graph"));

    EggTimer = named(new QTimer(window), "EggTimer");
    EggTimer->setInterval(10000);
    CheckMail = named(new QTimer(window), "CheckMail");
    CheckMail->setInterval(1000);

    TrayMenu = named(new QMenu(window), "TrayMenu");
    Restore1 = menuItem(TrayMenu, window, "Restore1", QStringLiteral("Restore Diridu"), {},
                        style->standardIcon(QStyle::SP_TitleBarNormalButton));
    N3 = separator(TrayMenu, "N3");
    Exit1 = menuItem(TrayMenu, window, "Exit1", QStringLiteral("Exit"), {},
                     themed("application-exit", style, QStyle::SP_DialogCloseButton));
    CoolTrayIcon = named(new QSystemTrayIcon(QIcon(logo), window), "CoolTrayIcon");
    CoolTrayIcon->setToolTip(QStringLiteral("Zorlane Graphical Interface"));
    CoolTrayIcon->setContextMenu(TrayMenu);

    // Menus are windows of their own and would not take the window's font by themselves.
    for (QMenu *menu : window->findChildren<QMenu *>()) {
        menu->setAttribute(Qt::WA_WindowPropagation);
        menu->setFont(font);
    }

    // ---- Status bar ----
    StatusBar = named(new QStatusBar(window), "StatusBar");
    StatusBar->setSizeGripEnabled(false);
    // A tool tip only: a status tip here would replace the very panels it describes.
    StatusBar->setToolTip(QStringLiteral("Folder monitoring status."));
    StatusPanel0 = label(StatusBar, "StatusPanel0", QStringLiteral("Not Monitoring"));
    StatusPanel0->setAlignment(Qt::AlignCenter);
    StatusPanel0->setFixedWidth(95);
    StatusPanel1 = label(StatusBar, "StatusPanel1", QStringLiteral("Monitored Folder"));
    StatusPanel1->setMinimumWidth(50);
    StatusPanel1->setIndent(4);
    StatusBar->addWidget(StatusPanel0);
    StatusBar->addWidget(StatusPanel1, 1);
    window->setStatusBar(StatusBar);
    const int statusBarHeight = StatusBar->sizeHint().height();

    // ---- The panel that fills the client area ----
    DropTarget = named(new QWidget(window), "DropTarget");
    DropTarget->setAcceptDrops(true);
    window->setCentralWidget(DropTarget);
    QWidget *panel = DropTarget;
    const int panelHeight = ClientHeight - statusBarHeight;

    DiriduLogo = label(panel, "DiriduLogo", QString());
    DiriduLogo->setPixmap(logo);
    DiriduLogo->setScaledContents(true);
    DiriduLogo->resize(LogoWidth, LogoHeight);
    setHint(DiriduLogo, QStringLiteral("Front end for Zorlane."));
    GUIlbl = label(panel, "GUIlbl", QStringLiteral("gui"));
    {
        QFont guiFont = GUIlbl->font();
        guiFont.setPixelSize(16);
        guiFont.setBold(true);
        GUIlbl->setFont(guiFont);
    }
    setTextColour(GUIlbl, QColor(0, 0, 255));
    GUIlbl->adjustSize();
    setHint(GUIlbl, QStringLiteral("Front end for Zorlane."));

    QFont smallFont = font;
    smallFont.setPixelSize(11);
    StatusLBL = label(panel, "StatusLBL", QStringLiteral("Status"));
    FolderLBL = label(panel, "FolderLBL", QStringLiteral("Folder"));
    for (QLabel *caption : {StatusLBL, FolderLBL}) {
        caption->setFont(smallFont);
        setTextColour(caption, DarkShadow);
        caption->adjustSize();
    }

    // Printer
    PrinterBox = groupBox(panel, "PrinterBox", QStringLiteral("Printer"),
                          QStringLiteral("See help file for configuring your printer."));
    PrinterBox->setProperty("helpContext", 2000);
    {
        auto *grid = tightLayout<QGridLayout>(PrinterBox);
        grid->setVerticalSpacing(0);
        ModelLbl = label(PrinterBox, "ModelLbl", QStringLiteral("Printing"));
        ModelLbl2 = label(PrinterBox, "ModelLbl2", QStringLiteral("Model"));
        ModelLbl->setAlignment(Qt::AlignRight | Qt::AlignBottom);
        ModelLbl2->setAlignment(Qt::AlignRight | Qt::AlignTop);
        PrintingModelName =
            comboBox(PrinterBox, "PrintingModelName", false,
                     QStringLiteral("Select your Zorlane printing model from the list."));
        PrinterLbl = label(PrinterBox, "PrinterLbl", QStringLiteral("Name"));
        PrinterList = comboBox(PrinterBox, "PrinterList", false,
                               QStringLiteral("Choose the printer you will be using."));
        grid->addWidget(ModelLbl, 0, 0);
        grid->addWidget(ModelLbl2, 1, 0);
        grid->addWidget(PrintingModelName, 0, 1, 2, 1);
        grid->addItem(new QSpacerItem(6, 0, QSizePolicy::Fixed), 0, 2);
        grid->addWidget(PrinterLbl, 0, 3, 2, 1);
        grid->addWidget(PrinterList, 0, 4, 2, 1);
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(4, 1);
    }

    // Media
    MediaBox = groupBox(panel, "MediaBox", QStringLiteral("Media"));
    {
        auto *grid = tightLayout<QGridLayout>(MediaBox);
        SourceLbl = label(MediaBox, "SourceLbl", QStringLiteral("Source"));
        PaperFeed =
            comboBox(MediaBox, "PaperFeed", true, QStringLiteral("Select the paper feed source."));
        TypeLbl = label(MediaBox, "TypeLbl", QStringLiteral("Type"));
        MediaType = comboBox(MediaBox, "MediaType", true,
                             QStringLiteral("Select the kind of paper you are printing on."));
        grid->addWidget(SourceLbl, 0, 0);
        grid->addWidget(PaperFeed, 0, 1);
        grid->addWidget(TypeLbl, 1, 0);
        grid->addWidget(MediaType, 1, 1);
        grid->setColumnStretch(1, 1);
    }

    // Copies
    CopiesBox = groupBox(panel, "CopiesBox", QStringLiteral("Copies"),
                         QStringLiteral("Select how many times to print the image."));
    {
        auto *row = tightLayout<QHBoxLayout>(CopiesBox);
        CopyCount = named(new QSpinBox(CopiesBox), "CopyCount");
        CopyCount->setRange(1, 99);
        CopyCount->setValue(1);
        CopyCount->setFixedWidth(64);
        setHint(CopyCount, QStringLiteral("Change the copy count to get multiple copies."));
        row->addWidget(CopyCount);
        row->addStretch(1);
    }

    // Image
    ImageBox = groupBox(panel, "ImageBox", QStringLiteral("Image"));
    ImageBox->setProperty("helpContext", 4000);
    FilePrinting = label(ImageBox, "FilePrinting", QStringLiteral("No image Selected"));
    FilePrinting->setEnabled(false);
    PresetLbl = label(ImageBox, "PresetLbl", QStringLiteral("Preset"));
    PresetLbl->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PresetLbl->setVisible(false);
    const int fileRowHeight = FilePrinting->sizeHint().height();
    {
        auto *column = tightLayout<QVBoxLayout>(ImageBox);
        column->addSpacing(fileRowHeight); // FilePrinting and PresetLbl, placed below
        auto *grid = new QGridLayout;
        grid->setHorizontalSpacing(8);
        grid->setVerticalSpacing(1);
        column->addLayout(grid);
        Label5 = label(ImageBox, "Label5", QStringLiteral("Resolution"));
        Resolution = comboBox(ImageBox, "Resolution", true,
                              QStringLiteral("Select the printing resolution."));
        Label11 = label(ImageBox, "Label11", QStringLiteral("Dither Algorithm"));
        DitherType =
            comboBox(ImageBox, "DitherType", true, QStringLiteral("Select the dither algorithm."));
        DitherType->setProperty("helpContext", 1000);
        RipSpeedLbl = label(ImageBox, "RipSpeedLbl", QStringLiteral("Speed"));
        RipSpeed = comboBox(ImageBox, "RipSpeed", true,
                            QStringLiteral("Select the Printing Quality/Speed"));
        RipBlackLbl = label(ImageBox, "RipBlackLbl", QStringLiteral("Black Ink"));
        RipBlack = comboBox(ImageBox, "RipBlack", true,
                            QStringLiteral("Select the kind of black ink to use."));
        const std::pair<QLabel *, QComboBox *> cells[] = {{Label5, Resolution},
                                                          {Label11, DitherType},
                                                          {RipSpeedLbl, RipSpeed},
                                                          {RipBlackLbl, RipBlack}};
        for (int i = 0; i < 4; ++i) {
            grid->addWidget(cells[i].first, 0, i);
            grid->addWidget(cells[i].second, 1, i);
            grid->setColumnStretch(i, 1);
        }
    }

    // Paper
    PaperBox = groupBox(panel, "PaperBox", QStringLiteral("Paper"),
                        QStringLiteral("Setup paper characteristics"));
    PaperBox->setProperty("helpContext", 1000);
    {
        auto *column = tightLayout<QVBoxLayout>(PaperBox);
        PaperSize = comboBox(PaperBox, "PaperSize", false,
                             QStringLiteral("Select the size of the paper you are using."));
        column->addWidget(PaperSize);

        auto *radios = new QHBoxLayout;
        radios->setSpacing(6);
        column->addLayout(radios);
        UnitsBox = groupBox(PaperBox, "UnitsBox", QStringLiteral("Units"),
                            QStringLiteral("Select inches or millimeters."));
        UnitsBoxGroup = named(new QButtonGroup(UnitsBox), "UnitsBoxGroup");
        {
            auto *items = tightLayout<QVBoxLayout>(UnitsBox);
            items->setContentsMargins(6, 0, 6, 4);
            items->setSpacing(2);
            const QString captions[] = {QStringLiteral("in "), QStringLiteral("mm ")};
            for (int id = 0; id < 2; ++id) {
                auto *button = new QRadioButton(captions[id], UnitsBox);
                button->setObjectName(QStringLiteral("UnitsBoxItem%1").arg(id));
                UnitsBoxGroup->addButton(button, id);
                items->addWidget(button);
            }
            UnitsBoxGroup->button(0)->setChecked(true);
        }
        OrientationBox = groupBox(PaperBox, "OrientationBox", QStringLiteral("Orientation"),
                                  QStringLiteral("Select the orientation of the page."));
        OrientationBoxGroup = named(new QButtonGroup(OrientationBox), "OrientationBoxGroup");
        {
            auto *items = tightLayout<QHBoxLayout>(OrientationBox);
            items->setContentsMargins(6, 0, 6, 4);
            items->setSpacing(4);
            const QString captions[] = {QStringLiteral("Portrait "), QStringLiteral("Landscape ")};
            for (int id = 0; id < 2; ++id) {
                auto *button = new QRadioButton(captions[id], OrientationBox);
                button->setObjectName(QStringLiteral("OrientationBoxItem%1").arg(id));
                OrientationBoxGroup->addButton(button, id);
                items->addWidget(button, 1);
            }
            OrientationBoxGroup->button(0)->setChecked(true);
        }
        radios->addWidget(UnitsBox);
        radios->addWidget(OrientationBox, 1);

        auto *custom = new QHBoxLayout;
        custom->setSpacing(4);
        column->addLayout(custom);
        WidthLBL = label(PaperBox, "WidthLBL", QStringLiteral("Width"));
        CustomWidth = centredEdit(PaperBox, "CustomWidth", QString(), 60);
        LengthLBL = label(PaperBox, "LengthLBL", QStringLiteral("Length"));
        CustomLength = centredEdit(PaperBox, "CustomLength", QString(), 60);
        CustomWidth->setEnabled(false);
        CustomLength->setEnabled(false);
        custom->addWidget(WidthLBL);
        custom->addWidget(CustomWidth);
        custom->addStretch(1);
        custom->addWidget(LengthLBL);
        custom->addWidget(CustomLength);
    }

    // Placement
    PlacementBox = groupBox(panel, "PlacementBox", QStringLiteral("Placement"),
                            QStringLiteral("Placement from the top left edge of the paper. Note: "
                                           "You cannot set margins less than the printer's "
                                           "minimum allowed margin."));
    PlacementBox->setProperty("helpContext", 1000);
    {
        auto *grid = tightLayout<QGridLayout>(PlacementBox);
        grid->setHorizontalSpacing(4);
        PlaceCentered =
            named(new QCheckBox(QStringLiteral("Centered"), PlacementBox), "PlaceCentered");
        PlaceCentered->setChecked(true);
        TopLBL = label(PlacementBox, "TopLBL", QStringLiteral("Top"));
        TopMargin = centredEdit(PlacementBox, "TopMargin", QString(), 52);
        LeftLBL = label(PlacementBox, "LeftLBL", QStringLiteral("Left"));
        LeftMargin = centredEdit(PlacementBox, "LeftMargin", QString(), 52);
        PlaceUnitsLbl = label(PlacementBox, "PlaceUnitsLbl", QStringLiteral("in"));
        TopMargin->setEnabled(false);
        LeftMargin->setEnabled(false);
        grid->addWidget(PlaceCentered, 0, 0, 1, 5);
        grid->addWidget(TopLBL, 1, 0);
        grid->addWidget(TopMargin, 1, 1);
        grid->addWidget(LeftLBL, 1, 2);
        grid->addWidget(LeftMargin, 1, 3);
        grid->addWidget(PlaceUnitsLbl, 1, 4);
        grid->setColumnMinimumWidth(2, 30);
        LeftLBL->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->setColumnStretch(5, 1);
    }

    // Scale
    ScaleBox = groupBox(panel, "ScaleBox", QStringLiteral("Scale"),
                        QStringLiteral("Scale the image when printed."));
    {
        auto *row = tightLayout<QHBoxLayout>(ScaleBox);
        row->setSpacing(4);
        ScaleToFit = named(new QCheckBox(QStringLiteral("To Fit"), ScaleBox), "ScaleToFit");
        CustomScale = named(new QSpinBox(ScaleBox), "CustomScale");
        CustomScale->setRange(1, 1600);
        CustomScale->setValue(100);
        CustomScale->setFixedWidth(64);
        percentLbl = label(ScaleBox, "percentLbl", QStringLiteral("%"));
        row->addWidget(ScaleToFit);
        row->addStretch(1);
        row->addWidget(CustomScale);
        row->addWidget(percentLbl);
    }

    // Curves
    CurvesBox =
        groupBox(panel, "CurvesBox", QStringLiteral("Curves"),
                 QStringLiteral("Select two curves and a blend to produce the Toning effect "
                                "you desire."));
    CurvesBox->setProperty("helpContext", 1000);
    {
        auto *grid = tightLayout<QGridLayout>(CurvesBox);
        const QString curveHint =
            QStringLiteral("Select a curve. Right click to view a graph of the curve.");
        Curve1 = comboBox(CurvesBox, "Curve1", false, curveHint);
        Curve2 = comboBox(CurvesBox, "Curve2", false, curveHint);
        CalibrationModeLbl =
            label(CurvesBox, "CalibrationModeLbl", QStringLiteral("Ink Calibration Mode"));
        CalibrationModeLbl->setAlignment(Qt::AlignCenter);
        setBold(CalibrationModeLbl);
        setTextColour(CalibrationModeLbl, WarningRed);
        CalibrationModeLbl->setVisible(false);
        for (QWidget *w : {static_cast<QWidget *>(Curve1), static_cast<QWidget *>(Curve2),
                           static_cast<QWidget *>(CalibrationModeLbl)})
            keepPlaceWhenHidden(w);
        // The calibration label takes the place of the two lists while they are hidden.
        auto *curves = new QHBoxLayout;
        curves->setSpacing(6);
        curves->addWidget(Curve1, 1);
        curves->addWidget(Curve2, 1);
        grid->addLayout(curves, 0, 0);
        grid->addWidget(CalibrationModeLbl, 0, 0);

        auto *blend = new QHBoxLayout;
        blend->setSpacing(6);
        BlendLbl = label(CurvesBox, "BlendLbl", QStringLiteral("Blend"));
        setHint(BlendLbl, QStringLiteral("Percentage of the left hand curve used."));
        keepPlaceWhenHidden(BlendLbl);
        CurveBlend = slider(CurvesBox, "CurveBlend", 0, 100, 50, 10,
                            QStringLiteral("Slide the slider to change the blend percentages "
                                           "between Curve 1 and Curve 2."));
        CurveBlendValue = centredEdit(CurvesBox, "CurveBlendValue", QStringLiteral("50"), 40);
        blend->addWidget(BlendLbl);
        blend->addWidget(CurveBlend, 1);
        blend->addWidget(CurveBlendValue);
        grid->addLayout(blend, 1, 0);
    }

    // Gamma and ink limit
    const auto adjustment = [&](QGroupBox *box, QSlider *&bar, QLineEdit *&value, QLabel *&lightest,
                                QLabel *&darkest, const char *barName, const char *valueName,
                                const char *lightestName, const char *darkestName, int range,
                                int tickInterval, const QString &hint) {
        auto *row = tightLayout<QHBoxLayout>(box);
        row->setSpacing(4);
        lightest = label(box, lightestName, QStringLiteral("Lightest"));
        bar = slider(box, barName, -range, range, 0, tickInterval, hint);
        darkest = label(box, darkestName, QStringLiteral("Darkest"));
        value = centredEdit(box, valueName, QStringLiteral("0"), 40);
        row->addWidget(lightest);
        row->addWidget(bar, 1);
        row->addWidget(darkest);
        row->addSpacing(4);
        row->addWidget(value);
    };
    GammaBox = groupBox(panel, "GammaBox", QStringLiteral("Gamma Adjustment (Midtones)"),
                        QStringLiteral("Adjust the image gamma."));
    adjustment(GammaBox, GammaBlend, GammaBlendValue, GammaLightestLbl, GammaDarkestLbl,
               "GammaBlend", "GammaBlendValue", "GammaLightestLbl", "GammaDarkestLbl", 15, 5,
               QStringLiteral("Use the slider to change the contrast of the midtones."));
    RIPLimit = groupBox(panel, "RIPLimit", QStringLiteral("Ink Limit Adjustment (Shadows)"),
                        QStringLiteral("Adjust the amount of ink used in the shadows."));
    adjustment(RIPLimit, LimitBlend, LimitBlendValue, LimitLightestLbl, LimitDarkestLbl,
               "LimitBlend", "LimitBlendValue", "LimitLightestLbl", "LimitDarkestLbl", 50, 10,
               QStringLiteral("Use the slider to change the darkness of the shadows."));

    // Preview
    ImageScreen = named(new QFrame(panel), "ImageScreen");
    ImageScreen->setFrameStyle(QFrame::WinPanel | QFrame::Sunken); // two pixels, both lowered
    setBackground(ImageScreen, Qt::white);
    ImageScreen->resize(PreviewSize, PreviewSize);
    NoImageBMP = label(ImageScreen, "NoImageBMP", QString());
    NoImageBMP->setPixmap(noImagePixmap(pixelRatio));
    NoImageBMP->setGeometry(50, 50, 32, 32);
    NoImageBMP->setVisible(false);
    PictureFrame = named(new QFrame(ImageScreen), "PictureFrame");
    PictureFrame->setFrameStyle(QFrame::NoFrame);
    setBackground(PictureFrame, QColor(0xc0, 0xdc, 0xc0));
    PictureFrame->setGeometry(4, 4, PreviewSize - 8, PreviewSize - 8);
    PictureFrame->setVisible(false);
    PictureFrame->setContextMenuPolicy(Qt::CustomContextMenu); // ResizeMenu
    {
        auto *fill = new QVBoxLayout(PictureFrame);
        fill->setContentsMargins(0, 0, 0, 0);
        NowPrinting = label(PictureFrame, "NowPrinting", QString());
        NowPrinting->setAlignment(Qt::AlignCenter);
        NowPrinting->setMinimumSize(1, 1);
        NowPrinting->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        fill->addWidget(NowPrinting);
    }
    Curve1->setContextMenuPolicy(Qt::CustomContextMenu); // Curve1Popup
    Curve2->setContextMenuPolicy(Qt::CustomContextMenu); // Curve2Popup

    FeedLbl = named(new RotatedLabel(QStringLiteral("Paper Feed "), panel), "FeedLbl");
    {
        // One pixel smaller than the window's text, so that turned upright it fits between the
        // preview and the arrow's left edge.
        QFont feedFont = FeedLbl->font();
        feedFont.setPixelSize(12);
        FeedLbl->setFont(feedFont);
    }
    setTextColour(FeedLbl, DarkShadow);
    FeedLbl->setAngle(90);
    UpArrow = label(panel, "UpArrow", QString(QChar(0x25B2)));     // black up-pointing triangle
    LeftArrow = label(panel, "LeftArrow", QString(QChar(0x25BA))); // black right-pointing pointer
    for (QLabel *arrow : {UpArrow, LeftArrow}) {
        QFont arrowFont = arrow->font();
        arrowFont.setPixelSize(12);
        arrow->setFont(arrowFont);
        setTextColour(arrow, DarkShadow);
        arrow->setAlignment(Qt::AlignCenter);
        arrow->setVisible(false);
    }
    UpArrow->resize(12, 15);
    LeftArrow->resize(13, 15);

    PrintBtn = named(new QPushButton(QStringLiteral("Print"), panel), "PrintBtn");
    PrintBtn->setEnabled(false);
    PrintBtn->setProperty("helpContext", 1000);

    WarningsTabs = named(new QTabBar(panel), "WarningsTabs");
    WarningsTabs->setStyleSheet(QString::fromLatin1(WarningTabsStyle));
    WarningsTabs->setDrawBase(false);
    WarningsTabs->setExpanding(true);
    WarningsTabs->setUsesScrollButtons(false);
    for (const char *tab : {"1", "2", "3", "4"})
        WarningsTabs->addTab(QString::fromLatin1(tab));
    WarningsTabs->setVisible(false);

    WarningPanel = named(new QFrame(panel), "WarningPanel");
    WarningPanel->setFrameStyle(QFrame::Box | QFrame::Plain);
    setBackground(WarningPanel, WarningRed);
    {
        QPalette palette = WarningPanel->palette();
        palette.setColor(QPalette::WindowText, QColor(0x80, 0x00, 0x00)); // the border line
        WarningPanel->setPalette(palette);
    }
    WarningPanel->resize(74, 77);
    WarningPanel->setVisible(false);
    WarningMessage =
        label(WarningPanel, "WarningMessage", QStringLiteral("TIFF format not supported"));
    setBold(WarningMessage);
    setTextColour(WarningMessage, Qt::white);
    WarningMessage->setAlignment(Qt::AlignCenter);
    WarningMessage->setWordWrap(true);
    {
        const int width = WarningPanel->width() - 6;
        const int height = WarningMessage->heightForWidth(width);
        WarningMessage->setGeometry((WarningPanel->width() - width) / 2,
                                    (WarningPanel->height() - height) / 2, width, height);
    }

    // Only now: children created under a styled group box would miss the window's font.
    DropTarget->setStyleSheet(QString::fromLatin1(GroupBoxStyle));

    // ---- Geometry ----
    // Top row: the logo, then the printer box across the rest of the width. Below it on the
    // left the media box over scale and copies, on the right the page preview with the Print
    // button and the warnings; the preview is centred in the space between CopiesBox, PrintBtn,
    // PrinterBox and ImageBox, as the preview layout does later. Then the image box across the
    // full width; paper on the left, placement over curves on the right; gamma and ink limit
    // side by side at the bottom, above the captions of the status panels.
    const int fullWidth = ClientWidth - 2 * Margin;
    const int right = ClientWidth - Margin;
    const int leftWidth = 272;
    const int rightX = Margin + leftWidth + Margin;
    const int rightWidth = right - rightX;
    const auto height = [](QWidget *w) { return w->sizeHint().height(); };
    const auto bottomOf = [](QWidget *w) { return w->y() + w->height(); };

    const int printerHeight = height(PrinterBox);
    const int mediaHeight = height(MediaBox);
    const int smallHeight = std::max(height(CopiesBox), height(ScaleBox));
    // The preview needs its 132 pixels and the feed label above it in landscape.
    const int bandHeight =
        std::max(mediaHeight + Margin + smallHeight, PreviewSize + FeedLbl->width() + 2);
    const int imageHeight = height(ImageBox);
    const int curvesHeight = height(CurvesBox);
    const int lowerHeight =
        std::max(height(PaperBox), height(PlacementBox) + Margin + curvesHeight);
    const int adjustHeight = std::max(height(GammaBox), height(RIPLimit));
    const int captionTop = panelHeight - StatusLBL->height();
    // What the groups leave over is shared between the three gaps below the preview band and
    // the space above the status captions.
    const int used = printerHeight + bandHeight + imageHeight + lowerHeight + adjustHeight;
    const int spare = std::max(0, captionTop - 2 - used - 5 * Margin);
    const int gap = Margin + spare / 4;

    DiriduLogo->move(Margin + 2, Margin + (printerHeight - LogoHeight) / 2);
    placeLogoLabel();
    const int printerX = GUIlbl->x() + GUIlbl->width() + Margin;
    PrinterBox->setGeometry(printerX, Margin, right - printerX, printerHeight);

    const int bandTop = bottomOf(PrinterBox) + Margin;
    MediaBox->setGeometry(Margin, bandTop, leftWidth, bandHeight - Margin - smallHeight);
    const int smallTop = bandTop + bandHeight - smallHeight;
    const int copiesWidth = std::max(100, CopiesBox->sizeHint().width());
    const int scaleWidth = leftWidth - Margin - copiesWidth;
    ScaleBox->setGeometry(Margin, smallTop, scaleWidth, smallHeight);
    CopiesBox->setGeometry(Margin + scaleWidth + Margin, smallTop, copiesWidth, smallHeight);

    const QSize printSize(std::max(75, PrintBtn->sizeHint().width()),
                          std::max(25, PrintBtn->sizeHint().height()));
    PrintBtn->setGeometry(right - printSize.width(), bandTop + bandHeight - printSize.height(),
                          printSize.width(), printSize.height());
    const int tabsHeight = WarningsTabs->sizeHint().height();
    WarningsTabs->setGeometry(PrintBtn->x(), bandTop, WarningPanel->width(), tabsHeight);
    WarningPanel->move(PrintBtn->x(), bandTop + tabsHeight);

    ImageBox->setGeometry(Margin, bandTop + bandHeight + gap, fullWidth, imageHeight);
    {
        const QRect inside = ImageBox->contentsRect();
        const QMargins margins = ImageBox->layout()->contentsMargins();
        const int x = inside.left() + margins.left();
        const int y = inside.top() + margins.top();
        FilePrinting->setGeometry(x, y, 418, fileRowHeight);
        const int presetX = x + 418 + 8;
        PresetLbl->setGeometry(presetX, y, inside.right() - margins.right() - presetX + 1,
                               fileRowHeight);
    }

    const int lowerTop = bottomOf(ImageBox) + gap;
    PaperBox->setGeometry(Margin, lowerTop, leftWidth, lowerHeight);
    PlacementBox->setGeometry(rightX, lowerTop, rightWidth, lowerHeight - Margin - curvesHeight);
    CurvesBox->setGeometry(rightX, lowerTop + lowerHeight - curvesHeight, rightWidth, curvesHeight);

    const int adjustTop = lowerTop + lowerHeight + gap;
    GammaBox->setGeometry(Margin, adjustTop, leftWidth, adjustHeight);
    RIPLimit->setGeometry(rightX, adjustTop, rightWidth, adjustHeight);

    StatusLBL->move(StatusLBL->x(), captionTop);
    FolderLBL->move(FolderLBL->x(), captionTop);

    // Designed place of the preview: portrait, as the preview layout puts a square page.
    {
        const int r = CopiesBox->x() + CopiesBox->width();
        const int hGap = PrintBtn->x() - r - FeedLbl->width() - PreviewSize;
        const int b = PrinterBox->y() + PrinterBox->height();
        const int vGap = ImageBox->y() - b - PreviewSize;
        ImageScreen->move(r + FeedLbl->width() + hGap / 2 - 1, b + vGap / 2 + 3);
        UpArrow->move(ImageScreen->x() - UpArrow->width(), ImageScreen->y());
        LeftArrow->move(ImageScreen->x() + ImageScreen->width() - UpArrow->width(),
                        ImageScreen->y() - UpArrow->height());
        FeedLbl->move(UpArrow->x() - (FeedLbl->width() - UpArrow->width()) / 2 - 1,
                      UpArrow->y() + UpArrow->height());
    }

    // Fixed size: the client area below the menu bar is 561 x 563.
    const int menuHeight = MainMenu->hasHeightForWidth() ? MainMenu->heightForWidth(ClientWidth)
                                                         : MainMenu->sizeHint().height();
    window->setFixedSize(ClientWidth, menuHeight + ClientHeight);
    if (window->layout())
        window->layout()->activate();
    if (StatusBar->layout())
        StatusBar->layout()->activate();
    centreStatusLabels();
}

void DiriduFormUi::placeLogoLabel()
{
    const qreal dpi = DiriduLogo->logicalDpiY();
    const qreal f = dpi > 0 ? 96.0 / dpi : 1.0;
    DiriduLogo->resize(int(std::lround(LogoWidth * f)), int(std::lround(LogoHeight * f)));
    GUIlbl->move(DiriduLogo->x() + DiriduLogo->width() - 3,
                 DiriduLogo->y() + DiriduLogo->height() - GUIlbl->height() + 3);
}

void DiriduFormUi::centreStatusLabels()
{
    // Panel 0 starts wherever the status bar's own margin puts it.
    const int panelLeft = StatusPanel0->mapTo(StatusBar->window(), QPoint(0, 0)).x() -
                          DropTarget->mapTo(StatusBar->window(), QPoint(0, 0)).x();
    const int panelWidth = StatusPanel0->width();
    StatusLBL->move(panelLeft + (panelWidth - StatusLBL->width()) / 2, StatusLBL->y());
    FolderLBL->move(panelLeft + panelWidth + 7, FolderLBL->y());
}

void setHint(QWidget *widget, const QString &hint)
{
    widget->setToolTip(hint);
    widget->setStatusTip(hint);
}
