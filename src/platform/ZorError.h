#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <exception>

// An error raised by a step of the program and reported by whoever called it; the
// application's standard error box shows the message.
class ZorError : public std::exception
{
public:
    explicit ZorError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// The platform's file error for a file that cannot be opened or read, with the system's
// reason: "Cannot open file "<path>". No such file or directory".
inline ZorError cannotOpenFile(const QFileDevice &file)
{
    return ZorError(
        QStringLiteral("Cannot open file \"%1\". %2").arg(file.fileName(), file.errorString()));
}

inline ZorError cannotReadFile(const QFileDevice &file)
{
    return ZorError(
        QStringLiteral("Cannot read file \"%1\". %2").arg(file.fileName(), file.errorString()));
}
