#include "Dialogs.h"
#include "Events.h"
#include "FolderMonitor.h"
#include "MailChannel.h"
#include "MailMessage.h"
#include "SingleInstanceGuard.h"
#include "TFileExistsDlg.h"
#include "ZorError.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Counts the check-mail notifications posted to it, as the main window would get them.
class CheckMailReceiver : public QObject
{
public:
    int count = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == WM_CHECKMAIL) {
            ++count;
            return true;
        }
        return QObject::event(event);
    }
};

// Answers the File Exists dialog from inside its modal loop, whenever it is up.
class DialogAnswer : public QObject
{
public:
    DialogAnswer(TFileExistsDlg *dialog, std::function<void(TFileExistsDlg *)> answer)
    {
        connect(&m_poll, &QTimer::timeout, this, [this, dialog, answer] {
            if (!dialog->isVisible())
                return;
            ++shown;
            answer(dialog);
        });
        m_poll.start(5);
    }
    int shown = 0;

private:
    QTimer m_poll;
};

void clickCancel(TFileExistsDlg *dialog)
{
    QTest::mouseClick(dialog->CancelBtn, Qt::LeftButton);
}

// Radio buttons and check boxes answer clicks on their indicator and caption only.
void clickIndicator(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QString scanError(FolderMonitor &monitor)
{
    try {
        monitor.EggTimerTimer();
    } catch (const ZorError &error) {
        return error.message();
    }
    return {};
}

QString moveError(const QString &source)
{
    return QStringLiteral("Unable to move \"%1\" to the \"Processed\" folder. Folder monitoring "
                          "disabled.")
        .arg(source);
}

bool leasesWork(const QString &folder)
{
    const QString probe = folder + QStringLiteral("/.lease-probe");
    writeFile(probe, "x");
    HeldFile file;
    const bool works = file.open(probe) && FileCompleteness::askKernel(file.handle()) ==
                                               FileCompleteness::LeaseAnswer::NoWriter;
    file.close();
    QFile::remove(probe);
    return works;
}

} // namespace

class TestFolderMonitor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startMonitoring_data();
    void startMonitoring();
    void cancelledBrowserChangesNothing();
    void notReadyShowsNoBrowser();
    void processedCannotBeCreated();
    void stopMonitoring();
    void restoreKeepsScanning_data();
    void restoreKeepsScanning();
    void timerScansWithoutChangeReports();
    void missingFolderIsLookedForAgain();
    void changeReportLeadsToAScan();
    void reportsAreIgnoredWhileNotMonitoring();

    void oneScanMovesAndQueuesInListingOrder();
    void emptyScanWaitsTenSeconds();
    void fileStillBeingWrittenWaits_data();
    void fileStillBeingWrittenWaits();
    void clashWithRepeatedRemoveReplaces();
    void clashAnsweredInTheDialog_data();
    void clashAnsweredInTheDialog();
    void sequenceNumbers_data();
    void sequenceNumbers();
    void sameNameArrivingAgainIsNumbered();
    void failedMoveStopsMonitoring_data();
    void failedMoveStopsMonitoring();
    void notReadyStopsAndLeavesTheFiles();
    void scanDuringTheDialogReturnsAtOnce();
    void channelWithoutSocketStillQueues();
    void clashBeforeTheDialogExistsIsCancelled();
    void fileStillToBePrintedIsNeverRemoved_data();
    void fileStillToBePrintedIsNeverRemoved();
    void processedOnAnotherFileSystem();
    void moveAcrossFileSystemsKeepsTheWindowResponsive();
    void stopDuringAMoveEndsTheScan();

    void fileExistsDialogLayout();
    void fileExistsDialogSelection_data();
    void fileExistsDialogSelection();
    void fileExistsDialogCloseBoxIsCancel();

private:
    QString folder() const { return m_folder->path(); }
    QString processed() const { return m_folder->path() + QStringLiteral("/Processed"); }
    QList<MailMessage> drainMail();
    void makeMonitor(MailChannel *mail = nullptr);
    // "Processed" as a link to a folder on another file system; false when there is none.
    bool processedElsewhere(QTemporaryDir &other);
    // Monitoring on the test folder, as after a start with monitoring saved on.
    void monitorTheFolder();

    std::unique_ptr<QTemporaryDir> m_runtimeParent;
    std::unique_ptr<SingleInstanceGuard> m_guard;
    std::unique_ptr<MailChannel> m_mail;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<CheckMailReceiver> m_receiver;
    std::unique_ptr<QAction> m_stopMonitoring;
    std::unique_ptr<QLabel> m_panel0;
    std::unique_ptr<QLabel> m_panel1;
    std::unique_ptr<TFileExistsDlg> m_dialog;
    std::unique_ptr<QTimer> m_eggTimer;
    std::unique_ptr<FolderMonitor> m_monitor;
    std::unique_ptr<ScopedRecordingDialogs> m_dialogs;
    bool m_ready = true;
    int m_readyCalls = 0;
    QString m_inUse;
};

void TestFolderMonitor::init()
{
    // The mail channel may only be opened by the process holding the instance lock, which
    // lives in the runtime directory.
    m_runtimeParent = std::make_unique<QTemporaryDir>();
    QVERIFY(m_runtimeParent->isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtimeParent->path() + "/run"));
    m_guard = std::make_unique<SingleInstanceGuard>();
    QVERIFY2(m_guard->holdsLock(), qPrintable(m_guard->errorString()));
    m_mail = std::make_unique<MailChannel>();
    QVERIFY2(m_mail->create(), qPrintable(m_mail->errorString()));

    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_receiver = std::make_unique<CheckMailReceiver>();
    m_stopMonitoring = std::make_unique<QAction>(QStringLiteral("&Stop Monitoring"));
    m_stopMonitoring->setEnabled(false);
    m_panel0 = std::make_unique<QLabel>(QStringLiteral("Not Monitoring"));
    m_panel1 = std::make_unique<QLabel>(QStringLiteral("Monitored Folder"));
    m_dialog = std::make_unique<TFileExistsDlg>();
    m_eggTimer = std::make_unique<QTimer>();
    m_eggTimer->setObjectName(QStringLiteral("EggTimer"));
    m_eggTimer->setInterval(10000);
    m_dialogs = std::make_unique<ScopedRecordingDialogs>();
    m_ready = true;
    m_readyCalls = 0;
    m_inUse.clear();
    makeMonitor();
}

void TestFolderMonitor::makeMonitor(MailChannel *mail)
{
    FolderMonitor::Wiring wiring;
    wiring.mailChannel = mail ? mail : m_mail.get();
    wiring.checkMailReceiver = m_receiver.get();
    wiring.stopMonitoring = m_stopMonitoring.get();
    wiring.statusPanel0 = m_panel0.get();
    wiring.statusPanel1 = m_panel1.get();
    wiring.fileExistsDlg = m_dialog.get();
    wiring.eggTimer = m_eggTimer.get();
    wiring.printReady = [this] {
        ++m_readyCalls;
        return m_ready;
    };
    wiring.fileInUse = [this] { return m_inUse; };
    m_monitor = std::make_unique<FolderMonitor>(wiring);
}

bool TestFolderMonitor::processedElsewhere(QTemporaryDir &other)
{
    struct stat here = {};
    struct stat there = {};
    if (!other.isValid() || ::stat(QFile::encodeName(folder()).constData(), &here) != 0 ||
        ::stat(QFile::encodeName(other.path()).constData(), &there) != 0 ||
        here.st_dev == there.st_dev)
        return false;
    return QFile::link(other.path(), processed());
}

void TestFolderMonitor::cleanup()
{
    m_monitor.reset();
    m_dialogs.reset();
    m_eggTimer.reset();
    m_dialog.reset();
    m_panel1.reset();
    m_panel0.reset();
    m_stopMonitoring.reset();
    m_receiver.reset();
    m_folder.reset();
    m_mail.reset();
    m_guard.reset();
    m_runtimeParent.reset();
}

QList<MailMessage> TestFolderMonitor::drainMail()
{
    QList<MailMessage> messages;
    while (m_mail->hasMessage())
        messages.append(parseMailMessage(m_mail->read()));
    return messages;
}

void TestFolderMonitor::monitorTheFolder()
{
    QVERIFY(QDir().mkpath(processed()));
    m_monitor->restore(true, folder());
    // The scans come from the test.
    m_eggTimer->stop();
}

void TestFolderMonitor::startMonitoring_data()
{
    QTest::addColumn<bool>("chosenBefore");
    QTest::addColumn<bool>("processedExists");
    QTest::newRow("first choice") << false << false;
    QTest::newRow("a folder chosen before") << true << false;
    QTest::newRow("Processed already there") << false << true;
}

void TestFolderMonitor::startMonitoring()
{
    QFETCH(bool, chosenBefore);
    QFETCH(bool, processedExists);
    QTemporaryDir before;
    if (chosenBefore)
        m_monitor->MonitoredFolder = before.path();
    if (processedExists) {
        QVERIFY(QDir().mkpath(processed()));
        writeFile(processed() + QStringLiteral("/kept.tif"), "kept");
    }

    m_dialogs->setNextFolder(folder() + QStringLiteral("/"));
    m_monitor->MonitorFolder1Click(nullptr);

    QCOMPARE(m_dialogs->shown().size(), 1);
    const RecordingDialogs::Shown &browser = m_dialogs->shown().constFirst();
    QCOMPARE(browser.kind, RecordingDialogs::Kind::Folder);
    QCOMPARE(browser.title, QStringLiteral("Monitor Folder"));
    QCOMPARE(browser.text, chosenBefore ? before.path() : QDir::homePath());
    QCOMPARE(browser.buttons, QStringList{QStringLiteral("Select Folder to be monitored.")});
    QCOMPARE(m_readyCalls, 1);

    QCOMPARE(m_monitor->MonitoredFolder, folder());
    QVERIFY(QFileInfo(processed()).isDir());
    if (processedExists)
        QCOMPARE(readFile(processed() + QStringLiteral("/kept.tif")), QByteArray("kept"));
    QVERIFY(m_stopMonitoring->isEnabled());
    QVERIFY(m_monitor->isMonitoring());
    QCOMPARE(m_panel0->text(), QStringLiteral(" Monitoring"));
    QCOMPARE(m_panel1->text(), folder());
    QVERIFY(m_eggTimer->isActive());
    QCOMPARE(m_eggTimer->interval(), FolderMonitor::IdleInterval);
    QCOMPARE(m_monitor->changeNotifier()->directories(), QStringList{folder()});
    QCOMPARE(m_monitor->changeNotifier()->objectName(), QStringLiteral("FolderMonitor"));
}

void TestFolderMonitor::cancelledBrowserChangesNothing()
{
    m_monitor->MonitoredFolder = folder();
    m_monitor->MonitorFolder1Click(nullptr); // no folder prepared: the user cancels
    QCOMPARE(m_dialogs->shown().size(), 1);
    QCOMPARE(m_dialogs->shown().constFirst().text, folder());
    QCOMPARE(m_monitor->MonitoredFolder, folder());
    QVERIFY(!QFileInfo::exists(processed()));
    QVERIFY(!m_stopMonitoring->isEnabled());
    QVERIFY(!m_eggTimer->isActive());
    QVERIFY(m_monitor->changeNotifier()->directories().isEmpty());
}

void TestFolderMonitor::notReadyShowsNoBrowser()
{
    m_ready = false;
    m_dialogs->setNextFolder(folder());
    m_monitor->MonitorFolder1Click(nullptr);
    QCOMPARE(m_readyCalls, 1);
    QVERIFY(m_dialogs->shown().isEmpty());
    QVERIFY(m_monitor->MonitoredFolder.isEmpty());
    QVERIFY(!QFileInfo::exists(processed()));
    QVERIFY(!m_stopMonitoring->isEnabled());
    QVERIFY(!m_eggTimer->isActive());
}

void TestFolderMonitor::processedCannotBeCreated()
{
    writeFile(processed(), "a file where the folder should be");
    m_dialogs->setNextFolder(folder());
    m_monitor->MonitorFolder1Click(nullptr);

    QCOMPARE(m_dialogs->shown().size(), 2);
    const RecordingDialogs::Shown &error = m_dialogs->shown().at(1);
    QCOMPARE(error.kind, RecordingDialogs::Kind::Error);
    QCOMPARE(error.text, QStringLiteral("Cannot create \"Processed\" Folder"));
    QCOMPARE(error.buttons, QStringList{QStringLiteral("Cancel")});
    QVERIFY(!m_stopMonitoring->isEnabled());
    QVERIFY(!m_eggTimer->isActive());
    QCOMPARE(m_panel0->text(), QStringLiteral("Not Monitoring"));
    QVERIFY(m_monitor->changeNotifier()->directories().isEmpty());
}

void TestFolderMonitor::stopMonitoring()
{
    m_dialogs->setNextFolder(folder());
    m_monitor->MonitorFolder1Click(nullptr);
    QVERIFY(m_monitor->isMonitoring());

    m_monitor->StopMonitoringClick();
    QVERIFY(!m_stopMonitoring->isEnabled());
    QVERIFY(!m_monitor->isMonitoring());
    QCOMPARE(m_panel0->text(), QStringLiteral("Not Monitoring"));
    QCOMPARE(m_panel1->text(), QString());
    QVERIFY(!m_eggTimer->isActive());
    // The notifier stays pointed at the folder, but its reports are ignored.
    QCOMPARE(m_monitor->changeNotifier()->directories(), QStringList{folder()});
    m_monitor->FolderMonitorChange();
    QVERIFY(!m_eggTimer->isActive());
}

void TestFolderMonitor::restoreKeepsScanning_data()
{
    QTest::addColumn<bool>("state");
    QTest::newRow("monitoring was on") << true;
    QTest::newRow("monitoring was off") << false;
}

// Files that came while the program was not running are taken soon after the start, and
// the timer goes on from there.
void TestFolderMonitor::restoreKeepsScanning()
{
    QFETCH(bool, state);
    m_eggTimer->start(FolderMonitor::IdleInterval);
    m_monitor->restore(state, folder());
    QCOMPARE(m_monitor->MonitoredFolder, folder());
    QCOMPARE(m_stopMonitoring->isEnabled(), state);
    QCOMPARE(m_eggTimer->isActive(), state);
    if (state)
        QCOMPARE(m_eggTimer->interval(), FolderMonitor::ActiveInterval);
    QCOMPARE(m_panel0->text(),
             state ? QStringLiteral(" Monitoring") : QStringLiteral("Not Monitoring"));
    QCOMPARE(m_panel1->text(), state ? folder() : QString());
    QCOMPARE(m_monitor->changeNotifier()->directories(),
             state ? QStringList{folder()} : QStringList());
}

// Network shares send no change reports: the timer alone finds the file.
void TestFolderMonitor::timerScansWithoutChangeReports()
{
    QVERIFY(QDir().mkpath(processed()));
    m_monitor->restore(true, folder());
    m_monitor->changeNotifier()->removePaths(m_monitor->changeNotifier()->directories());
    writeFile(folder() + QStringLiteral("/photo.tif"), "image");
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(processed() + QStringLiteral("/photo.tif")), 5000);
    QCOMPARE(drainMail().size(), 1);
    // And goes on at the idle pace once the folder is empty.
    QTRY_COMPARE(m_eggTimer->interval(), FolderMonitor::IdleInterval);
    QVERIFY(m_eggTimer->isActive());
}

void TestFolderMonitor::missingFolderIsLookedForAgain()
{
    const QString later = folder() + QStringLiteral("/later");
    m_monitor->restore(true, later);
    m_eggTimer->stop();
    QVERIFY(m_monitor->isMonitoring());
    QCOMPARE(m_panel0->text(), QStringLiteral(" Folder Missing"));
    QCOMPARE(m_panel1->text(), later);
    QVERIFY(m_monitor->changeNotifier()->directories().isEmpty());

    QCOMPARE(scanError(*m_monitor), QString());
    QVERIFY(m_monitor->isMonitoring());
    QCOMPARE(m_panel0->text(), QStringLiteral(" Folder Missing"));
    QVERIFY(m_eggTimer->isActive());
    QCOMPARE(m_eggTimer->interval(), FolderMonitor::IdleInterval);
    QVERIFY(m_dialogs->shown().isEmpty());

    // It appears, without its "Processed" folder.
    QVERIFY(QDir().mkpath(later));
    writeFile(later + QStringLiteral("/photo.tif"), "image");
    QCOMPARE(scanError(*m_monitor), QString());
    QCOMPARE(m_panel0->text(), QStringLiteral(" Monitoring"));
    QCOMPARE(m_monitor->changeNotifier()->directories(), QStringList{later});
    QCOMPARE(readFile(later + QStringLiteral("/Processed/photo.tif")), QByteArray("image"));
    const QList<MailMessage> mail = drainMail();
    QCOMPARE(mail.size(), 1);
    QCOMPARE(mail.first().path(), later + QStringLiteral("/Processed/photo.tif"));

    // Gone again, and back: it is watched anew.
    QVERIFY(QDir(later).removeRecursively());
    QCOMPARE(scanError(*m_monitor), QString());
    QCOMPARE(m_panel0->text(), QStringLiteral(" Folder Missing"));
    QVERIFY(QDir().mkpath(later));
    QCOMPARE(scanError(*m_monitor), QString());
    QCOMPARE(m_panel0->text(), QStringLiteral(" Monitoring"));
    QCOMPARE(m_monitor->changeNotifier()->directories(), QStringList{later});
    m_monitor->StopMonitoringClick();
    QCOMPARE(m_panel0->text(), QStringLiteral("Not Monitoring"));
}

// The whole way: a file appears, the folder reports it, the next tick moves and queues it.
void TestFolderMonitor::changeReportLeadsToAScan()
{
    monitorTheFolder();
    m_eggTimer->start(FolderMonitor::IdleInterval);
    writeFile(folder() + QStringLiteral("/photo.tif"), "image");

    QTRY_COMPARE(m_eggTimer->interval(), FolderMonitor::ActiveInterval);
    QVERIFY(m_eggTimer->isActive());
    // Further reports do not put off a tick that is already due.
    QTRY_VERIFY(m_eggTimer->remainingTime() < 900);
    m_monitor->FolderMonitorChange();
    QVERIFY(m_eggTimer->remainingTime() < 900);

    QTRY_VERIFY(QFileInfo::exists(processed() + QStringLiteral("/photo.tif")));
    QVERIFY(!QFileInfo::exists(folder() + QStringLiteral("/photo.tif")));
    const QList<MailMessage> mail = drainMail();
    QCOMPARE(mail.size(), 1);
    QCOMPARE(mail.first().code, MailCode::MonitorFolder);
    QCOMPARE(mail.first().path(), processed() + QStringLiteral("/photo.tif"));
    QTRY_COMPARE(m_receiver->count, 1);
}

void TestFolderMonitor::reportsAreIgnoredWhileNotMonitoring()
{
    m_monitor->restore(false, folder());
    m_monitor->FolderMonitorChange();
    QVERIFY(!m_eggTimer->isActive());

    // Idle monitoring: a report shortens the wait to a second.
    m_monitor->restore(true, folder());
    m_eggTimer->start(FolderMonitor::IdleInterval);
    m_monitor->FolderMonitorChange();
    QVERIFY(m_eggTimer->isActive());
    QCOMPARE(m_eggTimer->interval(), FolderMonitor::ActiveInterval);
    QVERIFY(m_eggTimer->remainingTime() < FolderMonitor::IdleInterval / 2);
}

void TestFolderMonitor::oneScanMovesAndQueuesInListingOrder()
{
    monitorTheFolder();
    const QStringList taken = {"A.tif", "b.tif", "c.TIFF", "photo.tiff.bak"};
    for (const char *name : {"b.tif", "photo.tiff.bak", "A.tif", "c.TIFF"})
        writeFile(folder() + '/' + name, name);
    for (const char *name : {"notes.txt", ".hidden.tif"})
        writeFile(folder() + '/' + name, "stays");
    QVERIFY(QDir(folder()).mkdir(QStringLiteral("sub.tif")));

    m_monitor->EggTimerTimer();

    QList<MailMessage> mail = drainMail();
    QCOMPARE(mail.size(), taken.size());
    for (int i = 0; i < taken.size(); ++i) {
        const QString target = processed() + '/' + taken.at(i);
        QCOMPARE(mail.at(i).code, MailCode::MonitorFolder);
        QCOMPARE(mail.at(i).path(), target);
        QCOMPARE(readFile(target), taken.at(i).toUtf8());
        QVERIFY(!QFileInfo::exists(folder() + '/' + taken.at(i)));
    }
    QTRY_COMPARE(m_receiver->count, taken.size());
    QCOMPARE(m_readyCalls, taken.size());
    QCOMPARE(QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({".hidden.tif", "notes.txt", "Processed", "sub.tif"}));
    QVERIFY(m_dialogs->shown().isEmpty());
    QVERIFY(m_eggTimer->isActive());
    QCOMPARE(m_eggTimer->interval(), FolderMonitor::ActiveInterval);
}

void TestFolderMonitor::emptyScanWaitsTenSeconds()
{
    monitorTheFolder();
    writeFile(folder() + QStringLiteral("/notes.txt"), "not an image");
    m_monitor->EggTimerTimer();
    QVERIFY(m_eggTimer->isActive());
    QCOMPARE(m_eggTimer->interval(), FolderMonitor::IdleInterval);
    QCOMPARE(m_readyCalls, 0);
    QVERIFY(!m_mail->hasMessage());
}

void TestFolderMonitor::fileStillBeingWrittenWaits_data()
{
    QTest::addColumn<bool>("otherProcess");
    QTest::newRow("written by this process") << false;
    QTest::newRow("written by another process") << true;
}

void TestFolderMonitor::fileStillBeingWrittenWaits()
{
    QFETCH(bool, otherProcess);
    if (!leasesWork(folder()))
        QSKIP("file leases are not available here");
    monitorTheFolder();
    const QString path = folder() + QStringLiteral("/growing.tif");
    writeFile(path, "first half ");
    // Old enough that nothing but the open writer makes it wait.
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                 QFileDevice::FileModificationTime));
    }
    writeFile(folder() + QStringLiteral("/ready.tif"), "complete");

    QFile writer(path);
    QProcess process;
    if (otherProcess) {
        process.start(
            QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"),
             QStringLiteral("exec 3>>\"$1\"; echo open; read line; printf 'second half' >&3"),
             QStringLiteral("sh"), path});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY(process.canReadLine());
    } else {
        QVERIFY(writer.open(QIODevice::Append));
    }

    m_monitor->EggTimerTimer();
    QVERIFY(QFileInfo::exists(path));
    QVERIFY(QFileInfo::exists(processed() + QStringLiteral("/ready.tif")));
    QList<MailMessage> mail = drainMail();
    QCOMPARE(mail.size(), 1);
    QCOMPARE(mail.first().path(), processed() + QStringLiteral("/ready.tif"));
    // Something was found, so the next look comes a second later.
    QCOMPARE(m_eggTimer->interval(), FolderMonitor::ActiveInterval);
    QVERIFY(m_eggTimer->isActive());

    if (otherProcess) {
        process.write("\n");
        QTRY_COMPARE(process.state(), QProcess::NotRunning);
        QCOMPARE(process.exitCode(), 0);
    } else {
        QCOMPARE(writer.write("second half"), 11);
        writer.close();
    }
    m_monitor->EggTimerTimer();
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(readFile(processed() + QStringLiteral("/growing.tif")),
             QByteArray("first half second half"));
    mail = drainMail();
    QCOMPARE(mail.size(), 1);
    QCOMPARE(mail.first().path(), processed() + QStringLiteral("/growing.tif"));
}

void TestFolderMonitor::clashWithRepeatedRemoveReplaces()
{
    monitorTheFolder();
    writeFile(processed() + QStringLiteral("/photo.tif"), "old");
    writeFile(folder() + QStringLiteral("/photo.tif"), "new");
    m_monitor->Disposal = TFileExistsDlg::RemoveIt;
    m_monitor->RepeatFileExistsAction = true;
    DialogAnswer answer(m_dialog.get(), clickCancel);

    QCOMPARE(scanError(*m_monitor), QString());

    QCOMPARE(answer.shown, 0);
    QCOMPARE(readFile(processed() + QStringLiteral("/photo.tif")), QByteArray("new"));
    QVERIFY(!QFileInfo::exists(folder() + QStringLiteral("/photo.tif")));
    QCOMPARE(QDir(processed()).entryList(QDir::Files), QStringList{QStringLiteral("photo.tif")});
    QCOMPARE(drainMail().size(), 1);
    QCOMPARE(m_monitor->Disposal, int(TFileExistsDlg::RemoveIt));
    QVERIFY(m_monitor->RepeatFileExistsAction);
    QVERIFY(m_monitor->isMonitoring());
}

void TestFolderMonitor::clashAnsweredInTheDialog_data()
{
    QTest::addColumn<int>("presetDisposal");
    QTest::addColumn<bool>("presetRepeat");
    QTest::addColumn<int>("chosenDisposal");
    QTest::addColumn<bool>("chosenRepeat");
    QTest::addColumn<QString>("how"); // "ok", "cancel" or "escape"
    QTest::addColumn<QString>("movedTo");

    QTest::newRow("OK, remove it") << 1 << false << 0 << false << "ok"
                                   << "photo.tif";
    QTest::newRow("OK, sequence number from now on") << 0 << false << 1 << true << "ok"
                                                     << "[1]photo.tif";
    QTest::newRow("Cancel") << 0 << false << 1 << true << "cancel"
                            << "";
    QTest::newRow("Escape") << 1 << false << 0 << false << "escape"
                            << "";
}

void TestFolderMonitor::clashAnsweredInTheDialog()
{
    QFETCH(int, presetDisposal);
    QFETCH(bool, presetRepeat);
    QFETCH(int, chosenDisposal);
    QFETCH(bool, chosenRepeat);
    QFETCH(QString, how);
    QFETCH(QString, movedTo);

    monitorTheFolder();
    const QString source = folder() + QStringLiteral("/photo.tif");
    const QString existing = processed() + QStringLiteral("/photo.tif");
    writeFile(existing, "old");
    writeFile(source, "new");
    m_monitor->Disposal = presetDisposal;
    m_monitor->RepeatFileExistsAction = presetRepeat;

    QString shownPath;
    int shownDisposal = -2;
    bool shownRepeat = !presetRepeat;
    DialogAnswer answer(m_dialog.get(), [&](TFileExistsDlg *dialog) {
        shownPath = dialog->FileName->text();
        shownDisposal = dialog->disposalIndex();
        shownRepeat = dialog->RepeatAction->isChecked();
        clickIndicator(dialog->DisposalGroup->button(chosenDisposal));
        if (dialog->RepeatAction->isChecked() != chosenRepeat)
            clickIndicator(dialog->RepeatAction);
        if (how == QLatin1String("ok"))
            QTest::mouseClick(dialog->OKBtn, Qt::LeftButton);
        else if (how == QLatin1String("cancel"))
            QTest::mouseClick(dialog->CancelBtn, Qt::LeftButton);
        else
            QTest::keyClick(dialog, Qt::Key_Escape);
    });

    const QString error = scanError(*m_monitor);

    QCOMPARE(answer.shown, 1);
    QCOMPARE(shownPath, existing);
    QCOMPARE(shownDisposal, presetDisposal);
    QCOMPARE(shownRepeat, presetRepeat);
    // The choices are taken back whichever button ended the dialog.
    QCOMPARE(m_monitor->Disposal, chosenDisposal);
    QCOMPARE(m_monitor->RepeatFileExistsAction, chosenRepeat);

    if (movedTo.isEmpty()) {
        QCOMPARE(m_dialog->OK, false);
        QCOMPARE(error, moveError(source));
        QCOMPARE(readFile(source), QByteArray("new"));
        QCOMPARE(readFile(existing), QByteArray("old"));
        QCOMPARE(QDir(processed()).entryList(QDir::Files),
                 QStringList{QStringLiteral("photo.tif")});
        QVERIFY(!m_monitor->isMonitoring());
        QVERIFY(!m_eggTimer->isActive());
        QVERIFY(!m_mail->hasMessage());
        return;
    }
    QCOMPARE(m_dialog->OK, true);
    QCOMPARE(error, QString());
    QVERIFY(!QFileInfo::exists(source));
    const QString target = processed() + '/' + movedTo;
    QCOMPARE(readFile(target), QByteArray("new"));
    if (target != existing)
        QCOMPARE(readFile(existing), QByteArray("old"));
    const QList<MailMessage> mail = drainMail();
    QCOMPARE(mail.size(), 1);
    QCOMPARE(mail.first().path(), target);
    QVERIFY(m_monitor->isMonitoring());
}

void TestFolderMonitor::sequenceNumbers_data()
{
    QTest::addColumn<QStringList>("inProcessed");
    QTest::addColumn<QString>("incoming");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first clash") << QStringList{"photo.tif"} << "photo.tif"
                                 << "[1]photo.tif";
    QTest::newRow("second clash") << QStringList{"photo.tif", "[1]photo.tif"} << "photo.tif"
                                  << "[2]photo.tif";
    QTest::newRow("numbered name continues") << QStringList{"[7]photo.tif"} << "[7]photo.tif"
                                             << "[8]photo.tif";
    QTest::newRow("numbered name skips taken")
        << QStringList{"[7]photo.tif", "[8]photo.tif"} << "[7]photo.tif"
        << "[9]photo.tif";
    QTest::newRow("bracket without number") << QStringList{"[abc.tif"} << "[abc.tif"
                                            << "[1][abc.tif";
    // A folder takes a name as much as a file does.
    QTest::newRow("folder with the next name")
        << QStringList{"photo.tif", "[1]photo.tif/"} << "photo.tif"
        << "[2]photo.tif";
}

void TestFolderMonitor::sequenceNumbers()
{
    QFETCH(QStringList, inProcessed);
    QFETCH(QString, incoming);
    QFETCH(QString, expected);
    monitorTheFolder();
    for (const QString &name : inProcessed) {
        if (name.endsWith('/'))
            QVERIFY(QDir(processed()).mkdir(name.chopped(1)));
        else
            writeFile(processed() + '/' + name, "old");
    }
    writeFile(folder() + '/' + incoming, "new");
    m_monitor->Disposal = TFileExistsDlg::AddSequenceNumber;
    m_monitor->RepeatFileExistsAction = true;
    DialogAnswer answer(m_dialog.get(), clickCancel);

    QCOMPARE(scanError(*m_monitor), QString());
    QCOMPARE(answer.shown, 0);
    QCOMPARE(readFile(processed() + '/' + expected), QByteArray("new"));
    for (const QString &name : inProcessed) {
        if (!name.endsWith('/'))
            QCOMPARE(readFile(processed() + '/' + name), QByteArray("old"));
    }
    const QList<MailMessage> mail = drainMail();
    QCOMPARE(mail.size(), 1);
    QCOMPARE(mail.first().path(), processed() + '/' + expected);
}

void TestFolderMonitor::sameNameArrivingAgainIsNumbered()
{
    monitorTheFolder();
    m_monitor->Disposal = TFileExistsDlg::AddSequenceNumber;
    m_monitor->RepeatFileExistsAction = true;
    const QStringList expected = {"photo.tif", "[1]photo.tif", "[2]photo.tif"};
    for (int i = 0; i < expected.size(); ++i) {
        writeFile(folder() + QStringLiteral("/photo.tif"), QByteArray::number(i));
        QCOMPARE(scanError(*m_monitor), QString());
        QCOMPARE(readFile(processed() + '/' + expected.at(i)), QByteArray::number(i));
    }
    QCOMPARE(drainMail().size(), expected.size());
}

void TestFolderMonitor::failedMoveStopsMonitoring_data()
{
    QTest::addColumn<bool>("fromTimer");
    QTest::newRow("raised by the scan") << false;
    QTest::newRow("shown for the timer") << true;
}

void TestFolderMonitor::failedMoveStopsMonitoring()
{
    QFETCH(bool, fromTimer);
    monitorTheFolder();
    const QString source = folder() + QStringLiteral("/photo.tif");
    // A folder of the same name cannot be removed as a file, so the move must fail.
    QVERIFY(QDir().mkpath(processed() + QStringLiteral("/photo.tif")));
    writeFile(processed() + QStringLiteral("/photo.tif/inside"), "kept");
    writeFile(source, "new");
    writeFile(folder() + QStringLiteral("/zzz.tif"), "after");
    m_monitor->Disposal = TFileExistsDlg::RemoveIt;
    m_monitor->RepeatFileExistsAction = true;

    if (fromTimer) {
        m_monitor->scanFolder();
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_dialogs->shown().constFirst().kind, RecordingDialogs::Kind::ApplicationError);
        QCOMPARE(m_dialogs->shown().constFirst().text, moveError(source));
    } else {
        QCOMPARE(scanError(*m_monitor), moveError(source));
        QVERIFY(m_dialogs->shown().isEmpty());
    }

    QCOMPARE(readFile(source), QByteArray("new"));
    QCOMPARE(readFile(processed() + QStringLiteral("/photo.tif/inside")), QByteArray("kept"));
    QCOMPARE(readFile(folder() + QStringLiteral("/zzz.tif")), QByteArray("after"));
    QVERIFY(!m_mail->hasMessage());
    QVERIFY(!m_stopMonitoring->isEnabled());
    QCOMPARE(m_panel0->text(), QStringLiteral("Not Monitoring"));
    QCOMPARE(m_panel1->text(), QString());
    QVERIFY(!m_eggTimer->isActive());

    // The scan was wound up: once the way is clear the next one works.
    QVERIFY(QDir(processed() + QStringLiteral("/photo.tif")).removeRecursively());
    m_monitor->restore(true, folder());
    QCOMPARE(scanError(*m_monitor), QString());
    QCOMPARE(readFile(processed() + QStringLiteral("/photo.tif")), QByteArray("new"));
    QCOMPARE(drainMail().size(), 2);
    QVERIFY(m_eggTimer->isActive());
}

void TestFolderMonitor::notReadyStopsAndLeavesTheFiles()
{
    monitorTheFolder();
    writeFile(folder() + QStringLiteral("/a.tif"), "a");
    writeFile(folder() + QStringLiteral("/b.tif"), "b");
    m_ready = false;

    QCOMPARE(scanError(*m_monitor), QString());

    // Every file is checked the same way, each asking again.
    QCOMPARE(m_readyCalls, 2);
    QCOMPARE(readFile(folder() + QStringLiteral("/a.tif")), QByteArray("a"));
    QCOMPARE(readFile(folder() + QStringLiteral("/b.tif")), QByteArray("b"));
    QVERIFY(QDir(processed()).isEmpty());
    QVERIFY(!m_mail->hasMessage());
    QVERIFY(!m_monitor->isMonitoring());
    QCOMPARE(m_panel0->text(), QStringLiteral("Not Monitoring"));
    QVERIFY(!m_eggTimer->isActive());
}

void TestFolderMonitor::scanDuringTheDialogReturnsAtOnce()
{
    monitorTheFolder();
    writeFile(processed() + QStringLiteral("/a.tif"), "old");
    writeFile(folder() + QStringLiteral("/a.tif"), "new a");
    writeFile(folder() + QStringLiteral("/b.tif"), "new b");
    bool bStayedDuringDialog = false;
    DialogAnswer answer(m_dialog.get(), [&](TFileExistsDlg *dialog) {
        m_monitor->EggTimerTimer();
        bStayedDuringDialog = QFileInfo::exists(folder() + QStringLiteral("/b.tif"));
        dialog->setDisposalIndex(TFileExistsDlg::RemoveIt);
        QTest::mouseClick(dialog->OKBtn, Qt::LeftButton);
    });

    QCOMPARE(scanError(*m_monitor), QString());
    QCOMPARE(answer.shown, 1);
    QVERIFY(bStayedDuringDialog);
    QCOMPARE(readFile(processed() + QStringLiteral("/a.tif")), QByteArray("new a"));
    QCOMPARE(readFile(processed() + QStringLiteral("/b.tif")), QByteArray("new b"));
    const QList<MailMessage> mail = drainMail();
    QCOMPARE(mail.size(), 2);
    QCOMPARE(mail.at(0).path(), processed() + QStringLiteral("/a.tif"));
    QCOMPARE(mail.at(1).path(), processed() + QStringLiteral("/b.tif"));
}

// Without a socket only other programs are shut out: what the monitor finds is printed.
void TestFolderMonitor::channelWithoutSocketStillQueues()
{
    MailChannel withoutSocket;
    QVERIFY(!withoutSocket.create()); // the fixture's channel has the socket
    QVERIFY(!withoutSocket.isListening());
    makeMonitor(&withoutSocket);
    monitorTheFolder();
    writeFile(folder() + QStringLiteral("/photo.tif"), "image");
    m_monitor->EggTimerTimer();
    QCOMPARE(readFile(processed() + QStringLiteral("/photo.tif")), QByteArray("image"));
    QCOMPARE(withoutSocket.read(),
             makeMailMessage(MailCode::MonitorFolder, processed() + QStringLiteral("/photo.tif")));
    QTRY_COMPARE(m_receiver->count, 1);
}

void TestFolderMonitor::clashBeforeTheDialogExistsIsCancelled()
{
    m_monitor->setFileExistsDlg(nullptr);
    monitorTheFolder();
    const QString source = folder() + QStringLiteral("/photo.tif");
    writeFile(processed() + QStringLiteral("/photo.tif"), "old");
    writeFile(source, "new");
    m_monitor->RepeatFileExistsAction = true;
    QCOMPARE(scanError(*m_monitor), moveError(source));
    QCOMPARE(readFile(source), QByteArray("new"));
    QCOMPARE(readFile(processed() + QStringLiteral("/photo.tif")), QByteArray("old"));
    QVERIFY(!m_monitor->isMonitoring());
}

void TestFolderMonitor::fileStillToBePrintedIsNeverRemoved_data()
{
    QTest::addColumn<QString>("wantedAs"); // "queued", "on the page", "on the page, linked"
    QTest::addColumn<int>("disposal");
    QTest::addColumn<bool>("repeat");
    QTest::addColumn<QString>("movedTo"); // at once; empty: waits until the other is done

    QTest::newRow("queued, remove without asking") << "queued" << 0 << true << "";
    QTest::newRow("queued, would ask") << "queued" << 0 << false << "";
    QTest::newRow("queued, would ask for a number") << "queued" << 1 << false << "";
    QTest::newRow("queued, numbered without asking") << "queued" << 1 << true << "[1]photo.tif";
    QTest::newRow("on the page, remove without asking") << "on the page" << 0 << true << "";
    QTest::newRow("on the page under another name, remove without asking")
        << "on the page, linked" << 0 << true << "";
}

void TestFolderMonitor::fileStillToBePrintedIsNeverRemoved()
{
    QFETCH(QString, wantedAs);
    QFETCH(int, disposal);
    QFETCH(bool, repeat);
    QFETCH(QString, movedTo);
    monitorTheFolder();
    const QString source = folder() + QStringLiteral("/photo.tif");
    const QString existing = processed() + QStringLiteral("/photo.tif");
    writeFile(existing, "old, not printed yet");
    writeFile(source, "new");
    const QByteArray queued = makeMailMessage(MailCode::MonitorFolder, existing);
    if (wantedAs == QLatin1String("queued")) {
        m_mail->write(queued);
    } else if (wantedAs == QLatin1String("on the page")) {
        m_inUse = existing;
    } else {
        m_inUse = processed() + QStringLiteral("/viewed.tif");
        QVERIFY(::link(QFile::encodeName(existing).constData(),
                       QFile::encodeName(m_inUse).constData()) == 0);
    }
    m_monitor->Disposal = disposal;
    m_monitor->RepeatFileExistsAction = repeat;
    DialogAnswer answer(m_dialog.get(), [](TFileExistsDlg *dialog) {
        dialog->setDisposalIndex(TFileExistsDlg::RemoveIt);
        QTest::mouseClick(dialog->OKBtn, Qt::LeftButton);
    });

    QCOMPARE(scanError(*m_monitor), QString());
    QCOMPARE(readFile(existing), QByteArray("old, not printed yet"));
    QVERIFY(m_monitor->isMonitoring());
    QCOMPARE(answer.shown, 0);
    QList<MailMessage> mail = drainMail();
    if (!movedTo.isEmpty()) {
        QVERIFY(!QFileInfo::exists(source));
        QCOMPARE(readFile(processed() + '/' + movedTo), QByteArray("new"));
        QCOMPARE(mail.size(), 2);
        QCOMPARE(mail.last().path(), processed() + '/' + movedTo);
        return;
    }
    // The new one waits in the folder and is looked at again a second later.
    QCOMPARE(readFile(source), QByteArray("new"));
    QCOMPARE(mail.size(), wantedAs == QLatin1String("queued") ? 1 : 0);
    QVERIFY(m_eggTimer->isActive());
    QCOMPARE(m_eggTimer->interval(), FolderMonitor::ActiveInterval);

    // Once the other has been printed, the clash is settled as chosen.
    m_inUse.clear();
    QCOMPARE(scanError(*m_monitor), QString());
    QCOMPARE(answer.shown, repeat ? 0 : 1);
    QVERIFY(!QFileInfo::exists(source));
    QCOMPARE(readFile(existing), QByteArray("new"));
    mail = drainMail();
    QCOMPARE(mail.size(), 1);
    QCOMPARE(mail.first().path(), existing);
}

void TestFolderMonitor::processedOnAnotherFileSystem()
{
    QTemporaryDir other(QStringLiteral("/dev/shm/diridu-test-XXXXXX"));
    if (!processedElsewhere(other))
        QSKIP("no second file system at /dev/shm");
    m_monitor->restore(true, folder());
    const QByteArray bytes(1 << 20, 'z');
    writeFile(folder() + QStringLiteral("/photo.tif"), bytes);

    QCOMPARE(scanError(*m_monitor), QString());
    QVERIFY(!QFileInfo::exists(folder() + QStringLiteral("/photo.tif")));
    QCOMPARE(readFile(other.path() + QStringLiteral("/photo.tif")), bytes);
    QCOMPARE(drainMail().size(), 1);
}

// The copy of a large photograph to another file system must not freeze the window.
void TestFolderMonitor::moveAcrossFileSystemsKeepsTheWindowResponsive()
{
    QTemporaryDir other(QStringLiteral("/dev/shm/diridu-test-XXXXXX"));
    if (!processedElsewhere(other))
        QSKIP("no second file system at /dev/shm");
    monitorTheFolder();
    const QByteArray bytes(64 << 20, 'w');
    writeFile(folder() + QStringLiteral("/large.tif"), bytes);
    int ticks = 0;
    QTimer window;
    connect(&window, &QTimer::timeout, this, [&ticks] { ++ticks; });
    window.start(0);

    QCOMPARE(scanError(*m_monitor), QString());
    QVERIFY2(ticks > 0, "no event was handled while the file was copied");
    QVERIFY(!QFileInfo::exists(folder() + QStringLiteral("/large.tif")));
    QCOMPARE(QFileInfo(other.path() + QStringLiteral("/large.tif")).size(), bytes.size());
    QCOMPARE(readFile(other.path() + QStringLiteral("/large.tif")), bytes);
    QCOMPARE(drainMail().size(), 1);
}

void TestFolderMonitor::stopDuringAMoveEndsTheScan()
{
    QTemporaryDir other(QStringLiteral("/dev/shm/diridu-test-XXXXXX"));
    if (!processedElsewhere(other))
        QSKIP("no second file system at /dev/shm");
    monitorTheFolder();
    const QByteArray bytes(16 << 20, 's');
    writeFile(folder() + QStringLiteral("/a.tif"), bytes);
    writeFile(folder() + QStringLiteral("/b.tif"), bytes);
    QTimer user;
    connect(&user, &QTimer::timeout, this, [&] {
        user.stop();
        m_monitor->StopMonitoringClick();
    });
    user.start(0);

    QCOMPARE(scanError(*m_monitor), QString());
    QVERIFY(!user.isActive());
    QVERIFY(!m_monitor->isMonitoring());
    QVERIFY(!m_eggTimer->isActive());
    // The file in hand is moved and queued; the next one stays where it is.
    QCOMPARE(QFileInfo(other.path() + QStringLiteral("/a.tif")).size(), bytes.size());
    QVERIFY(!QFileInfo::exists(folder() + QStringLiteral("/a.tif")));
    QCOMPARE(QFileInfo(folder() + QStringLiteral("/b.tif")).size(), bytes.size());
    const QList<MailMessage> mail = drainMail();
    QCOMPARE(mail.size(), 1);
    QCOMPARE(mail.first().path(), processed() + QStringLiteral("/a.tif"));
}

void TestFolderMonitor::fileExistsDialogLayout()
{
    TFileExistsDlg dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("TFileExistsDlg"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("File Exists"));
    QCOMPARE(dialog.property("helpContext").toInt(), 8000);
    QVERIFY(dialog.isModal());

    const auto labelText = [&](const char *name) {
        auto *label = dialog.findChild<QLabel *>(QLatin1String(name));
        return label ? label->text() : QStringLiteral("<missing>");
    };
    QCOMPARE(labelText("FileLbl"), QStringLiteral("The File:"));
    QCOMPARE(labelText("ExistsLbl"), QStringLiteral("Already exists in the \"Processed\" folder."));
    QVERIFY(dialog.findChild<QLabel *>(QStringLiteral("FileName")));
    QVERIFY(dialog.findChild<QGroupBox *>(QStringLiteral("Disposal")));
    auto *remove = dialog.findChild<QRadioButton *>(QStringLiteral("DisposalItem0"));
    auto *number = dialog.findChild<QRadioButton *>(QStringLiteral("DisposalItem1"));
    QVERIFY(remove && number);
    QCOMPARE(remove->text(), QStringLiteral("Remove it "));
    QCOMPARE(number->text(), QStringLiteral("Add sequence number "));
    QVERIFY(remove->isChecked());
    auto *repeat = dialog.findChild<QCheckBox *>(QStringLiteral("RepeatAction"));
    QVERIFY(repeat);
    QCOMPARE(
        repeat->text(),
        QStringLiteral("Use this action for all file exists in \"Processed\" folder situations"));
    QVERIFY(!repeat->isChecked());
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("OKBtn"));
    auto *cancel = dialog.findChild<QPushButton *>(QStringLiteral("CancelBtn"));
    QVERIFY(ok && cancel);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
    QVERIFY(ok->isDefault());

    dialog.FileName->setText(
        QStringLiteral("/home/someone/Pictures/Hot Folder/Processed/photo.tif"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // Fixed size, and every caption has the room it needs.
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    for (QWidget *widget : dialog.findChildren<QWidget *>()) {
        if (widget == dialog.FileName || !widget->isVisible())
            continue;
        QVERIFY2(widget->width() >= widget->sizeHint().width(), qPrintable(widget->objectName()));
        QVERIFY2(dialog.rect().contains(widget->geometry()), qPrintable(widget->objectName()));
    }
    QCOMPARE(dialog.FileName->toolTip(), dialog.FileName->text());
    dialog.close();
}

void TestFolderMonitor::fileExistsDialogSelection_data()
{
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("selected");
    QTest::newRow("remove it") << 0 << 0;
    QTest::newRow("add sequence number") << 1 << 1;
    QTest::newRow("none") << -1 << -1;
    QTest::newRow("below none") << -5 << -1;
    QTest::newRow("past the last item") << 7 << 1;
}

void TestFolderMonitor::fileExistsDialogSelection()
{
    QFETCH(int, set);
    QFETCH(int, selected);
    TFileExistsDlg dialog;
    dialog.setDisposalIndex(1 - qBound(0, selected, 1)); // start from the other item
    dialog.setDisposalIndex(set);
    QCOMPARE(dialog.disposalIndex(), selected);
    // Still an exclusive group: picking an item afterwards leaves one selected.
    dialog.DisposalGroup->button(0)->click();
    QCOMPARE(dialog.disposalIndex(), 0);
}

void TestFolderMonitor::fileExistsDialogCloseBoxIsCancel()
{
    TFileExistsDlg dialog;
    QTimer::singleShot(0, &dialog, [&] { QTest::mouseClick(dialog.OKBtn, Qt::LeftButton); });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY(dialog.OK);

    QTimer::singleShot(0, &dialog, [&] { dialog.close(); });
    dialog.exec();
    QVERIFY(!dialog.OK);
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(TestFolderMonitor)
#include "tst_foldermonitor.moc"
