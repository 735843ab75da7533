#include "MailMessage.h"

#include <QFile>
#include <QtEndian>

#include <cerrno>
#include <unistd.h>

QString MailMessage::path() const
{
    return QFile::decodeName(pathBytes);
}

QByteArray makeMailMessage(quint8 code, const QByteArray &pathBytes)
{
    QByteArray message;
    message.reserve(pathBytes.size() + 1);
    message.append(char(code));
    message.append(pathBytes);
    return message;
}

QByteArray makeMailMessage(quint8 code, const QString &path)
{
    return makeMailMessage(code, QFile::encodeName(path));
}

MailMessage parseMailMessage(const QByteArray &message)
{
    MailMessage parsed;
    if (message.isEmpty())
        return parsed;
    parsed.code = quint8(message.at(0));
    parsed.pathBytes = message.mid(1);
    return parsed;
}

QList<QByteArray> commandLineMessages(const QList<QByteArray> &arguments)
{
    QList<QByteArray> messages;
    messages.reserve(arguments.size());
    for (const QByteArray &argument : arguments)
        messages.append(makeMailMessage(MailCode::Open, argument));
    return messages;
}

QList<QByteArray> commandLineMessages(const QStringList &arguments)
{
    QList<QByteArray> bytes;
    bytes.reserve(arguments.size());
    for (const QString &argument : arguments)
        bytes.append(QFile::encodeName(argument));
    return commandLineMessages(bytes);
}

QList<QByteArray> commandLineArguments(int argc, const char *const *argv)
{
    QList<QByteArray> arguments;
    for (int i = 1; i < argc && argv[i]; ++i)
        arguments.append(QByteArray(argv[i]));
    return arguments;
}

QByteArray absolutePath(const QByteArray &path, const QByteArray &folder)
{
    if (path.isEmpty() || path.startsWith('/') || !folder.startsWith('/'))
        return path;
    QList<QByteArray> parts = folder.split('/');
    parts.removeAll(QByteArray());
    bool climbing = true;
    for (const QByteArray &part : path.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (climbing && part == "..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        climbing = false;
        parts.append(part);
    }
    QByteArray absolute = '/' + parts.join('/');
    if (path.endsWith('/') && !absolute.endsWith('/'))
        absolute.append('/');
    return absolute;
}

QList<QByteArray> absolutePaths(const QList<QByteArray> &paths, const QByteArray &folder)
{
    QList<QByteArray> absolute;
    absolute.reserve(paths.size());
    for (const QByteArray &path : paths)
        absolute.append(absolutePath(path, folder));
    return absolute;
}

QByteArray currentFolder()
{
    QByteArray folder(4096, Qt::Uninitialized);
    while (::getcwd(folder.data(), size_t(folder.size())) == nullptr) {
        if (errno != ERANGE || folder.size() >= 1024 * 1024)
            return {};
        folder.resize(folder.size() * 2);
    }
    folder.truncate(qsizetype(qstrlen(folder.constData())));
    return folder;
}

QByteArray makeFrame(char kind, const QByteArray &payload)
{
    const qsizetype length = payload.size() + 1;
    if (length > MailFrame::MaxLength)
        return {};
    QByteArray frame(MailFrame::HeaderSize, Qt::Uninitialized);
    qToBigEndian(quint32(length), frame.data());
    frame.reserve(MailFrame::HeaderSize + length);
    frame.append(kind);
    frame.append(payload);
    return frame;
}

void MailFrameReader::feed(const QByteArray &bytes)
{
    if (m_error)
        return;
    // Drop what was consumed before the buffer grows again, so a long stream of small
    // frames does not pile up behind the read position.
    if (m_offset > 0 && m_offset >= m_buffer.size() / 2) {
        m_buffer.remove(0, m_offset);
        m_offset = 0;
    }
    m_buffer.append(bytes);
}

std::optional<Frame> MailFrameReader::next()
{
    if (m_error || bufferedBytes() < MailFrame::HeaderSize)
        return std::nullopt;
    const quint32 length = qFromBigEndian<quint32>(m_buffer.constData() + m_offset);
    if (length == 0 || length > quint32(MailFrame::MaxLength)) {
        m_error = true;
        m_buffer.clear();
        m_offset = 0;
        return std::nullopt;
    }
    if (bufferedBytes() < MailFrame::HeaderSize + qsizetype(length))
        return std::nullopt;
    const qsizetype start = m_offset + MailFrame::HeaderSize;
    Frame frame;
    frame.kind = m_buffer.at(start);
    frame.payload = m_buffer.mid(start + 1, qsizetype(length) - 1);
    m_offset = start + qsizetype(length);
    if (m_offset == m_buffer.size()) {
        m_buffer.clear();
        m_offset = 0;
    }
    return frame;
}
