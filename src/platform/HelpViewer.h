#pragma once

#include <QWidget>

class QTextBrowser;

// A small window that shows the HTML help pages, with back, forward and contents.
class HelpViewer : public QWidget
{
    Q_OBJECT

public:
    explicit HelpViewer(QWidget *parent = nullptr);

    void showPage(const QString &path, const QString &startPage);

private:
    QTextBrowser *m_browser;
    QString m_startPage;
};
