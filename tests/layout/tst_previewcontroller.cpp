#include "TestImageFacts.h"
#include "Beeper.h"
#include "DiriduFormUi.h"
#include "PageGeometryController.h"
#include "PreviewController.h"
#include "PreviewGeometry.h"
#include "RotatedLabel.h"
#include "TPrintingModel.h"
#include "TSetDimension.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// The page preview on the real main window controls, driven by the real page geometry as the
// window wires it: panel, arrow and feed label for each orientation, dragging the image,
// the resize menu with the set-dimension dialog, and the warning tabs.
class TestPreviewController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void letterPortrait();
    void letterLandscape();
    void widePaperPortrait();
    void landscapeAndBack();
    void nothingBeforePaper();
    void screenHint_data();
    void screenHint();
    void drag_data();
    void drag();
    void dragPulledBackInside_data();
    void dragPulledBackInside();
    void rightButtonDoesNotMove();
    void rightClickOpensResizeMenu_data();
    void rightClickOpensResizeMenu();
    void dragEndsCentringAndFit();
    void pressHidesWarnings();
    void cursorAndNoImage();
    void setDimension_data();
    void setDimension();
    void setDimensionPerCentimetre();
    void cancelledOnlyUntilShownAgain();
    void setDimensionRefused_data();
    void setDimensionRefused();
    void setDimensionDisabled();
    void scaleToFitPopup();
    void warningsTabsChange();
    void previewPicture();

private:
    void selectPaper(int index);
    void setOrientation(int item) { m_ui->OrientationBoxGroup->button(item)->click(); }
    void typeMargins(double top, double left);
    // Letter portrait, the 10 x 8 in photograph at 50 % placed 1 in from the top and left.
    void placedPhoto();
    QRect rectInDropTarget(const QWidget *widget) const;
    // Runs a resize menu item whose dialog act() drives; false when the dialog never showed.
    bool runDialog(QAction *item, const std::function<void(TSetDimension *)> &act);
    void press(QWidget *widget, Qt::MouseButton button, QPoint at);
    void moveTo(QWidget *widget, QPoint at);
    void release(QWidget *widget, Qt::MouseButton button, QPoint at);
    double pixelsPerInch() const { return m_ui->ImageScreen->width() / m_geometry.PaperWidth; }
    // Where the layout pass puts the frame for the held margins (inches).
    QPoint validatedFramePosition() const;

    std::unique_ptr<QMainWindow> m_window;
    std::unique_ptr<DiriduFormUi> m_ui;
    TPrintingModel m_model;
    TImageFacts m_facts;
    TPageGeometry m_geometry;
    TSetDimension *m_dialog = nullptr;
    std::unique_ptr<PageGeometryController> m_pageGeometry;
    std::unique_ptr<PreviewController> m_preview;
    // The dialog as it showed: its prompt, read when it opened.
    struct Shown
    {
        bool visible = false;
        bool modal = false;
        QString label;
        QString units;
        QString dimension;
    } m_shown;
};

namespace {

enum Paper { Letter, A4, Custom };


int roundPixels(double x)
{
    return int(Round(x));
}

} // namespace

void TestPreviewController::init()
{
    m_window = std::make_unique<QMainWindow>();
    m_ui = std::make_unique<DiriduFormUi>();
    m_ui->setupUi(m_window.get());

    m_model = TPrintingModel();
    m_model.PageSizeValues = {"Letter", "A4", "Custom"};
    m_model.PaperDimensions = {"612 792", "595 842"};
    m_model.ImageableAreas = {"9 9 603 783", "9 9 586 833"};
    m_model.CustomPageSize = true;
    m_model.HWMargins = THWMargins{0.125, 0.125, 0.125, 0.125};
    m_model.MinMediaWidth = 1;
    m_model.MaxMediaWidth = 17;
    m_model.MinMediaLength = 1;
    m_model.MaxMediaLength = 22;
    m_ui->PaperSize->addItems({"Letter", "A4", "Custom"});
    m_ui->PaperSize->setCurrentIndex(-1);

    m_facts = TImageFacts();
    m_geometry = TPageGeometry();
    m_shown = Shown();
    m_ui->OrientationBoxGroup->setExclusive(false);
    for (QAbstractButton *button : m_ui->OrientationBoxGroup->buttons())
        button->setChecked(false);
    m_ui->OrientationBoxGroup->setExclusive(true);

    m_dialog = new TSetDimension(m_window.get());
    m_pageGeometry = std::make_unique<PageGeometryController>(m_geometry, m_model, m_facts,
                                                              PageGeometryControls(*m_ui));
    m_pageGeometry->setDecimalPoint(QStringLiteral("."));
    m_preview = std::make_unique<PreviewController>(m_geometry, m_facts, *m_pageGeometry,
                                                    PreviewControls(*m_ui), m_dialog);
    connect(m_pageGeometry.get(), &PageGeometryController::previewLayoutRequested, m_preview.get(),
            &PreviewController::PreviewLayout);
    // As the settings are read: the stored orientation turns the placeholder paper.
    m_ui->OrientationBoxGroup->button(0)->setChecked(true);

    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestPreviewController::cleanup()
{
    m_preview.reset();
    m_pageGeometry.reset();
    m_ui.reset();
    m_window.reset();
    m_dialog = nullptr;
}

void TestPreviewController::selectPaper(int index)
{
    m_ui->PaperSize->setCurrentIndex(index);
    emit m_ui->PaperSize->activated(index);
}

void TestPreviewController::typeMargins(double top, double left)
{
    m_ui->TopMargin->setText(m_pageGeometry->numberText(top));
    m_pageGeometry->TopMarginExit();
    m_ui->LeftMargin->setText(m_pageGeometry->numberText(left));
    m_pageGeometry->LeftMarginExit();
}

void TestPreviewController::placedPhoto()
{
    selectPaper(Letter);
    m_facts = photo();
    m_ui->PlaceCentered->click(); // off
    m_ui->CustomScale->setValue(50);
    typeMargins(1, 1);
    QCOMPARE(m_geometry.TopMarginValue, 1.0);
    QCOMPARE(m_ui->PictureFrame->size(),
             QSize(roundPixels(5 * pixelsPerInch()), roundPixels(4 * pixelsPerInch())));
    QVERIFY(m_ui->PictureFrame->isVisible());
}

QRect TestPreviewController::rectInDropTarget(const QWidget *widget) const
{
    return QRect(widget->mapTo(m_ui->DropTarget, QPoint(0, 0)), widget->size());
}

QPoint TestPreviewController::validatedFramePosition() const
{
    const bool mm = m_ui->PlaceUnitsLbl->text() == QLatin1String("mm");
    const double top = displayToInches(m_geometry.TopMarginValue, mm);
    const double left = displayToInches(m_geometry.LeftMarginValue, mm);
    return QPoint(roundPixels(left * pixelsPerInch()) + 2, roundPixels(top * pixelsPerInch()) + 2);
}

void TestPreviewController::press(QWidget *widget, Qt::MouseButton button, QPoint at)
{
    QTest::mousePress(widget, button, Qt::NoModifier, at);
}

void TestPreviewController::moveTo(QWidget *widget, QPoint at)
{
    QTest::mouseMove(widget, at);
}

void TestPreviewController::release(QWidget *widget, Qt::MouseButton button, QPoint at)
{
    QTest::mouseRelease(widget, button, Qt::NoModifier, at);
}

bool TestPreviewController::runDialog(QAction *item,
                                      const std::function<void(TSetDimension *)> &act)
{
    bool ran = false;
    QTimer::singleShot(0, m_dialog, [&] {
        ran = true;
        m_shown.visible = m_dialog->isVisible();
        m_shown.modal = m_dialog->isModal();
        m_shown.label = m_dialog->DimensionLbl->text();
        m_shown.units = m_dialog->UnitsLbl->text();
        m_shown.dimension = m_dialog->Dimension->text();
        if (m_shown.visible)
            act(m_dialog);
    });
    // A dialog that act() failed to close ends the wait rather than the test run.
    QTimer guard;
    guard.setSingleShot(true);
    bool leftOpen = false;
    connect(&guard, &QTimer::timeout, m_dialog, [&] {
        leftOpen = true;
        m_dialog->close();
    });
    guard.start(10000);
    item->trigger();
    guard.stop();
    if (leftOpen)
        return false;
    // When the dialog did not show, its timer has not run yet either.
    if (!ran)
        QCoreApplication::processEvents();
    if (m_dialog->isVisible()) {
        m_dialog->close();
        return false;
    }
    return m_shown.visible;
}

void TestPreviewController::letterPortrait()
{
    selectPaper(Letter);
    const QRect screen = m_ui->ImageScreen->geometry();
    QCOMPARE(screen.height(), 132);
    QCOMPARE(screen.width(), 102); // Round(132 * 8.5 / 11)
    QCOMPARE(m_ui->FeedLbl->angle(), 90);
    QVERIFY(m_ui->FeedLbl->height() > m_ui->FeedLbl->width()); // reads upwards

    // Centred between the copies box (and the feed label) and the Print button, and between
    // the printer box and the image box.
    const QRect copies = rectInDropTarget(m_ui->CopiesBox);
    const QRect print = rectInDropTarget(m_ui->PrintBtn);
    const QRect printer = rectInDropTarget(m_ui->PrinterBox);
    const QRect image = rectInDropTarget(m_ui->ImageBox);
    const int r = copies.x() + copies.width();
    const int feed = m_ui->FeedLbl->width();
    QCOMPARE(screen.left(), r + feed + (print.x() - r - feed - screen.width()) / 2 - 1);
    const int b = printer.y() + printer.height();
    QCOMPARE(screen.top(), b + (image.y() - b - screen.height()) / 2 + 3);

    // The up arrow at the panel's top left corner, the label below it and centred on it.
    QVERIFY(m_ui->UpArrow->isVisible());
    QVERIFY(!m_ui->LeftArrow->isVisible());
    QVERIFY(m_ui->FeedLbl->isVisible());
    const QRect arrow = m_ui->UpArrow->geometry();
    QCOMPARE(arrow.topLeft(), QPoint(screen.left() - arrow.width(), screen.top()));
    QCOMPARE(m_ui->FeedLbl->x(), arrow.x() - (m_ui->FeedLbl->width() - arrow.width()) / 2 - 1);
    QCOMPARE(m_ui->FeedLbl->y(), arrow.y() + arrow.height());
}

void TestPreviewController::letterLandscape()
{
    selectPaper(Letter);
    setOrientation(1);
    const QRect screen = m_ui->ImageScreen->geometry();
    QCOMPARE(screen.width(), 132);
    QCOMPARE(screen.height(), 102);
    QCOMPARE(m_ui->FeedLbl->angle(), 0);
    QVERIFY(m_ui->FeedLbl->width() > m_ui->FeedLbl->height()); // lies flat

    const QRect copies = rectInDropTarget(m_ui->CopiesBox);
    const QRect print = rectInDropTarget(m_ui->PrintBtn);
    const QRect printer = rectInDropTarget(m_ui->PrinterBox);
    const QRect image = rectInDropTarget(m_ui->ImageBox);
    const int r = copies.x() + copies.width();
    QCOMPARE(screen.left(), r + (print.x() - r - screen.width()) / 2);
    const int b = printer.y() + printer.height();
    const int feed = m_ui->FeedLbl->height();
    QCOMPARE(screen.top(), b + feed + (image.y() + 5 - b - feed - screen.height()) / 2);

    // The right-pointing arrow above the top right corner, the label to its left.
    QVERIFY(m_ui->LeftArrow->isVisible());
    QVERIFY(!m_ui->UpArrow->isVisible());
    QVERIFY(m_ui->FeedLbl->isVisible());
    const QSize up = m_ui->UpArrow->size();
    const QRect arrow = m_ui->LeftArrow->geometry();
    QCOMPARE(arrow.topLeft(),
             QPoint(screen.left() + screen.width() - up.width(), screen.top() - up.height()));
    QCOMPARE(m_ui->FeedLbl->x(), arrow.x() - m_ui->FeedLbl->width());
    QCOMPARE(m_ui->FeedLbl->y(), arrow.y() - (up.height() - m_ui->FeedLbl->height()) / 2);
}

void TestPreviewController::widePaperPortrait()
{
    m_geometry.CustomWidthValue = 12;
    m_geometry.CustomLengthValue = 6;
    selectPaper(Custom);
    QCOMPARE(m_ui->OrientationBoxGroup->checkedId(), 0);
    QCOMPARE(m_geometry.PaperWidth, 12.0);
    QCOMPARE(m_ui->FeedLbl->angle(), 90);
    // The panel's designed size is the largest.
    QCOMPARE(m_preview->MaxPreviewWidth, 132);
    QCOMPARE(m_preview->MaxPreviewHeight, 132);
    const int width = m_preview->MaxPreviewWidth - m_ui->FeedLbl->width();
    QCOMPARE(m_ui->ImageScreen->width(), width);
    QCOMPARE(m_ui->ImageScreen->height(), roundPixels(width * 6 / 12.0));
    QVERIFY(m_ui->UpArrow->isVisible());
}

void TestPreviewController::landscapeAndBack()
{
    selectPaper(Letter);
    const QRect portrait = m_ui->ImageScreen->geometry();
    const QPoint feed = m_ui->FeedLbl->pos();
    setOrientation(1);
    QVERIFY(m_ui->ImageScreen->geometry() != portrait);
    setOrientation(0);
    QCOMPARE(m_ui->ImageScreen->geometry(), portrait);
    QCOMPARE(m_ui->FeedLbl->pos(), feed);
    QCOMPARE(m_ui->FeedLbl->angle(), 90);
    QVERIFY(m_ui->UpArrow->isVisible());
    QVERIFY(!m_ui->LeftArrow->isVisible());
}

void TestPreviewController::nothingBeforePaper()
{
    const QRect designed = m_ui->ImageScreen->geometry();
    const QPoint feed = m_ui->FeedLbl->pos();
    // Turning the placeholder paper asks for a layout, which has nothing to show yet.
    setOrientation(1);
    QCOMPARE(m_geometry.PaperLength, 2.0);
    m_preview->PreviewLayout();
    QCOMPARE(m_ui->ImageScreen->geometry(), designed);
    QCOMPARE(m_ui->FeedLbl->angle(), 90);
    QCOMPARE(m_ui->FeedLbl->pos(), feed);
    QVERIFY(!m_ui->UpArrow->isVisible());
    QVERIFY(!m_ui->LeftArrow->isVisible());
    QVERIFY(m_ui->ImageScreen->toolTip().isEmpty());
}

void TestPreviewController::screenHint_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<int>("customUnit");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QString>("hint");
    QTest::newRow("Letter") << int(Letter) << 0 << 0 << "8.5x11in";
    QTest::newRow("Letter landscape") << int(Letter) << 0 << 1 << "11x8.5in";
    QTest::newRow("A4") << int(A4) << 0 << 0 << "210x297mm";
    QTest::newRow("A4 landscape") << int(A4) << 0 << 1 << "297x210mm";
    QTest::newRow("custom") << int(Custom) << 1 << 0 << "300x450.5mm";
    QTest::newRow("custom landscape") << int(Custom) << 1 << 1 << "450.5x300mm";
}

void TestPreviewController::screenHint()
{
    QFETCH(int, paper);
    QFETCH(int, customUnit);
    QFETCH(int, orientation);
    m_geometry.CustomUnit = customUnit;
    m_geometry.CustomWidthValue = 300;
    m_geometry.CustomLengthValue = 450.5;
    selectPaper(paper);
    setOrientation(orientation);
    QTEST(m_ui->ImageScreen->toolTip(), "hint");
    QTEST(m_ui->ImageScreen->statusTip(), "hint");
}

void TestPreviewController::drag_data()
{
    QTest::addColumn<bool>("onPicture");
    QTest::addColumn<bool>("millimetres");
    QTest::newRow("frame, inches") << false << false;
    QTest::newRow("picture, inches") << true << false;
    QTest::newRow("frame, millimetres") << false << true;
}

void TestPreviewController::drag()
{
    QFETCH(bool, onPicture);
    QFETCH(bool, millimetres);
    placedPhoto();
    if (millimetres)
        m_ui->UnitsBoxGroup->button(1)->click();
    QFrame *frame = m_ui->PictureFrame;
    QWidget *target = onPicture ? static_cast<QWidget *>(m_ui->NowPrinting) : frame;
    QTRY_COMPARE(m_ui->NowPrinting->size(), frame->size());
    const QPoint start = frame->pos();

    press(target, Qt::LeftButton, QPoint(10, 10));
    QCOMPARE(frame->pos(), start);
    // The frame follows the mouse; the pointer stays where it took hold of the image.
    moveTo(target, QPoint(22, 46));
    QCOMPARE(frame->pos(), start + QPoint(12, 36));
    moveTo(target, QPoint(14, 10));
    const QPoint dragged = start + QPoint(16, 36);
    QCOMPARE(frame->pos(), dragged);

    // The margins are the frame's place on the paper inside the panel's border, in the
    // display unit.
    const double top = m_geometry.PaperLength / m_ui->ImageScreen->height() *
                       (dragged.y() - PreviewPanelBorder);
    const double left = m_geometry.PaperWidth / m_ui->ImageScreen->width() *
                        (dragged.x() - PreviewPanelBorder);
    QCOMPARE(m_geometry.TopMarginValue, toDisplayUnit(top, millimetres));
    QCOMPARE(m_geometry.LeftMarginValue, toDisplayUnit(left, millimetres));
    QCOMPARE(m_ui->TopMargin->text(), m_pageGeometry->numberText(toDisplayUnit(top, millimetres)));
    QCOMPARE(m_ui->LeftMargin->text(),
             m_pageGeometry->numberText(toDisplayUnit(left, millimetres)));

    release(target, Qt::LeftButton, QPoint(14, 10));
    // Inside the page: the margins stay, and the layout pass puts the frame at them.
    QCOMPARE(m_geometry.TopMarginValue, toDisplayUnit(top, millimetres));
    QCOMPARE(m_geometry.LeftMarginValue, toDisplayUnit(left, millimetres));
    QCOMPARE(frame->pos(), validatedFramePosition());
    // The image stays where it was dropped (rounding the margins may move it a pixel).
    QVERIFY2(qAbs(frame->x() - dragged.x()) <= 1 && qAbs(frame->y() - dragged.y()) <= 1,
             qPrintable(QStringLiteral("%1,%2").arg(frame->x()).arg(frame->y())));
    QVERIFY(!m_ui->PlaceCentered->isChecked());
}

void TestPreviewController::dragPulledBackInside_data()
{
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<bool>("far");
    QTest::newRow("past the top left") << QPoint(-40, -40) << false;
    QTest::newRow("past the bottom right") << QPoint(200, 200) << true;
}

void TestPreviewController::dragPulledBackInside()
{
    QFETCH(QPoint, offset);
    QFETCH(bool, far);
    placedPhoto();
    QFrame *frame = m_ui->PictureFrame;
    const QPoint start = frame->pos();
    press(frame, Qt::LeftButton, QPoint(10, 10));
    moveTo(frame, QPoint(10, 10) + offset);
    QCOMPARE(frame->pos(), start + offset);
    // Nothing is checked while the button is held.
    const double top = m_geometry.PaperLength / m_ui->ImageScreen->height() * (frame->y() - PreviewPanelBorder);
    QCOMPARE(m_geometry.TopMarginValue, Round3(top));
    QCOMPARE(m_ui->TopMargin->text(), m_pageGeometry->numberText(Round3(top)));

    release(frame, Qt::LeftButton, QPoint(10, 10));
    const double expectedTop =
        far ? m_geometry.PaperLength - m_geometry.MinBottom : m_geometry.MinTop;
    const double expectedLeft =
        far ? m_geometry.PaperWidth - m_geometry.MinRight : m_geometry.MinLeft;
    QCOMPARE(m_geometry.TopMarginValue, Round3(expectedTop));
    QCOMPARE(m_geometry.LeftMarginValue, Round3(expectedLeft));
    QCOMPARE(m_ui->TopMargin->text(), m_pageGeometry->numberText(Round3(expectedTop)));
    QCOMPARE(frame->pos(), validatedFramePosition());
    // An image pushed to the far edge runs past the paper.
    QCOMPARE(m_pageGeometry->WarningList.contains(DoesNotFitWarning), far);
    QCOMPARE(m_ui->WarningPanel->isVisible(), far);
}

void TestPreviewController::rightButtonDoesNotMove()
{
    selectPaper(Letter);
    m_facts = photo();
    m_ui->CustomScale->setValue(50);
    QVERIFY(m_ui->PlaceCentered->isChecked());
    QFrame *frame = m_ui->PictureFrame;
    const QPoint start = frame->pos();
    const double top = m_geometry.TopMarginValue;

    press(frame, Qt::RightButton, QPoint(10, 10));
    QVERIFY(m_ui->PlaceCentered->isChecked());
    moveTo(frame, QPoint(40, 40));
    release(frame, Qt::RightButton, QPoint(40, 40));
    QCOMPARE(frame->pos(), start);
    QCOMPARE(m_geometry.TopMarginValue, top);
    QVERIFY(m_ui->PlaceCentered->isChecked());
}

void TestPreviewController::rightClickOpensResizeMenu_data()
{
    QTest::addColumn<bool>("onPicture");
    QTest::newRow("frame") << false;
    QTest::newRow("picture") << true;
}

void TestPreviewController::rightClickOpensResizeMenu()
{
    QFETCH(bool, onPicture);
    selectPaper(Letter);
    m_facts = photo();
    m_pageGeometry->LayoutPass(false);
    QWidget *target = onPicture ? static_cast<QWidget *>(m_ui->NowPrinting) : m_ui->PictureFrame;
    QTRY_COMPARE(m_ui->NowPrinting->size(), m_ui->PictureFrame->size());
    QVERIFY(!m_ui->ResizeMenu->isVisible());
    const QPoint at(5, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
    QApplication::sendEvent(target, &event);
    QTRY_VERIFY(m_ui->ResizeMenu->isVisible());
    QCOMPARE(m_ui->ResizeMenu->actions(),
             QList<QAction *>({m_ui->SetHeightPopup, m_ui->SetWidthPopup, m_ui->ScaleToFitPopup}));
    m_ui->ResizeMenu->close();
}

void TestPreviewController::dragEndsCentringAndFit()
{
    selectPaper(Letter);
    m_facts = photo();
    m_ui->ScaleToFit->click();
    QVERIFY(m_ui->PlaceCentered->isChecked());
    QCOMPARE(m_ui->CustomScale->value(), 82);
    QVERIFY(!m_ui->CustomScale->isEnabled());
    QFrame *frame = m_ui->PictureFrame;
    const QPoint start = frame->pos();

    press(frame, Qt::LeftButton, QPoint(10, 10));
    QVERIFY(!m_ui->PlaceCentered->isChecked());
    QVERIFY(!m_ui->ScaleToFit->isChecked());
    QVERIFY(m_ui->CustomScale->isEnabled());
    QVERIFY(m_ui->TopMargin->isEnabled());
    QCOMPARE(m_ui->CustomScale->value(), 82); // the image keeps its size
    QCOMPARE(frame->pos(), start);

    moveTo(frame, QPoint(22, 10));
    QCOMPARE(frame->pos(), start + QPoint(12, 0));
    const double left = m_geometry.PaperWidth / m_ui->ImageScreen->width() * (frame->x() - PreviewPanelBorder);
    QCOMPARE(m_ui->LeftMargin->text(), m_pageGeometry->numberText(Round3(left)));
    release(frame, Qt::LeftButton, QPoint(22, 10));
    QCOMPARE(frame->pos(), validatedFramePosition());
}

void TestPreviewController::pressHidesWarnings()
{
    placedPhoto();
    m_facts.ResolutionUnit = 0;       // invalid tags
    m_ui->CustomScale->setValue(100); // 10 in on 8.5 in: does not fit
    QCOMPARE(m_pageGeometry->WarningList.size(), 2);
    QVERIFY(m_ui->WarningPanel->isVisible());
    QVERIFY(m_ui->WarningsTabs->isVisible());

    press(m_ui->PictureFrame, Qt::LeftButton, QPoint(5, 5));
    QVERIFY(!m_ui->WarningPanel->isVisible());
    QVERIFY(!m_ui->WarningsTabs->isVisible());
    // The layout pass after the release lists them again.
    release(m_ui->PictureFrame, Qt::LeftButton, QPoint(5, 5));
    QVERIFY(m_ui->WarningPanel->isVisible());
    QVERIFY(m_ui->WarningsTabs->isVisible());
}

void TestPreviewController::cursorAndNoImage()
{
    placedPhoto();
    QFrame *frame = m_ui->PictureFrame;
    const auto hover = [&](Qt::MouseButtons buttons) {
        QMouseEvent move(QEvent::MouseMove, QPointF(20, 20), frame->mapToGlobal(QPointF(20, 20)),
                         Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(frame, &move);
    };
    hover(Qt::NoButton);
    QCOMPARE(frame->cursor().shape(), Qt::PointingHandCursor);

    // Without an image the frame neither shows the hand nor moves.
    m_facts.Loaded = false;
    const QPoint start = frame->pos();
    press(frame, Qt::LeftButton, QPoint(10, 10));
    hover(Qt::LeftButton);
    QCOMPARE(frame->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(frame->pos(), start);
    release(frame, Qt::LeftButton, QPoint(20, 20));

    m_facts.Loaded = true;
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(frame, &enter);
    QCOMPARE(frame->cursor().shape(), Qt::PointingHandCursor);
}

void TestPreviewController::setDimension_data()
{
    QTest::addColumn<bool>("height");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<int>("percent"); // 0: cancelled

    // The image is 10 x 8 in at 100 %, fitted to 82 %: 8.2 x 6.56 in.
    QTest::newRow("height, Enter") << true << "enter"
                                   << "5"
                                   << "6.56" << 62;
    QTest::newRow("height, OK") << true << "ok"
                                << "4"
                                << "6.56" << 50;
    QTest::newRow("height, window closed") << true << "close"
                                           << "5"
                                           << "6.56" << 62;
    QTest::newRow("width, Enter") << false << "enter"
                                  << "5"
                                  << "8.2" << 50;
    QTest::newRow("width, decimals") << false << "enter"
                                     << "7.25"
                                     << "8.2" << 72;
    QTest::newRow("height, Escape") << true << "escape"
                                    << "5"
                                    << "6.56" << 0;
    QTest::newRow("height, Cancel") << true << "cancel"
                                    << "5"
                                    << "6.56" << 0;
}

void TestPreviewController::setDimension()
{
    QFETCH(bool, height);
    QFETCH(QString, how);
    QFETCH(QString, typed);
    QFETCH(int, percent);
    selectPaper(Letter);
    m_facts = photo();
    m_ui->ScaleToFit->click();
    QCOMPARE(m_ui->CustomScale->value(), 82);
    QVERIFY(m_dialog->isEnabled());

    QAction *item = height ? m_ui->SetHeightPopup : m_ui->SetWidthPopup;
    const bool shown = runDialog(item, [&](TSetDimension *dialog) {
        dialog->Dimension->clear();
        QTest::keyClicks(dialog->Dimension, typed);
        if (how == QLatin1String("enter"))
            QTest::keyClick(dialog->Dimension, Qt::Key_Return);
        else if (how == QLatin1String("ok"))
            QTest::mouseClick(dialog->OKBtn, Qt::LeftButton);
        else if (how == QLatin1String("close"))
            dialog->close();
        else if (how == QLatin1String("escape"))
            QTest::keyClick(dialog->Dimension, Qt::Key_Escape);
        else if (how == QLatin1String("cancel"))
            QTest::mouseClick(dialog->CancelBtn, Qt::LeftButton);
    });
    QVERIFY(shown);
    QVERIFY(m_shown.modal);
    QCOMPARE(m_shown.label, height ? QStringLiteral("Height") : QStringLiteral("Width"));
    QCOMPARE(m_shown.units, QStringLiteral("in"));
    QTEST(m_shown.dimension, "prompt");

    if (percent == 0) {
        QVERIFY(m_dialog->Cancelled);
        QCOMPARE(m_ui->CustomScale->value(), 82);
        QVERIFY(m_ui->ScaleToFit->isChecked());
        return;
    }
    QVERIFY(!m_dialog->Cancelled);
    QCOMPARE(m_ui->CustomScale->value(), percent);
    QVERIFY(!m_ui->ScaleToFit->isChecked());
    QVERIFY(m_ui->CustomScale->isEnabled());
    // Laid out at the new scale.
    QCOMPARE(m_geometry.PrintHeight, 8 * percent / 100.0);
}

void TestPreviewController::setDimensionPerCentimetre()
{
    selectPaper(Letter);
    m_facts = photo(1181, 1181, 118.11, 3); // 10 x 10 cm at 100 %
    m_pageGeometry->LayoutPass(false);
    const bool shown = runDialog(m_ui->SetWidthPopup, [](TSetDimension *dialog) {
        dialog->Dimension->setText(QStringLiteral("5"));
        QTest::keyClick(dialog->Dimension, Qt::Key_Enter);
    });
    QVERIFY(shown);
    QCOMPARE(m_shown.units, QStringLiteral("cm"));
    QCOMPARE(m_shown.dimension, m_pageGeometry->numberText(Round1(1181 / 118.11)));
    QCOMPARE(m_ui->CustomScale->value(), 50);
}

void TestPreviewController::cancelledOnlyUntilShownAgain()
{
    selectPaper(Letter);
    m_facts = photo();
    m_pageGeometry->LayoutPass(false);
    QVERIFY(runDialog(m_ui->SetHeightPopup, [](TSetDimension *dialog) {
        QTest::keyClick(dialog->Dimension, Qt::Key_Escape);
    }));
    QVERIFY(m_dialog->Cancelled);
    QCOMPARE(m_ui->CustomScale->value(), 100);
    QVERIFY(runDialog(m_ui->SetHeightPopup, [](TSetDimension *dialog) {
        dialog->Dimension->setText(QStringLiteral("4"));
        dialog->close();
    }));
    QVERIFY(!m_dialog->Cancelled);
    QCOMPARE(m_ui->CustomScale->value(), 50);
}

void TestPreviewController::setDimensionRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("decoded");
    QTest::newRow("not a number") << "abc" << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("no image size") << "5" << false;
}

void TestPreviewController::setDimensionRefused()
{
    QFETCH(QString, typed);
    QFETCH(bool, decoded);
    selectPaper(Letter);
    m_facts = decoded ? photo() : TImageFacts::failed();
    m_ui->ScaleToFit->click();
    const int before = m_ui->CustomScale->value();
    const double printHeight = m_geometry.PrintHeight;

    ScopedCountingBeeper beeper;
    QVERIFY(runDialog(m_ui->SetHeightPopup, [&](TSetDimension *dialog) {
        dialog->Dimension->setText(typed);
        QTest::mouseClick(dialog->OKBtn, Qt::LeftButton);
    }));
    QCOMPARE(beeper.beeps(), 2);
    QCOMPARE(m_ui->CustomScale->value(), before);
    QVERIFY(m_ui->ScaleToFit->isChecked());
    QCOMPARE(m_geometry.PrintHeight, printHeight);
}

void TestPreviewController::setDimensionDisabled()
{
    // As designed, before any image is laid out.
    selectPaper(Letter);
    QVERIFY(!m_dialog->isEnabled());
    QVERIFY(!runDialog(m_ui->SetHeightPopup, [](TSetDimension *) {}));
    QVERIFY(!m_shown.visible);
    QCOMPARE(m_ui->CustomScale->value(), 100);
}

void TestPreviewController::scaleToFitPopup()
{
    placedPhoto();
    m_ui->ScaleToFitPopup->trigger();
    QVERIFY(m_ui->ScaleToFit->isChecked());
    QVERIFY(m_ui->PlaceCentered->isChecked());
    QCOMPARE(m_ui->CustomScale->value(), 82);
}

void TestPreviewController::warningsTabsChange()
{
    selectPaper(Letter);
    m_facts = photo();
    m_facts.ResolutionUnit = 0; // warning 1; still 300 per inch, so 10 in wide: warning 3
    m_pageGeometry->LayoutPass(false);
    QCOMPARE(m_pageGeometry->WarningList, QStringList({InvalidTagsWarning, DoesNotFitWarning}));
    QTabBar *tabs = m_ui->WarningsTabs;
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QStringLiteral("1"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("2"));
    QVERIFY(tabs->isVisible());
    QCOMPARE(m_ui->WarningMessage->text(), InvalidTagsWarning);

    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(1).center());
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(m_ui->WarningMessage->text(), QStringLiteral("Image does not fit"));
    const QRect message = m_ui->WarningMessage->geometry();
    QCOMPARE(message.left(), (m_ui->WarningPanel->width() - message.width()) / 2);
    QCOMPARE(message.top(), (m_ui->WarningPanel->height() - message.height()) / 2);

    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(0).center());
    QCOMPARE(m_ui->WarningMessage->text(), InvalidTagsWarning);
}

void TestPreviewController::previewPicture()
{
    placedPhoto();
    QLabel *picture = m_ui->NowPrinting;
    QFrame *frame = m_ui->PictureFrame;
    QTRY_COMPARE(picture->size(), frame->size());

    // A picture three times as wide as high: as wide as the frame, its height in proportion.
    QImage image(300, 100, QImage::Format_Grayscale8);
    image.fill(128);
    m_preview->showPicture(image);
    QCOMPARE(frame->palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(frame->autoFillBackground());
    const auto fitted = [&] {
        const QSize shown = picture->pixmap().deviceIndependentSize().toSize();
        return shown.width() == picture->width() &&
               qAbs(shown.height() - picture->width() / 3) <= 1;
    };
    QVERIFY(fitted());

    // A new size of the frame draws the picture afresh.
    m_ui->CustomScale->setValue(70);
    QTRY_COMPARE(picture->size(), frame->size());
    QTRY_VERIFY(fitted());

    m_preview->showPlaceholder();
    QCOMPARE(frame->palette().color(QPalette::Window), QColor(0xc0, 0xdc, 0xc0));
    QVERIFY(!picture->pixmap().isNull());
    const QSize placeholder = picture->pixmap().deviceIndependentSize().toSize();
    // The square placeholder fills the shorter side.
    QCOMPARE(qMin(picture->width(), picture->height()), placeholder.width());

    m_preview->clearPicture();
    QVERIFY(picture->pixmap().isNull());
    QVERIFY(m_preview->picture().isNull());
}

QTEST_MAIN(TestPreviewController)
#include "tst_previewcontroller.moc"
