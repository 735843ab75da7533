#include "SystemTray.h"

#include <QSystemTrayIcon>

namespace {

SystemTray *g_instance = nullptr;

} // namespace

SystemTray &SystemTray::instance()
{
    static DesktopSystemTray desktop;
    return g_instance ? *g_instance : desktop;
}

void SystemTray::setInstance(SystemTray *tray)
{
    g_instance = tray;
}

bool DesktopSystemTray::available() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}
