#include "HelpViewer.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpViewer::HelpViewer(QWidget *parent) : QWidget(parent, Qt::Window), m_browser(new QTextBrowser)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Diridu Help"));
    resize(640, 560);

    auto *back = new QPushButton(style()->standardIcon(QStyle::SP_ArrowBack), tr("Back"));
    auto *forward = new QPushButton(style()->standardIcon(QStyle::SP_ArrowForward), tr("Forward"));
    auto *contents = new QPushButton(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("Contents"));
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(contents, &QPushButton::clicked, this, [this] {
        if (!m_startPage.isEmpty())
            m_browser->setSource(QUrl::fromLocalFile(m_startPage));
    });
    m_browser->setOpenExternalLinks(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(contents);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);
}

void HelpViewer::showPage(const QString &path, const QString &startPage)
{
    m_startPage = startPage;
    m_browser->setSource(QUrl::fromLocalFile(path));
    show();
    raise();
    activateWindow();
}
