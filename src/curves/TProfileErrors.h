#pragma once

#include <QDialog>

// "Curvewright Report": created hidden at start-up and kept until exit.
class TProfileErrors : public QDialog
{
    Q_OBJECT

public:
    explicit TProfileErrors(QWidget *parent = nullptr);
};
