#include "TRecentCounter.h"

TRecentCounter::TRecentCounter(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TRecentCounter"));
    setWindowTitle(QStringLiteral("Recent File Count"));
    setProperty("helpContext", 2000);
}
