#pragma once

#include <QListWidget>
#include <QStringList>

class QDialog;
class QLayout;

// The name list of the preset dialogs: filled without selecting anything or running a
// handler, and read back in list order.
void setListNames(QListWidget *list, const QStringList &names);
QStringList listNames(const QListWidget *list);

// The sorted, single-choice name list of a preset dialog (names sort with letter case
// significant, as the dialogs show them).
QListWidget *newPresetList(QWidget *parent, int height);

// The dialogs' shape: the fields on the left, the buttons beside them, a fixed size.
void layOutPresetDialog(QDialog *dialog, QLayout *fields, QLayout *buttons);

// A click, and moving through the list with the keys, pick a name; a double click acts.
template <typename Dialog>
void connectPresetList(QListWidget *list, Dialog *dialog, void (Dialog::*click)(),
                       void (Dialog::*doubleClick)())
{
    QObject::connect(list, &QListWidget::itemClicked, dialog, click);
    QObject::connect(list, &QListWidget::itemSelectionChanged, dialog, click);
    QObject::connect(list, &QListWidget::itemDoubleClicked, dialog, doubleClick);
}
