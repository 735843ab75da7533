#include "TRecentCounter.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>

TRecentCounter::TRecentCounter(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TRecentCounter"));
    setWindowTitle(QStringLiteral("Recent File Count"));
    setProperty("helpContext", 2000);
    // A title but no buttons in it: OK is the only way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    Counter = new QSpinBox(this);
    Counter->setObjectName(QStringLiteral("Counter"));
    Counter->setRange(0, 25);
    Counter->setMinimumWidth(60);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(Counter);
    layout->addWidget(OKBtn);
    setFixedSize(sizeHint().expandedTo(QSize(200, 0)));
}

void TRecentCounter::reject() {}
