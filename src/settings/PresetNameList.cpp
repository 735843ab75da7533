#include "PresetNameList.h"

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
