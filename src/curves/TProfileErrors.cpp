#include "TProfileErrors.h"

#include <QListWidget>
#include <QVBoxLayout>

TProfileErrors::TProfileErrors(QWidget *parent) : QDialog(parent), Errors(new QListWidget)
{
    setObjectName(QStringLiteral("TProfileErrors"));
    setWindowTitle(QStringLiteral("Curvewright Report"));
    Errors->setObjectName(QStringLiteral("Errors"));
    Errors->setSelectionMode(QAbstractItemView::NoSelection);
    Errors->setUniformItemSizes(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Errors);
    resize(560, 300);
}

void TProfileErrors::showReport(const QString &caption, const QStringList &lines)
{
    setWindowTitle(caption);
    Errors->clear();
    Errors->addItems(lines);
    exec();
}

QStringList TProfileErrors::lines() const
{
    QStringList result;
    for (int i = 0; i < Errors->count(); ++i)
        result.append(Errors->item(i)->text());
    return result;
}
