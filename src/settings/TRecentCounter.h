#pragma once

#include <QDialog>

// "Recent File Count": created hidden at start-up and kept until exit.
class TRecentCounter : public QDialog
{
    Q_OBJECT

public:
    explicit TRecentCounter(QWidget *parent = nullptr);
};
