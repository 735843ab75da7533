#pragma once

#include <QDialog>

// "Set Dimension": created hidden at start-up and kept until exit.
class TSetDimension : public QDialog
{
    Q_OBJECT

public:
    explicit TSetDimension(QWidget *parent = nullptr);
};
