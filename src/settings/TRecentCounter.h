#pragma once

#include <QDialog>

class QPushButton;
class QSpinBox;

// "Recent File Count": created hidden at start-up and kept until exit. It asks how many
// recent images the "&Image" menu keeps; it has no title-bar buttons and only OK closes it.
class TRecentCounter : public QDialog
{
    Q_OBJECT

public:
    explicit TRecentCounter(QWidget *parent = nullptr);

    QSpinBox *Counter = nullptr;
    QPushButton *OKBtn = nullptr;

public slots:
    // Escape and a close request from the window manager (which QDialog turns into a
    // reject) leave the dialog open.
    void reject() override;
};
