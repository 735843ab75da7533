#include "TSavePresetsForm.h"

TSavePresetsForm::TSavePresetsForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TSavePresetsForm"));
    setWindowTitle(QStringLiteral("Save Preset"));
    setProperty("helpContext", 6000);
}
