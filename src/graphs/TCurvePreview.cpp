#include "TCurvePreview.h"

TCurvePreview::TCurvePreview(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TCurvePreview"));
    setWindowTitle(QStringLiteral("Curve Preview"));
}
