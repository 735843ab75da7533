// The recent images of the "&Image" menu, the recent file count dialog, the options menu's
// check items, the tray icon and the help menu.
#include "DocumentOpener.h"
#include "FormFixture.h"
#include "SystemTray.h"
#include "TAboutBox.h"
#include "TRecentCounter.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QSystemTrayIcon>
#include <QTimer>

using namespace fixture;

namespace {

QString settingsFile(const Installation &installation)
{
    return installation.bin() + QStringLiteral("Diridu.ini");
}

QByteArray readBack(const Installation &installation)
{
    QFile file(settingsFile(installation));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The recent places after the divider, each its path ("" for an empty place).
QList<QAction *> places(const TDiriduForm &form)
{
    QList<QAction *> result;
    bool afterDivider = false;
    for (QAction *action : form.ui.ImageMenu->actions()) {
        if (afterDivider)
            result.append(action);
        afterDivider = afterDivider || action == form.ui.FileListDivider;
    }
    return result;
}

QStringList placePaths(const TDiriduForm &form)
{
    QStringList paths;
    for (const QAction *place : places(form))
        paths.append(place->text().section(QLatin1Char(' '), 1));
    return paths;
}

QByteArray recentSettings(int count, const QStringList &paths)
{
    QByteArray text =
        "[Options]\r\nRecentFileCount=" + QByteArray::number(count) + "\r\n[RecentFiles]\r\n";
    for (int k = 0; k < paths.size(); ++k)
        text += "File" + QByteArray::number(k + 1) + "=" + paths.at(k).toUtf8() + "\r\n";
    return text;
}

// Opens the recent file count dialog from the menu, sets count and presses OK.
void chooseRecentFileCount(TDiriduForm &form, int count, int *shownWith = nullptr)
{
    TRecentCounter *dialog = form.RecentCounter;
    QTimer::singleShot(0, dialog, [dialog, count, shownWith] {
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->isModal());
        if (shownWith)
            *shownWith = dialog->Counter->value();
        dialog->Counter->setValue(count);
        QTest::mouseClick(dialog->OKBtn, Qt::LeftButton);
    });
    form.ui.RecentFileCountMenu->trigger();
    QVERIFY(!dialog->isVisible());
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private slots:
    void addRecentFileOrders_data();
    void addRecentFileOrders();
    void placesShowTheirNumberAndPath();
    void deletedFileLeavesTheList_data();
    void deletedFileLeavesTheList();
    void clickedPlaceOpensItsImage();
    void countDialogAddsAndDropsPlaces();
    void countDialogClosesOnlyWithOk();
    void countZeroKeepsNoPlaces();
    void noStrayDividerAfterRecovery();
    void debugModeMarksTheCaption_data();
    void debugModeMarksTheCaption();
    void minimizeToTrayIsWrittenFromItsItem();
    void minimizingGoesToTheTray_data();
    void minimizingGoesToTheTray();
    void trayRestores_data();
    void trayRestores();
    void helpContents_data();
    void helpContents();
    void userGuide_data();
    void userGuide();
    void aboutBoxShowsModally();
};

void TestOptions::addRecentFileOrders_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QStringList>("after");
    const QString a = "/img/A.tif", b = "/img/B.tif", c = "/img/C.tif", d = "/img/D.tif",
                  e = "/img/E.tif";
    QTest::newRow("C of A B C D") << QStringList{a, b, c, d} << c << QStringList{c, a, b, d};
    QTest::newRow("A of C A B D") << QStringList{c, a, b, d} << a << QStringList{a, c, b, d};
    QTest::newRow("new E") << QStringList{a, c, b, d} << e << QStringList{e, a, c, b};
    QTest::newRow("already first") << QStringList{a, b, c, d} << a << QStringList{a, b, c, d};
    QTest::newRow("letter case counts") << QStringList{"/img/a.tif", b} << QString("/img/A.tif")
                                        << QStringList{"/img/A.tif", "/img/a.tif"};
    QTest::newRow("one place") << QStringList{a} << b << QStringList{b};
    QTest::newRow("into empty places") << QStringList{a, "", ""} << b << QStringList{b, a, ""};
}

void TestOptions::addRecentFileOrders()
{
    QFETCH(QStringList, before);
    QFETCH(QString, opened);
    QFETCH(QStringList, after);
    Installation installation;
    QStringList stored = before;
    stored.removeAll(QString());
    touch(settingsFile(installation), recentSettings(int(before.size()), stored));
    Started started(installation);
    QCOMPARE(placePaths(*started.form), before);
    started.form->AddRecentFile(opened);
    QCOMPARE(placePaths(*started.form), after);
    QVERIFY(started.form->ui.FileListDivider->isVisible());
}

void TestOptions::placesShowTheirNumberAndPath()
{
    Installation installation;
    touch(settingsFile(installation), recentSettings(3, {"/img/A.tif"}));
    Started started(installation);
    const QList<QAction *> menu = places(*started.form);
    QCOMPARE(menu.size(), 3);
    QCOMPARE(menu.at(0)->text(), QStringLiteral("&1 /img/A.tif"));
    QVERIFY(menu.at(0)->isVisible() && menu.at(0)->isEnabled());
    QCOMPARE(menu.at(1)->text(), QStringLiteral("&2 "));
    QVERIFY(!menu.at(1)->isVisible() && !menu.at(1)->isEnabled());
    QVERIFY(!menu.at(0)->icon().isNull());
}

void TestOptions::deletedFileLeavesTheList_data()
{
    QTest::addColumn<bool>("wasCurrent");
    QTest::newRow("another image is current") << false;
    QTest::newRow("the vanished image was current") << true;
}

void TestOptions::deletedFileLeavesTheList()
{
    QFETCH(bool, wasCurrent);
    Installation installation;
    const QString a = installation.root() + "A.tif", b = installation.root() + "B.tif",
                  c = installation.root() + "C.tif";
    for (const QString &path : {a, b, c})
        touch(path, "not really a TIFF");
    touch(settingsFile(installation), recentSettings(3, {a, b, c}));
    Started started(installation);
    TDiriduForm &form = *started.form;
    form.ImagePath = wasCurrent ? b : a;
    QFile::remove(b);
    places(form).at(1)->trigger();
    QCOMPARE(started.dialogs.texts(),
             QStringList{QStringLiteral("File \"%1\" no longer exists").arg(b)});
    QCOMPARE(started.dialogs.shown().first().buttons, QStringList{"OK"});
    QCOMPARE(placePaths(form), (QStringList{a, c, ""}));
    QVERIFY(!places(form).at(2)->isVisible());
    QCOMPARE(form.ImagePath, wasCurrent ? QString() : a);
}

void TestOptions::clickedPlaceOpensItsImage()
{
    Installation installation;
    const QString a = installation.root() + "A.tif", b = installation.root() + "B.tif";
    touch(a, "not really a TIFF");
    touch(b, "not really a TIFF");
    touch(settingsFile(installation), recentSettings(2, {a, b}));
    Started started(installation);
    places(*started.form).at(1)->trigger();
    QCOMPARE(started.form->ImagePath, b);
    QCOMPARE(placePaths(*started.form), (QStringList{b, a}));
    QVERIFY(started.dialogs.texts().isEmpty());
}

void TestOptions::countDialogAddsAndDropsPlaces()
{
    Installation installation;
    QStringList images;
    for (const char *name : {"A.tif", "B.tif", "C.tif", "D.tif", "E.tif"}) {
        images.append(installation.root() + name);
        touch(images.last(), "not really a TIFF");
    }
    touch(settingsFile(installation), recentSettings(3, images.mid(0, 3)));
    Started started(installation);
    TDiriduForm &form = *started.form;

    int shownWith = -1;
    chooseRecentFileCount(form, 5, &shownWith);
    QCOMPARE(shownWith, 3);
    QCOMPARE(form.ui.RecentFileCountMenu->text(), QStringLiteral("Recent File Count [5]"));
    QCOMPARE(placePaths(form), (QStringList{images[0], images[1], images[2], "", ""}));
    for (QAction *place : places(form).mid(3)) {
        QVERIFY(!place->isVisible());
        QVERIFY(!place->isEnabled());
        QVERIFY(!place->icon().isNull());
    }
    // The dialog sat beside the paper box's lower right corner.
    const QPoint paperBox = form.ui.PaperBox->mapTo(form.ui.DropTarget, QPoint(0, 0));
    QCOMPARE(form.RecentCounter->pos(),
             QPoint(form.x() + paperBox.x() + form.ui.PaperBox->width(),
                    form.y() + paperBox.y() + form.ui.PaperBox->height()));

    form.AddRecentFile(images[3]);
    form.AddRecentFile(images[4]);
    QCOMPARE(placePaths(form),
             (QStringList{images[4], images[3], images[0], images[1], images[2]}));
    places(form).at(4)->trigger();
    QCOMPARE(form.ImagePath, images[2]);
    QCOMPARE(placePaths(form),
             (QStringList{images[2], images[4], images[3], images[0], images[1]}));

    chooseRecentFileCount(form, 2, &shownWith);
    QCOMPARE(shownWith, 5);
    QCOMPARE(placePaths(form), (QStringList{images[2], images[4]}));
    QCOMPARE(form.ui.RecentFileCountMenu->text(), QStringLiteral("Recent File Count [2]"));
    form.WriteSettings();
    const QByteArray written = readBack(installation);
    QVERIFY(written.contains("RecentFileCount=2\r\n"));
    QVERIFY(!written.contains("File3="));
}

void TestOptions::countDialogClosesOnlyWithOk()
{
    TRecentCounter dialog;
    QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowSystemMenuHint));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Recent File Count"));
    QCOMPARE(dialog.Counter->minimum(), 0);
    QCOMPARE(dialog.Counter->maximum(), 25);
    QCOMPARE(dialog.OKBtn->text(), QStringLiteral("OK"));
    bool stayedOpen = false;
    QTimer::singleShot(0, &dialog, [&] {
        QTest::keyClick(&dialog, Qt::Key_Escape);
        dialog.close();
        stayedOpen = dialog.isVisible();
        dialog.Counter->setValue(30);
        QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY(stayedOpen);
    QCOMPARE(dialog.Counter->value(), 25);
}

void TestOptions::countZeroKeepsNoPlaces()
{
    Installation installation;
    touch(settingsFile(installation), recentSettings(0, {"/img/A.tif"}));
    Started started(installation);
    QVERIFY(places(*started.form).isEmpty());
    started.form->AddRecentFile(QStringLiteral("/img/B.tif"));
    QVERIFY(places(*started.form).isEmpty());
    QVERIFY(!started.form->ui.FileListDivider->isVisible());
    started.form->WriteSettings();
    QVERIFY(readBack(installation).contains("RecentFileCount=0\r\n"));
}

void TestOptions::noStrayDividerAfterRecovery()
{
    Installation installation;
    // The recent files are read before the damaged number ends the first attempt.
    touch(settingsFile(installation),
          recentSettings(2, {"/img/A.tif", "/img/B.tif"}) + "[Page]\r\nCopies=2x\r\n");
    Started started(installation);
    QCOMPARE(started.dialogs.texts().size(), 1);
    QCOMPARE(placePaths(*started.form), QStringList(5));
    QVERIFY(!started.form->ui.FileListDivider->isVisible());
    started.form->AddRecentFile(QStringLiteral("/img/C.tif"));
    QVERIFY(started.form->ui.FileListDivider->isVisible());
}

void TestOptions::debugModeMarksTheCaption_data()
{
    QTest::addColumn<bool>("storedOn");
    QTest::newRow("off at start") << false;
    QTest::newRow("on at start") << true;
}

void TestOptions::debugModeMarksTheCaption()
{
    QFETCH(bool, storedOn);
    Installation installation;
    touch(settingsFile(installation),
          QByteArray("[Options]\r\nDebugging=") + (storedOn ? "1" : "0") + "\r\n");
    Started started(installation);
    TDiriduForm &form = *started.form;
    const QString marked = form.VersionCaption + QStringLiteral(" [Debugging]");
    QCOMPARE(form.windowTitle(), storedOn ? marked : form.VersionCaption);
    QCOMPARE(form.ui.DebugMenu->isChecked(), storedOn);

    form.ui.DebugMenu->trigger();
    QCOMPARE(form.windowTitle(), storedOn ? form.VersionCaption : marked);
    QCOMPARE(form.Debugging, !storedOn);
    form.ui.DebugMenu->trigger();
    QCOMPARE(form.windowTitle(), storedOn ? marked : form.VersionCaption);
    QCOMPARE(form.Debugging, storedOn);
    QVERIFY(form.VersionCaption.startsWith(QStringLiteral("Zorlane Graphical Interface Version ")));

    form.ui.DebugMenu->trigger();
    form.WriteSettings();
    QVERIFY(readBack(installation).contains(storedOn ? "Debugging=0\r\n" : "Debugging=1\r\n"));
}

void TestOptions::minimizeToTrayIsWrittenFromItsItem()
{
    Installation installation;
    Started started(installation);
    TDiriduForm &form = *started.form;
    QVERIFY(form.ui.MinimizeToTrayMenu->isChecked());
    form.ui.MinimizeToTrayMenu->trigger();
    QVERIFY(!form.MinimizeToTray);
    form.WriteSettings();
    QVERIFY(readBack(installation).contains("MinimizeToTray=0\r\n"));
    form.ui.MinimizeToTrayMenu->trigger();
    QVERIFY(form.MinimizeToTray);
    form.WriteSettings();
    QVERIFY(readBack(installation).contains("MinimizeToTray=1\r\n"));
}

void TestOptions::minimizingGoesToTheTray_data()
{
    QTest::addColumn<bool>("trayAvailable");
    QTest::addColumn<bool>("toTray");
    QTest::addColumn<bool>("hidden");
    QTest::newRow("tray and option") << true << true << true;
    QTest::newRow("option off") << true << false << false;
    QTest::newRow("no tray on this desktop") << false << true << false;
}

void TestOptions::minimizingGoesToTheTray()
{
    QFETCH(bool, trayAvailable);
    QFETCH(bool, toTray);
    QFETCH(bool, hidden);
    ScopedFixedSystemTray tray(trayAvailable);
    Installation installation;
    Started started(installation);
    TDiriduForm &form = *started.form;
    QCOMPARE(form.ui.CoolTrayIcon->toolTip(), QStringLiteral("Zorlane Graphical Interface"));
    QVERIFY(!form.ui.CoolTrayIcon->isVisible());
    if (!toTray)
        form.ui.MinimizeToTrayMenu->trigger();
    form.showMinimized();
    QVERIFY(form.isMinimized());
    if (hidden) {
        QTRY_VERIFY(!form.isVisible());
        QVERIFY(form.ui.CoolTrayIcon->isVisible());
    } else {
        // The window stays where the desktop keeps minimized windows.
        QCoreApplication::processEvents();
        QVERIFY(form.isVisible());
        QVERIFY(!form.ui.CoolTrayIcon->isVisible());
    }
}

void TestOptions::trayRestores_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("double click") << "double click";
    QTest::newRow("click") << "click";
    QTest::newRow("Restore Diridu") << "menu";
}

void TestOptions::trayRestores()
{
    QFETCH(QString, how);
    ScopedFixedSystemTray tray(true);
    Installation installation;
    Started started(installation);
    TDiriduForm &form = *started.form;
    QCOMPARE(form.ui.TrayMenu->actions(),
             (QList<QAction *>{form.ui.Restore1, form.ui.N3, form.ui.Exit1}));
    QCOMPARE(form.ui.Restore1->text(), QStringLiteral("Restore Diridu"));
    form.showMinimized();
    QTRY_VERIFY(!form.isVisible());
    if (how == "menu")
        form.ui.Restore1->trigger();
    else
        emit form.ui.CoolTrayIcon->activated(how == "click" ? QSystemTrayIcon::Trigger
                                                            : QSystemTrayIcon::DoubleClick);
    QVERIFY(form.isVisible());
    QVERIFY(!form.isMinimized());
    // Once shown, the icon stays.
    QVERIFY(form.ui.CoolTrayIcon->isVisible());
}

void TestOptions::helpContents_data()
{
    QTest::addColumn<bool>("found");
    QTest::addColumn<QStringList>("errors");
    QTest::newRow("help there") << true << QStringList();
    QTest::newRow("help missing") << false << QStringList{"The Zor Help file is missing."};
}

void TestOptions::helpContents()
{
    QFETCH(bool, found);
    QFETCH(QStringList, errors);
    Installation installation;
    touch(settingsFile(installation)); // not a first run: no help opens at start
    Started started(installation);
    started.help.setAnswer(found);
    started.form->ui.Contents1->trigger();
    QCOMPARE(started.help.requests().size(), 1);
    QCOMPARE(started.help.requests().first().kind, QStringLiteral("help"));
    QCOMPARE(started.help.requests().first().target, started.form->HelpFile);
    QCOMPARE(started.dialogs.texts(), errors);
}

void TestOptions::userGuide_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("errors");
    QTest::newRow("opened") << int(DocumentOpener::Opened) << QStringList();
    QTest::newRow("missing") << 2 << QStringList{"The User Guide is missing."};
    QTest::newRow("no viewer")
        << 31
        << QStringList{"There is no application associated with PDF files. You need to install "
                       "Adobe Reader to view the Guide."};
    QTest::newRow("other") << 8 << QStringList{"Could not launch User Guide: Error 8"};
}

void TestOptions::userGuide()
{
    QFETCH(int, result);
    QFETCH(QStringList, errors);
    ScopedRecordingDocumentOpener opener;
    opener.setResult(result);
    Installation installation;
    touch(installation.root() + "Zorlane User Guide.pdf", "%PDF-1.4\n");
    Started started(installation);
    started.form->ui.Tutorial->trigger();
    QCOMPARE(opener.opened(), QStringList{installation.root() + "Zorlane User Guide.pdf"});
    QCOMPARE(started.dialogs.texts(), errors);
    for (const RecordingDialogs::Shown &shown : started.dialogs.shown())
        QCOMPARE(shown.buttons, QStringList{"Cancel"});
}

void TestOptions::aboutBoxShowsModally()
{
    ScopedRecordingDocumentOpener opener;
    Installation installation;
    Started started(installation);
    TAboutBox *about = started.form->AboutBox;
    bool shownModally = false;
    QTimer::singleShot(0, about, [&] {
        shownModally = about->isVisible() && about->isModal();
        // The box's links lead into this installation.
        QTest::mouseClick(about->UserGuideLink, Qt::LeftButton);
        QTest::mouseClick(about->OkButton, Qt::LeftButton);
    });
    started.form->ui.About1->trigger();
    QVERIFY(shownModally);
    QVERIFY(!about->isVisible());
    QCOMPARE(opener.opened(), QStringList{installation.root() + "Zorlane User Guide.pdf"});
}

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
