// The smaller commands of the main window: how many recent images are kept, the check items
// of the "&Options" menu, the tray icon and the "&Help" menu.
#include "TDiriduForm.h"

#include "HelpCommands.h"
#include "SystemTray.h"
#include "TAboutBox.h"
#include "TRecentCounter.h"

#include <QAction>
#include <QEvent>
#include <QGroupBox>
#include <QSpinBox>
#include <QSystemTrayIcon>

void TDiriduForm::connectOptionsAndHelp()
{
    connect(ui.RecentFileCountMenu, &QAction::triggered, this,
            &TDiriduForm::RecentFileCountMenuClick);
    connect(ui.MinimizeToTrayMenu, &QAction::triggered, this,
            &TDiriduForm::MinimizeToTrayMenuClick);
    connect(ui.DebugMenu, &QAction::triggered, this, &TDiriduForm::DebugMenuClick);
    connect(ui.CoolTrayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // Trays that speak the StatusNotifier protocol report a click, never a
                // double click: either brings the window back.
                if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
                    CoolTrayIconDblClick();
            });
    connect(ui.Restore1, &QAction::triggered, this, &TDiriduForm::Restore1Click);
    connect(ui.Contents1, &QAction::triggered, this, &TDiriduForm::Contents1Click);
    connect(ui.Tutorial, &QAction::triggered, this, &TDiriduForm::TutorialClick);
    connect(ui.About1, &QAction::triggered, this, &TDiriduForm::About1Click);
}

void TDiriduForm::RecentFileCountMenuClick()
{
    if (!RecentCounter)
        return;
    const int places = int(m_recentPlaces.size());
    RecentCounter->Counter->setValue(places);
    // Beside the paper box's lower right corner.
    const QPoint paperBox = ui.PaperBox->mapTo(ui.DropTarget, QPoint(0, 0));
    RecentCounter->move(x() + paperBox.x() + ui.PaperBox->width(),
                        y() + paperBox.y() + ui.PaperBox->height());
    RecentCounter->exec();
    const int count = RecentCounter->Counter->value();
    setRecentFileCount(count);
    ui.RecentFileCountMenu->setText(QStringLiteral("Recent File Count [%1]").arg(count));
}

void TDiriduForm::MinimizeToTrayMenuClick()
{
    MinimizeToTray = ui.MinimizeToTrayMenu->isChecked();
}

void TDiriduForm::DebugMenuClick()
{
    // Print requests take the mode from the item, so the tool windows follow it at once.
    Debugging = ui.DebugMenu->isChecked();
    setWindowTitle(Debugging ? VersionCaption + QStringLiteral(" [Debugging]") : VersionCaption);
}

void TDiriduForm::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized() || !MinimizeToTray)
        return;
    // Without a tray the icon could not be seen, and a hidden window would be lost.
    if (!SystemTray::instance().available())
        return;
    // Hidden once the minimizing has finished, not in the middle of it.
    QMetaObject::invokeMethod(this, &TDiriduForm::minimizeToTray, Qt::QueuedConnection);
}

void TDiriduForm::minimizeToTray()
{
    if (!isMinimized())
        return;
    ui.CoolTrayIcon->show();
    hide();
}

void TDiriduForm::CoolTrayIconDblClick()
{
    Restore1Click();
}

void TDiriduForm::Restore1Click()
{
    showNormal();
    raise();
    activateWindow();
}

void TDiriduForm::Contents1Click()
{
    ShowHelpContents(HelpFile);
}

void TDiriduForm::TutorialClick()
{
    OpenUserGuide(InstallFolder);
}

void TDiriduForm::About1Click()
{
    if (AboutBox)
        AboutBox->exec();
}
