#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One request in the mail channel: a command-code byte followed by the image path in
// the file system's encoding, not terminated. The channel keeps message boundaries, so
// a message carries no length of its own.
namespace MailCode {
inline constexpr quint8 Print = 1;         // the Print command: print this image
inline constexpr quint8 Open = 2;          // command line, second start or drop: open it
inline constexpr quint8 MonitorFolder = 3; // found in the monitored folder: print it
} // namespace MailCode

struct MailMessage
{
    // 0 for an empty message; codes other than 1, 2 and 3 are passed on as they are,
    // the reader decides what they mean.
    quint8 code = 0;
    QByteArray pathBytes;

    // The path as the file system names it (lossy only for bytes that are not valid in
    // the system's encoding; pathBytes keeps them).
    QString path() const;
};

QByteArray makeMailMessage(quint8 code, const QByteArray &pathBytes);
QByteArray makeMailMessage(quint8 code, const QString &path);
MailMessage parseMailMessage(const QByteArray &message);

// One code-2 message per command-line argument, from the first to the last, each
// argument taken as given (not made absolute, not checked, empty ones included).
QList<QByteArray> commandLineMessages(const QList<QByteArray> &arguments);
QList<QByteArray> commandLineMessages(const QStringList &arguments);
// The arguments after the program name, as bytes; call it after the application object
// has taken its own options out of argv.
QList<QByteArray> commandLineArguments(int argc, const char *const *argv);

// A path named by the caller, made absolute against the caller's folder (as the kernel
// gives it, so free of symbolic links): "." and empty parts are dropped, and a ".." right
// after the folder climbs out of it. A ".." after a part of the path itself stays, since
// that part may be a symbolic link. Absolute and empty paths, and any path when folder is
// not absolute, are returned as given.
QByteArray absolutePath(const QByteArray &path, const QByteArray &folder);
QList<QByteArray> absolutePaths(const QList<QByteArray> &paths, const QByteArray &folder);
// This process's current folder as bytes; empty when it cannot be told (it was removed).
QByteArray currentFolder();

// Between processes the messages travel over a stream socket, so there each one is
// framed: a 4-byte big-endian length, then that many bytes, the first of which is the
// frame kind.
namespace MailFrame {
inline constexpr char Message = 'M';     // client -> server: one mail message follows
inline constexpr char Activate = 'A';    // client -> server: queue what was sent, come to front
inline constexpr char Acknowledge = 'K'; // server -> client: all of it is queued

inline constexpr qsizetype HeaderSize = 4;
// Largest length field accepted (kind byte included). A command-line argument cannot be
// longer than 128 KiB on Linux, so real requests stay far below it.
inline constexpr qsizetype MaxLength = 1024 * 1024;
} // namespace MailFrame

struct Frame
{
    char kind = 0;
    QByteArray payload;
};

// Empty when the payload does not fit into one frame.
QByteArray makeFrame(char kind, const QByteArray &payload = {});

// Splits a byte stream into frames. It never holds more than one frame plus what was
// fed in one go, and judges a frame by its header before any of its body arrives: a
// length of 0 or above MailFrame::MaxLength is an error, after which the stream is
// unusable and the connection should be dropped.
class MailFrameReader
{
public:
    void feed(const QByteArray &bytes);
    // The next complete frame, if any. Returns nothing once an error was seen.
    std::optional<Frame> next();
    bool hasError() const { return m_error; }
    // Bytes received but not yet returned as frames.
    qsizetype bufferedBytes() const { return m_buffer.size() - m_offset; }

private:
    QByteArray m_buffer;
    qsizetype m_offset = 0;
    bool m_error = false;
};
