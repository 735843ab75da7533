#include "TProfileErrors.h"

TProfileErrors::TProfileErrors(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TProfileErrors"));
    setWindowTitle(QStringLiteral("Curvewright Report"));
}
