#pragma once

#include <QDialog>

class QListWidget;

// "Curvewright Report": one line per entry of a curve creation run's report, or of the
// errors found in an ink description. Created hidden at start-up and kept until exit; each
// user sets the caption.
class TProfileErrors : public QDialog
{
    Q_OBJECT

public:
    explicit TProfileErrors(QWidget *parent = nullptr);

    // Shows lines under caption and returns when the window is closed.
    void showReport(const QString &caption, const QStringList &lines);
    QStringList lines() const;

    QListWidget *Errors;
};
