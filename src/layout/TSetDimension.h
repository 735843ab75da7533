#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "Set Dimension": asks for the printed height or width of the image. Created hidden at
// start-up and kept until exit; disabled until an image is laid out, and it is only shown
// while enabled. The caller fills DimensionLbl, Dimension and UnitsLbl, runs it modally and
// then reads Cancelled: only the Cancel button and Escape cancel, every other way of closing
// it (OK, Enter in the edit, the window's close button) accepts what was typed.
class TSetDimension : public QDialog
{
    Q_OBJECT

public:
    explicit TSetDimension(QWidget *parent = nullptr);

    QLabel *DimensionLbl = nullptr;
    QLineEdit *Dimension = nullptr;
    QLabel *UnitsLbl = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    bool Cancelled = false;

    void FormActivate();
    void OKBtnClick();
    void CancelBtnClick();
    // Enter in the edit closes the dialog (accepting it) and goes no further.
    bool DimensionKeyPress(int key);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};
