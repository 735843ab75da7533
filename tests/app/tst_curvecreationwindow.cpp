// The main window's side of the curve creation editor: opening it on the selected model,
// the settings it shares through Diridu.ini.
#include "CurveCreationSettings.h"
#include "FormFixture.h"
#include "TInkDescription.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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

QTEST_MAIN(TestCurveCreationWindow)
#include "tst_curvecreationwindow.moc"
