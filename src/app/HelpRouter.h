#pragma once

#include <QObject>
#include <QString>

// Sends F1 to the help: the help context of the control with the focus, of the menu item
// under the cursor, or of the nearest window or group around them that has one.
class HelpRouter : public QObject
{
    Q_OBJECT

public:
    explicit HelpRouter(QString helpFile, QObject *parent = nullptr)
        : QObject(parent), m_helpFile(std::move(helpFile))
    {
    }

    // The help context of object or of the nearest parent that has one; 0 for none.
    static int helpContextOf(const QObject *object);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_helpFile;
};
