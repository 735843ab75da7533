#pragma once

#include <QDialog>

// "Curve Preview": created hidden at start-up and kept until exit.
class TCurvePreview : public QDialog
{
    Q_OBJECT

public:
    explicit TCurvePreview(QWidget *parent = nullptr);
};
