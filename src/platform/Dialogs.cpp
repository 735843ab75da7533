#include "Dialogs.h"

#include "ApplicationTitle.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

Dialogs *g_instance = nullptr;

WidgetDialogs &realDialogs()
{
    static WidgetDialogs dialogs;
    return dialogs;
}

} // namespace

Dialogs &Dialogs::instance()
{
    return g_instance ? *g_instance : realDialogs();
}

void Dialogs::setInstance(Dialogs *dialogs)
{
    g_instance = dialogs;
}

void WidgetDialogs::error(const QString &text, Button button)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.addButton(button == Button::Ok ? QMessageBox::Ok : QMessageBox::Cancel);
    box.exec();
}

int WidgetDialogs::question(const QString &title, const QString &text, const QStringList &buttons)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    QList<QAbstractButton *> added;
    for (const QString &caption : buttons) {
        // As in the system's own message boxes, Escape and the close button answer Cancel;
        // without a Cancel the box must be answered with one of its buttons.
        const bool cancel = caption == QLatin1String("Cancel");
        added.append(
            box.addButton(caption, cancel ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
        if (cancel)
            box.setEscapeButton(added.last());
    }
    box.exec();
    return added.indexOf(box.clickedButton());
}

void WidgetDialogs::applicationError(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString WidgetDialogs::openFileName(const QString &title, const QString &folder,
                                    const QString &filter, const QString &defaultSuffix)
{
    QFileDialog dialog(QApplication::activeWindow(), title, folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.constFirst();
}

QString WidgetDialogs::saveFileName(const QString &title, const QString &folder,
                                    const QString &proposedName, const QString &filter,
                                    const QString &defaultSuffix)
{
    QFileDialog dialog(QApplication::activeWindow(), title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(defaultSuffix);
    if (!proposedName.isEmpty())
        dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.constFirst();
}

QString WidgetDialogs::existingFolder(const QString &title, const QString &prompt,
                                      const QString &startFolder)
{
    QWidget *parent = QApplication::activeWindow();
    QFileDialog dialog(parent, title, startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    // Qt's own browser has no prompt line; the label above the folder view comes closest.
    // A native browser keeps its own labels and shows only the title.
    dialog.setLabelText(QFileDialog::LookIn, prompt);
    if (parent)
        dialog.move(parent->frameGeometry().topLeft() + QPoint(40, 40));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.constFirst();
}

void RecordingDialogs::error(const QString &text, Button button)
{
    m_shown.append({Kind::Error,
                    QStringLiteral("Error"),
                    text,
                    {button == Button::Ok ? QStringLiteral("OK") : QStringLiteral("Cancel")}});
}

int RecordingDialogs::question(const QString &title, const QString &text,
                               const QStringList &buttons)
{
    m_shown.append({Kind::Question, title, text, buttons});
    return m_answers.isEmpty() ? -1 : m_answers.takeFirst();
}

void RecordingDialogs::applicationError(const QString &text)
{
    m_shown.append({Kind::ApplicationError, applicationTitle(), text, {QStringLiteral("OK")}});
}

QString RecordingDialogs::openFileName(const QString &title, const QString &folder,
                                       const QString &filter, const QString &defaultSuffix)
{
    QStringList details{filter};
    if (!defaultSuffix.isEmpty())
        details.append(defaultSuffix);
    m_shown.append({Kind::OpenFile, title, folder, details});
    return m_files.isEmpty() ? QString() : m_files.takeFirst();
}

QString RecordingDialogs::saveFileName(const QString &title, const QString &folder,
                                       const QString &proposedName, const QString &filter,
                                       const QString &defaultSuffix)
{
    const QString proposed = proposedName.isEmpty() ? folder : QDir(folder).filePath(proposedName);
    m_shown.append({Kind::SaveFile, title, proposed, {filter, defaultSuffix}});
    return m_saveFiles.isEmpty() ? QString() : m_saveFiles.takeFirst();
}

QString RecordingDialogs::existingFolder(const QString &title, const QString &prompt,
                                         const QString &startFolder)
{
    m_shown.append({Kind::Folder, title, startFolder, {prompt}});
    return m_folders.isEmpty() ? QString() : m_folders.takeFirst();
}

QStringList RecordingDialogs::texts() const
{
    QStringList result;
    for (const Shown &shown : m_shown)
        result.append(shown.text);
    return result;
}
