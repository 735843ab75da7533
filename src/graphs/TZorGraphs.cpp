#include "TZorGraphs.h"

TZorGraphs::TZorGraphs(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TZorGraphs"));
    setWindowTitle(QStringLiteral("Graph of Curve "));
}
