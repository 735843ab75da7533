#include "TSetDimension.h"

TSetDimension::TSetDimension(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TSetDimension"));
    setWindowTitle(QStringLiteral("Set Dimension"));
}
