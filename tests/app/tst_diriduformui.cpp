#include "DiriduFormUi.h"
#include "RotatedLabel.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTest>
#include <QTimer>

// The main window's controls against their designed captions, hints, ranges and start states,
// and the window's geometry: fixed client size, nothing outside the window, no overlaps.
class TestDiriduFormUi : public QObject
{
    Q_OBJECT

private:
    template <typename T = QObject> T *find(const QString &name)
    {
        T *object = m_window.findChild<T *>(name);
        if (!object)
            qWarning("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
        return object;
    }

    QMainWindow m_window;
    DiriduFormUi m_ui;

private slots:
    void initTestCase()
    {
        m_ui.setupUi(&m_window);
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("hidden");

        const auto row = [](const char *name, const char *kind, const QString &caption,
                            const QString &hint, bool enabled = true, bool hidden = false) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(kind) << caption
                                << hint << enabled << hidden;
        };
        const QString none;
        row("DiriduLogo", "QLabel", none, "Front end for Zorlane.");
        row("GUIlbl", "QLabel", "gui", "Front end for Zorlane.");
        row("StatusLBL", "QLabel", "Status", none);
        row("FolderLBL", "QLabel", "Folder", none);
        row("FeedLbl", "RotatedLabel", "Paper Feed ", none);
        row("LeftArrow", "QLabel", none, none, true, true);
        row("UpArrow", "QLabel", none, none, true, true);
        row("NoImageBMP", "QLabel", none, none, true, true);
        row("PictureFrame", "QFrame", none, none, true, true);
        row("PrintBtn", "QPushButton", "Print", none, false);
        row("WarningPanel", "QFrame", none, none, true, true);
        row("WarningMessage", "QLabel", "TIFF format not supported", none);
        row("WarningsTabs", "QTabBar", none, none, true, true);
        row("CopiesBox", "QGroupBox", "Copies", "Select how many times to print the image.");
        row("CopyCount", "QSpinBox", none, "Change the copy count to get multiple copies.");
        row("PrinterBox", "QGroupBox", "Printer", "See help file for configuring your printer.");
        row("PrintingModelName", "QComboBox", none,
            "Select your Zorlane printing model from the list.");
        row("ModelLbl", "QLabel", "Printing", none);
        row("ModelLbl2", "QLabel", "Model", none);
        row("PrinterList", "QComboBox", none, "Choose the printer you will be using.");
        row("PrinterLbl", "QLabel", "Name", none);
        row("PaperBox", "QGroupBox", "Paper", "Setup paper characteristics");
        row("PaperSize", "QComboBox", none, "Select the size of the paper you are using.");
        row("UnitsBox", "QGroupBox", "Units", "Select inches or millimeters.");
        row("OrientationBox", "QGroupBox", "Orientation", "Select the orientation of the page.");
        row("CustomWidth", "QLineEdit", "", none, false);
        row("CustomLength", "QLineEdit", "", none, false);
        row("WidthLBL", "QLabel", "Width", none);
        row("LengthLBL", "QLabel", "Length", none);
        row("MediaBox", "QGroupBox", "Media", none);
        row("PaperFeed", "QComboBox", none, "Select the paper feed source.");
        row("SourceLbl", "QLabel", "Source", none);
        row("MediaType", "QComboBox", none, "Select the kind of paper you are printing on.");
        row("TypeLbl", "QLabel", "Type", none);
        row("ImageBox", "QGroupBox", "Image", none);
        row("FilePrinting", "QLabel", "No image Selected", none, false);
        row("PresetLbl", "QLabel", "Preset", none, true, true);
        row("Resolution", "QComboBox", none, "Select the printing resolution.");
        row("Label5", "QLabel", "Resolution", none);
        row("DitherType", "QComboBox", none, "Select the dither algorithm.");
        row("Label11", "QLabel", "Dither Algorithm", none);
        row("RipSpeed", "QComboBox", none, "Select the Printing Quality/Speed");
        row("RipSpeedLbl", "QLabel", "Speed", none);
        row("RipBlack", "QComboBox", none, "Select the kind of black ink to use.");
        row("RipBlackLbl", "QLabel", "Black Ink", none);
        row("PlacementBox", "QGroupBox", "Placement",
            "Placement from the top left edge of the paper. Note: You cannot set margins less "
            "than the printer's minimum allowed margin.");
        row("PlaceCentered", "QCheckBox", "Centered", none);
        row("TopMargin", "QLineEdit", "", none, false);
        row("LeftMargin", "QLineEdit", "", none, false);
        row("TopLBL", "QLabel", "Top", none);
        row("LeftLBL", "QLabel", "Left", none);
        row("PlaceUnitsLbl", "QLabel", "in", none);
        row("ScaleBox", "QGroupBox", "Scale", "Scale the image when printed.");
        row("ScaleToFit", "QCheckBox", "To Fit", none);
        row("CustomScale", "QSpinBox", none, none);
        row("percentLbl", "QLabel", "%", none);
        row("CurvesBox", "QGroupBox", "Curves",
            "Select two curves and a blend to produce the Toning effect you desire.");
        row("Curve1", "QComboBox", none,
            "Select a curve. Right click to view a graph of the curve.");
        row("Curve2", "QComboBox", none,
            "Select a curve. Right click to view a graph of the curve.");
        row("CurveBlend", "QSlider", none,
            "Slide the slider to change the blend percentages between Curve 1 and Curve 2.");
        row("CurveBlendValue", "QLineEdit", "50", none);
        row("BlendLbl", "QLabel", "Blend", "Percentage of the left hand curve used.");
        row("CalibrationModeLbl", "QLabel", "Ink Calibration Mode", none, true, true);
        row("GammaBox", "QGroupBox", "Gamma Adjustment (Midtones)", "Adjust the image gamma.");
        row("GammaBlend", "QSlider", none,
            "Use the slider to change the contrast of the midtones.");
        row("GammaBlendValue", "QLineEdit", "0", none);
        row("GammaLightestLbl", "QLabel", "Lightest", none);
        row("GammaDarkestLbl", "QLabel", "Darkest", none);
        row("RIPLimit", "QGroupBox", "Ink Limit Adjustment (Shadows)",
            "Adjust the amount of ink used in the shadows.");
        row("LimitBlend", "QSlider", none, "Use the slider to change the darkness of the shadows.");
        row("LimitBlendValue", "QLineEdit", "0", none);
        row("LimitLightestLbl", "QLabel", "Lightest", none);
        row("LimitDarkestLbl", "QLabel", "Darkest", none);
        row("StatusPanel0", "QLabel", "Not Monitoring", none);
        row("StatusPanel1", "QLabel", "Monitored Folder", none);
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QFETCH(bool, enabled);
        QFETCH(bool, hidden);

        auto *widget = find<QWidget>(name);
        QVERIFY(widget);
        QVERIFY2(widget->inherits(kind.toLatin1()), widget->metaObject()->className());
        if (!caption.isNull()) {
            QString actual;
            if (auto *label = qobject_cast<QLabel *>(widget))
                actual = label->text();
            else if (auto *button = qobject_cast<QAbstractButton *>(widget))
                actual = button->text();
            else if (auto *box = qobject_cast<QGroupBox *>(widget))
                actual = box->title();
            else if (auto *edit = qobject_cast<QLineEdit *>(widget))
                actual = edit->text();
            else if (auto *rotated = qobject_cast<RotatedLabel *>(widget))
                actual = rotated->text();
            else
                QFAIL("no caption to compare");
            QCOMPARE(actual, caption);
        }
        QCOMPARE(widget->toolTip(), hint);
        QCOMPARE(widget->statusTip(), hint);
        QCOMPARE(widget->isEnabled(), enabled);
        QCOMPARE(widget->isHidden(), hidden);
    }

    void centredEdits()
    {
        for (QLineEdit *edit :
             {m_ui.CustomWidth, m_ui.CustomLength, m_ui.TopMargin, m_ui.LeftMargin,
              m_ui.CurveBlendValue, m_ui.GammaBlendValue, m_ui.LimitBlendValue})
            QVERIFY2(edit->alignment() & Qt::AlignHCenter, qPrintable(edit->objectName()));
    }

    void comboBoxes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("editable");
        QTest::newRow("PrintingModelName") << "PrintingModelName" << false;
        QTest::newRow("PrinterList") << "PrinterList" << false;
        QTest::newRow("PaperSize") << "PaperSize" << false;
        QTest::newRow("Curve1") << "Curve1" << false;
        QTest::newRow("Curve2") << "Curve2" << false;
        QTest::newRow("PaperFeed") << "PaperFeed" << true;
        QTest::newRow("MediaType") << "MediaType" << true;
        QTest::newRow("Resolution") << "Resolution" << true;
        QTest::newRow("DitherType") << "DitherType" << true;
        QTest::newRow("RipSpeed") << "RipSpeed" << true;
        QTest::newRow("RipBlack") << "RipBlack" << true;
    }

    void comboBoxes()
    {
        QFETCH(QString, name);
        QFETCH(bool, editable);
        auto *box = find<QComboBox>(name);
        QVERIFY(box);
        QCOMPARE(box->isEditable(), editable);
        QCOMPARE(box->count(), 0);
        if (editable) {
            // Typing must not add items: the items are the model's option list.
            QCOMPARE(box->insertPolicy(), QComboBox::NoInsert);
            box->lineEdit()->setText(QStringLiteral("typed"));
            QTest::keyClick(box->lineEdit(), Qt::Key_Return);
            QCOMPARE(box->count(), 0);
            // A chosen item wider than the field shows its start.
            box->addItems({QStringLiteral("short"), QString(40, QLatin1Char('x'))});
            box->setCurrentIndex(1);
            QCOMPARE(box->lineEdit()->cursorPosition(), 0);
            box->clear();
            box->setEditText(QString());
        }
    }

    // Calibration mode swaps the curve lists for its label; nothing else in the box moves.
    void calibrationLabelTakesTheCurvesPlace()
    {
        const QRect slider = m_ui.CurveBlend->geometry();
        const QRect value = m_ui.CurveBlendValue->geometry();
        m_ui.Curve1->hide();
        m_ui.Curve2->hide();
        m_ui.BlendLbl->hide();
        m_ui.CalibrationModeLbl->show();
        m_ui.CurvesBox->layout()->activate();
        QCOMPARE(m_ui.CurveBlend->geometry(), slider);
        QCOMPARE(m_ui.CurveBlendValue->geometry(), value);
        QVERIFY(m_ui.CalibrationModeLbl->geometry().intersects(m_ui.Curve1->geometry()));
        QVERIFY(m_ui.CalibrationModeLbl->geometry().intersects(m_ui.Curve2->geometry()));
        const QColor red = m_ui.CalibrationModeLbl->palette().color(QPalette::WindowText);
        QVERIFY(red.red() > 150 && red.green() < 80 && red.blue() < 80);
        QVERIFY(m_ui.CalibrationModeLbl->font().bold());
        m_ui.CalibrationModeLbl->hide();
        m_ui.Curve1->show();
        m_ui.Curve2->show();
        m_ui.BlendLbl->show();
        m_ui.CurvesBox->layout()->activate();
    }

    void ranges_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::newRow("CopyCount") << "CopyCount" << 1 << 99 << 1;
        QTest::newRow("CustomScale") << "CustomScale" << 1 << 1600 << 100;
        QTest::newRow("CurveBlend") << "CurveBlend" << 0 << 100 << 50;
        QTest::newRow("GammaBlend") << "GammaBlend" << -15 << 15 << 0;
        QTest::newRow("LimitBlend") << "LimitBlend" << -50 << 50 << 0;
    }

    void ranges()
    {
        QFETCH(QString, name);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, value);
        if (auto *spin = m_window.findChild<QSpinBox *>(name)) {
            QCOMPARE(spin->minimum(), minimum);
            QCOMPARE(spin->maximum(), maximum);
            QCOMPARE(spin->value(), value);
        } else if (auto *bar = m_window.findChild<QSlider *>(name)) {
            QCOMPARE(bar->orientation(), Qt::Horizontal);
            QCOMPARE(bar->minimum(), minimum);
            QCOMPARE(bar->maximum(), maximum);
            QCOMPARE(bar->value(), value);
        } else {
            QFAIL("neither spin edit nor slider");
        }
    }

    void checksAndRadios()
    {
        QVERIFY(m_ui.PlaceCentered->isChecked());
        QVERIFY(!m_ui.ScaleToFit->isChecked());
        const struct
        {
            QButtonGroup *group;
            QStringList captions;
        } groups[] = {{m_ui.UnitsBoxGroup, {"in ", "mm "}},
                      {m_ui.OrientationBoxGroup, {"Portrait ", "Landscape "}}};
        for (const auto &[group, captions] : groups) {
            QCOMPARE(group->buttons().size(), 2);
            QCOMPARE(group->checkedId(), 0);
            for (int id = 0; id < 2; ++id)
                QCOMPARE(group->button(id)->text(), captions.at(id));
            // The radios share one row in the orientation box and a column in the units box.
            const bool sideBySide = group->button(0)->y() == group->button(1)->y();
            QCOMPARE(sideBySide, group == m_ui.OrientationBoxGroup);
        }
    }

    void menuItems_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<int>("check"); // -1 no check item, 0 unchecked, 1 checked

        const auto row = [](const char *name, const QString &caption, const QString &hint,
                            bool enabled = true, bool visible = true, int check = -1) {
            QTest::newRow(name) << QString::fromLatin1(name) << caption << hint << enabled
                                << visible << check;
        };
        const QString none;
        row("OpenFile", "&Select Image", "Pick the image you wish to print.");
        row("PrintFile", "&Print", "Print the selected image.", false);
        row("ExitProgram", "&Exit", "Close the program.");
        row("FileListDivider", "", none, true, false);
        row("LoadPreset", "&Load Preset", "Load a set of curve parameters.");
        row("SavePreset", "&Save Preset", "Save a set of curve parameters.");
        row("MonitorFolder1", "&Monitor Folder", "Select which folder Diridu will watch.");
        row("StopMonitoring", "&Stop Monitoring", "Cause Diridu to stop monitoring folders.",
            false);
        row("RecentFileCountMenu", "&Recent File Count",
            "Manages the number of Images Diridu will remember.");
        row("MinimizeToTrayMenu", "&Minimize to System Tray",
            "If this item is checked, when Diridu is minimized it will place an icon into the "
            "System Tray.",
            true, true, 1);
        row("DragDropAutoPrint", "Drag-Drop &Autoprint", none, true, true, 0);
        row("AutoOrient", "Auto Orient Page", none, true, true, 0);
        row("DebugMenu", "&Debug",
            "Check this item and Voduz will show and save the batch file it creates.", true, true,
            0);
        row("CalibrationMode", "&Calibration Mode", none, true, false, 0);
        row("UseBatch", "Use &Batch Files", none, true, true, 0);
        row("InkDescriptionMenu", "&Curve Creation", none, true, false);
        row("Contents1", "&Diridu Help", "Help on Diridu configuration and execution.");
        row("Tutorial", "User Guide", none);
        row("About1", "&About", "Contact and update information.");
        row("Restore1", "Restore Diridu", none);
        row("Exit1", "Exit", none);
        row("SetHeightPopup", "SetHeight", none);
        row("SetWidthPopup", "Set Width", none);
        row("ScaleToFitPopup", "Scale To Fit", none);
        row("ShowCurve1Graph", "Show Curve Graph", none);
        row("ShowCurve2Graph", "Show Curve Graph", none);
    }

    void menuItems()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QFETCH(bool, enabled);
        QFETCH(bool, visible);
        QFETCH(int, check);
        auto *action = find<QAction>(name);
        QVERIFY(action);
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->statusTip(), hint);
        QCOMPARE(action->isVisible(), visible);
        if (visible) // a hidden action reports itself disabled until it is shown
            QCOMPARE(action->isEnabled(), enabled);
        QCOMPARE(action->isCheckable(), check >= 0);
        QCOMPARE(action->isChecked(), check == 1);
    }

    void menuStructure()
    {
        const auto names = [](const QList<QAction *> &actions) {
            QStringList list;
            for (const QAction *action : actions)
                list << (action->menu() ? action->menu()->objectName() : action->objectName());
            return list;
        };
        QCOMPARE(m_window.menuBar(), m_ui.MainMenu);
        QCOMPARE(names(m_ui.MainMenu->actions()),
                 QStringList({"ImageMenu", "Presets1", "Monitor1", "OptionsMenu",
                              "InkDescriptionMenu", "Help1"}));
        QCOMPARE(m_ui.InkDescriptionMenu->menu(), nullptr);
        const struct
        {
            QMenu *menu;
            QString caption;
            QStringList items;
        } menus[] = {
            {m_ui.ImageMenu,
             "&Image",
             {"OpenFile", "PrintFile", "N5", "ExitProgram", "FileListDivider"}},
            {m_ui.Presets1, "&Presets", {"LoadPreset", "SavePreset"}},
            {m_ui.Monitor1, "&Monitor", {"MonitorFolder1", "StopMonitoring"}},
            {m_ui.OptionsMenu,
             "&Options",
             {"RecentFileCountMenu", "MinimizeToTrayMenu", "DragDropAutoPrint", "AutoOrient",
              "DebugMenu", "CalibrationMode", "UseBatch"}},
            {m_ui.Help1, "&Help", {"Contents1", "Tutorial", "N2", "About1"}},
            {m_ui.TrayMenu, "", {"Restore1", "N3", "Exit1"}},
            {m_ui.ResizeMenu, "", {"SetHeightPopup", "SetWidthPopup", "ScaleToFitPopup"}},
            {m_ui.Curve1Popup, "", {"ShowCurve1Graph"}},
            {m_ui.Curve2Popup, "", {"ShowCurve2Graph"}},
        };
        for (const auto &[menu, caption, items] : menus) {
            QCOMPARE(menu->title(), caption);
            QCOMPARE(names(menu->actions()), items);
        }
        for (QAction *separator : {m_ui.N5, m_ui.FileListDivider, m_ui.N2, m_ui.N3})
            QVERIFY(separator->isSeparator());
        for (QAction *withIcon : {m_ui.OpenFile, m_ui.ExitProgram, m_ui.Contents1, m_ui.About1})
            QVERIFY2(!withIcon->icon().isNull(), qPrintable(withIcon->objectName()));
    }

    void helpContexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("context");
        for (const char *name :
             {"PaperBox", "PlacementBox", "CurvesBox", "DitherType", "PrintFile"})
            QTest::newRow(name) << QString::fromLatin1(name) << 1000;
        QTest::newRow("PrinterBox") << "PrinterBox" << 2000;
        QTest::newRow("OptionsMenu") << "OptionsMenu" << 2000;
        QTest::newRow("ImageBox") << "ImageBox" << 4000;
        QTest::newRow("Contents1") << "Contents1" << 5000;
        QTest::newRow("Presets1") << "Presets1" << 6000;
        QTest::newRow("About1") << "About1" << 7000;
        QTest::newRow("Monitor1") << "Monitor1" << 8000;
        QTest::newRow("InkDescriptionMenu") << "InkDescriptionMenu" << 9000;
        QTest::newRow("no context on a plain control") << "CopyCount" << 0;
    }

    void helpContexts()
    {
        QFETCH(QString, name);
        QFETCH(int, context);
        QObject *object = find(name);
        QVERIFY(object);
        QCOMPARE(object->property("helpContext").toInt(), context);
        if (auto *menu = qobject_cast<QMenu *>(object))
            QCOMPARE(menu->menuAction()->property("helpContext").toInt(), context);
    }

    void nonVisualParts()
    {
        for (QTimer *timer : {m_ui.EggTimer, m_ui.CheckMail}) {
            QVERIFY(timer);
            QVERIFY(!timer->isActive());
            QCOMPARE(m_window.findChildren<QTimer *>(timer->objectName()).size(), 1);
        }
        QCOMPARE(find<QSystemTrayIcon>("CoolTrayIcon"), m_ui.CoolTrayIcon);
        QCOMPARE(m_ui.CoolTrayIcon->toolTip(), QStringLiteral("Zorlane Graphical Interface"));
        QVERIFY(!m_ui.CoolTrayIcon->isVisible());
        QVERIFY(!m_ui.CoolTrayIcon->icon().isNull());
        QCOMPARE(m_ui.CoolTrayIcon->contextMenu(), m_ui.TrayMenu);
        for (QWidget *owner :
             {static_cast<QWidget *>(m_ui.PictureFrame), static_cast<QWidget *>(m_ui.Curve1),
              static_cast<QWidget *>(m_ui.Curve2)})
            QCOMPARE(owner->contextMenuPolicy(), Qt::CustomContextMenu);
        QCOMPARE(m_window.windowTitle(), QStringLiteral("Zorlane Graphical Interface"));
        QCOMPARE(m_window.centralWidget(), m_ui.DropTarget);
        QVERIFY(m_ui.DropTarget->acceptDrops());
    }

    void statusBar()
    {
        QCOMPARE(m_window.statusBar(), m_ui.StatusBar);
        QCOMPARE(m_ui.StatusBar->toolTip(), QStringLiteral("Folder monitoring status."));
        QCOMPARE(m_ui.StatusPanel0->width(), 95);
        QVERIFY(m_ui.StatusPanel0->alignment() & Qt::AlignHCenter);
        QVERIFY(m_ui.StatusPanel1->width() >= 50);
        QVERIFY(m_ui.StatusPanel1->x() > m_ui.StatusPanel0->x());
    }

    void previewPanel()
    {
        QCOMPARE(m_ui.ImageScreen->size(), QSize(132, 132));
        QCOMPARE(m_ui.ImageScreen->frameWidth(), 2);
        QCOMPARE(m_ui.ImageScreen->frameShadow(), QFrame::Sunken);
        QCOMPARE(m_ui.ImageScreen->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(m_ui.PictureFrame->parentWidget(), m_ui.ImageScreen);
        QCOMPARE(m_ui.NoImageBMP->parentWidget(), m_ui.ImageScreen);
        QVERIFY(!m_ui.NoImageBMP->pixmap().isNull());
        QCOMPARE(m_ui.NowPrinting->parentWidget(), m_ui.PictureFrame);
        QCOMPARE(m_ui.FeedLbl->angle(), 90);
        QVERIFY(m_ui.FeedLbl->height() > m_ui.FeedLbl->width());
        QCOMPARE(m_ui.UpArrow->size(), QSize(12, 15));
        QCOMPARE(m_ui.LeftArrow->size(), QSize(13, 15));

        QCOMPARE(m_ui.WarningPanel->size(), QSize(74, 77));
        QVERIFY(m_ui.WarningMessage->wordWrap());
        QVERIFY(m_ui.WarningMessage->font().bold());
        QVERIFY(m_ui.WarningPanel->rect().contains(m_ui.WarningMessage->geometry()));
        QCOMPARE(m_ui.WarningsTabs->count(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(m_ui.WarningsTabs->tabText(i), QString::number(i + 1));
        QCOMPARE(m_ui.WarningsTabs->geometry().bottom() + 1, m_ui.WarningPanel->y());
    }

    // The preview layout centres the page between CopiesBox and PrintBtn and between PrinterBox
    // and ImageBox, with the arrow and the feed label beside it; every page shape must fit there.
    void previewFitsItsPlace_data()
    {
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<double>("widthOverLength"); // of the paper as oriented
        QTest::newRow("portrait letter") << false << 8.5 / 11;
        QTest::newRow("portrait square") << false << 1.0;
        QTest::newRow("portrait narrow") << false << 0.3;
        QTest::newRow("portrait, wider than long") << false << 11 / 8.5;
        QTest::newRow("landscape letter") << true << 11 / 8.5;
        QTest::newRow("landscape square") << true << 1.0;
        QTest::newRow("landscape panorama") << true << 3.0;
        QTest::newRow("landscape, longer than wide") << true << 0.5;
    }

    void previewFitsItsPlace()
    {
        QFETCH(bool, landscape);
        QFETCH(double, widthOverLength);
        RotatedLabel feed(m_ui.FeedLbl->text());
        feed.setFont(m_ui.FeedLbl->font());
        feed.setAngle(landscape ? 0 : 90);
        const QSize arrow = m_ui.UpArrow->size();
        const int r = m_ui.CopiesBox->geometry().right() + 1;
        const int b = m_ui.PrinterBox->geometry().bottom() + 1;
        const bool tall = widthOverLength <= 1.0;
        QRect screen, arrowRect, feedRect;
        if (!landscape) {
            const int w = tall ? qRound(132 * widthOverLength) : 132 - feed.width();
            screen.setSize(QSize(w, tall ? 132 : qRound(w / widthOverLength)));
            const int gap = m_ui.PrintBtn->x() - r - feed.width() - screen.width();
            const int vgap = m_ui.ImageBox->y() - b - screen.height();
            screen.moveTo(r + feed.width() + gap / 2 - 1, b + vgap / 2 + 3);
            arrowRect = QRect(QPoint(screen.x() - arrow.width(), screen.y()), arrow);
            feedRect = QRect(QPoint(arrowRect.x() - (feed.width() - arrow.width()) / 2 - 1,
                                    arrowRect.bottom() + 1),
                             feed.size());
        } else {
            const int h = tall ? 132 - feed.height() : qRound(132 / widthOverLength);
            screen.setSize(QSize(tall ? qRound(h * widthOverLength) : 132, h));
            const int gap = m_ui.PrintBtn->x() - r - screen.width();
            const int vgap = m_ui.ImageBox->y() + 5 - b - feed.height() - screen.height();
            screen.moveTo(r + gap / 2, b + feed.height() + vgap / 2);
            arrowRect =
                QRect(QPoint(screen.right() + 1 - arrow.width(), screen.y() - arrow.height()),
                      m_ui.LeftArrow->size());
            feedRect = QRect(QPoint(arrowRect.x() - feed.width(),
                                    arrowRect.y() - (arrow.height() - feed.height()) / 2),
                             feed.size());
        }
        const QRect band(r, b, m_ui.PrintBtn->x() - r, m_ui.ImageBox->y() - b);
        QVERIFY(!screen.intersects(arrowRect));
        QVERIFY(!screen.intersects(feedRect));
        for (const QRect &rect : {screen, arrowRect, feedRect}) {
            QVERIFY(band.contains(rect));
            for (QWidget *neighbour :
                 {static_cast<QWidget *>(m_ui.CopiesBox), static_cast<QWidget *>(m_ui.MediaBox),
                  static_cast<QWidget *>(m_ui.PrinterBox), static_cast<QWidget *>(m_ui.ImageBox),
                  static_cast<QWidget *>(m_ui.PrintBtn), static_cast<QWidget *>(m_ui.WarningPanel),
                  static_cast<QWidget *>(m_ui.WarningsTabs)})
                QVERIFY2(!rect.intersects(neighbour->geometry()),
                         qPrintable(neighbour->objectName()));
        }
    }

    void fixedClientArea()
    {
        const QSize client(m_ui.DropTarget->width(),
                           m_ui.DropTarget->height() + m_ui.StatusBar->height());
        QCOMPARE(client, QSize(561, 563));
        QCOMPARE(m_ui.StatusBar->width(), 561);
        QCOMPARE(m_ui.StatusBar->y(), m_ui.DropTarget->geometry().bottom() + 1);
        QCOMPARE(m_window.minimumSize(), m_window.maximumSize());
        QVERIFY(!(m_window.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(m_window.windowFlags() & Qt::WindowMinimizeButtonHint);
        const QFontInfo font(m_ui.PrintingModelName->font());
        QCOMPARE(font.pixelSize(), 13);
        QVERIFY2(font.family() == "Arial" || font.family() == "Liberation Sans",
                 qPrintable(font.family()));
    }

    // Every control lies inside its parent, nothing is squeezed below its minimum size, and the
    // controls placed directly on the window do not overlap.
    void nothingClippedOrOverlapping()
    {
        const QList<QWidget *> all = m_ui.DropTarget->findChildren<QWidget *>();
        for (QWidget *widget : all) {
            if (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_") ||
                widget->isWindow())
                continue;
            QWidget *parent = widget->parentWidget();
            if (qobject_cast<QTabBar *>(parent) || qobject_cast<QAbstractSpinBox *>(parent) ||
                qobject_cast<QComboBox *>(parent))
                continue; // their own parts
            const QString name = widget->objectName();
            QVERIFY2(parent->rect().contains(widget->geometry()), qPrintable(name));
            const auto *label = qobject_cast<QLabel *>(widget);
            if (widget->layout() || (label && !label->wordWrap() && !label->text().isEmpty())) {
                const QSize minimum = widget->minimumSizeHint();
                QVERIFY2(widget->width() >= minimum.width() && widget->height() >= minimum.height(),
                         qPrintable(name));
            }
        }
        const QList<QWidget *> direct =
            m_ui.DropTarget->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        QVERIFY(direct.size() > 20);
        for (int i = 0; i < direct.size(); ++i) {
            for (int j = i + 1; j < direct.size(); ++j) {
                const QSet<QWidget *> pair{direct[i], direct[j]};
                // The "gui" label overlaps the logo's edge by design.
                if (pair == QSet<QWidget *>{m_ui.DiriduLogo, m_ui.GUIlbl})
                    continue;
                QVERIFY2(!direct[i]->geometry().intersects(direct[j]->geometry()),
                         qPrintable(direct[i]->objectName() + " / " + direct[j]->objectName()));
            }
        }
    }

    void logoAndLabelPlacement()
    {
        QCOMPARE(m_ui.DiriduLogo->size(), QSize(35, 36));
        QVERIFY(!m_ui.DiriduLogo->pixmap().isNull());
        QCOMPARE(m_ui.GUIlbl->font().pixelSize(), 16);
        QVERIFY(m_ui.GUIlbl->font().bold());
        QCOMPARE(m_ui.GUIlbl->palette().color(QPalette::WindowText), QColor(Qt::blue));

        m_ui.DiriduLogo->move(m_ui.DiriduLogo->pos() + QPoint(5, 0));
        m_ui.placeLogoLabel();
        QCOMPARE(m_ui.GUIlbl->x(), m_ui.DiriduLogo->x() + m_ui.DiriduLogo->width() - 3);
        m_ui.DiriduLogo->move(m_ui.DiriduLogo->pos() - QPoint(5, 0));
        m_ui.placeLogoLabel();
        QCOMPARE(m_ui.GUIlbl->x(), m_ui.DiriduLogo->x() + m_ui.DiriduLogo->width() - 3);
    }

    void statusLabelPlacement_data()
    {
        QTest::addColumn<int>("panelWidth");
        QTest::newRow("designed") << 95;
        QTest::newRow("wider panel") << 140;
    }

    void statusLabelPlacement()
    {
        QFETCH(int, panelWidth);
        m_ui.StatusPanel0->setFixedWidth(panelWidth);
        m_ui.StatusBar->layout()->activate();
        m_ui.centreStatusLabels();
        const int left = m_ui.StatusPanel0->mapTo(&m_window, QPoint()).x();
        QCOMPARE(m_ui.StatusLBL->x(), left + (panelWidth - m_ui.StatusLBL->width()) / 2);
        QCOMPARE(m_ui.FolderLBL->x(), left + panelWidth + 7);
        QCOMPARE(m_ui.StatusLBL->geometry().bottom(), m_ui.DropTarget->height() - 1);
        m_ui.StatusPanel0->setFixedWidth(95);
        m_ui.StatusBar->layout()->activate();
        m_ui.centreStatusLabels();
    }

    void rotatedLabelTurnsItsText_data()
    {
        QTest::addColumn<int>("angle");
        QTest::addColumn<bool>("upright");
        QTest::newRow("0") << 0 << false;
        QTest::newRow("90") << 90 << true;
        QTest::newRow("-90") << -90 << true;
        QTest::newRow("180") << 180 << false;
    }

    void rotatedLabelTurnsItsText()
    {
        QFETCH(int, angle);
        QFETCH(bool, upright);
        RotatedLabel label(QStringLiteral("Paper Feed "));
        label.setAngle(angle);
        QCOMPARE(label.angle(), (angle + 360) % 360);
        QCOMPARE(label.size(), label.sizeHint());
        QCOMPARE(label.height() > label.width(), upright);

        // The ink of the text, not just the box, runs along the turned direction.
        QImage image(label.size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        QRect ink;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > 0)
                    ink |= QRect(x, y, 1, 1);
        QVERIFY(!ink.isEmpty());
        QCOMPARE(ink.height() > ink.width(), upright);

        const QSize before = label.size();
        label.setText(QStringLiteral("Paper Feed Paper Feed "));
        QVERIFY(upright ? label.height() > before.height() : label.width() > before.width());
    }
};

QTEST_MAIN(TestDiriduFormUi)
#include "tst_diriduformui.moc"
