#include "Beeper.h"

#include <QApplication>
#include <QThread>

namespace {

Beeper *g_instance = nullptr;

} // namespace

Beeper &Beeper::instance()
{
    static SystemBeeper real;
    return g_instance ? *g_instance : real;
}

void Beeper::setInstance(Beeper *beeper)
{
    g_instance = beeper;
}

void SystemBeeper::beep()
{
    QApplication::beep();
}

void SystemBeeper::pause(int milliseconds)
{
    QThread::msleep(milliseconds);
}

void ErrorBeep()
{
    QCoreApplication::processEvents();
    Beeper &beeper = Beeper::instance();
    beeper.beep();
    beeper.pause(250);
    beeper.beep();
}
