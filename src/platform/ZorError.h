#pragma once

#include <QByteArray>
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
