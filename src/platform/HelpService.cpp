#include "HelpService.h"

#include "HelpViewer.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

HelpService *g_instance = nullptr;

const QLatin1String kContextMap("/context.map");

HelpContextMap readContextMap(const QString &helpFile)
{
    QFile file(helpFile + kContextMap);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // A context map is a few lines; anything larger is not one.
    return HelpContextMap::parse(file.read(64 * 1024));
}

} // namespace

HelpContextMap HelpContextMap::parse(const QByteArray &text)
{
    HelpContextMap map;
    for (const QByteArray &rawLine : text.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (line.startsWith(QLatin1Char('#')) || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString page = line.mid(equals + 1).trimmed();
        bool isNumber = false;
        const int context = key.toInt(&isNumber);
        if (isNumber)
            map.pages.insert(context, page);
        else if (key == QLatin1String("start"))
            map.startPage = page;
    }
    return map;
}

HelpService &HelpService::instance()
{
    static ViewerHelpService real;
    return g_instance ? *g_instance : real;
}

void HelpService::setInstance(HelpService *help)
{
    g_instance = help;
}

ViewerHelpService::~ViewerHelpService()
{
    // The program's service is a static that goes after the application: a window can no
    // longer be deleted then, and the process is ending anyway.
    if (QCoreApplication::instance())
        delete m_viewer;
}

bool ViewerHelpService::showHelp(const QString &helpFile)
{
    const HelpContextMap map = readContextMap(helpFile);
    return !map.startPage.isEmpty() && showPage(helpFile, map.startPage);
}

bool ViewerHelpService::showTopic(const QString &fileAndTopic)
{
    const qsizetype separator = fileAndTopic.indexOf(QLatin1String("::"));
    if (separator < 0)
        return showHelp(fileAndTopic);
    QString topic = fileAndTopic.mid(separator + 2);
    while (topic.startsWith(QLatin1Char('/')))
        topic.remove(0, 1);
    return showPage(fileAndTopic.left(separator), topic);
}

bool ViewerHelpService::showContext(const QString &helpFile, int context)
{
    const QString page = readContextMap(helpFile).pages.value(context);
    return !page.isEmpty() && showPage(helpFile, page);
}

bool ViewerHelpService::showPage(const QString &helpFile, const QString &page)
{
    const QString path = helpFile + QLatin1Char('/') + page;
    if (!QFileInfo(path).isFile())
        return false;
    if (!m_viewer)
        m_viewer = new HelpViewer;
    const QString startPage = readContextMap(helpFile).startPage;
    m_viewer->showPage(path,
                       startPage.isEmpty() ? QString() : helpFile + QLatin1Char('/') + startPage);
    return true;
}

bool RecordingHelpService::showHelp(const QString &helpFile)
{
    m_requests.append({QStringLiteral("help"), helpFile, 0});
    return m_answer;
}

bool RecordingHelpService::showTopic(const QString &fileAndTopic)
{
    m_requests.append({QStringLiteral("topic"), fileAndTopic, 0});
    return m_answer;
}

bool RecordingHelpService::showContext(const QString &helpFile, int context)
{
    m_requests.append({QStringLiteral("context"), helpFile, context});
    return m_answer;
}
