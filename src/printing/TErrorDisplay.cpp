#include "TErrorDisplay.h"

#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QWidget *toolPage(QTabWidget *pages, const char *name, const QString &caption, QListWidget *list)
{
    auto *page = new QWidget;
    page->setObjectName(QLatin1String(name));
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(list);
    pages->addTab(page, caption);
    return page;
}

QListWidget *lineList(const char *name)
{
    auto *list = new QListWidget;
    list->setObjectName(QLatin1String(name));
    return list;
}

} // namespace

TErrorDisplay::TErrorDisplay(QWidget *parent)
    : QDialog(parent),
      ErrorPages(new QTabWidget),
      RastermillList(lineList("RastermillList")),
      InkforgeList(lineList("InkforgeList")),
      SpoolgateList(lineList("SpoolgateList")),
      OKBtn(new QPushButton(QStringLiteral("OK")))
{
    setObjectName(QStringLiteral("TErrorDisplay"));
    setWindowTitle(QStringLiteral("Log File Error Display"));
    resize(537, 275);
    ErrorPages->setObjectName(QStringLiteral("ErrorPages"));
    RastermillDisplay =
        toolPage(ErrorPages, "RastermillDisplay", QStringLiteral("Rastermill"), RastermillList);
    InkforgeDisplay =
        toolPage(ErrorPages, "InkforgeDisplay", QStringLiteral("Inkforge"), InkforgeList);
    SpoolgateDisplay =
        toolPage(ErrorPages, "SpoolgateDisplay", QStringLiteral("Spoolgate"), SpoolgateList);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ErrorPages);
    layout->addWidget(OKBtn, 0, Qt::AlignHCenter);
}

void TErrorDisplay::setLines(const QStringList &rastermill, const QStringList &inkforge,
                             const QStringList &spoolgate)
{
    for (const auto &[list, lines] :
         {std::pair{RastermillList, &rastermill}, std::pair{InkforgeList, &inkforge},
          std::pair{SpoolgateList, &spoolgate}}) {
        list->clear();
        list->addItems(*lines);
    }
}

void TErrorDisplay::FormShow()
{
    ErrorPages->setTabVisible(0, RastermillList->count() > 0);
    ErrorPages->setTabVisible(1, InkforgeList->count() > 0);
    ErrorPages->setTabVisible(2, SpoolgateList->count() > 0);
}

void TErrorDisplay::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}
