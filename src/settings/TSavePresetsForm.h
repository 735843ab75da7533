#pragma once

#include <QDialog>

// "Save Preset": created hidden at start-up and kept until exit.
class TSavePresetsForm : public QDialog
{
    Q_OBJECT

public:
    explicit TSavePresetsForm(QWidget *parent = nullptr);
};
