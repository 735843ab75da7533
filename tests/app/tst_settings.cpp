#include "FormFixture.h"
#include "IniFile.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QRandomGenerator>
#include <QSlider>
#include <QSpinBox>

using namespace fixture;

namespace {

QString settingsFile(const Installation &installation)
{
    return installation.bin() + QStringLiteral("Diridu.ini");
}

void writeSettings(const Installation &installation, const QByteArray &text)
{
    touch(settingsFile(installation), text);
}

QByteArray readBack(const Installation &installation)
{
    QFile file(settingsFile(installation));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList recentPlaces(const TDiriduForm &form)
{
    QStringList places;
    bool afterDivider = false;
    for (QAction *action : form.ui.ImageMenu->actions()) {
        if (afterDivider)
            places.append(action->text());
        afterDivider = afterDivider || action == form.ui.FileListDivider;
    }
    return places;
}

const QString kRecoveryText = QStringLiteral(
    "Diridu encountered an error in the Diridu.ini file. Diridu.ini has been deleted and all "
    "settings reverted to default.");

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void recentFileCountIsCut();
    void damagedIntegerStartsTheRecovery_data();
    void damagedIntegerStartsTheRecovery();
    void customSizeDefaultsFollowTheUnit();
    void realsFollowTheDecimalSeparator();
    void removedModelLosesOnlyItsChoices();
    void foldersKeepExtraKeysCurvesDoNot();
    void presetLabelNeedsCurveSelections();
    void recentFilesStopAtFirstEmptyPlace();
    void everySettingSurvivesARestart();
    void hostileFilesNeverCrash_data();
    void hostileFilesNeverCrash();
    void failedWriteAsksWhetherToLeave_data();
    void failedWriteAsksWhetherToLeave();
};

void TestSettings::recentFileCountIsCut()
{
    Installation installation;
    writeSettings(installation, "[Options]\r\nRecentFileCount=40\r\n");
    Started started(installation);
    QCOMPARE(recentPlaces(*started.form).size(), 25);
    QCOMPARE(started.form->ui.RecentFileCountMenu->text(), QStringLiteral("&Recent File Count [25]"));
    started.form->WriteSettings();
    QVERIFY(readBack(installation).contains("RecentFileCount=25\r\n"));
}

void TestSettings::damagedIntegerStartsTheRecovery_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("RecentFileCount") << QByteArray("[Options]\r\nRecentFileCount=abc\r\n");
    QTest::newRow("Copies") << QByteArray("[Page]\r\nCopies=2x\r\n");
    QTest::newRow("saved model rejected")
        << QByteArray("[Printer]\r\nPrintingModel=ZorlBroken\r\n[Presets]\r\nWarm=Preset\r\n");
}

void TestSettings::damagedIntegerStartsTheRecovery()
{
    QFETCH(QByteArray, content);
    Installation installation;
    touch(installation.root() + "ppd/ZorlBroken.ppd", "*Product: \"(Zorlane 2.0)\"\n");
    writeSettings(installation, content);
    Started started(installation);
    QCOMPARE(started.dialogs.texts(), QStringList{kRecoveryText});
    QCOMPARE(started.dialogs.shown().first().buttons, QStringList{"OK"});
    QVERIFY(!QFile::exists(settingsFile(installation)));
    // The damaged file is kept beside it, so nothing the user saved is lost for good.
    QFile backup(settingsFile(installation) + ".bak");
    QVERIFY(backup.open(QIODevice::ReadOnly));
    QCOMPARE(backup.readAll(), content);
    QCOMPARE(recentPlaces(*started.form).size(), 5);
    // The model list is built once, not twice.
    QCOMPARE(started.items("PrintingModelName").size(),
             QDir(installation.root() + "ppd").entryList({"*.ppd"}).size());
    started.form->WriteSettings();
    const QByteArray written = readBack(installation);
    for (const char *section : {"[Printer]", "[Page]", "[Placement]", "[Curves]", "[Monitoring]",
                                "[Options]", "[Folders]", "[CurveCreation]"})
        QVERIFY2(written.contains(section), section);
}

void TestSettings::customSizeDefaultsFollowTheUnit()
{
    Installation installation;
    writeSettings(installation, "[Page]\r\nCustomUnits=1\r\n");
    Started started(installation);
    QCOMPARE(started.form->PageGeometry.CustomUnit, 1);
    QCOMPARE(started.form->PageGeometry.CustomWidthValue, 210.0);
    QCOMPARE(started.form->PageGeometry.CustomLengthValue, 297.0);
}

// Run once under a point locale and once (as a second ctest entry) under a comma locale.
void TestSettings::realsFollowTheDecimalSeparator()
{
    const bool comma = QLocale::system().decimalPoint() == QLatin1String(",");
    Installation installation;
    writeSettings(installation, "[Page]\r\nWidth=8,5\r\nLength=12.5\r\n");
    Started started(installation);
    QVERIFY(started.dialogs.shown().isEmpty());
    QCOMPARE(started.form->PageGeometry.CustomWidthValue, 8.5);
    QCOMPARE(started.form->PageGeometry.CustomLengthValue, comma ? 11.0 : 12.5);
    started.form->PageGeometry.CustomWidthValue = 9.25;
    started.form->WriteSettings();
    QVERIFY(readBack(installation).contains(comma ? "Width=9,25\r\n" : "Width=9.25\r\n"));
}

void TestSettings::removedModelLosesOnlyItsChoices()
{
    Installation installation;
    writeSettings(installation, "[Printer]\r\nPrintingModel=ZorlGone\r\nPrinterName=Office\r\n"
                                "[Curves]\r\nBlend=30\r\n");
    Started started(installation);
    QVERIFY(started.dialogs.shown().isEmpty());
    QCOMPARE(started.find<QComboBox>("PrintingModelName")->currentIndex(), -1);
    QCOMPARE(started.find<QComboBox>("PrinterList")->currentText(), QStringLiteral("Office"));
    QCOMPARE(started.find<QLineEdit>("CurveBlendValue")->text(), QStringLiteral("30"));
}

void TestSettings::foldersKeepExtraKeysCurvesDoNot()
{
    Installation installation;
    writeSettings(installation, "[Folders]\r\nImage=/photos/\r\nMine=keep me\r\n"
                                "[Curves]\r\nBlend=40\r\nMine=lose me\r\n");
    Started started(installation);
    started.form->WriteSettings();
    IniFile written(settingsFile(installation));
    QCOMPARE(written.readString("Folders", "Mine"), QStringLiteral("keep me"));
    QCOMPARE(written.readString("Folders", "Image"), QStringLiteral("/photos/"));
    QVERIFY(!written.keys("Curves").contains("Mine"));
    QCOMPARE(written.readString("Curves", "Blend"), QStringLiteral("40"));
}

void TestSettings::presetLabelNeedsCurveSelections()
{
    Installation installation;
    writeSettings(installation, "[Curves]\r\nPreset=Warm\r\n");
    Started started(installation);
    QVERIFY(!started.find<QLabel>("PresetLbl")->isVisible());
    started.form->WriteSettings();
    QCOMPARE(IniFile(settingsFile(installation)).readString("Curves", "Preset", "x"), QString());
}

void TestSettings::recentFilesStopAtFirstEmptyPlace()
{
    Installation installation;
    writeSettings(installation, "[Options]\r\nRecentFileCount=3\r\n"
                                "[RecentFiles]\r\nFile1=/a.tif\r\nFile2=\r\nFile3=/c.tif\r\n");
    Started started(installation);
    QCOMPARE(recentPlaces(*started.form), QStringList({"&1 /a.tif", "&2 ", "&3 /c.tif"}));
    started.form->WriteSettings();
    IniFile written(settingsFile(installation));
    QCOMPARE(written.keys("RecentFiles"), QStringList{"File1"});
    QCOMPARE(written.readInteger("Options", "RecentFileCount", 0), 3);
}

void TestSettings::everySettingSurvivesARestart()
{
    Installation installation;
    writeSettings(installation, "[Printer]\r\nPrintingModel=Zorl3800\r\n");
    {
        Started first(installation, {{"Office", "Studio"}, "Office"});
        TDiriduForm &form = *first.form;
        DiriduFormUi &ui = form.ui;
        QCOMPARE(ui.PrintingModelName->currentText(), QStringLiteral("Zorl3800"));
        ui.PrinterList->setCurrentIndex(ui.PrinterList->findText("Studio"));
        ui.Curve1->setCurrentIndex(ui.Curve1->count() - 1);
        ui.Curve2->setCurrentIndex(1);
        ui.DitherType->setCurrentIndex(ui.DitherType->count() - 1);
        ui.Resolution->setCurrentIndex(0);
        ui.MediaType->setCurrentIndex(ui.MediaType->count() - 1);
        ui.RipSpeed->setCurrentIndex(ui.RipSpeed->count() - 1);
        ui.RipBlack->setCurrentIndex(ui.RipBlack->count() - 1);
        ui.PaperFeed->setCurrentIndex(ui.PaperFeed->count() - 1);
        ui.CopyCount->setValue(7);
        ui.CustomScale->setValue(64);
        ui.CurveBlend->setValue(25);
        ui.GammaBlend->setValue(-4);
        ui.LimitBlend->setValue(12);
        const int a4 = ui.PaperSize->findText("A4");
        ui.PaperSize->setCurrentIndex(a4);
        emit ui.PaperSize->activated(a4);
        ui.OrientationBoxGroup->button(1)->click();
        ui.PlaceCentered->click();
        ui.TopMargin->setText("40");
        QTest::keyClick(ui.TopMargin, Qt::Key_Return);
        ui.UseBatch->setChecked(true);
        ui.AutoOrient->setChecked(true);
        ui.DragDropAutoPrint->setChecked(false);
        form.ImageFolder = QStringLiteral("/photos/2026/");
        form.WriteSettings();
    }
    Started second(installation, {{"Office", "Studio"}, "Office"});
    DiriduFormUi &ui = second.form->ui;
    QCOMPARE(ui.PrinterList->currentText(), QStringLiteral("Studio"));
    QCOMPARE(ui.Curve1->currentIndex(), ui.Curve1->count() - 1);
    QCOMPARE(ui.Curve2->currentIndex(), 1);
    QCOMPARE(ui.DitherType->currentIndex(), ui.DitherType->count() - 1);
    QCOMPARE(ui.Resolution->currentIndex(), 0);
    QCOMPARE(ui.MediaType->currentIndex(), ui.MediaType->count() - 1);
    QCOMPARE(ui.RipSpeed->currentIndex(), ui.RipSpeed->count() - 1);
    QCOMPARE(ui.RipBlack->currentIndex(), ui.RipBlack->count() - 1);
    QCOMPARE(ui.PaperFeed->currentIndex(), ui.PaperFeed->count() - 1);
    QCOMPARE(ui.CopyCount->value(), 7);
    QCOMPARE(ui.CustomScale->value(), 64);
    QCOMPARE(ui.PaperSize->currentText(), QStringLiteral("A4"));
    QCOMPARE(ui.UnitsBoxGroup->checkedId(), 1);
    QCOMPARE(ui.OrientationBoxGroup->checkedId(), 1);
    QVERIFY(second.form->PageGeometry.PaperWidth > second.form->PageGeometry.PaperLength);
    QVERIFY(!ui.PlaceCentered->isChecked());
    QCOMPARE(ui.TopMargin->text(), QStringLiteral("40"));
    QCOMPARE(second.form->PageGeometry.TopMarginValue, 40.0);
    QCOMPARE(ui.CurveBlendValue->text(), QStringLiteral("75"));
    QCOMPARE(ui.GammaBlendValue->text(), QStringLiteral("-4"));
    QCOMPARE(ui.LimitBlendValue->text(), QStringLiteral("12"));
    QVERIFY(ui.UseBatch->isChecked());
    QVERIFY(ui.AutoOrient->isChecked());
    QVERIFY(!ui.DragDropAutoPrint->isChecked());
    QCOMPARE(second.form->ImageFolder, QStringLiteral("/photos/2026/"));
    QVERIFY(second.dialogs.shown().isEmpty());
}

void TestSettings::hostileFilesNeverCrash_data()
{
    QTest::addColumn<QByteArray>("content");
    QByteArray garbage(256 * 1024, '\0');
    QRandomGenerator random(20261207);
    for (char &byte : garbage)
        byte = char(random.bounded(256));
    QTest::newRow("binary garbage") << garbage;
    QTest::newRow("huge line") << QByteArray("[Curves]\r\nBlend=") + QByteArray(4 << 20, '7');
    QTest::newRow("header without bracket") << QByteArray("[Options\r\nRecentFileCount=3\r\n");
    QTest::newRow("keys without equals") << QByteArray("[Page]\r\nCopies\r\nWidth\r\n");
    QByteArray sections;
    for (int i = 0; i < 5000; ++i)
        sections += "[S" + QByteArray::number(i) + "]\r\nk=v\r\n";
    QTest::newRow("thousands of sections") << sections;
}

void TestSettings::hostileFilesNeverCrash()
{
    QFETCH(QByteArray, content);
    Installation installation;
    writeSettings(installation, content);
    Started started(installation);
    QVERIFY(started.dialogs.shown().size() <= 1);
    QVERIFY(started.form->ui.PrintingModelName->count() > 0);
    started.form->WriteSettings();
    QVERIFY(IniFile(settingsFile(installation)).sectionHasKeys("Options"));
}

void TestSettings::failedWriteAsksWhetherToLeave_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("leaves");
    QTest::newRow("Exit") << 0 << true;
    QTest::newRow("Cancel") << 1 << false;
    QTest::newRow("box closed") << -1 << false;
}

// Settings that cannot be written (a read-only program folder) must not keep the window open
// for good: after the message the user may leave without them.
void TestSettings::failedWriteAsksWhetherToLeave()
{
    QFETCH(int, answer);
    QFETCH(bool, leaves);
    Installation installation;
    Started started(installation);
    // A folder where the settings file should be cannot be replaced by a file.
    QVERIFY(QDir(installation.bin()).mkdir("Diridu.ini"));
    started.dialogs.setNextAnswer(answer);
    QCOMPARE(started.form->ExitProgramClick(), leaves);
    const auto &shown = started.dialogs.shown();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown.at(0).kind, RecordingDialogs::Kind::ApplicationError);
    QCOMPARE(shown.at(0).text, QStringLiteral("Unable to write to ") + settingsFile(installation));
    QCOMPARE(shown.at(1).kind, RecordingDialogs::Kind::Question);
    QCOMPARE(shown.at(1).text, QStringLiteral("Exit without saving the settings?"));
    QCOMPARE(shown.at(1).buttons, QStringList({"Exit", "Cancel"}));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
