#include "TErrorDisplay.h"

TErrorDisplay::TErrorDisplay(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TErrorDisplay"));
    setWindowTitle(QStringLiteral("Log File Error Display"));
}
