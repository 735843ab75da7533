#include "PresetNameList.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QListWidget>

void setListNames(QListWidget *list, const QStringList &names)
{
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(names);
}

QStringList listNames(const QListWidget *list)
{
    QStringList names;
    names.reserve(list->count());
    for (int row = 0; row < list->count(); ++row)
        names.append(list->item(row)->text());
    return names;
}

QListWidget *newPresetList(QWidget *parent, int height)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(QStringLiteral("PresetList"));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSortingEnabled(true);
    list->setFixedSize(200, height);
    return list;
}

void layOutPresetDialog(QDialog *dialog, QLayout *fields, QLayout *buttons)
{
    auto *layout = new QHBoxLayout(dialog);
    layout->setContentsMargins(12, 10, 12, 12);
    layout->setSpacing(12);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
