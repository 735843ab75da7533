// Builds the installation's "Zorlane User Guide.pdf" from the help pages: a title page,
// then the contents page and every page it links to, each starting on a new page.
//
//   userguide <folder of the help pages> <output PDF> <version>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QStringList>
#include <QTextDocument>
#include <QUrl>

#include <cstdio>

namespace {

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// The pages the contents page links to, in its order, each once.
QStringList linkedPages(const QString &contents)
{
    QStringList pages;
    static const QRegularExpression link(QStringLiteral("href=\"([^\"#]+\\.htm)\""));
    for (const QRegularExpressionMatch &match : link.globalMatch(contents)) {
        const QString page = QUrl::fromPercentEncoding(match.captured(1).toUtf8());
        if (!pages.contains(page) && page != QLatin1String("index.htm"))
            pages.append(page);
    }
    return pages;
}

// What a page shows in print: its body without the navigation bar, starting a new page.
QString printedBody(const QString &html)
{
    static const QRegularExpression body(QStringLiteral("<body[^>]*>(.*)</body>"),
                                         QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression nav(QStringLiteral("<p class=\"nav\">.*?</p>"),
                                        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression firstHeading(QStringLiteral("<h1>"));
    QString text = body.match(html).captured(1);
    text.remove(nav);
    text.replace(firstHeading, QStringLiteral("<h1 style=\"page-break-before: always\">"));
    return text;
}

QString titlePage(const QString &version)
{
    return QStringLiteral("<p style=\"margin-top: 180px\"></p>"
                          "<h1 align=\"center\" style=\"font-size: 28pt\">Zorlane User Guide</h1>"
                          "<p align=\"center\" style=\"font-size: 14pt\">Diridu, the print "
                          "window of the Zorlane RIP</p>"
                          "<p align=\"center\">Version %1</p>")
        .arg(version.toHtmlEscaped());
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: userguide <help pages folder> <output.pdf> <version>\n");
        return 2;
    }
    const QString folder = args.at(1) + QLatin1Char('/');
    const QString contents = readText(folder + QStringLiteral("index.htm"));
    if (contents.isEmpty()) {
        std::fprintf(stderr, "userguide: no contents page in %s\n", qPrintable(folder));
        return 1;
    }
    QString html = titlePage(args.at(3)) + printedBody(contents);
    for (const QString &page : linkedPages(contents)) {
        const QString text = readText(folder + page);
        if (text.isEmpty()) {
            std::fprintf(stderr, "userguide: cannot read %s\n", qPrintable(folder + page));
            return 1;
        }
        html += printedBody(text);
    }

    QPdfWriter pdf(args.at(2));
    pdf.setTitle(QStringLiteral("Zorlane User Guide"));
    pdf.setCreator(QStringLiteral("Diridu"));
    pdf.setResolution(300);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
    QTextDocument document;
    document.setDefaultStyleSheet(readText(folder + QStringLiteral("help.css")));
    document.setHtml(html);
    document.print(&pdf);
    return QFile::exists(args.at(2)) ? 0 : 1;
}
