#include "TSetDimension.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

TSetDimension::TSetDimension(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TSetDimension"));
    setWindowTitle(QStringLiteral("Set Dimension"));
    setFixedSize(218, 123);

    DimensionLbl = new QLabel(QStringLiteral("Height"), this);
    DimensionLbl->setObjectName(QStringLiteral("DimensionLbl"));
    DimensionLbl->setGeometry(12, 26, 52, 16);

    Dimension = new QLineEdit(this);
    Dimension->setObjectName(QStringLiteral("Dimension"));
    Dimension->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Dimension->setGeometry(68, 22, 97, 23);
    Dimension->installEventFilter(this);

    UnitsLbl = new QLabel(QStringLiteral("mm"), this);
    UnitsLbl->setObjectName(QStringLiteral("UnitsLbl"));
    UnitsLbl->setGeometry(172, 26, 36, 16);
    DimensionLbl->setBuddy(Dimension);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(24, 76, 75, 25);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(119, 76, 75, 25);
    connect(OKBtn, &QPushButton::clicked, this, &TSetDimension::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TSetDimension::CancelBtnClick);

    // Designed at the top left corner of the screen; an explicit place also keeps Qt from
    // centring it over the main window.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().topLeft());
    else
        move(0, 0);

    // Nothing to size before an image is laid out.
    setEnabled(false);
}

void TSetDimension::FormActivate()
{
    Cancelled = false;
}

void TSetDimension::OKBtnClick()
{
    close();
}

void TSetDimension::CancelBtnClick()
{
    Cancelled = true;
    close();
}

bool TSetDimension::DimensionKeyPress(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    close();
    return true;
}

void TSetDimension::showEvent(QShowEvent *event)
{
    FormActivate();
    Dimension->setFocus();
    Dimension->selectAll();
    QDialog::showEvent(event);
}

// Escape is the Cancel button's key. QDialog would reject the dialog, which is also what
// closing the window does; only Cancel and Escape mark it cancelled.
void TSetDimension::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel)) {
        CancelBtnClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TSetDimension::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Dimension && event->type() == QEvent::KeyPress &&
        DimensionKeyPress(static_cast<QKeyEvent *>(event)->key()))
        return true;
    return QDialog::eventFilter(watched, event);
}
