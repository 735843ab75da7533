#pragma once

#include <QList>
#include <QMap>
#include <QString>

class HelpViewer;

// Requests for the program's help. The help "file" is the folder DirIduHelp/ in the
// program folder: HTML pages and a map from help context numbers to pages.
class HelpService
{
public:
    virtual ~HelpService() = default;
    // Each answers false when the help or the page asked for cannot be shown.
    virtual bool showHelp(const QString &helpFile) = 0;
    // fileAndTopic: the help file, "::" and a topic path, e.g. ".../DirIduHelp::/html/Configuring.htm".
    virtual bool showTopic(const QString &fileAndTopic) = 0;
    virtual bool showContext(const QString &helpFile, int context) = 0;

    static HelpService &instance();
    // Replaces the service (tests); nullptr restores the built-in viewer.
    static void setInstance(HelpService *help);
};

// What a context map says: page per context number and the start page, relative to the
// help folder.
struct HelpContextMap
{
    QMap<int, QString> pages;
    QString startPage;

    static HelpContextMap parse(const QByteArray &text);
};

// Shows pages in the program's own small help window.
class ViewerHelpService : public HelpService
{
public:
    ~ViewerHelpService() override;
    bool showHelp(const QString &helpFile) override;
    bool showTopic(const QString &fileAndTopic) override;
    bool showContext(const QString &helpFile, int context) override;

private:
    bool showPage(const QString &helpFile, const QString &page);
    HelpViewer *m_viewer = nullptr;
};

class RecordingHelpService : public HelpService
{
public:
    struct Request
    {
        QString kind; // "help", "topic" or "context"
        QString target;
        int context = 0;
    };

    bool showHelp(const QString &helpFile) override;
    bool showTopic(const QString &fileAndTopic) override;
    bool showContext(const QString &helpFile, int context) override;

    void setAnswer(bool answer) { m_answer = answer; }
    const QList<Request> &requests() const { return m_requests; }

private:
    QList<Request> m_requests;
    bool m_answer = true;
};

class ScopedRecordingHelpService : public RecordingHelpService
{
public:
    ScopedRecordingHelpService() { HelpService::setInstance(this); }
    ~ScopedRecordingHelpService() override { HelpService::setInstance(nullptr); }
};
