#pragma once

#include <QDialog>

class QPushButton;

// "Curve Detail": point lists and curve files of one ink slot. Created hidden at start-up.
class TInkLoaderForm : public QDialog
{
    Q_OBJECT

public:
    explicit TInkLoaderForm(QWidget *parent = nullptr);

    // Enabled only while the clipboard holds text.
    QPushButton *PasteBtn;
};
