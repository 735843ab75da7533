#pragma once

#include <QWidget>

class QComboBox;
class QFileDialog;
class QPushButton;

// "Curve Creator": the ink description editor. Created hidden at start-up; shown without
// blocking the main window.
class TInkDescription : public QWidget
{
    Q_OBJECT

public:
    explicit TInkDescription(QWidget *parent = nullptr);

    // A copy of the main window's model list, in the same order.
    QComboBox *PrintingModelName;
    // Enabled only while the clipboard holds text.
    QPushButton *PasteBtn;
    QFileDialog *OpenInkDescription;
};
