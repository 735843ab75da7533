#include "DocumentOpener.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QUrl>

namespace {

DocumentOpener *g_instance = nullptr;

// Desktop entries and association lists are small; anything larger is not one.
constexpr qint64 kLargestListRead = 4 * 1024 * 1024;

bool fileDeclaresApplicationFor(const QString &path, const QString &mime)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return declaresApplicationFor(file.read(kLargestListRead), mime);
}

// The folders holding desktop entries and association lists, most personal first.
QStringList associationFolders()
{
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    folders += QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    return folders;
}

} // namespace

DocumentOpener &DocumentOpener::instance()
{
    static DesktopDocumentOpener desktop;
    return g_instance ? *g_instance : desktop;
}

void DocumentOpener::setInstance(DocumentOpener *opener)
{
    g_instance = opener;
}

bool declaresApplicationFor(const QByteArray &text, const QString &mime)
{
    const QByteArray wanted = mime.toUtf8();
    bool removedSection = false;
    for (const QByteArray &rawLine : text.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[')) {
            // Associations the user took away are no application for the type.
            removedSection = line == "[Removed Associations]";
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0 || line.startsWith('#') || removedSection)
            continue;
        const QByteArray key = line.left(equals).trimmed();
        const QList<QByteArray> values = line.mid(equals + 1).split(';');
        if (key == "MimeType") {
            for (const QByteArray &value : values) {
                if (value.trimmed() == wanted)
                    return true;
            }
        } else if (key == wanted) {
            for (const QByteArray &value : values) {
                if (!value.trimmed().isEmpty())
                    return true;
            }
        }
    }
    return false;
}

bool desktopHasApplicationFor(const QString &mime)
{
    for (const QString &folder : associationFolders()) {
        const QDir dir(folder);
        const QStringList lists =
            dir.entryList({QStringLiteral("*.desktop"), QStringLiteral("mimeapps.list"),
                           QStringLiteral("*-mimeapps.list"), QStringLiteral("mimeinfo.cache"),
                           QStringLiteral("defaults.list")},
                          QDir::Files | QDir::Readable);
        for (const QString &name : lists) {
            if (fileDeclaresApplicationFor(dir.filePath(name), mime))
                return true;
        }
    }
    return false;
}

int DesktopDocumentOpener::open(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return FileNotFound;
    if (!info.isReadable())
        return AccessDenied;
    if (!desktopHasApplicationFor(QMimeDatabase().mimeTypeForFile(info).name()))
        return NoAssociation;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())) ? Opened
                                                                                   : LaunchFailed;
}

int RecordingDocumentOpener::open(const QString &path)
{
    m_opened.append(path);
    return m_result;
}
