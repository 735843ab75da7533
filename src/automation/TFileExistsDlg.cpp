#include "TFileExistsDlg.h"

TFileExistsDlg::TFileExistsDlg(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFileExistsDlg"));
    setWindowTitle(QStringLiteral("File Exists"));
    setProperty("helpContext", 8000);
}
