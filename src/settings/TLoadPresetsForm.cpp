#include "TLoadPresetsForm.h"

TLoadPresetsForm::TLoadPresetsForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TLoadPresetsForm"));
    setWindowTitle(QStringLiteral("Load Presets"));
    setProperty("helpContext", 6000);
}
