#pragma once

// Whether the desktop shows tray icons. Where it does not, a window hidden "to the tray"
// could never be found again, so minimizing must then behave as usual.
class SystemTray
{
public:
    virtual ~SystemTray() = default;
    virtual bool available() const = 0;

    static SystemTray &instance();
    // Replaces the service (tests); nullptr restores the desktop's answer.
    static void setInstance(SystemTray *tray);
};

// Asks the desktop (QSystemTrayIcon::isSystemTrayAvailable).
class DesktopSystemTray : public SystemTray
{
public:
    bool available() const override;
};

// Answers as told, for the lifetime of a test.
class ScopedFixedSystemTray : public SystemTray
{
public:
    explicit ScopedFixedSystemTray(bool available) : m_available(available)
    {
        SystemTray::setInstance(this);
    }
    ~ScopedFixedSystemTray() override { SystemTray::setInstance(nullptr); }
    bool available() const override { return m_available; }

private:
    bool m_available;
};
