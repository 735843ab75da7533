#pragma once

#include <QDialog>

// "Graph of Curve ": created hidden at start-up and kept until exit.
class TZorGraphs : public QDialog
{
    Q_OBJECT

public:
    explicit TZorGraphs(QWidget *parent = nullptr);
};
