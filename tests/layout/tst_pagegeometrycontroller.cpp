#include "TestImageFacts.h"
#include "ApplicationTitle.h"
#include "Beeper.h"
#include "Dialogs.h"
#include "DiriduFormUi.h"
#include "PageGeometryController.h"
#include "TPrintingModel.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabBar>
#include <QTest>

#include <memory>

// The page geometry driving the real main window controls: paper sizes, units, orientation,
// custom sizes, margins, centring, scale-to-fit, warnings and the question before printing.
class TestPageGeometryController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void modelPaper_data();
    void modelPaper();
    void rotationThereAndBack();
    void wideModelPaper();
    void samePaperLaysOutOnce();
    void marginClamps_data();
    void marginClamps();
    void unitSwitch();
    void paperUnitChangeConvertsMargins();
    void scaleToFit();
    void scaleToFitWithoutImageFacts();
    void doesNotFit();
    void centimetreImage();
    void toFitAndCentered();
    void customPaper();
    void customWidthSwitchesToPortrait();
    void customAboveMaximum_data();
    void customAboveMaximum();
    void warningTabs();
    void question_data();
    void question();
    void nestedPassNeverAsks();
    void commaSeparator();
    void nonNumbers_data();
    void nonNumbers();
    void autoOrientClick();
    void autoOrientation();
    void paperFeedChange();
    void exitHandlers();

private:
    void selectPaper(int index);
    void type(QLineEdit *edit, const QString &text);
    void setOrientation(int item) { m_ui->OrientationBoxGroup->button(item)->click(); }
    void setUnits(int item) { m_ui->UnitsBoxGroup->button(item)->click(); }

    std::unique_ptr<QMainWindow> m_window;
    std::unique_ptr<DiriduFormUi> m_ui;
    TPrintingModel m_model;
    TImageFacts m_facts;
    TPageGeometry m_geometry;
    std::unique_ptr<PageGeometryController> m_controller;
};

namespace {

enum Paper { Letter, LetterDeep, A4, A3Plus, Panorama, Custom };


} // namespace

void TestPageGeometryController::init()
{
    m_window = std::make_unique<QMainWindow>();
    m_ui = std::make_unique<DiriduFormUi>();
    m_ui->setupUi(m_window.get());

    m_model = TPrintingModel();
    m_model.PageSizeValues = {"Letter", "LetterDeep", "A4", "A3+", "Pano", "Custom"};
    m_model.PaperDimensions = {"612 792", "612 792", "595 842", "936 1368", "1224 612"};
    m_model.ImageableAreas = {"9 9 603 783", "9 36 603 783", "9 9 586 833", "9 9 927 1359",
                              "9 9 1215 603"};
    m_model.CustomPageSize = true;
    m_model.HWMargins = THWMargins{0.125, 0.5, 0.25, 0.375};
    m_model.MinMediaWidth = 1;
    m_model.MaxMediaWidth = 17;
    m_model.MinMediaLength = 1;
    m_model.MaxMediaLength = 22;
    m_ui->PaperSize->addItems(
        {"Letter", "Letter (deep)", "A4", "A3+ (Super B)", "Panorama", "Custom"});
    m_ui->PaperSize->setCurrentIndex(-1);

    m_facts = TImageFacts();
    m_geometry = TPageGeometry();
    // The window starts with no orientation selected.
    m_ui->OrientationBoxGroup->setExclusive(false);
    for (QAbstractButton *button : m_ui->OrientationBoxGroup->buttons())
        button->setChecked(false);
    m_ui->OrientationBoxGroup->setExclusive(true);
    m_ui->ImageScreen->resize(102, 132); // Letter portrait, as the preview lays it out

    m_controller = std::make_unique<PageGeometryController>(m_geometry, m_model, m_facts,
                                                            PageGeometryControls(*m_ui));
    m_controller->setDecimalPoint(QStringLiteral("."));
    connect(m_controller.get(), &PageGeometryController::previewLayoutRequested, m_controller.get(),
            [this] { m_controller->LayoutPass(false); });
    // As the settings are read: the stored orientation runs the change on the placeholder.
    m_ui->OrientationBoxGroup->button(0)->setChecked(true);
}

void TestPageGeometryController::cleanup()
{
    m_controller.reset();
    m_ui.reset();
    m_window.reset();
}

void TestPageGeometryController::selectPaper(int index)
{
    m_ui->PaperSize->setCurrentIndex(index);
    emit m_ui->PaperSize->activated(index);
}

// Typing and leaving the field, as the window runs the exit handler.
void TestPageGeometryController::type(QLineEdit *edit, const QString &text)
{
    edit->setText(text);
    for (const auto &[target, handler] : m_controller->exitHandlers()) {
        if (target == edit) {
            handler();
            return;
        }
    }
    QFAIL("no exit handler for the edit");
}

void TestPageGeometryController::modelPaper_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("length");
    QTest::addColumn<double>("margin");
    QTest::addColumn<int>("units");
    QTest::addColumn<QString>("unitLabel");
    QTest::addColumn<QString>("hint");
    QTest::newRow("Letter") << int(Letter) << 8.5 << 11.0 << 0.125 << 0 << "in"
                            << "8.5x11in";
    QTest::newRow("A4") << int(A4) << 595 / 72.0 << 842 / 72.0 << 0.125 << 1 << "mm"
                        << "210x297mm";
    QTest::newRow("A3+") << int(A3Plus) << 13.0 << 19.0 << 0.125 << 0 << "in"
                         << "13x19in";
}

void TestPageGeometryController::modelPaper()
{
    QFETCH(int, paper);
    selectPaper(paper);
    QTEST(m_geometry.PaperWidth, "width");
    QTEST(m_geometry.PaperLength, "length");
    QTEST(m_geometry.MinTop, "margin");
    QTEST(m_geometry.MinBottom, "margin");
    QTEST(m_geometry.MinLeft, "margin");
    QTEST(m_geometry.MinRight, "margin");
    QTEST(m_ui->UnitsBoxGroup->checkedId(), "units");
    QTEST(m_ui->PlaceUnitsLbl->text(), "unitLabel");
    QTEST(m_ui->PaperSize->toolTip(), "hint");
    QTEST(m_ui->PaperSize->statusTip(), "hint");
    QCOMPARE(m_geometry.OrientationState, 0);
    QCOMPARE(m_geometry.LastPaperIndex, paper);
    QVERIFY(!m_ui->CustomWidth->isEnabled());
    QVERIFY(!m_ui->CustomLength->isEnabled());
    QVERIFY(!m_ui->WidthLBL->isEnabled());
    QVERIFY(m_ui->CustomWidth->text().isEmpty());
}

void TestPageGeometryController::rotationThereAndBack()
{
    selectPaper(LetterDeep);
    const TPageGeometry portrait = m_geometry;
    QCOMPARE(portrait.MinBottom, 0.5);
    QSignalSpy preview(m_controller.get(), &PageGeometryController::previewLayoutRequested);

    setOrientation(1);
    QCOMPARE(m_geometry.PaperWidth, 11.0);
    QCOMPARE(m_geometry.PaperLength, 8.5);
    QCOMPARE(m_geometry.MinTop, 0.125);
    QCOMPARE(m_geometry.MinBottom, 0.125);
    QCOMPARE(m_geometry.MinLeft, 0.5);
    QCOMPARE(m_geometry.MinRight, 0.125);
    QCOMPARE(m_geometry.OrientationState, 1);
    QCOMPARE(preview.count(), 1);

    setOrientation(0);
    QVERIFY(m_geometry.PaperWidth == portrait.PaperWidth);
    QVERIFY(m_geometry.PaperLength == portrait.PaperLength);
    QVERIFY(m_geometry.MinTop == portrait.MinTop);
    QVERIFY(m_geometry.MinBottom == portrait.MinBottom);
    QVERIFY(m_geometry.MinLeft == portrait.MinLeft);
    QVERIFY(m_geometry.MinRight == portrait.MinRight);
    QCOMPARE(m_geometry.OrientationState, 0);
    QCOMPARE(preview.count(), 2);

    // A new paper while Landscape is shown: the old one turns back, the new one turns again.
    setOrientation(1);
    selectPaper(Letter);
    QCOMPARE(m_ui->OrientationBoxGroup->checkedId(), 1);
    QCOMPARE(m_geometry.PaperWidth, 11.0);
    QCOMPARE(m_geometry.PaperLength, 8.5);
    QCOMPARE(m_geometry.OrientationState, 1);
}

// A model paper wider than long is shown as Landscape from the start, without turning it.
void TestPageGeometryController::wideModelPaper()
{
    selectPaper(Panorama);
    QCOMPARE(m_ui->OrientationBoxGroup->checkedId(), 1);
    QCOMPARE(m_geometry.OrientationState, 1);
    QCOMPARE(m_geometry.PaperWidth, 17.0);
    QCOMPARE(m_geometry.PaperLength, 8.5);
    setOrientation(0);
    QCOMPARE(m_geometry.PaperWidth, 8.5);
    QCOMPARE(m_geometry.PaperLength, 17.0);
    setOrientation(1);
    QCOMPARE(m_geometry.PaperWidth, 17.0);
    QCOMPARE(m_geometry.PaperLength, 8.5);
    // A tall paper chosen next keeps the Landscape shown, turned to match it.
    selectPaper(Letter);
    QCOMPARE(m_ui->OrientationBoxGroup->checkedId(), 1);
    setOrientation(0);
    QCOMPARE(m_geometry.PaperWidth, 8.5);
}

void TestPageGeometryController::samePaperLaysOutOnce()
{
    QSignalSpy preview(m_controller.get(), &PageGeometryController::previewLayoutRequested);
    selectPaper(Letter);
    QCOMPARE(preview.count(), 1);
    selectPaper(Letter);
    QCOMPARE(preview.count(), 1);
    selectPaper(A4);
    QCOMPARE(preview.count(), 2);
}

void TestPageGeometryController::marginClamps_data()
{
    QTest::addColumn<bool>("top");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("top 0") << true << "0" << 0.125 << "0.125";
    QTest::newRow("top 20") << true << "20" << 10.5 << "10.5";
    QTest::newRow("top 1.2345") << true << "1.2345" << 1.234 << "1.234";
    QTest::newRow("left 0") << false << "0" << 0.125 << "0.125";
    QTest::newRow("left 20") << false << "20" << 8.375 << "8.375";
}

void TestPageGeometryController::marginClamps()
{
    selectPaper(LetterDeep);
    m_ui->PlaceCentered->click();
    QVERIFY(m_ui->TopMargin->isEnabled());
    QFETCH(bool, top);
    QFETCH(QString, typed);
    QLineEdit *edit = top ? m_ui->TopMargin : m_ui->LeftMargin;
    type(edit, typed);
    QTEST(top ? m_geometry.TopMarginValue : m_geometry.LeftMarginValue, "value");
    QTEST(edit->text(), "shown");
}

void TestPageGeometryController::unitSwitch()
{
    selectPaper(Letter);
    m_ui->PlaceCentered->click();
    type(m_ui->TopMargin, QStringLiteral("0.125"));
    type(m_ui->LeftMargin, QStringLiteral("1"));

    setUnits(1);
    QCOMPARE(m_ui->PlaceUnitsLbl->text(), QStringLiteral("mm"));
    QCOMPARE(m_geometry.TopMarginValue, 3.2);
    QCOMPARE(m_ui->TopMargin->text(), QStringLiteral("3.2"));
    QCOMPARE(m_geometry.LeftMarginValue, 25.4);
    QCOMPARE(m_ui->PlacementBox->toolTip(), MillimetrePlacementHint);
    QCOMPARE(m_ui->PaperSize->toolTip(), QStringLiteral("215.9x279.4mm"));
    QCOMPARE(m_ui->ImageScreen->toolTip(), QStringLiteral("215.9x279.4mm"));

    setUnits(0);
    QCOMPARE(m_ui->PlaceUnitsLbl->text(), QStringLiteral("in"));
    QCOMPARE(m_geometry.TopMarginValue, 0.126);
    QCOMPARE(m_ui->TopMargin->text(), QStringLiteral("0.126"));
    QCOMPARE(m_geometry.LeftMarginValue, 1.0);
    QCOMPARE(m_ui->PlacementBox->toolTip(), InchPlacementHint);
    QCOMPARE(m_ui->PaperSize->toolTip(), QStringLiteral("8.5x11in"));
    QCOMPARE(m_ui->ImageScreen->statusTip(), QStringLiteral("8.5x11in"));
}

void TestPageGeometryController::paperUnitChangeConvertsMargins()
{
    selectPaper(Letter);
    m_ui->PlaceCentered->click();
    type(m_ui->TopMargin, QStringLiteral("1"));
    selectPaper(A4);
    QCOMPARE(m_ui->UnitsBoxGroup->checkedId(), 1);
    QCOMPARE(m_geometry.TopMarginValue, 25.4);
    QCOMPARE(m_ui->TopMargin->text(), QStringLiteral("25.4"));
    // The margin that was kept on Letter's minimum is A4's minimum in millimetres.
    QCOMPARE(m_geometry.LeftMarginValue, 3.2);
}

void TestPageGeometryController::scaleToFit()
{
    selectPaper(Letter);
    m_facts = photo();
    m_ui->ScaleToFit->click();

    QCOMPARE(m_ui->CustomScale->value(), 82);
    QVERIFY(!m_ui->CustomScale->isEnabled());
    QVERIFY(!m_ui->percentLbl->isEnabled());
    QVERIFY(m_ui->PlaceCentered->isChecked());
    QCOMPARE(m_geometry.PrintWidth, 8.2);
    QCOMPARE(m_geometry.PrintHeight, 6.56);
    QCOMPARE(m_ui->NowPrinting->toolTip(),
             QStringLiteral("8.2x6.56 in    Left Click and drag to move, Right Click to scale"));
    QCOMPARE(m_geometry.TopMarginValue, 2.22);
    QCOMPARE(m_geometry.LeftMarginValue, 0.15);
    QCOMPARE(m_ui->TopMargin->text(), QStringLiteral("2.22"));
    QCOMPARE(m_ui->LeftMargin->text(), QStringLiteral("0.15"));
    QVERIFY(m_controller->WarningList.isEmpty());
    QVERIFY(m_ui->WarningPanel->isHidden());
    QVERIFY(!m_ui->PictureFrame->isHidden());
    // 12 pixels per inch inside the 2-pixel border.
    QCOMPARE(m_ui->PictureFrame->geometry(), QRect(2 + 2, 27 + 2, 98, 79));
}

// A failed decode has no size to fit: the scale stays as it was.
void TestPageGeometryController::scaleToFitWithoutImageFacts()
{
    selectPaper(Letter);
    m_ui->CustomScale->setValue(120);
    m_facts = TImageFacts::failed();
    m_ui->ScaleToFit->click();
    QCOMPARE(m_ui->CustomScale->value(), 120);
    QCOMPARE(m_controller->WarningList,
             QStringList({InvalidTagsWarning, FormatNotSupportedWarning}));
}

void TestPageGeometryController::doesNotFit()
{
    selectPaper(Letter);
    m_facts = photo();
    m_ui->PlaceCentered->click();
    type(m_ui->LeftMargin, QStringLiteral("0.125"));
    m_controller->LayoutPass(false);
    QCOMPARE(m_controller->WarningList, QStringList{DoesNotFitWarning});
    QVERIFY(!m_ui->WarningPanel->isHidden());
    QVERIFY(m_ui->WarningsTabs->isHidden());
    QCOMPARE(m_ui->WarningMessage->text(), DoesNotFitWarning);

    m_ui->ScaleToFit->click();
    QVERIFY(m_controller->WarningList.isEmpty());
    QVERIFY(m_ui->WarningPanel->isHidden());
    // Scale-to-fit never reports a misfit, even where the smallest scale, 1 %, runs over.
    m_facts = photo(300000, 240000, 300);
    m_controller->LayoutPass(false);
    QCOMPARE(m_ui->CustomScale->value(), 1);
    QCOMPARE(m_geometry.PrintWidth, 10.0);
    QVERIFY(m_controller->WarningList.isEmpty());
}

void TestPageGeometryController::centimetreImage()
{
    selectPaper(Letter);
    m_facts = photo(1181, 1181, 300, 3);
    m_controller->LayoutPass(false);
    QVERIFY(m_ui->NowPrinting->toolTip().startsWith(QStringLiteral("3.9x3.9 cm   ")));
    QCOMPARE(m_geometry.PrintWidth, 1181 / 300.0);
    QVERIFY(m_controller->WarningList.isEmpty());
    // 25 cm is 9.84 in: wider than Letter.
    m_facts = photo(2500, 1181, 100, 3);
    m_controller->LayoutPass(false);
    QCOMPARE(m_controller->WarningList, QStringList{DoesNotFitWarning});
}

void TestPageGeometryController::toFitAndCentered()
{
    selectPaper(Letter);
    m_facts = photo();
    m_ui->PlaceCentered->click();
    QVERIFY(!m_ui->PlaceCentered->isChecked());
    QVERIFY(m_ui->TopMargin->isEnabled());

    m_ui->ScaleToFit->click();
    QVERIFY(m_ui->PlaceCentered->isChecked());
    QVERIFY(!m_ui->CustomScale->isEnabled());
    QVERIFY(!m_ui->TopMargin->isEnabled());
    QVERIFY(!m_ui->LeftMargin->isEnabled());
    QVERIFY(!m_ui->TopLBL->isEnabled());
    QVERIFY(!m_ui->PlaceUnitsLbl->isEnabled());

    m_ui->PlaceCentered->click();
    QVERIFY(!m_ui->ScaleToFit->isChecked());
    QVERIFY(m_ui->CustomScale->isEnabled());
    QVERIFY(m_ui->percentLbl->isEnabled());
    QVERIFY(m_ui->TopMargin->isEnabled());
    QVERIFY(m_ui->LeftLBL->isEnabled());
    // The edits show the placement that was centred.
    QCOMPARE(m_ui->TopMargin->text(), QStringLiteral("2.22"));
}

void TestPageGeometryController::customPaper()
{
    selectPaper(Letter);
    m_geometry.CustomUnit = 1;
    m_geometry.CustomWidthValue = 210;
    m_geometry.CustomLengthValue = 297;
    selectPaper(Custom);
    QVERIFY(m_ui->CustomWidth->isEnabled());
    QVERIFY(m_ui->LengthLBL->isEnabled());
    QCOMPARE(m_ui->UnitsBoxGroup->checkedId(), 1);
    QCOMPARE(m_geometry.CustomWidthValue, 210.0);
    QCOMPARE(m_geometry.CustomLengthValue, 297.0);
    QCOMPARE(m_ui->CustomWidth->text(), QStringLiteral("210"));
    QCOMPARE(m_ui->CustomLength->text(), QStringLiteral("297"));
    QCOMPARE(m_geometry.PaperWidth, 210 / 25.4);
    QCOMPARE(m_geometry.PaperLength, 297 / 25.4);
    QCOMPARE(m_ui->PaperSize->toolTip(), QStringLiteral("210x297mm"));
    QCOMPARE(m_geometry.MinTop, 0.375);
    QCOMPARE(m_geometry.MinBottom, 0.5);
    QCOMPARE(m_geometry.MinLeft, 0.125);
    QCOMPARE(m_geometry.MinRight, 0.25);

    // The custom size follows the display unit.
    setUnits(0);
    QCOMPARE(m_geometry.CustomUnit, 0);
    QCOMPARE(m_geometry.CustomWidthValue, 8.268);
    QCOMPARE(m_ui->CustomLength->text(), QStringLiteral("11.693"));
    QCOMPARE(m_ui->PaperSize->toolTip(), QStringLiteral("8.268x11.693in"));

    // Back to a model size: the custom edits are emptied and disabled.
    selectPaper(A3Plus);
    QVERIFY(!m_ui->CustomLength->isEnabled());
    QVERIFY(m_ui->CustomLength->text().isEmpty());
    QCOMPARE(m_geometry.CustomWidthValue, 8.268);
}

void TestPageGeometryController::customWidthSwitchesToPortrait()
{
    m_geometry.CustomWidthValue = 8.5;
    m_geometry.CustomLengthValue = 11;
    selectPaper(Custom);
    QCOMPARE(m_ui->PaperSize->toolTip(), QStringLiteral("8.5x11in"));
    setOrientation(1);
    QCOMPARE(m_geometry.PaperWidth, 11.0);

    type(m_ui->CustomWidth, QStringLiteral("9"));
    QCOMPARE(m_ui->OrientationBoxGroup->checkedId(), 0);
    QCOMPARE(m_geometry.OrientationState, 0);
    QCOMPARE(m_geometry.PaperWidth, 9.0);
    QCOMPARE(m_geometry.PaperLength, 11.0);
    QCOMPARE(m_geometry.CustomWidthValue, 9.0);
    QCOMPARE(m_ui->PaperSize->toolTip(), QStringLiteral("9x11in"));

    // An unchanged value changes nothing.
    setOrientation(1);
    type(m_ui->CustomWidth, QStringLiteral("9"));
    QCOMPARE(m_ui->OrientationBoxGroup->checkedId(), 1);
}

void TestPageGeometryController::customAboveMaximum_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("paperWidth");
    // The limit 1000/72 in is 352.777... mm.
    QTest::newRow("inches") << 0 << "20" << 1000 / 72.0 << "13.8888888888889" << 1000 / 72.0;
    QTest::newRow("millimetres") << 1 << "400" << 352.8 << "352.8" << 352.8 / 25.4;
    QTest::newRow("below, inches") << 0 << "0.2" << 1.0 << "1" << 1.0;
}

void TestPageGeometryController::customAboveMaximum()
{
    m_model.MaxMediaWidth = 1000 / 72.0;
    QFETCH(int, unit);
    m_geometry.CustomUnit = unit;
    m_geometry.CustomWidthValue = unit == 1 ? 210 : 8.5;
    m_geometry.CustomLengthValue = unit == 1 ? 297 : 11;
    selectPaper(Custom);
    QFETCH(QString, typed);
    type(m_ui->CustomWidth, typed);
    QTEST(m_geometry.CustomWidthValue, "value");
    QTEST(m_ui->CustomWidth->text(), "shown");
    QTEST(m_geometry.PaperWidth, "paperWidth");
}

void TestPageGeometryController::warningTabs()
{
    selectPaper(Letter);
    m_ui->PlaceCentered->click();
    // No resolution (72 ppi, 10 in), 32-bit: three warnings.
    m_facts = photo(720, 720, 0);
    m_facts.PixelLayout = TPixelLayout::Bits32;
    m_controller->LayoutPass(false);
    QCOMPARE(m_controller->WarningList,
             QStringList({InvalidTagsWarning, FormatNotSupportedWarning, DoesNotFitWarning}));
    QCOMPARE(m_ui->WarningsTabs->count(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(m_ui->WarningsTabs->tabText(i), QString::number(i + 1));
    QVERIFY(!m_ui->WarningsTabs->isHidden());
    QVERIFY(!m_ui->WarningPanel->isHidden());
    QCOMPARE(m_ui->WarningsTabs->currentIndex(), 0);
    QCOMPARE(m_ui->WarningMessage->text(), InvalidTagsWarning);
    m_controller->showWarning(2);
    QCOMPARE(m_ui->WarningMessage->text(), DoesNotFitWarning);

    m_facts.PixelLayout = TPixelLayout::Bits8;
    m_facts.XResolution = m_facts.YResolution = 300;
    m_controller->LayoutPass(false);
    QVERIFY(m_controller->WarningList.isEmpty());
    QVERIFY(m_ui->WarningPanel->isHidden());

    m_facts.ResolutionUnit = 0;
    m_controller->LayoutPass(false);
    QCOMPARE(m_controller->WarningList, QStringList{InvalidTagsWarning});
    QCOMPARE(m_ui->WarningsTabs->count(), 1);
    QVERIFY(m_ui->WarningsTabs->isHidden());
    QVERIFY(!m_ui->WarningPanel->isHidden());
    QCOMPARE(m_ui->WarningMessage->text(), InvalidTagsWarning);
    // The message sits in the middle of the panel.
    const QRect message = m_ui->WarningMessage->geometry();
    QCOMPARE(message.left(), (m_ui->WarningPanel->width() - message.width()) / 2);
    QCOMPARE(message.top(), (m_ui->WarningPanel->height() - message.height()) / 2);
}

void TestPageGeometryController::question_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("result");
    QTest::newRow("OK") << 0 << true;
    QTest::newRow("Cancel") << 1 << false;
    QTest::newRow("closed") << -1 << false;
}

void TestPageGeometryController::question()
{
    ScopedRecordingDialogs dialogs;
    selectPaper(Letter);
    m_facts = photo(1500, 1200);
    QVERIFY(m_controller->LayoutPass(true));
    QVERIFY(dialogs.shown().isEmpty());

    m_facts.ResolutionUnit = 0;
    m_facts.PixelLayout = TPixelLayout::Custom;
    QFETCH(int, answer);
    dialogs.setNextAnswer(answer);
    QTEST(m_controller->LayoutPass(true), "result");
    QCOMPARE(dialogs.shown().size(), 1);
    const RecordingDialogs::Shown &shown = dialogs.shown().first();
    QCOMPARE(shown.kind, RecordingDialogs::Kind::Question);
    QCOMPARE(shown.title, applicationTitle());
    QCOMPARE(shown.text, QStringLiteral("Image has 2 warnimg(s)."));
    QCOMPARE(shown.buttons, QStringList({"OK", "Cancel"}));

    // Without ask there is no question.
    QVERIFY(m_controller->LayoutPass(false));
    QCOMPARE(dialogs.shown().size(), 1);
}

// A pass that sets a new fit percentage lays out again inside itself; only the outer one asks.
void TestPageGeometryController::nestedPassNeverAsks()
{
    ScopedRecordingDialogs dialogs;
    selectPaper(Letter);
    m_facts = photo();
    m_facts.ResolutionUnit = 0; // a warning, so a question
    m_ui->ScaleToFit->click();
    QVERIFY(dialogs.shown().isEmpty());

    QSignalSpy scale(m_ui->CustomScale, &QSpinBox::valueChanged);
    m_facts.Width = 1500; // fits at a new percentage
    dialogs.setNextAnswer(0);
    QVERIFY(m_controller->LayoutPass(true));
    QCOMPARE(scale.count(), 1);
    QCOMPARE(m_ui->CustomScale->value(), 134);
    QCOMPARE(dialogs.shown().size(), 1);
}

void TestPageGeometryController::commaSeparator()
{
    ScopedCountingBeeper beeper;
    m_controller->setDecimalPoint(QStringLiteral(","));
    selectPaper(Letter);
    QCOMPARE(m_ui->PaperSize->toolTip(), QStringLiteral("8,5x11in"));
    m_ui->PlaceCentered->click();
    type(m_ui->TopMargin, QStringLiteral("1,5"));
    QCOMPARE(m_geometry.TopMarginValue, 1.5);
    QCOMPARE(m_ui->TopMargin->text(), QStringLiteral("1,5"));
    type(m_ui->TopMargin, QStringLiteral("2.5"));
    QCOMPARE(beeper.beeps(), 2);
    QCOMPARE(m_geometry.TopMarginValue, 1.5);
    QCOMPARE(m_ui->TopMargin->text(), QStringLiteral("1,5"));

    m_facts = photo();
    m_ui->ScaleToFit->click();
    QCOMPARE(m_ui->TopMargin->text(), QStringLiteral("2,22"));
    QVERIFY(m_ui->NowPrinting->toolTip().startsWith(QStringLiteral("8,2x6,56 in")));
    QCOMPARE(m_controller->numberText(0.15), QStringLiteral("0,15"));
    QCOMPARE(m_controller->readNumber(QStringLiteral("0,15")), std::optional<double>(0.15));
}

void TestPageGeometryController::nonNumbers_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("previous");
    QTest::newRow("CustomWidth") << "CustomWidth"
                                 << "8.5";
    QTest::newRow("CustomLength") << "CustomLength"
                                  << "11";
    QTest::newRow("TopMargin") << "TopMargin"
                               << "1.5";
    QTest::newRow("LeftMargin") << "LeftMargin"
                                << "0.75";
}

void TestPageGeometryController::nonNumbers()
{
    m_geometry.CustomWidthValue = 8.5;
    m_geometry.CustomLengthValue = 11;
    selectPaper(Custom);
    m_ui->PlaceCentered->click();
    type(m_ui->TopMargin, QStringLiteral("1.5"));
    type(m_ui->LeftMargin, QStringLiteral("0.75"));
    const TPageGeometry before = m_geometry;

    ScopedCountingBeeper beeper;
    QFETCH(QString, edit);
    auto *field = m_window->findChild<QLineEdit *>(edit);
    QVERIFY(field);
    type(field, QStringLiteral("abc"));
    QCOMPARE(beeper.beeps(), 2);
    QCOMPARE(beeper.pausedMilliseconds(), 250);
    QTEST(field->text(), "previous");
    QCOMPARE(m_geometry.CustomWidthValue, before.CustomWidthValue);
    QCOMPARE(m_geometry.CustomLengthValue, before.CustomLengthValue);
    QCOMPARE(m_geometry.TopMarginValue, before.TopMarginValue);
    QCOMPARE(m_geometry.LeftMarginValue, before.LeftMarginValue);
    QCOMPARE(m_geometry.PaperWidth, before.PaperWidth);
}

void TestPageGeometryController::autoOrientClick()
{
    selectPaper(Letter);
    m_facts = photo();
    m_ui->AutoOrient->trigger(); // now checked
    QVERIFY(m_ui->AutoOrient->isChecked());
    QCOMPARE(m_geometry.PrintWidth, 10.0);
    m_facts.Width = 1500;
    m_ui->AutoOrient->trigger(); // now unchecked: no pass
    QCOMPARE(m_geometry.PrintWidth, 10.0);
    m_ui->AutoOrient->trigger();
    QCOMPARE(m_geometry.PrintWidth, 5.0);
    // Checking it lays out only; the page turns when an image is probed.
    QCOMPARE(m_ui->OrientationBoxGroup->checkedId(), 0);
}

void TestPageGeometryController::autoOrientation()
{
    selectPaper(Letter);
    m_facts = photo();
    m_controller->applyAutoOrientation();
    QCOMPARE(m_ui->OrientationBoxGroup->checkedId(), 0);

    m_ui->AutoOrient->setChecked(true);
    m_controller->applyAutoOrientation();
    QCOMPARE(m_ui->OrientationBoxGroup->checkedId(), 1);
    QCOMPARE(m_geometry.OrientationState, 1);
    QCOMPARE(m_geometry.PaperWidth, 11.0);
    // Now the image lies along the paper.
    m_controller->applyAutoOrientation();
    QCOMPARE(m_ui->OrientationBoxGroup->checkedId(), 1);
    m_facts = photo(2400, 3000);
    m_controller->applyAutoOrientation();
    QCOMPARE(m_ui->OrientationBoxGroup->checkedId(), 0);
    QCOMPARE(m_geometry.PaperWidth, 8.5);
}

void TestPageGeometryController::paperFeedChange()
{
    m_ui->PaperFeed->addItems({"Sheet", "Roll"});
    QSignalSpy preview(m_controller.get(), &PageGeometryController::previewLayoutRequested);
    m_ui->PaperFeed->setCurrentIndex(1);
    QCOMPARE(preview.count(), 0);
    emit m_ui->PaperFeed->activated(0);
    QCOMPARE(preview.count(), 1);
    if (QLineEdit *edit = m_ui->PaperFeed->lineEdit()) {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_X);
        QCOMPARE(preview.count(), 2);
    }
}

void TestPageGeometryController::exitHandlers()
{
    QList<QLineEdit *> edits;
    for (const auto &[edit, handler] : m_controller->exitHandlers()) {
        QVERIFY(handler);
        edits << edit;
    }
    QCOMPARE(edits, QList<QLineEdit *>({m_ui->CustomWidth, m_ui->CustomLength, m_ui->TopMargin,
                                        m_ui->LeftMargin}));
}

QTEST_MAIN(TestPageGeometryController)
#include "tst_pagegeometrycontroller.moc"
