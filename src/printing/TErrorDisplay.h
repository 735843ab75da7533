#pragma once

#include <QDialog>

// "Log File Error Display": created hidden at start-up and kept until exit.
class TErrorDisplay : public QDialog
{
    Q_OBJECT

public:
    explicit TErrorDisplay(QWidget *parent = nullptr);
};
