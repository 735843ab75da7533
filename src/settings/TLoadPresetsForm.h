#pragma once

#include <QDialog>

// "Load Presets": created hidden at start-up and kept until exit.
class TLoadPresetsForm : public QDialog
{
    Q_OBJECT

public:
    explicit TLoadPresetsForm(QWidget *parent = nullptr);
};
