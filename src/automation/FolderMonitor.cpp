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
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QScopeGuard>
#include <QTimer>
#include <QWidget>

namespace {

const QString ProcessedName = QStringLiteral("Processed");

// Absolute, without "." or ".." and without a trailing "/" (except for the root itself).
QString normalisedFolder(const QString &folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

} // namespace

FolderMonitor::FolderMonitor(const Wiring &wiring, QObject *parent)
    : QObject(parent), m_mail(wiring.mailChannel), m_checkMailReceiver(wiring.checkMailReceiver),
      m_stopMonitoring(wiring.stopMonitoring), m_statusPanel0(wiring.statusPanel0),
      m_statusPanel1(wiring.statusPanel1), m_fileExistsDlg(wiring.fileExistsDlg),
      m_eggTimer(wiring.eggTimer), m_printReady(wiring.printReady),
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

void FolderMonitor::setMailChannel(MailChannel *channel)
{
    m_mail = channel;
}

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

void FolderMonitor::showStatus()
{
    const bool monitoring = isMonitoring();
    if (m_statusPanel0)
        m_statusPanel0->setText(monitoring ? QStringLiteral(" Monitoring")
                                           : QStringLiteral("Not Monitoring"));
    if (m_statusPanel1)
        m_statusPanel1->setText(monitoring ? MonitoredFolder : QString());
}

void FolderMonitor::watch(const QString &folder)
{
    if (const QStringList watched = m_watcher->directories(); !watched.isEmpty())
        m_watcher->removePaths(watched);
    if (!folder.isEmpty())
        m_watcher->addPath(folder);
}

void FolderMonitor::restore(bool state, const QString &folder)
{
    MonitoredFolder = folder;
    if (m_stopMonitoring)
        m_stopMonitoring->setEnabled(state);
    // Nothing is scanned before the folder reports a change.
    m_eggTimer->stop();
    watch(state ? folder : QString());
    showStatus();
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

void FolderMonitor::EggTimerTimer()
{
    // A modal dialog or a print lets timer ticks through while a scan waits.
    if (m_scanning)
        return;
    m_scanning = true;
    m_eggTimer->stop();
    bool found = false;
    HeldFile file;
    const auto windUp = qScopeGuard([&] {
        m_scanning = false;
        file.close();
        if (isMonitoring())
            m_eggTimer->start(found ? ActiveInterval : IdleInterval);
    });

    const QString folder = MonitoredFolder;
    const QString processed = processedFolder();
    const QStringList names = listMonitoredFiles(folder);
    m_completeness.keepOnly(names);

    for (const QString &name : names) {
        found = true;
        const QString source = pathInFolder(folder, name);
        if (!file.open(source) ||
            !m_completeness.isComplete(file, name, QDateTime::currentMSecsSinceEpoch())) {
            file.close();
            continue;
        }
        QString target = pathInFolder(processed, name);

        if (!printReady()) {
            StopMonitoringClick();
            file.close();
            continue;
        }

        if (pathTaken(target)) {
            bool confirmed = false;
            if (m_fileExistsDlg) {
                m_fileExistsDlg->setDisposalIndex(Disposal);
                m_fileExistsDlg->RepeatAction->setChecked(RepeatFileExistsAction);
                m_fileExistsDlg->FileName->setText(target);
                if (RepeatFileExistsAction)
                    m_fileExistsDlg->OK = true;
                else
                    m_fileExistsDlg->exec();
                QCoreApplication::processEvents();
                Disposal = m_fileExistsDlg->disposalIndex();
                RepeatFileExistsAction = m_fileExistsDlg->RepeatAction->isChecked();
                confirmed = m_fileExistsDlg->OK;
            }
            // After Cancel nothing makes room, and the move below fails.
            if (confirmed && Disposal == TFileExistsDlg::AddSequenceNumber) {
                target = pathInFolder(processed, sequencedName(name, [&](const QString &taken) {
                                          return pathTaken(pathInFolder(processed, taken));
                                      }));
            } else if (confirmed && Disposal == TFileExistsDlg::RemoveIt) {
                QFile::remove(target);
            }
        }
        file.close();

        if (!moveWithoutReplacing(source, target)) {
            StopMonitoringClick();
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
