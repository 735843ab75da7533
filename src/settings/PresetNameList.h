#pragma once

#include <QStringList>

class QListWidget;

// The name list of the preset dialogs: filled without selecting anything or running a
// handler, and read back in list order.
void setListNames(QListWidget *list, const QStringList &names);
QStringList listNames(const QListWidget *list);
