#include "FormFixture.h"
#include "TLoadPresetsForm.h"
#include "TPrintingModel.h"
#include "TSavePresetsForm.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTimer>

using namespace fixture;

namespace {

// Starts with the model Zorl3800 loaded, as a saved setting would.
struct WithModel : Installation
{
    WithModel()
    {
        touch(bin() + "Diridu.ini", "[Printer]\r\nPrintingModel=Zorl3800\r\n");
    }
    QString curveFolder() const { return root() + "Zorlane/Zorl3800/"; }
};

void closeUp(QComboBox *box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

} // namespace

class TestCurveControls : public QObject
{
    Q_OBJECT

private slots:
    void curveFilesFollowTheFolder();
    void closeUpSetsHintAndGraphMenu_data();
    void closeUpSetsHintAndGraphMenu();
    void presetLabelHiddenByCurveChanges_data();
    void presetLabelHiddenByCurveChanges();
    void presetSavedAndLoadedBack();
    void leavingTheWindowKeepsTheField_data();
    void leavingTheWindowKeepsTheField();
};

void TestCurveControls::curveFilesFollowTheFolder()
{
    WithModel installation;
    Started started(installation);
    auto *curve1 = started.find<QComboBox>("Curve1");
    closeUp(curve1, curve1->findText("Warm"));

    touch(installation.curveFolder() + "Platinum.ZORL", "# ZORLANE K\n");
    QTRY_VERIFY(started.items("Curve1").contains("Platinum"));
    QVERIFY(started.items("Curve2").contains("Platinum"));
    QCOMPARE(curve1->currentText(), QStringLiteral("Warm"));

    QVERIFY(QFile::remove(installation.curveFolder() + "Warm.zorl"));
    QTRY_VERIFY(!started.items("Curve1").contains("Warm"));
    QCOMPARE(curve1->currentIndex(), started.form->PrintingModel->Curve1Default);
}

void TestCurveControls::closeUpSetsHintAndGraphMenu_data()
{
    QTest::addColumn<bool>("curveFile");
    QTest::newRow("built-in curve") << false;
    QTest::newRow("curve file") << true;
}

void TestCurveControls::closeUpSetsHintAndGraphMenu()
{
    QFETCH(bool, curveFile);
    WithModel installation;
    Started started(installation);
    auto *curve2 = started.find<QComboBox>("Curve2");
    closeUp(curve2, curveFile ? 1 : 0);
    QCOMPARE(curve2->toolTip(), curveFile ? QStringLiteral("Select a curve. Right click to view a "
                                                           "graph of the curve.")
                                          : QStringLiteral("Select a curve."));
    QCOMPARE(curve2->contextMenuPolicy(),
             curveFile ? Qt::CustomContextMenu : Qt::PreventContextMenu);
}

void TestCurveControls::presetLabelHiddenByCurveChanges_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("hides");
    QTest::newRow("close Curve1") << "Curve1" << true;
    QTest::newRow("close Curve2") << "Curve2" << true;
    QTest::newRow("close Resolution") << "Resolution" << true;
    QTest::newRow("close DitherType") << "DitherType" << true;
    QTest::newRow("leave blend field") << "CurveBlendValue" << true;
    QTest::newRow("gamma slider") << "GammaBlend" << true;
    QTest::newRow("limit slider") << "LimitBlend" << true;
    QTest::newRow("blend slider") << "CurveBlend" << false;
    QTest::newRow("speed") << "RipSpeed" << false;
    QTest::newRow("media") << "MediaType" << false;
}

void TestCurveControls::presetLabelHiddenByCurveChanges()
{
    QFETCH(QString, action);
    QFETCH(bool, hides);
    WithModel installation;
    touch(installation.bin() + "Diridu.ini",
          "[Printer]\r\nPrintingModel=Zorl3800\r\n[Curves]\r\nPreset=Warm\r\n");
    Started started(installation);
    auto *label = started.find<QLabel>("PresetLbl");
    QVERIFY(label->isVisible());
    QCOMPARE(label->text(), QStringLiteral("Warm"));

    QObject *control = started.form->findChild<QObject *>(action);
    QVERIFY(control);
    if (auto *box = qobject_cast<QComboBox *>(control))
        closeUp(box, 0);
    else if (auto *slider = qobject_cast<QSlider *>(control))
        slider->setValue(slider->value() + 3);
    else if (auto *edit = qobject_cast<QLineEdit *>(control))
        QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(label->isVisible(), !hides);
}

void TestCurveControls::presetSavedAndLoadedBack()
{
    WithModel installation;
    Started started(installation);
    DiriduFormUi &ui = started.form->ui;
    closeUp(ui.Curve1, ui.Curve1->findText("Warm"));
    ui.CurveBlend->setValue(70);
    ui.GammaBlend->setValue(5);

    QTimer::singleShot(0, started.form->SavePresetsForm, [&] {
        QTest::keyClicks(started.form->SavePresetsForm->NewPreset, "Toned");
        QTest::keyClick(started.form->SavePresetsForm->NewPreset, Qt::Key_Return);
    });
    started.form->SavePresetClick();
    QCOMPARE(ui.PresetLbl->text(), QStringLiteral("Toned"));
    QVERIFY(ui.PresetLbl->isVisible());
    QVERIFY(ui.LoadPreset->isEnabled());

    closeUp(ui.Curve1, 0);
    ui.CurveBlend->setValue(10);
    ui.GammaBlend->setValue(-8);
    QVERIFY(!ui.PresetLbl->isVisible());

    QTimer::singleShot(0, started.form->LoadPresetsForm, [&] {
        QListWidget *list = started.form->LoadPresetsForm->PresetList;
        list->setCurrentRow(0);
        QTest::keyClick(list, Qt::Key_Return);
    });
    started.form->LoadPresetClick();
    QCOMPARE(ui.Curve1->currentText(), QStringLiteral("Warm"));
    QCOMPARE(ui.CurveBlendValue->text(), QStringLiteral("30"));
    QCOMPARE(ui.GammaBlendValue->text(), QStringLiteral("5"));
    QCOMPARE(ui.PresetLbl->text(), QStringLiteral("Toned"));
    QVERIFY(ui.PresetLbl->isVisible());
    QVERIFY(started.dialogs.shown().isEmpty());
}

void TestCurveControls::leavingTheWindowKeepsTheField_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("blend") << "CurveBlendValue";
    QTest::newRow("gamma") << "GammaBlendValue";
    QTest::newRow("limit") << "LimitBlendValue";
}

// Switching to another window with the caret in a field is no leaving of the field: the
// preset stays named and the typed text stays as typed until the field is really left.
void TestCurveControls::leavingTheWindowKeepsTheField()
{
    QFETCH(QString, field);
    WithModel installation;
    touch(installation.bin() + "Diridu.ini",
          "[Printer]\r\nPrintingModel=Zorl3800\r\n[Curves]\r\nPreset=Warm\r\n");
    Started started(installation);
    auto *label = started.find<QLabel>("PresetLbl");
    auto *edit = started.find<QLineEdit>(qPrintable(field));
    QVERIFY(label->isVisible());
    started.form->activateWindow();
    QTRY_VERIFY(started.form->isActiveWindow());
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    edit->selectAll();
    QTest::keyClicks(edit, "7");

    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_VERIFY(other.isActiveWindow());
    QVERIFY(label->isVisible());
    QCOMPARE(edit->text(), QStringLiteral("7"));

    started.form->activateWindow();
    QTRY_VERIFY(edit->hasFocus());
    started.find<QComboBox>("Curve1")->setFocus();
    QTRY_VERIFY(!label->isVisible());
    QCOMPARE(edit->text(), QStringLiteral("7"));
    QCOMPARE(started.beeper.beeps(), 0);
}

QTEST_MAIN(TestCurveControls)
#include "tst_curvecontrols.moc"
