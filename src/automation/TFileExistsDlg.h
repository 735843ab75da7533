#pragma once

#include <QDialog>

// "File Exists": created hidden at start-up and kept until exit.
class TFileExistsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TFileExistsDlg(QWidget *parent = nullptr);
};
