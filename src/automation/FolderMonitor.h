#pragma once

#include "MonitorFiles.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class MailChannel;
class QAction;
class QFileSystemWatcher;
class QLabel;
class QTimer;
class QWidget;
class TFileExistsDlg;

// Watches one folder and hands every TIFF image that appears in it to the print queue:
// each file is moved into the folder's "Processed" subfolder first and then queued as a
// code-3 mail message, with WM_CHECKMAIL posted so the window reads it.
//
// The monitoring state is the enabled state of the window's StopMonitoring action and
// nothing else. Folder change reports only speed up the next scan; the scans themselves
// come from EggTimer (10 s when idle, 1 s after activity) for as long as monitoring is on,
// since change reports do not come on every file system (network shares send none). A
// monitored folder that is missing is looked for again by every scan.
class FolderMonitor : public QObject
{
    Q_OBJECT

public:
    // What the monitor uses of the main window. The pointers must outlive the monitor.
    // The dialog may come later through its setter (until then a name clash in
    // "Processed" counts as cancelled); without a timer the monitor makes its own EggTimer.
    struct Wiring
    {
        MailChannel *mailChannel = nullptr;
        QObject *checkMailReceiver = nullptr;
        QAction *stopMonitoring = nullptr;
        QLabel *statusPanel0 = nullptr;
        QLabel *statusPanel1 = nullptr;
        TFileExistsDlg *fileExistsDlg = nullptr;
        QTimer *eggTimer = nullptr;
        // The window's readiness check; it shows its own messages. Empty means ready.
        std::function<bool()> printReady;
        // The file the window still needs outside the mail queue: the image on its page,
        // which may be printed again. Empty function or text: none.
        std::function<QString()> fileInUse;
    };

    explicit FolderMonitor(const Wiring &wiring, QObject *parent = nullptr);
    ~FolderMonitor() override;

    static constexpr int IdleInterval = 10000;
    static constexpr int ActiveInterval = 1000;

    // The settings Monitoring/Folder, Options/Disposal and Options/RepeateFileExistsAction,
    // written from here at exit. At start-up the folder comes in through restore(); the
    // other two are set directly.
    QString MonitoredFolder;
    int Disposal = 0;
    bool RepeatFileExistsAction = false;

    // Start-up with the saved state: StopMonitoring enabled as saved, the status bar set;
    // when monitoring is on the folder is watched and scanned within a second, for the
    // files that came while the program was not running.
    void restore(bool state, const QString &folder);
    // Status panel 0 " Monitoring" (" Folder Missing" while the folder cannot be found)
    // and panel 1 the folder, or "Not Monitoring" and empty.
    void showStatus();
    bool isMonitoring() const;

    // The dialog is one of the windows made after the main window.
    void setFileExistsDlg(TFileExistsDlg *dialog) { m_fileExistsDlg = dialog; }
    QTimer *eggTimer() const { return m_eggTimer; }
    // The change notifier (object name "FolderMonitor").
    QFileSystemWatcher *changeNotifier() const { return m_watcher; }

    // The "&Monitor Folder" command: asks for a folder (window: the main window, over
    // which the browser opens), makes its "Processed" subfolder and starts monitoring.
    void MonitorFolder1Click(QWidget *window);
    // The "&Stop Monitoring" command. A scan under way ends after the file in hand.
    void StopMonitoringClick();
    // A report from the change notifier: scan within a second while monitoring.
    void FolderMonitorChange();
    // One scan of the monitored folder. A file that cannot be moved stops monitoring and
    // raises ZorError with the message for the user, after the scan has been wound up.
    void EggTimerTimer();
    // EggTimer's tick: EggTimerTimer with a raised error shown in the application's
    // standard error box.
    void scanFolder();

private:
    void stopMonitoring();
    QString statusText() const;
    void watch(const QString &folder);
    // Watches the monitored folder when it exists and is not watched yet (it came back, or
    // was missing at start); false while it is missing.
    bool findFolder();
    bool printReady() const;
    QString processedFolder() const;
    // Whether the file is still to be printed: queued, or in use by the window.
    bool stillWanted(const QString &path) const;
    // How a name clash in "Processed" is settled: target is where the file goes now, or
    // the file stays in the folder for a later scan.
    enum class Clash { Settled, LeaveForLater };
    Clash settleClash(const QString &name, QString *target);

    QPointer<MailChannel> m_mail;
    QPointer<QObject> m_checkMailReceiver;
    QAction *m_stopMonitoring;
    QLabel *m_statusPanel0;
    QLabel *m_statusPanel1;
    TFileExistsDlg *m_fileExistsDlg;
    QTimer *m_eggTimer;
    std::function<bool()> m_printReady;
    std::function<QString()> m_fileInUse;
    QFileSystemWatcher *m_watcher;
    FileCompleteness m_completeness;
    bool m_scanning = false;
    bool m_stoppedDuringScan = false;
};
