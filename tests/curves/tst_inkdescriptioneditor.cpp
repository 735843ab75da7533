// The "Curve Creator" window, driven through its controls on a small installation of its own.
#include "Beeper.h"
#include "CurveCreationSettings.h"
#include "Dialogs.h"
#include "HelpService.h"
#include "TInkDescription.h"
#include "TProfileErrors.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Models named after their ink sets.
const QStringList kModels{QStringLiteral("Four"), QStringLiteral("Seven"), QStringLiteral("Eight")};
const QStringList kInkSets{QStringLiteral("CMYK"), QStringLiteral("PHOTOCMYK7"),
                           QStringLiteral("PHOTOCMYK8")};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

struct Editor
{
    QTemporaryDir dir;
    ScopedRecordingDialogs dialogs;
    ScopedCountingBeeper beeper;
    ScopedRecordingHelpService help;
    CurveCreationSettings settings{QStringLiteral("70"), {}, {}};
    TProfileErrors report;
    TInkDescription window;

    Editor()
    {
        QDir(root()).mkpath(QStringLiteral("ppd"));
        QDir(root()).mkpath(QStringLiteral("Curvewright"));
        for (int i = 0; i < kModels.size(); ++i)
            writeFile(root() + QStringLiteral("ppd/") + kModels[i] + QStringLiteral(".ppd"),
                      "*PPD-Adobe: \"4.3\"\r\n*%INKS " + kInkSets[i].toLatin1() + "\r\n");
        settings.inkDescriptionsFolder = folder();
        settings.inkCurvesFolder = folder();
        window.PrintingModelName->addItems(kModels);
        window.setContext({root(), root() + QStringLiteral("bin/"), root(),
                           root() + QStringLiteral("help"), &settings, nullptr, &report, nullptr,
                           [] { return false; }});
        window.setOpenFolder(folder());
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    QString root() const { return dir.path() + QLatin1Char('/'); }
    QString folder() const { return root() + QStringLiteral("Curvewright/"); }

    InkBox &slot(int k) { return window.InkBoxes[size_t(k)]; }
    template <typename T> T *find(const QString &name) { return window.findChild<T *>(name); }
    void chooseModel(const QString &model)
    {
        const int index = window.PrintingModelName->findText(model);
        window.PrintingModelName->setCurrentIndex(index);
        emit window.PrintingModelName->activated(index);
    }
    // Types into a box and leaves it for another control, as the user would.
    void type(QLineEdit *box, const QString &text)
    {
        QTabWidget *pages = window.InkDescriptionPages;
        for (int i = 0; i < pages->count(); ++i) {
            if (pages->widget(i)->isAncestorOf(box))
                pages->setCurrentIndex(i);
        }
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
        window.PrintingModelName->setFocus();
    }
    void chooseUse(int k, InkUse use)
    {
        slot(k).use->setCurrentIndex(int(use));
        emit slot(k).use->activated(int(use));
    }
};

} // namespace

class TestInkDescriptionEditor : public QObject
{
    Q_OBJECT

private slots:
    void slotBoxesHoldTheirChildrenInOrder();
    void fieldChecks_data();
    void fieldChecks();
    void enterChecksTheBox();
    void fewerInksDisableTheSlotsAndBackKeepsUses();
    void copySourcesDefaultForASevenInkModel();
    void copyingShowsTheListAndOwnInkClearsIt();
    void leavingAnEmptyCopySourceBeepsAndPutsK();
    void copyValuesPutsAllFieldsWithTabs();
    void pasteValues_data();
    void pasteValues();
    void clipboardKeysOnlyOnTheLinearizationPage();
    void newAsksOnlyAfterEditing_data();
    void newAsksOnlyAfterEditing();
    void saveAsProposesAndAsksBeforeReplacing();
    void closeAsksAndStaysWhenSaveIsCancelled();
    void openSaveReopenIsByteIdentical();
    void descriptionWithErrorsShowsTheReport();
    void unknownPrinterCountsAsChangedAndCreateAsksFirst();
    void unreadableFileLeavesAnUnnamedDescription();
    void defaultLimitFollowsTheSetting();
    void browsePutsTheNameAloneBesideTheDescription();
    void helpOpensTheTopicOrSaysItIsMissing();
    void createCurveWithoutTheToolSaysSo();
};

void TestInkDescriptionEditor::slotBoxesHoldTheirChildrenInOrder()
{
    Editor e;
    const QStringList boxes{"BlackBox",   "CyanBox",   "MagentaBox",   "YellowBox",
                            "LtBlackBox", "LtCyanBox", "LtMagentaBox", "GlossBox"};
    const QStringList suffixes{"K", "C", "M", "Y", "LK", "LC", "LM", "G"};
    for (int k = 0; k < boxes.size(); ++k) {
        auto *box = e.find<QGroupBox>(boxes[k]);
        QVERIFY2(box, qPrintable(boxes[k]));
        const QList<QWidget *> children = box->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        QCOMPARE(children.size(), 9);
        QCOMPARE(qobject_cast<QLabel *>(children[0])->text(), QStringLiteral("Density"));
        QCOMPARE(qobject_cast<QLabel *>(children[1])->text(), QStringLiteral("Limit"));
        QCOMPARE(qobject_cast<QLabel *>(children[3])->text(), QString::number(k));
        QVERIFY(children[3]->isHidden());
        QCOMPARE(children[5]->objectName(), QStringLiteral("Value_") + suffixes[k]);
        QCOMPARE(children[6]->objectName(), QStringLiteral("Limit_") + suffixes[k]);
        QCOMPARE(qobject_cast<QComboBox *>(children[4])->count(), 6);
        QVERIFY(qobject_cast<QComboBox *>(children[7]));
        QCOMPARE(qobject_cast<QPushButton *>(children[8])->text(), QStringLiteral("Curve"));
    }
    const auto *pages = e.find<QTabWidget>(QStringLiteral("InkDescriptionPages"));
    QStringList titles;
    for (int i = 0; i < pages->count(); ++i)
        titles.append(pages->tabText(i));
    QCOMPARE(titles, QStringList({"Ink Setup", "Gray Curve", "Toner Curve", "Toner Curve 2",
                                  "Linearization", "Notes"}));
    QVERIFY(e.find<QLineEdit>(QStringLiteral("L55")));
    QVERIFY(!e.find<QLineEdit>(QStringLiteral("L56")));
    QCOMPARE(e.window.windowTitle(), QStringLiteral("Curve Creator - Un-Named"));
}

void TestInkDescriptionEditor::fieldChecks_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("beeps");
    QTest::newRow("limit above") << "Limit_K"
                                 << "150"
                                 << "100" << 2;
    QTest::newRow("limit not a number") << "Limit_K"
                                        << "abc"
                                        << "" << 2;
    QTest::newRow("limit in range") << "Limit_K"
                                    << "55.5"
                                    << "55.5" << 0;
    QTest::newRow("limit below") << "Limit_C"
                                 << "-3"
                                 << "0" << 2;
    QTest::newRow("gamma below") << "GrayGammaValue"
                                 << "0.05"
                                 << "0.1" << 2;
    QTest::newRow("gamma above") << "TonerGammaValue"
                                 << "11"
                                 << "10" << 2;
    QTest::newRow("density below") << "Value_K"
                                   << "0"
                                   << "1" << 2;
    QTest::newRow("shape above") << "GrayOverlapValue"
                                 << "301"
                                 << "300" << 2;
    QTest::newRow("shape at the top") << "Toner_2ShadowValue"
                                      << "300"
                                      << "300" << 0;
    QTest::newRow("linearization above") << "L7"
                                         << "100.5"
                                         << "100" << 2;
    QTest::newRow("boost not a number") << "Boost_K"
                                        << "1,000"
                                        << "" << 2;
}

void TestInkDescriptionEditor::fieldChecks()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, beeps);
    Editor e;
    auto *field = e.find<QLineEdit>(box);
    QVERIFY(field);
    field->setEnabled(true);
    e.window.ModifiedState = TInkDescription::Clean;
    e.type(field, typed);
    QCOMPARE(field->text(), shown);
    QCOMPARE(e.beeper.beeps(), beeps);
    QCOMPARE(e.window.ModifiedState, int(TInkDescription::Edited));

    // Leaving an empty box is no error.
    e.beeper.reset();
    field->clear();
    e.type(field, QString());
    QCOMPARE(e.beeper.beeps(), 0);
}

void TestInkDescriptionEditor::enterChecksTheBox()
{
    Editor e;
    QLineEdit *limit = e.slot(0).limit;
    limit->setFocus();
    QTest::keyClicks(limit, QStringLiteral("250"));
    QTest::keyClick(limit, Qt::Key_Return);
    QCOMPARE(limit->text(), QStringLiteral("100"));
    QCOMPARE(e.beeper.beeps(), 2);
    QVERIFY(limit->hasFocus());
}

void TestInkDescriptionEditor::fewerInksDisableTheSlotsAndBackKeepsUses()
{
    Editor e;
    e.chooseModel(QStringLiteral("Seven"));
    for (int k = 0; k < 7; ++k)
        QVERIFY(e.slot(k).Box->isEnabled());
    QVERIFY(!e.slot(7).Box->isEnabled());
    e.chooseUse(1, InkUse::Toner);
    e.chooseUse(4, InkUse::GrayInk);
    e.chooseUse(6, InkUse::GrayInk);

    e.chooseModel(QStringLiteral("Four"));
    QCOMPARE(e.window.ModifiedState, int(TInkDescription::Edited));
    for (int k = 4; k < 8; ++k) {
        QCOMPARE(e.slot(k).use->currentIndex(), int(InkUse::NotUsed));
        QVERIFY(!e.slot(k).Box->isEnabled());
        QVERIFY(!e.slot(k).Used);
    }
    QCOMPARE(e.slot(1).use->currentIndex(), int(InkUse::Toner));
    QCOMPARE(e.slot(3).nameLabel->text(), QStringLiteral("Yellow (Y)"));

    e.chooseModel(QStringLiteral("Seven"));
    QCOMPARE(e.slot(0).use->currentIndex(), int(InkUse::GrayInk));
    QCOMPARE(e.slot(1).use->currentIndex(), int(InkUse::Toner));
    QVERIFY(e.slot(6).Box->isEnabled());
    QCOMPARE(e.slot(6).nameLabel->text(), QStringLiteral("Light Black (LK)"));

    // A model whose inks differ slot by slot starts those slots unused.
    e.chooseModel(QStringLiteral("Eight"));
    QCOMPARE(e.slot(0).Ink, QStringLiteral("MK"));
    QCOMPARE(e.slot(0).use->currentIndex(), int(InkUse::NotUsed));
    QCOMPARE(e.slot(1).use->currentIndex(), int(InkUse::Toner));
    QCOMPARE(e.slot(7).nameLabel->text(), QStringLiteral("Gloss (GL)"));
}

void TestInkDescriptionEditor::copySourcesDefaultForASevenInkModel()
{
    Editor e;
    e.chooseModel(QStringLiteral("Seven"));
    const QStringList expected{"", "K", "K", "LK", "LK", "LK", ""};
    for (int k = 0; k < 7; ++k) {
        QCOMPARE(e.slot(k).copySource->count(), 7);
        QCOMPARE(e.slot(k).copySource->currentText(), expected[k]);
    }
    e.chooseModel(QStringLiteral("Four"));
    QCOMPARE(e.slot(3).copySource->currentText(), QStringLiteral("K"));
    QCOMPARE(e.slot(3).copySource->count(), 4);
}

void TestInkDescriptionEditor::copyingShowsTheListAndOwnInkClearsIt()
{
    Editor e;
    InkBox &cyan = e.slot(1);
    e.chooseUse(1, InkUse::CopyCurveFrom);
    QVERIFY(cyan.copySource->isVisible());
    QVERIFY(!cyan.densityLabel->isVisible());
    QVERIFY(!cyan.density->isEnabled());
    QVERIFY(cyan.limit->isEnabled());
    QCOMPARE(cyan.copySource->geometry(), cyan.density->geometry());

    e.window.ModifiedState = TInkDescription::Clean;
    const int own = cyan.copySource->findText(QStringLiteral("C"));
    cyan.copySource->setCurrentIndex(own);
    emit cyan.copySource->activated(own);
    QCOMPARE(cyan.copySource->currentIndex(), -1);
    QCOMPARE(e.window.ModifiedState, int(TInkDescription::Edited));

    e.chooseUse(1, InkUse::LoadCurve);
    QVERIFY(!cyan.copySource->isVisible());
    QVERIFY(cyan.curveButton->isVisible());
}

void TestInkDescriptionEditor::leavingAnEmptyCopySourceBeepsAndPutsK()
{
    Editor e;
    e.chooseUse(2, InkUse::CopyCurveFrom);
    QComboBox *list = e.slot(2).copySource;
    list->setCurrentIndex(-1);
    QVERIFY(list->hasFocus());
    e.window.PrintingModelName->setFocus();
    QCOMPARE(e.beeper.beeps(), 2);
    QCOMPARE(list->currentText(), QStringLiteral("K"));
}

void TestInkDescriptionEditor::copyValuesPutsAllFieldsWithTabs()
{
    Editor e;
    e.window.LinearizeValues[0]->setText(QStringLiteral("10"));
    e.window.LinearizeValues[1]->setText(QStringLiteral("20.5"));
    e.window.LinearizeValues[2]->setText(QStringLiteral("30"));
    e.window.CopyBtnClick();
    const QString copied = QGuiApplication::clipboard()->text();
    QCOMPARE(copied, QStringLiteral("10\t20.5\t30\t") + QString(52, u'\t'));

    e.window.ClearBtnClick();
    QVERIFY(e.window.LinearizeValues[0]->text().isEmpty());
    e.window.PasteBtnClick();
    QCOMPARE(e.window.LinearizeValues[1]->text(), QStringLiteral("20.5"));
    QCOMPARE(e.window.LinearizeValues[2]->text(), QStringLiteral("30"));
    QVERIFY(e.window.LinearizeValues[3]->text().isEmpty());
}

void TestInkDescriptionEditor::pasteValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<int>("beeps");
    QTest::newRow("point list") << "10;20 30" << QStringList{"10", "20", "30", ""} << 0;
    QTest::newRow("comma decimals") << "12,5 x 7.25" << QStringList{"12.5", "7.25", ""} << 0;
    QTest::newRow("out of range") << "150\t-2\t5" << QStringList{"100", "0", "5", ""} << 4;
    QTest::newRow("no numbers") << "none" << QStringList{""} << 0;
}

void TestInkDescriptionEditor::pasteValues()
{
    QFETCH(QString, text);
    QFETCH(QStringList, first);
    QFETCH(int, beeps);
    Editor e;
    for (QLineEdit *box : e.window.LinearizeValues)
        box->setText(QStringLiteral("1"));
    QGuiApplication::clipboard()->setText(text);
    e.window.ModifiedState = TInkDescription::Clean;
    e.window.PasteBtnClick();
    for (int i = 0; i < first.size(); ++i)
        QCOMPARE(e.window.LinearizeValues[size_t(i)]->text(), first[i]);
    QVERIFY(e.window.LinearizeValues[54]->text().isEmpty());
    QCOMPARE(e.beeper.beeps(), beeps);
    QCOMPARE(e.window.ModifiedState, int(TInkDescription::Edited));
}

void TestInkDescriptionEditor::clipboardKeysOnlyOnTheLinearizationPage()
{
    Editor e;
    QGuiApplication::clipboard()->setText(QStringLiteral("5 6"));
    QLineEdit *limit = e.slot(0).limit;
    limit->setFocus();
    QTest::keySequence(limit, QKeySequence::Paste);
    QCOMPARE(limit->text(), QStringLiteral("5 6")); // the box's own paste
    QVERIFY(e.window.LinearizeValues[0]->text().isEmpty());

    e.window.InkDescriptionPages->setCurrentWidget(e.window.Linearize);
    QVERIFY(e.window.LinearizeValues[0]->hasFocus());
    QTest::keySequence(e.window.LinearizeValues[0], QKeySequence::Paste);
    QCOMPARE(e.window.LinearizeValues[0]->text(), QStringLiteral("5"));
    QCOMPARE(e.window.LinearizeValues[1]->text(), QStringLiteral("6"));
    QTest::keySequence(e.window.LinearizeValues[0], QKeySequence::Cut);
    QVERIFY(e.window.LinearizeValues[1]->text().isEmpty());
    QVERIFY(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("5\t6\t\t")));
}

void TestInkDescriptionEditor::newAsksOnlyAfterEditing_data()
{
    QTest::addColumn<bool>("edit");
    QTest::addColumn<int>("questions");
    QTest::newRow("after an edit") << true << 1;
    QTest::newRow("after opening") << false << 0;
}

void TestInkDescriptionEditor::newAsksOnlyAfterEditing()
{
    QFETCH(bool, edit);
    QFETCH(int, questions);
    Editor e;
    const QString path = e.folder() + QStringLiteral("Warm.zidf");
    writeFile(path, "PRINTER=Four\r\nLIMIT_K=80\r\n");
    e.window.openDescription(path);
    QCOMPARE(e.window.ModifiedState, int(TInkDescription::Clean));
    QCOMPARE(e.slot(0).limit->text(), QStringLiteral("80"));
    if (edit)
        e.type(e.slot(0).limit, QStringLiteral("60"));
    e.dialogs.setNextAnswer(2); // Cancel
    e.window.NewDescriptionClick();
    QCOMPARE(e.dialogs.shown().size(), questions);
    if (edit) {
        QCOMPARE(e.dialogs.shown()[0].text, QStringLiteral("Save Ink Description?"));
        QCOMPARE(e.dialogs.shown()[0].buttons, QStringList({"Yes", "No", "Cancel"}));
        QCOMPARE(e.slot(0).limit->text(), QStringLiteral("60")); // Cancel keeps it
        e.dialogs.setNextAnswer(1);                              // No
        e.window.NewDescriptionClick();
    }
    QVERIFY(e.slot(0).limit->text().isEmpty());
    QCOMPARE(e.window.windowTitle(), QStringLiteral("Curve Creator - Un-Named"));
    QCOMPARE(e.window.ModifiedState, int(TInkDescription::Clean));
}

void TestInkDescriptionEditor::saveAsProposesAndAsksBeforeReplacing()
{
    Editor e;
    const QString existing = e.folder() + QStringLiteral("Cool.zidf");
    writeFile(existing, "old");
    e.dialogs.setNextSaveFile(existing);
    e.dialogs.setNextAnswer(1); // No: keep the old file
    QVERIFY(!e.window.SaveDescriptionClick());
    QCOMPARE(e.dialogs.shown()[0].kind, RecordingDialogs::Kind::SaveFile);
    QCOMPARE(e.dialogs.shown()[0].title, QStringLiteral("Save Ink Descriptor File"));
    QCOMPARE(e.dialogs.shown()[0].buttons[0],
             QStringLiteral("Ink Descriptor File (*.zidf);;Text File (*.txt);;All Files (*)"));
    QCOMPARE(e.dialogs.shown()[1].text,
             QStringLiteral("File %1 already exists. Replace it?").arg(existing));
    QCOMPARE(readAll(existing), QByteArray("old"));
    QVERIFY(e.window.DescriptionFileName.isEmpty());

    e.dialogs.clear();
    e.dialogs.setNextSaveFile(existing);
    e.dialogs.setNextAnswer(0); // Yes
    QVERIFY(e.window.SaveDescriptionAsClick());
    QVERIFY(readAll(existing).contains("CURVE_NAME=Cool\r\n"));
    QCOMPARE(e.window.windowTitle(), QStringLiteral("Curve Creator - Cool.zidf"));
    QCOMPARE(e.window.ModifiedState, int(TInkDescription::Clean));
    QCOMPARE(e.settings.inkDescriptionsFolder, e.folder());

    // A named description proposes its name without extension, in its folder.
    e.dialogs.clear();
    QVERIFY(!e.window.SaveDescriptionAsClick());
    QCOMPARE(e.dialogs.shown()[0].text, e.folder() + QStringLiteral("Cool"));
}

void TestInkDescriptionEditor::closeAsksAndStaysWhenSaveIsCancelled()
{
    Editor e;
    e.type(e.window.Boost_K, QStringLiteral("90"));
    e.dialogs.setNextAnswer(0); // Yes, then the save dialog is cancelled
    QVERIFY(!e.window.close());
    QVERIFY(e.window.isVisible());
    QCOMPARE(e.dialogs.shown()[0].text,
             QStringLiteral("Ink Description is not saved, save before exiting?"));
    QCOMPARE(e.dialogs.shown()[0].buttons, QStringList({"Yes", "No"}));

    e.dialogs.setNextAnswer(1); // No
    e.window.ExitMenuClick();
    QVERIFY(!e.window.isVisible());

    // Shown again, it starts a new description without asking.
    e.dialogs.clear();
    e.window.show();
    QCOMPARE(e.window.Boost_K->text(), QStringLiteral("100"));
    QVERIFY(e.window.close());
    QVERIFY(e.dialogs.shown().isEmpty());
}

void TestInkDescriptionEditor::openSaveReopenIsByteIdentical()
{
    Editor e;
    const QString path = e.folder() + QStringLiteral("Split.zidf");
    e.dialogs.setNextFile(path);
    writeFile(path, "#Notes first\r\n#Notes    indented\r\nPRINTER=Seven\r\nBOOST_K=80\r\n"
                    "LIMIT_LK=45\r\nGRAY_INK_1=K\r\nGRAY_VAL_1=100\r\nGRAY_INK_2=LK\r\n"
                    "GRAY_VAL_2=40\r\nTONER_INK_1=C\r\nTONER_VAL_1=12.5\r\nTONER_2_INK_1=M\r\n"
                    "TONER_2_VAL_1=20\r\nCOPY_CURVE_LC=LK\r\nCURVE_Y=\"0;0 50;40 100;100 \"\r\n"
                    "GRAY_GAMMA=1.2\r\nTONER_CURVE=warm.acv\r\nLINEARIZE=\"10 20 30 \"\r\n");
    e.window.OpenDescriptionClick();
    QCOMPARE(e.dialogs.shown()[0].title, QStringLiteral("Open Ink Descriptor File"));
    QCOMPARE(e.dialogs.shown()[0].text, e.folder());
    QCOMPARE(e.dialogs.shown()[0].buttons[0],
             QStringLiteral("Ink Descriptor File (*.zidf);;All Files (*)"));
    QCOMPARE(e.window.PrintingModelName->currentText(), QStringLiteral("Seven"));
    QCOMPARE(e.slot(4).use->currentIndex(), int(InkUse::CopyCurveFrom));
    QVERIFY(e.slot(4).copySource->isVisible());
    QCOMPARE(e.slot(4).copySource->currentText(), QStringLiteral("LK"));
    QCOMPARE(e.slot(3).use->currentIndex(), int(InkUse::LoadCurve));
    QVERIFY(e.slot(3).curveButton->isVisible());
    QCOMPARE(e.window.NotesText->toPlainText(), QStringLiteral("first\nindented"));
    QCOMPARE(e.window.ModifiedState, int(TInkDescription::Clean));

    QVERIFY(e.window.SaveDescriptionClick());
    const QByteArray first = readAll(path);
    QVERIFY(first.contains("CURVE_Y=\"0;0 50;40 100;100 \"\r\n"));
    QVERIFY(first.contains("LINEARIZE=\"10 20 30 \"\r\n"));
    QVERIFY(first.contains("TONER_2_INK_1=M\r\n"));
    QVERIFY(first.startsWith("#Notes first\r\n#Notes indented\r\nPRINTER=Seven\r\n"));

    e.window.NewDescriptionClick();
    e.window.openDescription(path);
    QVERIFY(e.window.SaveDescriptionClick());
    QCOMPARE(readAll(path), first);
}

void TestInkDescriptionEditor::descriptionWithErrorsShowsTheReport()
{
    Editor e;
    const QString path = e.folder() + QStringLiteral("Bad.zidf");
    writeFile(path, "PRINTER=Four\r\nLIMIT_LC=50\r\nWHATEVER=1\r\n");
    QStringList shown;
    QString caption;
    QTimer::singleShot(0, &e.report, [&] {
        if (auto *list = e.report.findChild<QListWidget *>(QStringLiteral("Errors"))) {
            for (int i = 0; i < list->count(); ++i)
                shown.append(list->item(i)->text());
        }
        caption = e.report.windowTitle();
        e.report.reject();
    });
    e.window.openDescription(path);
    QCOMPARE(caption, QStringLiteral("Ink Descriptor File Errors"));
    QCOMPARE(shown, QStringList({"Error in Ink Description at Line: 2 -> \"LIMIT_LC=50\"",
                                 "Error in Ink Description at Line: 3 -> \"WHATEVER=1\""}));
}

void TestInkDescriptionEditor::unknownPrinterCountsAsChangedAndCreateAsksFirst()
{
    Editor e;
    const QString path = e.folder() + QStringLiteral("Other.zidf");
    writeFile(path, "PRINTER=Not Listed\r\nLIMIT_K=20\r\n");
    e.window.openDescription(path);
    QCOMPARE(e.window.ModifiedState, int(TInkDescription::ChangedByLoad));
    QCOMPARE(e.slot(0).limit->text(), QStringLiteral("20"));
    e.dialogs.setNextAnswer(1); // Cancel
    e.window.CreateCurveBtnClick();
    QCOMPARE(e.dialogs.shown().size(), 1);
    QCOMPARE(e.dialogs.shown()[0].text, QStringLiteral("Save Ink Description?"));
    QCOMPARE(e.dialogs.shown()[0].buttons, QStringList({"Yes", "Cancel"}));
    QVERIFY(e.window.CreateCurveBtn->isEnabled());

    // New never asks after a load that only counts as changed.
    e.dialogs.clear();
    e.window.NewDescriptionClick();
    QVERIFY(e.dialogs.shown().isEmpty());

    // An unnamed description asks too; cancelling the save dialog stops the run.
    e.dialogs.setNextAnswer(0);
    e.window.CreateCurveBtnClick();
    QCOMPARE(e.dialogs.shown().size(), 2);
    QCOMPARE(e.dialogs.shown()[1].kind, RecordingDialogs::Kind::SaveFile);
    QVERIFY(e.window.CreateCurveBtn->isEnabled());
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestInkDescriptionEditor::unreadableFileLeavesAnUnnamedDescription()
{
    Editor e;
    e.window.openDescription(e.folder() + QStringLiteral("missing.zidf"));
    QCOMPARE(e.dialogs.shown().size(), 1);
    QCOMPARE(e.dialogs.shown()[0].kind, RecordingDialogs::Kind::ApplicationError);
    QVERIFY(e.dialogs.shown()[0].text.contains(QStringLiteral("missing.zidf")));
    QVERIFY(e.window.DescriptionFileName.isEmpty());
    QCOMPARE(e.window.windowTitle(), QStringLiteral("Curve Creator - Un-Named"));
}

void TestInkDescriptionEditor::defaultLimitFollowsTheSetting()
{
    Editor e;
    QCOMPARE(e.window.DefaultInkLimit->text(), QStringLiteral("70"));
    e.type(e.window.DefaultInkLimit, QStringLiteral("120"));
    QCOMPARE(e.settings.defaultLimit, QStringLiteral("100"));
    e.type(e.window.DefaultInkLimit, QStringLiteral("65"));
    QCOMPARE(e.settings.defaultLimit, QStringLiteral("65"));
    e.dialogs.setNextAnswer(1);
    e.window.NewDescriptionClick();
    QCOMPARE(e.window.DefaultInkLimit->text(), QStringLiteral("65"));
}

void TestInkDescriptionEditor::browsePutsTheNameAloneBesideTheDescription()
{
    Editor e;
    const QString other = e.root() + QStringLiteral("curves/");
    QDir().mkpath(other);
    e.dialogs.setNextFile(other + QStringLiteral("cool.acv"));
    e.window.GrayBrowseBtn->click();
    QCOMPARE(e.window.GrayCurve->text(), other + QStringLiteral("cool.acv"));
    QCOMPARE(e.settings.inkCurvesFolder, other);
    QCOMPARE(e.dialogs.shown()[0].title, QStringLiteral("Select Toner Curve"));
    QCOMPARE(e.dialogs.shown()[0].text, e.folder());

    e.dialogs.setNextSaveFile(e.folder() + QStringLiteral("Named.zidf"));
    QVERIFY(e.window.SaveDescriptionClick());
    e.dialogs.setNextFile(e.folder() + QStringLiteral("warm.acv"));
    e.window.Toner_2BrowseButton->click();
    QCOMPARE(e.window.Toner_2Curve->text(), QStringLiteral("warm.acv"));
    QCOMPARE(e.window.ModifiedState, int(TInkDescription::Edited));
}

void TestInkDescriptionEditor::helpOpensTheTopicOrSaysItIsMissing()
{
    Editor e;
    e.window.Help->trigger();
    QCOMPARE(e.help.requests().size(), 1);
    QCOMPARE(e.help.requests()[0].target,
             e.root() + QStringLiteral("help::/html/Curve Creation.htm"));
    QVERIFY(e.dialogs.shown().isEmpty());
    e.help.setAnswer(false);
    e.window.HelpClick();
    QCOMPARE(e.dialogs.texts(), QStringList{QStringLiteral("The Zor Help file is missing.")});
    QCOMPARE(e.dialogs.shown()[0].buttons, QStringList{QStringLiteral("Cancel")});
}

void TestInkDescriptionEditor::createCurveWithoutTheToolSaysSo()
{
    Editor e;
    e.dialogs.setNextSaveFile(e.folder() + QStringLiteral("Run.zidf"));
    QVERIFY(e.window.SaveDescriptionClick());
    e.window.CreateCurveBtnClick();
    QCOMPARE(e.dialogs.shown().size(), 2); // the save dialog, then the message
    QCOMPARE(e.dialogs.shown()[1].kind, RecordingDialogs::Kind::ApplicationError);
    QVERIFY(e.dialogs.shown()[1].text.startsWith(QStringLiteral("Could not start Curvewright")));
    QVERIFY(e.window.CreateCurveBtn->isEnabled());
    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(e.report.lines().isEmpty());
}

QTEST_MAIN(TestInkDescriptionEditor)
#include "tst_inkdescriptioneditor.moc"
