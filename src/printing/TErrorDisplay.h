#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;
class QTabWidget;

// "Log File Error Display": the tools' error lines of the last print request, one tab per
// tool, shown only for the tools that reported something.
class TErrorDisplay : public QDialog
{
    Q_OBJECT

public:
    explicit TErrorDisplay(QWidget *parent = nullptr);

    // Replaces the lines of the three lists.
    void setLines(const QStringList &rastermill, const QStringList &inkforge,
                  const QStringList &spoolgate);

    QTabWidget *ErrorPages;
    QWidget *RastermillDisplay;
    QWidget *InkforgeDisplay;
    QWidget *SpoolgateDisplay;
    QListWidget *RastermillList;
    QListWidget *InkforgeList;
    QListWidget *SpoolgateList;
    QPushButton *OKBtn;

    void FormShow();

protected:
    void showEvent(QShowEvent *event) override;
};
