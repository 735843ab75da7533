#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Opens a document with the application the desktop associates with its kind, as the
// system shell's "open" does. Results follow the shell's numbering: 32 or more is
// success, below that the reason it failed.
class DocumentOpener
{
public:
    enum Result : int {
        LaunchFailed = 0,
        FileNotFound = 2,
        AccessDenied = 5,
        NoAssociation = 31,
        Opened = 33,
    };

    static bool succeeded(int result) { return result >= 32; }

    virtual ~DocumentOpener() = default;
    virtual int open(const QString &path) = 0;

    static DocumentOpener &instance();
    // Replaces the service (tests); nullptr restores the desktop's.
    static void setInstance(DocumentOpener *opener);
};

// Hands the document to the desktop (xdg-open and the like) after checking that it can be
// read and that some installed application declares it opens such files.
class DesktopDocumentOpener : public DocumentOpener
{
public:
    int open(const QString &path) override;
};

// True when the text of a desktop entry, a mimeapps.list or a mimeinfo.cache names an
// application for the MIME type mime (a "MimeType=" list holding it, or a "mime=" line
// with at least one application).
bool declaresApplicationFor(const QByteArray &text, const QString &mime);

// True when one of the desktop's application folders (XDG data folders) declares an
// application for mime.
bool desktopHasApplicationFor(const QString &mime);

// Records the paths asked for and answers with a prepared result (Opened by default).
class RecordingDocumentOpener : public DocumentOpener
{
public:
    int open(const QString &path) override;

    void setResult(int result) { m_result = result; }
    const QStringList &opened() const { return m_opened; }

private:
    QStringList m_opened;
    int m_result = Opened;
};

class ScopedRecordingDocumentOpener : public RecordingDocumentOpener
{
public:
    ScopedRecordingDocumentOpener() { DocumentOpener::setInstance(this); }
    ~ScopedRecordingDocumentOpener() override { DocumentOpener::setInstance(nullptr); }
};
