#pragma once

#include <QDialog>

// "About": created hidden at start-up and kept until exit.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);
};
