#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class QMimeData;
class QWidget;

// Takes every drag of local files over one window for that window. Qt hands a drag to the
// deepest widget under the mouse that accepts drops, and line edits, editable combo boxes
// and spin boxes would type the dropped path instead. Installed on the application, this
// filter sees the drag events of every widget before the widget does; drags that carry no
// local file (dragged text, web links) go on to the widget as usual.
class FileDropFilter : public QObject
{
    Q_OBJECT

public:
    using DropHandler = std::function<void(const QStringList &paths)>;

    // window: the top-level widget whose drops are taken. onDrop gets the dropped paths
    // in the order the drag gives them.
    FileDropFilter(QWidget *window, DropHandler onDrop, QObject *parent = nullptr);

    // The local files named by a drag, in order; folders count. Empty when there are none.
    static QStringList localFiles(const QMimeData *data);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isOnWindow(QObject *object) const;

    QPointer<QWidget> m_window;
    DropHandler m_onDrop;
};
