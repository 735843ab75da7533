#include "HelpRouter.h"

#include "HelpService.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>

int HelpRouter::helpContextOf(const QObject *object)
{
    for (; object; object = object->parent()) {
        if (const auto *menu = qobject_cast<const QMenu *>(object)) {
            if (const QAction *action = menu->activeAction()) {
                const int context = action->property("helpContext").toInt();
                if (context != 0)
                    return context;
            }
            const int context = menu->menuAction()->property("helpContext").toInt();
            if (context != 0)
                return context;
        }
        const int context = object->property("helpContext").toInt();
        if (context != 0)
            return context;
    }
    return 0;
}

bool HelpRouter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent *>(event)->key() != Qt::Key_F1)
        return QObject::eventFilter(watched, event);
    QObject *target = QApplication::activePopupWidget();
    if (!target)
        target = QApplication::focusWidget();
    if (!target)
        target = watched;
    const int context = helpContextOf(target);
    if (context != 0)
        HelpService::instance().showContext(m_helpFile, context);
    else
        HelpService::instance().showHelp(m_helpFile);
    return true;
}
