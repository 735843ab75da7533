#include "Beeper.h"
#include "IniFile.h"
#include "Presets.h"
#include "TLoadPresetsForm.h"
#include "TSavePresetsForm.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

// The two preset dialogs driven as a user would, and the save command run against a file.
class TestPresetDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void saveDialogDesign();
    void listsSortedWithLetterCase();
    void saveShownResetsState();
    void clickAndKeysPickName();
    void enterInNameSaves();
    void saveAddsNameOnce_data();
    void saveAddsNameOnce();
    void emptyNameBeeps();
    void refusedNames_data();
    void refusedNames();
    void deleteSelected();
    void deleteTypedName();
    void doubleClickSaves();
    void cancelWays_data();
    void cancelWays();

    void loadDialogDesign();
    void loadByClickAndButton();
    void loadByDoubleClick();
    void loadByEnter();
    void loadNothingSelectedBeeps();
    void loadCancelWays_data();
    void loadCancelWays();

    void saveCommandWritesPreset();
    void deleteThenCancelChangesNothing();
    void nothingToSaveWritesNothing();
    void deleteShownPresetHidesLabel();

private:
    QString iniPath() const { return m_dir->filePath(QStringLiteral("Diridu.ini")); }
    QByteArray onDisk() const;
    // Runs the dialog modally; `user` acts on it once it is up.
    static int execWith(QDialog &dialog, const std::function<void()> &user);
    // The main window's Save Preset command.
    PresetSaveOutcome saveCommand(TSavePresetsForm &form, const QString &caption,
                                  const PresetValues &values, const std::function<void()> &user);

    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

void clickItem(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> items = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(items.size() == 1, qPrintable(text));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(items.first()).center());
}

void doubleClickItem(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> items = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(items.size() == 1, qPrintable(text));
    // A real double click starts with a click; the view needs that press to accept it.
    const QPoint at = list->visualItemRect(items.first()).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

template<typename T>
T *child(QWidget &dialog, const char *name)
{
    return dialog.findChild<T *>(QLatin1String(name));
}

// Shows the dialog as exec() would and waits until it can be clicked.
bool showAndWait(QDialog &dialog)
{
    dialog.show();
    return QTest::qWaitForWindowExposed(&dialog);
}

PresetValues currentValues()
{
    PresetValues v;
    v.Curve1Name = QStringLiteral("Neutral");
    v.Curve2Name = QStringLiteral("Sepia");
    v.Blend = QStringLiteral("30");
    v.Dither = QStringLiteral("Ordered");
    v.Resolution = QStringLiteral("720 dpi");
    v.Gamma = QStringLiteral("2");
    v.Limit = QStringLiteral("-5");
    v.Top = 0.5;
    v.Left = 0.75;
    v.Speed = QStringLiteral("Fast");
    v.BlackInk = QStringLiteral("Photo Black");
    return v;
}

} // namespace

void TestPresetDialogs::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QByteArray TestPresetDialogs::onDisk() const
{
    QFile file(iniPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int TestPresetDialogs::execWith(QDialog &dialog, const std::function<void()> &user)
{
    QTimer::singleShot(0, &dialog, [&dialog, user] {
        if (QTest::qWaitForWindowExposed(&dialog))
            user();
        // Whatever the user did, the modal loop must end for the test to go on.
        if (dialog.isVisible())
            dialog.done(-1);
    });
    return dialog.exec();
}

PresetSaveOutcome TestPresetDialogs::saveCommand(TSavePresetsForm &form, const QString &caption,
                                                 const PresetValues &values,
                                                 const std::function<void()> &user)
{
    IniFile ini(iniPath());
    form.setPresetNames(presetNames(ini));
    execWith(form, user);
    if (form.cancelled())
        return {caption, !caption.isEmpty(), !presetNames(ini).isEmpty()};
    const PresetSaveOutcome outcome = storePresets(ini, form.saveRequest(), values, caption);
    ini.save();
    return outcome;
}

void TestPresetDialogs::saveDialogDesign()
{
    TSavePresetsForm form;
    QCOMPARE(form.objectName(), QStringLiteral("TSavePresetsForm"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Save Preset"));
    QCOMPARE(form.property("helpContext").toInt(), 6000);
    QCOMPARE(child<QLineEdit>(form, "NewPreset"), form.NewPreset);
    QCOMPARE(child<QListWidget>(form, "PresetList"), form.PresetList);
    QCOMPARE(child<QPushButton>(form, "OKBtn")->text(), QStringLiteral("Save"));
    QCOMPARE(child<QPushButton>(form, "CancelBtn")->text(), QStringLiteral("Cancel"));
    QCOMPARE(child<QPushButton>(form, "Delete")->text(), QStringLiteral("Delete"));
    QStringList labels;
    for (const QLabel *label : form.findChildren<QLabel *>())
        labels.append(label->text());
    labels.sort();
    QCOMPARE(labels, QStringList({QStringLiteral("Current Presets:"), QStringLiteral("Name:")}));
    QVERIFY(!form.isVisible());
}

void TestPresetDialogs::listsSortedWithLetterCase()
{
    const QStringList names = {"warm", "Warm", "cool", "Zinc", "Cool", "apple", "Warm 2"};
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end());
    TSavePresetsForm save;
    save.setPresetNames(names);
    QCOMPARE(save.presetNames(), sorted);
    TLoadPresetsForm load;
    load.setPresetNames(names);
    QCOMPARE(load.presetNames(), sorted);

    // A name added on save lands in its sorted place.
    save.setPresetNames({"Alpha", "Gamma"});
    QVERIFY(showAndWait(save));
    QTest::keyClicks(save.NewPreset, QStringLiteral("Beta"));
    QTest::keyClick(save.NewPreset, Qt::Key_Return);
    QCOMPARE(save.presetNames(), QStringList({"Alpha", "Beta", "Gamma"}));
}

void TestPresetDialogs::saveShownResetsState()
{
    ScopedCountingBeeper beeper;
    TSavePresetsForm form;
    form.setPresetNames({"Cool", "Warm"});
    QVERIFY(showAndWait(form));
    clickItem(form.PresetList, QStringLiteral("Warm"));
    form.Delete->click();
    QCOMPARE(form.pendingDeletions(), QStringList{"Warm"});
    QTest::keyClicks(form.NewPreset, QStringLiteral("Hot"));
    QTest::keyClick(form.NewPreset, Qt::Key_Escape);
    QTRY_VERIFY(!form.isVisible());
    QVERIFY(form.cancelled());

    form.setPresetNames({"Cool", "Warm"});
    QVERIFY(showAndWait(form));
    QVERIFY(!form.cancelled());
    QVERIFY(form.pendingDeletions().isEmpty());
    QVERIFY(form.NewPreset->text().isEmpty());
    QVERIFY(!form.OKBtn->isEnabled());
    QVERIFY(!form.Delete->isEnabled());
    QVERIFY(form.CancelBtn->isEnabled());
    QCOMPARE(form.focusWidget(), form.NewPreset);
    QCOMPARE(beeper.beeps(), 0);
}

void TestPresetDialogs::clickAndKeysPickName()
{
    TSavePresetsForm form;
    form.setPresetNames({"Cool", "Hot", "Warm"});
    QVERIFY(showAndWait(form));
    clickItem(form.PresetList, QStringLiteral("Hot"));
    QCOMPARE(form.NewPreset->text(), QStringLiteral("Hot"));
    QVERIFY(form.OKBtn->isEnabled());
    QVERIFY(form.Delete->isEnabled());

    // After editing the name, clicking the same entry again picks it again.
    form.NewPreset->setText(QStringLiteral("Hotter"));
    clickItem(form.PresetList, QStringLiteral("Hot"));
    QCOMPARE(form.NewPreset->text(), QStringLiteral("Hot"));

    form.PresetList->setFocus();
    QTest::keyClick(form.PresetList, Qt::Key_Down);
    QCOMPARE(form.NewPreset->text(), QStringLiteral("Warm"));
    QVERIFY(form.isVisible());

    // Emptied by hand: nothing to delete, but Save stays enabled.
    form.NewPreset->selectAll();
    QTest::keyClick(form.NewPreset, Qt::Key_Backspace);
    QVERIFY(form.NewPreset->text().isEmpty());
    QVERIFY(!form.Delete->isEnabled());
    QVERIFY(form.OKBtn->isEnabled());
}

void TestPresetDialogs::enterInNameSaves()
{
    ScopedCountingBeeper beeper;
    TSavePresetsForm form;
    form.setPresetNames({"Cool"});
    QSignalSpy accepted(&form, &QDialog::accepted);
    const int result = execWith(form, [&] {
        QTest::keyClicks(form.NewPreset, QStringLiteral("Warm"));
        QTest::keyClick(form.NewPreset, Qt::Key_Return);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(accepted.count(), 1);
    QVERIFY(!form.cancelled());
    QCOMPARE(form.newPresetName(), QStringLiteral("Warm"));
    QCOMPARE(form.presetNames(), QStringList({"Cool", "Warm"}));
    QCOMPARE(beeper.beeps(), 0);
}

void TestPresetDialogs::saveAddsNameOnce_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("listAfter");
    QTest::addColumn<QString>("name");

    QTest::newRow("existing name") << "Warm" << QStringList{"Cool", "Warm"} << "Warm";
    QTest::newRow("other letter case") << "warm" << QStringList{"Cool", "Warm", "warm"}
                                       << "warm";
    QTest::newRow("new name") << "Hot" << QStringList{"Cool", "Hot", "Warm"} << "Hot";
    QTest::newRow("blanks around") << "  Hot " << QStringList{"Cool", "Hot", "Warm"} << "Hot";
    QTest::newRow("existing with blanks") << " Warm" << QStringList{"Cool", "Warm"} << "Warm";
}

void TestPresetDialogs::saveAddsNameOnce()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, listAfter);
    QFETCH(QString, name);
    TSavePresetsForm form;
    form.setPresetNames({"Warm", "Cool"});
    QVERIFY(showAndWait(form));
    QTest::keyClicks(form.NewPreset, typed);
    QTest::mouseClick(form.OKBtn, Qt::LeftButton);
    QTRY_VERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Accepted));
    const PresetSaveRequest request = form.saveRequest();
    QCOMPARE(request.presetList, listAfter);
    QCOMPARE(request.newName, name);
    QVERIFY(request.pendingDeletions.isEmpty());
}

void TestPresetDialogs::emptyNameBeeps()
{
    ScopedCountingBeeper beeper;
    TSavePresetsForm form;
    form.setPresetNames({"Cool"});
    QVERIFY(showAndWait(form));
    QTest::keyClick(form.NewPreset, Qt::Key_Return);
    QCOMPARE(beeper.beeps(), 1);
    QVERIFY(form.isVisible());

    // Typed and removed again: Save is enabled but still refuses.
    QTest::keyClicks(form.NewPreset, QStringLiteral("  "));
    form.PresetList->setFocus();
    QTest::mouseClick(form.OKBtn, Qt::LeftButton);
    QCOMPARE(beeper.beeps(), 2);
    QVERIFY(form.isVisible());
    QCOMPARE(form.focusWidget(), form.NewPreset);
    QCOMPARE(form.presetNames(), QStringList{"Cool"});
}

void TestPresetDialogs::refusedNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("withDeletion");

    for (const char *name : {"Options", "curves", "PRESETS", " Folders ", "RecentFiles", "a=b",
                             ";note", "[x"}) {
        QTest::addRow("%s", name) << QString::fromLatin1(name) << false;
        QTest::addRow("%s after a deletion", name) << QString::fromLatin1(name) << true;
    }
}

void TestPresetDialogs::refusedNames()
{
    QFETCH(QString, typed);
    QFETCH(bool, withDeletion);
    ScopedCountingBeeper beeper;
    TSavePresetsForm form;
    form.setPresetNames({"Cool", "Warm"});
    QVERIFY(showAndWait(form));
    if (withDeletion) {
        clickItem(form.PresetList, QStringLiteral("Cool"));
        QTest::mouseClick(form.Delete, Qt::LeftButton);
    }
    const QStringList before = form.presetNames();
    QTest::keyClicks(form.NewPreset, typed);
    QTest::keyClick(form.NewPreset, Qt::Key_Return);
    QCOMPARE(beeper.beeps(), 1);
    QVERIFY(form.isVisible());
    QTest::mouseClick(form.OKBtn, Qt::LeftButton);
    QCOMPARE(beeper.beeps(), 2);
    QVERIFY(form.isVisible());
    QCOMPARE(form.presetNames(), before);
}

void TestPresetDialogs::deleteSelected()
{
    ScopedCountingBeeper beeper;
    TSavePresetsForm form;
    form.setPresetNames({"Cool", "Hot", "Warm"});
    QVERIFY(showAndWait(form));
    clickItem(form.PresetList, QStringLiteral("Hot"));
    QTest::mouseClick(form.Delete, Qt::LeftButton);
    QCOMPARE(form.presetNames(), QStringList({"Cool", "Warm"}));
    QCOMPARE(form.pendingDeletions(), QStringList{"Hot"});
    QVERIFY(form.NewPreset->text().isEmpty());
    QVERIFY(form.PresetList->selectedItems().isEmpty());
    QVERIFY(form.Delete->isEnabled());

    clickItem(form.PresetList, QStringLiteral("Warm"));
    QTest::mouseClick(form.Delete, Qt::LeftButton);
    clickItem(form.PresetList, QStringLiteral("Cool"));
    QTest::mouseClick(form.Delete, Qt::LeftButton);
    QCOMPARE(form.pendingDeletions(), QStringList({"Hot", "Warm", "Cool"}));
    QVERIFY(form.presetNames().isEmpty());
    QVERIFY(!form.Delete->isEnabled());
    QCOMPARE(beeper.beeps(), 0);
    QVERIFY(form.isVisible());

    // Delete with no name only beeps.
    form.DeleteClick();
    QCOMPARE(beeper.beeps(), 1);
    QCOMPARE(form.pendingDeletions().size(), 3);
}

void TestPresetDialogs::deleteTypedName()
{
    TSavePresetsForm form;
    form.setPresetNames({"Cool", "Warm"});
    QVERIFY(showAndWait(form));
    clickItem(form.PresetList, QStringLiteral("Warm"));
    form.NewPreset->selectAll();
    QTest::keyClicks(form.NewPreset, QStringLiteral("Cool"));
    QTest::mouseClick(form.Delete, Qt::LeftButton);
    // The list loses the entry of the name that is deleted, not the one picked before.
    QCOMPARE(form.presetNames(), QStringList{"Warm"});
    QCOMPARE(form.pendingDeletions(), QStringList{"Cool"});
}

void TestPresetDialogs::doubleClickSaves()
{
    TSavePresetsForm form;
    form.setPresetNames({"Cool", "Warm"});
    QVERIFY(showAndWait(form));
    doubleClickItem(form.PresetList, QStringLiteral("Warm"));
    QTRY_VERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(form.newPresetName(), QStringLiteral("Warm"));
    QCOMPARE(form.presetNames(), QStringList({"Cool", "Warm"}));
}

void TestPresetDialogs::cancelWays_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("Cancel button") << 0;
    QTest::newRow("Escape in the name") << 1;
    QTest::newRow("Escape in the list") << 2;
    QTest::newRow("close box") << 3;
}

void TestPresetDialogs::cancelWays()
{
    QFETCH(int, way);
    TSavePresetsForm form;
    form.setPresetNames({"Cool", "Warm"});
    const int result = execWith(form, [&] {
        QTest::keyClicks(form.NewPreset, QStringLiteral("Hot"));
        switch (way) {
        case 0: QTest::mouseClick(form.CancelBtn, Qt::LeftButton); break;
        case 1: QTest::keyClick(form.NewPreset, Qt::Key_Escape); break;
        case 2: QTest::keyClick(form.PresetList, Qt::Key_Escape); break;
        default: form.close(); break;
        }
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(form.cancelled());
    QCOMPARE(form.presetNames(), QStringList({"Cool", "Warm"}));
}

void TestPresetDialogs::loadDialogDesign()
{
    TLoadPresetsForm form;
    QCOMPARE(form.objectName(), QStringLiteral("TLoadPresetsForm"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Load Presets"));
    QCOMPARE(form.property("helpContext").toInt(), 6000);
    QCOMPARE(child<QListWidget>(form, "PresetList"), form.PresetList);
    QCOMPARE(child<QPushButton>(form, "OKbtn")->text(), QStringLiteral("Load"));
    QVERIFY(!form.OKbtn->isEnabled());
    QCOMPARE(child<QPushButton>(form, "CancelBtn")->text(), QStringLiteral("Cancel"));
    const QList<QLabel *> labels = form.findChildren<QLabel *>();
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.first()->text(), QStringLiteral("Select a Preset"));

    // Shown again after a choice: Load is disabled once more and Cancel has the focus.
    form.setPresetNames({"Cool", "Warm"});
    QVERIFY(showAndWait(form));
    QCOMPARE(form.focusWidget(), form.CancelBtn);
    clickItem(form.PresetList, QStringLiteral("Cool"));
    QVERIFY(form.OKbtn->isEnabled());
    form.hide();
    QVERIFY(showAndWait(form));
    QVERIFY(!form.OKbtn->isEnabled());
    QCOMPARE(form.focusWidget(), form.CancelBtn);
}

void TestPresetDialogs::loadByClickAndButton()
{
    TLoadPresetsForm form;
    form.setPresetNames({"Cool", "Warm"});
    const int result = execWith(form, [&] {
        clickItem(form.PresetList, QStringLiteral("Warm"));
        QTest::mouseClick(form.OKbtn, Qt::LeftButton);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QVERIFY(!form.cancelled());
    QCOMPARE(form.presetName(), QStringLiteral("Warm"));
}

void TestPresetDialogs::loadByDoubleClick()
{
    TLoadPresetsForm form;
    form.setPresetNames({"Cool", "Warm"});
    QVERIFY(showAndWait(form));
    doubleClickItem(form.PresetList, QStringLiteral("Cool"));
    QTRY_VERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(form.presetName(), QStringLiteral("Cool"));
}

void TestPresetDialogs::loadByEnter()
{
    ScopedCountingBeeper beeper;
    TLoadPresetsForm form;
    form.setPresetNames({"Cool", "Hot", "Warm"});
    QSignalSpy finished(&form, &QDialog::finished);
    QVERIFY(showAndWait(form));
    clickItem(form.PresetList, QStringLiteral("Cool"));
    QTest::keyClick(form.PresetList, Qt::Key_Down);
    QVERIFY(form.OKbtn->isEnabled());
    QTest::keyClick(form.PresetList, Qt::Key_Return);
    QTRY_VERIFY(!form.isVisible());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(form.presetName(), form.PresetList->selectedItems().value(0)->text());
    QCOMPARE(form.presetName(), QStringLiteral("Hot"));
    QCOMPARE(beeper.beeps(), 0);
}

void TestPresetDialogs::loadNothingSelectedBeeps()
{
    ScopedCountingBeeper beeper;
    TLoadPresetsForm form;
    form.setPresetNames({"Cool", "Warm"});
    QVERIFY(showAndWait(form));
    form.PresetList->setFocus();
    QTest::keyClick(form.PresetList, Qt::Key_Return);
    QCOMPARE(beeper.beeps(), 1);
    QVERIFY(form.isVisible());
    form.OKbtnClick();
    QCOMPARE(beeper.beeps(), 2);
    QVERIFY(form.isVisible());
    QVERIFY(form.presetName().isEmpty());

    // An empty list behaves the same.
    form.setPresetNames({});
    QTest::keyClick(form.PresetList, Qt::Key_Enter);
    QCOMPARE(beeper.beeps(), 3);
    QVERIFY(form.isVisible());
}

void TestPresetDialogs::loadCancelWays_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("Cancel button") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("close box") << 2;
}

void TestPresetDialogs::loadCancelWays()
{
    QFETCH(int, way);
    TLoadPresetsForm form;
    form.setPresetNames({"Cool", "Warm"});
    execWith(form, [&] {
        clickItem(form.PresetList, QStringLiteral("Cool"));
        QTest::mouseClick(form.OKbtn, Qt::LeftButton);
    });
    QCOMPARE(form.presetName(), QStringLiteral("Cool"));

    const int result = execWith(form, [&] {
        QVERIFY(!form.cancelled());
        clickItem(form.PresetList, QStringLiteral("Warm"));
        switch (way) {
        case 0: QTest::mouseClick(form.CancelBtn, Qt::LeftButton); break;
        case 1: QTest::keyClick(form.PresetList, Qt::Key_Escape); break;
        default: form.close(); break;
        }
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(form.cancelled());
    // The last loaded name stays.
    QCOMPARE(form.presetName(), QStringLiteral("Cool"));
}

void TestPresetDialogs::saveCommandWritesPreset()
{
    TSavePresetsForm form;
    const PresetSaveOutcome outcome = saveCommand(form, QString(), currentValues(), [&] {
        QTest::keyClicks(form.NewPreset, QStringLiteral("Warm"));
        QTest::keyClick(form.NewPreset, Qt::Key_Return);
    });
    QCOMPARE(outcome.caption, QStringLiteral("Warm"));
    QVERIFY(outcome.captionVisible);
    QVERIFY(outcome.loadPresetEnabled);
    const IniFile ini(iniPath());
    QCOMPARE(presetNames(ini), QStringList{"Warm"});
    QCOMPARE(readPreset(ini, QStringLiteral("Warm")), currentValues());
}

void TestPresetDialogs::deleteThenCancelChangesNothing()
{
    {
        IniFile ini(iniPath());
        writePreset(ini, QStringLiteral("Warm"), currentValues());
        writePreset(ini, QStringLiteral("Cool"), currentValues());
        ini.save();
    }
    const QByteArray before = onDisk();
    TSavePresetsForm form;
    const PresetSaveOutcome outcome = saveCommand(form, QStringLiteral("Warm"), currentValues(), [&] {
        clickItem(form.PresetList, QStringLiteral("Warm"));
        QTest::mouseClick(form.Delete, Qt::LeftButton);
        QTest::mouseClick(form.CancelBtn, Qt::LeftButton);
    });
    QCOMPARE(onDisk(), before);
    QCOMPARE(outcome.caption, QStringLiteral("Warm"));

    // The cancelled deletion does not come back with the next save.
    saveCommand(form, QStringLiteral("Warm"), currentValues(), [&] {
        QTest::keyClicks(form.NewPreset, QStringLiteral("Hot"));
        QTest::mouseClick(form.OKBtn, Qt::LeftButton);
    });
    const IniFile ini(iniPath());
    QCOMPARE(presetNames(ini), QStringList({"Warm", "Cool", "Hot"}));
    QCOMPARE(readPreset(ini, QStringLiteral("Warm")), currentValues());
}

void TestPresetDialogs::nothingToSaveWritesNothing()
{
    ScopedCountingBeeper beeper;
    TSavePresetsForm form;
    bool stayedOpen = false;
    saveCommand(form, QString(), currentValues(), [&] {
        QTest::keyClick(form.NewPreset, Qt::Key_Return);
        stayedOpen = form.isVisible();
        form.OKBtnClick();
        stayedOpen = stayedOpen && form.isVisible();
        // The user gives up.
        QTest::keyClick(form.NewPreset, Qt::Key_Escape);
    });
    QVERIFY(stayedOpen);
    QCOMPARE(beeper.beeps(), 2);
    QVERIFY(!QFile::exists(iniPath()));
}

void TestPresetDialogs::deleteShownPresetHidesLabel()
{
    {
        IniFile ini(iniPath());
        writePreset(ini, QStringLiteral("Warm"), currentValues());
        writePreset(ini, QStringLiteral("Cool"), currentValues());
        ini.save();
    }
    TSavePresetsForm form;
    PresetSaveOutcome outcome = saveCommand(form, QStringLiteral("Warm"), currentValues(), [&] {
        clickItem(form.PresetList, QStringLiteral("Cool"));
        QTest::mouseClick(form.Delete, Qt::LeftButton);
        QTest::mouseClick(form.OKBtn, Qt::LeftButton);
    });
    QCOMPARE(outcome.caption, QStringLiteral("Warm"));
    QVERIFY(outcome.captionVisible);
    QVERIFY(outcome.loadPresetEnabled);

    outcome = saveCommand(form, outcome.caption, currentValues(), [&] {
        clickItem(form.PresetList, QStringLiteral("Warm"));
        QTest::mouseClick(form.Delete, Qt::LeftButton);
        QTest::keyClick(form.NewPreset, Qt::Key_Return);
    });
    QVERIFY(outcome.caption.isEmpty());
    QVERIFY(!outcome.captionVisible);
    QVERIFY(!outcome.loadPresetEnabled);
    const IniFile ini(iniPath());
    QVERIFY(!ini.sectionHasKeys(QStringLiteral("Presets")));
    QVERIFY(ini.sections().isEmpty());
}

QTEST_MAIN(TestPresetDialogs)
#include "tst_presetdialogs.moc"
