#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Every message box of the program goes through this service, so tests can give the
// answers in advance and read back what the user would have seen. Texts are shown as plain
// text: they carry file names and file contents, which must never be read as markup.
class Dialogs
{
public:
    enum class Button { Cancel, Ok };

    virtual ~Dialogs() = default;

    // Error style: title "Error", error icon, the one button given.
    virtual void error(const QString &text, Button button) = 0;
    // Information style with the named buttons; returns the index of the button pressed,
    // or -1 when the box went without one. Escape and closing the box answer with the
    // button named "Cancel" if there is one.
    virtual int question(const QString &title, const QString &text, const QStringList &buttons) = 0;
    // The application's standard error box: the application title, error icon, OK.
    virtual void applicationError(const QString &text) = 0;
    // A file to open, starting in folder; empty when the user cancelled. A name typed
    // without an extension gets defaultSuffix, when one is given.
    virtual QString openFileName(const QString &title, const QString &folder, const QString &filter,
                                 const QString &defaultSuffix = {}) = 0;
    // A file to save to, starting in folder with proposedName filled in; a name typed
    // without extension gets defaultSuffix. The caller asks about replacing an existing
    // file itself. Empty when the user cancelled.
    virtual QString saveFileName(const QString &title, const QString &folder,
                                 const QString &proposedName, const QString &filter,
                                 const QString &defaultSuffix) = 0;
    // A folder chosen in the folder browser, starting at startFolder; the prompt tells the
    // user what the folder is for. Empty when the user cancelled.
    virtual QString existingFolder(const QString &title, const QString &prompt,
                                   const QString &startFolder) = 0;

    static Dialogs &instance();
    // Replaces the service (tests); nullptr restores the real message boxes.
    static void setInstance(Dialogs *dialogs);
};

// Real message boxes, parented to the active window.
class WidgetDialogs : public Dialogs
{
public:
    void error(const QString &text, Button button) override;
    int question(const QString &title, const QString &text, const QStringList &buttons) override;
    void applicationError(const QString &text) override;
    QString openFileName(const QString &title, const QString &folder, const QString &filter,
                         const QString &defaultSuffix = {}) override;
    QString saveFileName(const QString &title, const QString &folder, const QString &proposedName,
                         const QString &filter, const QString &defaultSuffix) override;
    QString existingFolder(const QString &title, const QString &prompt,
                           const QString &startFolder) override;
};

// Records every box and answers questions from a queue of prepared answers.
class RecordingDialogs : public Dialogs
{
public:
    enum class Kind { Error, Question, ApplicationError, OpenFile, SaveFile, Folder };
    struct Shown
    {
        Kind kind;
        QString title;
        QString text;
        QStringList buttons;
    };

    void setNextAnswer(int buttonIndex) { m_answers.append(buttonIndex); }
    // The file the next open dialog returns; empty (the default) is a cancel. An open
    // dialog is recorded with its start folder as text, and its filter and any default
    // suffix as the buttons.
    void setNextFile(const QString &path) { m_files.append(path); }
    // The file the next save dialog returns; empty (the default) is a cancel. A save dialog
    // is recorded with its folder and proposed name joined as text and its filter and
    // default suffix as the buttons.
    void setNextSaveFile(const QString &path) { m_saveFiles.append(path); }
    // The folder the next folder browser returns; empty (the default) is a cancel. A
    // browser is recorded with its start folder as text and its prompt as the one button.
    void setNextFolder(const QString &path) { m_folders.append(path); }

    void error(const QString &text, Button button) override;
    int question(const QString &title, const QString &text, const QStringList &buttons) override;
    void applicationError(const QString &text) override;
    QString openFileName(const QString &title, const QString &folder, const QString &filter,
                         const QString &defaultSuffix = {}) override;
    QString saveFileName(const QString &title, const QString &folder, const QString &proposedName,
                         const QString &filter, const QString &defaultSuffix) override;
    QString existingFolder(const QString &title, const QString &prompt,
                           const QString &startFolder) override;

    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); }

private:
    QList<Shown> m_shown;
    QList<int> m_answers;
    QStringList m_files;
    QStringList m_saveFiles;
    QStringList m_folders;
};

// Installs a recording service for the lifetime of a test and removes it afterwards.
class ScopedRecordingDialogs : public RecordingDialogs
{
public:
    ScopedRecordingDialogs() { Dialogs::setInstance(this); }
    ~ScopedRecordingDialogs() override { Dialogs::setInstance(nullptr); }
};
