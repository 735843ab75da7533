// The main window's side of the curve creation editor: opening it on the selected model,
// the settings it shares through Diridu.ini.
#include "CurveCreationSettings.h"
#include "FormFixture.h"
#include "TInkDescription.h"
#include "TInkLoaderForm.h"
#include "TProfileErrors.h"
#include "TZorGraphs.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

using namespace fixture;

namespace {

QByteArray readBack(const Installation &installation)
{
    QFile file(installation.bin() + QStringLiteral("Diridu.ini"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestCurveCreationWindow : public QObject
{
    Q_OBJECT

private slots:
    void opensOnTheSelectedModel_data();
    void opensOnTheSelectedModel();
    void anOpenEditorKeepsItsDescription();
    void settingsRoundTripThroughTheEditor();
    void curveButtonEditsTheSlotsCurve_data();
    void curveButtonEditsTheSlotsCurve();
    void demoDescriptionBecomesAListedCurve_data();
    void demoDescriptionBecomesAListedCurve();
};

void TestCurveCreationWindow::opensOnTheSelectedModel_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("four inks") << "Zorl1160"
                               << QStringList{"Black (K)", "Cyan (C)", "Magenta (M)", "Yellow (Y)"};
    QTest::newRow("listed inks") << "Zorl3800"
                                 << QStringList{"Black (K)", "Light Black (LK)",
                                                "Light Light Black (LLK)", "Cyan (C)"};
}

void TestCurveCreationWindow::opensOnTheSelectedModel()
{
    QFETCH(QString, model);
    QFETCH(QStringList, labels);
    Installation installation;
    Started started(installation);
    auto *models = started.find<QComboBox>("PrintingModelName");
    models->setCurrentIndex(models->findText(model));
    started.form->InkDescriptionMenuClick();
    TInkDescription *editor = started.form->InkDescription;
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->PrintingModelName->currentText(), model);
    for (int k = 0; k < labels.size(); ++k)
        QCOMPARE(editor->InkBoxes[size_t(k)].nameLabel->text(), labels[k]);
    QCOMPARE(editor->InkBoxes[0].use->currentText(), QStringLiteral("Gray Ink"));
    QCOMPARE(editor->windowTitle(), QStringLiteral("Curve Creator - Un-Named"));
    QCOMPARE(editor->ModifiedState, int(TInkDescription::Clean));
    QVERIFY(started.dialogs.shown().isEmpty());
}

void TestCurveCreationWindow::anOpenEditorKeepsItsDescription()
{
    Installation installation;
    Started started(installation);
    auto *models = started.find<QComboBox>("PrintingModelName");
    models->setCurrentIndex(models->findText(QStringLiteral("Zorl1160")));
    started.form->InkDescriptionMenuClick();
    TInkDescription *editor = started.form->InkDescription;
    editor->Boost_K->setText(QStringLiteral("55"));
    models->setCurrentIndex(models->findText(QStringLiteral("Zorl3800")));
    started.form->InkDescriptionMenuClick();
    QCOMPARE(editor->PrintingModelName->currentText(), QStringLiteral("Zorl1160"));
    QCOMPARE(editor->Boost_K->text(), QStringLiteral("55"));
}

void TestCurveCreationWindow::settingsRoundTripThroughTheEditor()
{
    Installation installation;
    const QString descriptions = installation.root() + QStringLiteral("Descriptions/");
    QDir().mkpath(descriptions);
    touch(installation.bin() + QStringLiteral("Diridu.ini"),
          "[Folders]\r\nInkDescriptions=/nowhere/a/\r\nInkCurves=/nowhere/b/\r\n"
          "[CurveCreation]\r\nDefaultLimit=62\r\n");
    {
        Started first(installation);
        TInkDescription *editor = first.form->InkDescription;
        QCOMPARE(editor->openFolder(), QStringLiteral("/nowhere/a/"));
        first.form->InkDescriptionMenuClick();
        QCOMPARE(editor->DefaultInkLimit->text(), QStringLiteral("62"));
        editor->DefaultInkLimit->setFocus();
        editor->DefaultInkLimit->setText(QStringLiteral("75"));
        QTest::keyClick(editor->DefaultInkLimit, Qt::Key_Return);
        first.dialogs.setNextSaveFile(descriptions + QStringLiteral("Mine.zidf"));
        QVERIFY(editor->SaveDescriptionClick());
        first.dialogs.setNextFile(installation.root() + QStringLiteral("curves/x.acv"));
        editor->GrayBrowseBtn->click();
        first.form->WriteSettings();
    }
    const QByteArray written = readBack(installation);
    QVERIFY(written.contains("InkDescriptions=" + descriptions.toUtf8() + "\r\n"));
    QVERIFY(written.contains("InkCurves=" + installation.root().toUtf8() + "curves/\r\n"));
    QVERIFY(written.contains("[CurveCreation]\r\nDefaultLimit=75\r\n"));
    Started second(installation);
    QCOMPARE(second.form->CurveCreation.defaultLimit, QStringLiteral("75"));
    QCOMPARE(second.form->InkDescription->openFolder(), descriptions);
    QCOMPARE(second.form->CurveCreation.inkCurvesFolder,
             installation.root() + QStringLiteral("curves/"));
}

void TestCurveCreationWindow::curveButtonEditsTheSlotsCurve_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("curveData");
    QTest::newRow("OK stores the points") << true << "0;0 50;60 100;100 ";
    QTest::newRow("Cancel keeps the old curve") << false << "10;20 ";
}

// A slot that loads its curve: its "Curve" button opens the curve dialog on the slot's
// curve, and what the dialog holds on OK becomes the slot's curve and is saved.
void TestCurveCreationWindow::curveButtonEditsTheSlotsCurve()
{
    QFETCH(bool, confirm);
    QFETCH(QString, curveData);
    Installation installation;
    Started started(installation);
    started.form->InkDescriptionMenuClick();
    TInkDescription *editor = started.form->InkDescription;
    InkBox &slot = editor->InkBoxes[1];
    slot.use->setCurrentIndex(int(InkUse::LoadCurve));
    emit slot.use->activated(int(InkUse::LoadCurve));
    QVERIFY(slot.curveButton->isVisibleTo(editor));
    slot.CurveData = QStringLiteral("10;20 ");
    editor->ModifiedState = TInkDescription::Clean;

    TInkLoaderForm *dialog = started.form->InkLoaderForm;
    QString caption;
    QString shownFirstRow;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
        if (!dialog->isVisible())
            return;
        answer.stop();
        caption = dialog->windowTitle();
        shownFirstRow = dialog->InputBoxes[0]->text() + u';' + dialog->OutputBoxes[0]->text();
        dialog->loadPoints(QStringLiteral("0 0 50 60 100 100"));
        (confirm ? dialog->OKBtn : dialog->CancelBtn)->click();
    });
    answer.start(10);
    slot.curveButton->click();

    QCOMPARE(caption, slot.nameLabel->text());
    QCOMPARE(shownFirstRow, QStringLiteral("10;20"));
    QCOMPARE(slot.CurveData, curveData);
    QCOMPARE(editor->ModifiedState, int(TInkDescription::Edited));

    const QString path = installation.root() + QStringLiteral("Loaded.zidf");
    started.dialogs.setNextSaveFile(path);
    QVERIFY(editor->SaveDescriptionClick());
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().contains("=\"" + curveData.toLatin1() + "\"\r\n"));
}

void TestCurveCreationWindow::demoDescriptionBecomesAListedCurve_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("model");
    QTest::addColumn<bool>("linearization");
    QTest::newRow("Zorl3800") << "Carbon Neutral"
                              << "Zorl3800" << false;
    QTest::newRow("ZorlR2400, linearized") << "Warm Split"
                                           << "ZorlR2400" << true;
    QTest::newRow("ZorlR1800, copied and loaded curves") << "Matte Cool"
                                                         << "ZorlR1800" << false;
}

// The real Curvewright of the demo installation makes a curve from a demo description;
// the main window's curve lists pick it up and the graphs window shows it.
void TestCurveCreationWindow::demoDescriptionBecomesAListedCurve()
{
    QFETCH(QString, description);
    QFETCH(QString, model);
    QFETCH(bool, linearization);
    Installation installation;
    copyTree(kDemo + QStringLiteral("/Curvewright"),
             installation.root() + QStringLiteral("Curvewright"));
    QVERIFY(QFile::copy(kDemo + QStringLiteral("/bin/Curvewright"),
                        installation.bin() + QStringLiteral("Curvewright")));
    QFile(installation.bin() + QStringLiteral("Curvewright"))
        .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Started started(installation);
    auto *models = started.find<QComboBox>("PrintingModelName");
    models->setCurrentIndex(models->findText(model));
    emit models->activated(models->currentIndex());
    QVERIFY(!started.items("Curve1").isEmpty());
    QVERIFY(!started.items("Curve1").contains(description));

    started.form->InkDescriptionMenuClick();
    TInkDescription *editor = started.form->InkDescription;
    started.dialogs.setNextFile(installation.root() + QStringLiteral("Curvewright/") + description +
                                QStringLiteral(".zidf"));
    editor->OpenDescriptionClick();
    QCOMPARE(editor->PrintingModelName->currentText(), model);
    QCOMPARE(editor->ModifiedState, int(TInkDescription::Clean));
    started.dialogs.clear();

    QStringList report;
    TProfileErrors *reportWindow = started.form->ProfileErrors;
    QTimer closeReport;
    connect(&closeReport, &QTimer::timeout, this, [&] {
        if (reportWindow->isVisible()) {
            report = reportWindow->lines();
            reportWindow->reject();
        }
    });
    closeReport.start(10);
    editor->CreateCurveBtnClick();
    closeReport.stop();

    QVERIFY2(started.dialogs.shown().isEmpty(), qPrintable(started.dialogs.texts().join(u'\n')));
    QVERIFY2(report.size() > 1, qPrintable(report.join(u'\n')));
    QVERIFY(!report.join(u'\n').contains(QStringLiteral("ERROR")));
    const QString curve = installation.root() + QStringLiteral("Zorlane/") + model + u'/' +
                          description + QStringLiteral(".zorl");
    QVERIFY(QFileInfo::exists(curve));
    TZorGraphs *graphs = started.form->ZorGraphs;
    QVERIFY(graphs->isVisible());
    QCOMPARE(graphs->CurveFile, curve);
    QCOMPARE(graphs->Graphs->isTabVisible(graphs->Graphs->indexOf(graphs->Linearization)),
             linearization);
    QVERIFY(editor->CreateCurveBtn->isEnabled());
    QTRY_VERIFY(started.items("Curve1").contains(description));
    QVERIFY(started.items("Curve2").contains(description));

    QFile log(installation.root() + QStringLiteral("CurvewrightLog.txt"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readLine().startsWith("Curvewright version 2.8.0."));
}

QTEST_MAIN(TestCurveCreationWindow)
#include "tst_curvecreationwindow.moc"
