#include "FolderMonitor.h"

#include "Dialogs.h"
#include "Events.h"
#include "MailChannel.h"
#include "MailMessage.h"
#include "TFileExistsDlg.h"
#include "ZorError.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <memory>

namespace {

const QString ProcessedName = QStringLiteral("Processed");

// Absolute, without "." or ".." and without a trailing "/" (except for the root itself).
QString normalisedFolder(const QString &folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

// A move across file systems copies the whole photograph and waits for the disk, which
// takes seconds for a large TIFF or a slow share: it runs on a thread of its own while the
// window goes on handling its events. The rename within one file system stays here, as it
// is done at once.
bool moveKeepingTheWindowResponsive(const QString &source, const QString &target)
{
    switch (renameWithinFileSystem(source, target)) {
    case RenameResult::Moved:
        return true;
    case RenameResult::Failed:
        return false;
    case RenameResult::OtherFileSystem:
        break;
    }
    bool moved = false;
    const std::unique_ptr<QThread> mover(
        QThread::create([&] { moved = copyAcrossFileSystems(source, target); }));
    QEventLoop loop;
    QObject::connect(mover.get(), &QThread::finished, &loop, &QEventLoop::quit);
    mover->start();
    loop.exec();
    // The loop also ends when the program is told to end; the copy is finished all the
    // same, so the photograph is in one place or the other.
    mover->wait();
    return moved;
}

} // namespace

FolderMonitor::FolderMonitor(const Wiring &wiring, QObject *parent)
    : QObject(parent), m_mail(wiring.mailChannel), m_checkMailReceiver(wiring.checkMailReceiver),
      m_stopMonitoring(wiring.stopMonitoring), m_statusPanel0(wiring.statusPanel0),
      m_statusPanel1(wiring.statusPanel1), m_fileExistsDlg(wiring.fileExistsDlg),
      m_eggTimer(wiring.eggTimer), m_printReady(wiring.printReady), m_fileInUse(wiring.fileInUse),
      m_watcher(new QFileSystemWatcher(this))
{
    if (!m_eggTimer) {
        m_eggTimer = new QTimer(this);
        m_eggTimer->setObjectName(QStringLiteral("EggTimer"));
        m_eggTimer->setInterval(IdleInterval);
    }
    connect(m_eggTimer, &QTimer::timeout, this, &FolderMonitor::scanFolder);

    m_watcher->setObjectName(QStringLiteral("FolderMonitor"));
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this,
            [this] { FolderMonitorChange(); });
}

FolderMonitor::~FolderMonitor() = default;

bool FolderMonitor::isMonitoring() const
{
    return m_stopMonitoring && m_stopMonitoring->isEnabled();
}

bool FolderMonitor::printReady() const
{
    return !m_printReady || m_printReady();
}

QString FolderMonitor::processedFolder() const
{
    return pathInFolder(MonitoredFolder, ProcessedName);
}

QString FolderMonitor::statusText() const
{
    if (!isMonitoring())
        return QStringLiteral("Not Monitoring");
    return QFileInfo(MonitoredFolder).isDir() ? QStringLiteral(" Monitoring")
                                              : QStringLiteral(" Folder Missing");
}

void FolderMonitor::showStatus()
{
    if (m_statusPanel0)
        m_statusPanel0->setText(statusText());
    if (m_statusPanel1)
        m_statusPanel1->setText(isMonitoring() ? MonitoredFolder : QString());
}

void FolderMonitor::watch(const QString &folder)
{
    if (const QStringList watched = m_watcher->directories(); !watched.isEmpty())
        m_watcher->removePaths(watched);
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        m_watcher->addPath(folder);
}

bool FolderMonitor::findFolder()
{
    const bool present = QFileInfo(MonitoredFolder).isDir();
    // A folder that was removed took its watch with it; one that is back gets a new one.
    if (present && isMonitoring() && !m_watcher->directories().contains(MonitoredFolder))
        watch(MonitoredFolder);
    showStatus();
    return present;
}

void FolderMonitor::restore(bool state, const QString &folder)
{
    MonitoredFolder = folder;
    if (m_stopMonitoring)
        m_stopMonitoring->setEnabled(state);
    watch(state ? folder : QString());
    showStatus();
    if (state)
        m_eggTimer->start(ActiveInterval);
    else
        m_eggTimer->stop();
}

void FolderMonitor::MonitorFolder1Click(QWidget *window)
{
    if (!printReady())
        return;
    // The browser opens over the active window; make sure that is the one it belongs to.
    if (window && window->isVisible() && !window->isActiveWindow())
        window->activateWindow();
    const QString start = MonitoredFolder.isEmpty() ? QDir::homePath() : MonitoredFolder;
    const QString chosen = Dialogs::instance().existingFolder(
        QStringLiteral("Monitor Folder"), QStringLiteral("Select Folder to be monitored."), start);
    if (chosen.isEmpty())
        return;
    MonitoredFolder = normalisedFolder(chosen);

    const QString processed = processedFolder();
    if (!QFileInfo(processed).isDir() && !QDir().mkdir(processed)) {
        Dialogs::instance().error(QStringLiteral("Cannot create \"Processed\" Folder"),
                                  Dialogs::Button::Cancel);
        return;
    }

    if (m_stopMonitoring)
        m_stopMonitoring->setEnabled(true);
    showStatus();
    watch(MonitoredFolder);
    m_eggTimer->start(IdleInterval);
}

void FolderMonitor::StopMonitoringClick()
{
    // Asked for while a move or a dialog of the scan waits: no further file is taken.
    if (m_scanning)
        m_stoppedDuringScan = true;
    stopMonitoring();
}

void FolderMonitor::stopMonitoring()
{
    if (m_statusPanel0)
        m_statusPanel0->setText(QStringLiteral("Not Monitoring"));
    if (m_statusPanel1)
        m_statusPanel1->clear();
    if (m_stopMonitoring)
        m_stopMonitoring->setEnabled(false);
    m_eggTimer->stop();
}

void FolderMonitor::FolderMonitorChange()
{
    if (!isMonitoring())
        return;
    // A tick already due within the second stays due: a folder that keeps reporting
    // changes must not put the scan off for ever.
    if (m_eggTimer->isActive() && m_eggTimer->interval() == ActiveInterval)
        return;
    m_eggTimer->start(ActiveInterval);
}

bool FolderMonitor::stillWanted(const QString &path) const
{
    const QByteArray file = QFile::encodeName(path);
    if (m_fileInUse) {
        const QString inUse = m_fileInUse();
        if (!inUse.isEmpty() && sameFile(file, QFile::encodeName(inUse)))
            return true;
    }
    if (!m_mail)
        return false;
    const QList<QByteArray> queued = m_mail->queuedPaths();
    return std::any_of(queued.cbegin(), queued.cend(),
                       [&file](const QByteArray &other) { return sameFile(file, other); });
}

FolderMonitor::Clash FolderMonitor::settleClash(const QString &name, QString *target)
{
    // A photograph in "Processed" that is still to be printed is never removed: the new
    // one of the same name waits in the folder until the other is done, unless it is to
    // be numbered without a question.
    const bool numberWithoutAsking =
        RepeatFileExistsAction && Disposal == TFileExistsDlg::AddSequenceNumber;
    if (!numberWithoutAsking && stillWanted(*target))
        return Clash::LeaveForLater;

    bool confirmed = false;
    if (m_fileExistsDlg) {
        m_fileExistsDlg->setDisposalIndex(Disposal);
        m_fileExistsDlg->RepeatAction->setChecked(RepeatFileExistsAction);
        m_fileExistsDlg->FileName->setText(*target);
        if (RepeatFileExistsAction)
            m_fileExistsDlg->OK = true;
        else
            m_fileExistsDlg->exec();
        QCoreApplication::processEvents();
        Disposal = m_fileExistsDlg->disposalIndex();
        RepeatFileExistsAction = m_fileExistsDlg->RepeatAction->isChecked();
        confirmed = m_fileExistsDlg->OK;
    }
    // After Cancel nothing makes room, and the move fails.
    if (confirmed && Disposal == TFileExistsDlg::AddSequenceNumber) {
        const QString processed = processedFolder();
        *target = pathInFolder(processed, sequencedName(name, [&](const QString &taken) {
                                   return pathTaken(pathInFolder(processed, taken));
                               }));
    } else if (confirmed && Disposal == TFileExistsDlg::RemoveIt) {
        // The dialog let other requests run; one of them may have queued the file.
        if (stillWanted(*target))
            return Clash::LeaveForLater;
        QFile::remove(*target);
    }
    return Clash::Settled;
}

void FolderMonitor::EggTimerTimer()
{
    // A modal dialog, a print or a move across file systems lets timer ticks through while
    // a scan waits.
    if (m_scanning)
        return;
    m_scanning = true;
    m_stoppedDuringScan = false;
    m_eggTimer->stop();
    bool found = false;
    HeldFile file;
    const auto windUp = qScopeGuard([&] {
        m_scanning = false;
        file.close();
        if (isMonitoring())
            m_eggTimer->start(found ? ActiveInterval : IdleInterval);
    });

    // A missing folder (a share not mounted yet, a folder made again later) is looked for
    // again on the next tick.
    if (!findFolder())
        return;
    const QString folder = MonitoredFolder;
    const QString processed = processedFolder();
    const QStringList names = listMonitoredFiles(folder);
    m_completeness.keepOnly(names);
    // A folder made again has no "Processed" yet; if it cannot be made, the move says so.
    if (!names.isEmpty() && !QFileInfo(processed).isDir())
        QDir().mkdir(processed);

    for (const QString &name : names) {
        if (m_stoppedDuringScan)
            break;
        found = true;
        const QString source = pathInFolder(folder, name);
        if (!file.open(source) ||
            !m_completeness.isComplete(file, name, QDateTime::currentMSecsSinceEpoch())) {
            file.close();
            continue;
        }
        QString target = pathInFolder(processed, name);

        if (!printReady()) {
            stopMonitoring();
            file.close();
            continue;
        }

        if (pathTaken(target) && settleClash(name, &target) == Clash::LeaveForLater) {
            file.close();
            continue;
        }
        file.close();

        if (!moveKeepingTheWindowResponsive(source, target)) {
            stopMonitoring();
            throw ZorError(QStringLiteral("Unable to move \"%1\" to the \"Processed\" folder. "
                                          "Folder monitoring disabled.")
                               .arg(source));
        }

        if (m_mail)
            m_mail->write(makeMailMessage(MailCode::MonitorFolder, target));
        if (m_checkMailReceiver)
            QCoreApplication::postEvent(m_checkMailReceiver, new QEvent(WM_CHECKMAIL));
    }
}

void FolderMonitor::scanFolder()
{
    try {
        EggTimerTimer();
    } catch (const ZorError &error) {
        Dialogs::instance().applicationError(error.message());
    }
}
