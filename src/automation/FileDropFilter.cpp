#include "FileDropFilter.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

FileDropFilter::FileDropFilter(QWidget *window, DropHandler onDrop, QObject *parent)
    : QObject(parent), m_window(window), m_onDrop(std::move(onDrop))
{
}

QStringList FileDropFilter::localFiles(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

bool FileDropFilter::isOnWindow(QObject *object) const
{
    const auto *widget = qobject_cast<QWidget *>(object);
    return widget && m_window && widget->window() == m_window;
}

// Only the names are taken: the drop is a link, the files are neither copied nor moved.
bool FileDropFilter::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    if (!isOnWindow(watched))
        return QObject::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    const QStringList paths = localFiles(drop->mimeData());
    if (paths.isEmpty())
        return QObject::eventFilter(watched, event);
    drop->setDropAction(Qt::LinkAction);
    drop->accept();
    if (type == QEvent::Drop && m_onDrop)
        m_onDrop(paths);
    return true;
}
