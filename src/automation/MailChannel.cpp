#include "MailChannel.h"

#include "Events.h"
#include "InstancePaths.h"
#include "MailMessage.h"
#include "SingleInstanceGuard.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMutexLocker>

struct MailChannel::Connection
{
    MailFrameReader reader;
    QList<QByteArray> pending;
    qsizetype pendingBytes = 0;
};

namespace {

// A live server accepts the connection at once; a socket file without a server refuses
// it at once. Both are local and answer without delay.
constexpr int ProbeTimeoutMs = 1000;

bool serverAnswers(const QString &path)
{
    QLocalSocket probe;
    probe.connectToServer(path);
    const bool answered = probe.waitForConnected(ProbeTimeoutMs);
    probe.abort();
    return answered;
}

} // namespace

MailChannel::MailChannel(QObject *parent) : QObject(parent) {}

MailChannel::~MailChannel()
{
    // Closing the server removes its socket file; that must happen while this process
    // still holds the instance lock, which the guard's owner sees to.
    for (const auto &entry : m_connections)
        entry.first->disconnect(this);
    m_connections.clear();
    delete m_server;
}

bool MailChannel::create()
{
    if (isListening())
        return true;
    if (!SingleInstanceGuard::lockHeldByThisProcess()) {
        m_error = QStringLiteral("This process does not hold the instance lock");
        return false;
    }
    const QString path = mailServerPath();
    if (path.isEmpty()) {
        m_error = QStringLiteral("No runtime directory for the mail socket");
        return false;
    }
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        // Only the lock holder may listen, and that is this process; a file that nobody
        // answers on is what a killed instance left behind.
        if (serverAnswers(path)) {
            m_error = QStringLiteral("Another process answers on %1").arg(path);
            return false;
        }
        QLocalServer::removeServer(path);
    }
    auto *server = new QLocalServer(this);
    if (!server->listen(path)) {
        m_error = server->errorString();
        delete server;
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &MailChannel::acceptConnections);
    return true;
}

void MailChannel::write(const QByteArray &message)
{
    QMutexLocker locker(&m_mutex);
    m_queue.push_back(message);
}

bool MailChannel::hasMessage() const
{
    QMutexLocker locker(&m_mutex);
    return !m_queue.empty();
}

QByteArray MailChannel::read()
{
    QMutexLocker locker(&m_mutex);
    if (m_queue.empty())
        return {};
    QByteArray message = std::move(m_queue.front());
    m_queue.pop_front();
    return message;
}

qsizetype MailChannel::count() const
{
    QMutexLocker locker(&m_mutex);
    return qsizetype(m_queue.size());
}

qsizetype MailChannel::nextSize() const
{
    QMutexLocker locker(&m_mutex);
    return m_queue.empty() ? -1 : m_queue.front().size();
}

QList<QByteArray> MailChannel::queuedPaths() const
{
    QMutexLocker locker(&m_mutex);
    QList<QByteArray> paths;
    paths.reserve(qsizetype(m_queue.size()));
    for (const QByteArray &message : m_queue)
        paths.append(parseMailMessage(message).pathBytes);
    return paths;
}

void MailChannel::setCheckMailReceiver(QObject *receiver)
{
    m_checkMailReceiver = receiver;
}

void MailChannel::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        // The socket's own buffer stays small; frames are collected by the reader, which
        // refuses oversized ones by their header.
        socket->setReadBufferSize(ReadChunkBytes);
        m_connections.emplace(socket, std::make_unique<Connection>());
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readConnection(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            // What arrived before the other side closed still counts.
            readConnection(socket);
            dropConnection(socket);
        });
        if (socket->bytesAvailable() > 0)
            readConnection(socket);
    }
}

void MailChannel::readConnection(QLocalSocket *socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    Connection &connection = *found->second;
    while (socket->bytesAvailable() > 0) {
        connection.reader.feed(socket->read(ReadChunkBytes));
        while (const std::optional<Frame> frame = connection.reader.next()) {
            if (!handleFrame(socket, connection, frame->kind, frame->payload)) {
                dropConnection(socket);
                return;
            }
        }
        if (connection.reader.hasError()) {
            dropConnection(socket);
            return;
        }
    }
}

bool MailChannel::handleFrame(QLocalSocket *socket, Connection &connection, char kind,
                              const QByteArray &payload)
{
    switch (kind) {
    case MailFrame::Message:
        connection.pendingBytes += payload.size();
        if (connection.pendingBytes > MaxPendingBytes)
            return false;
        connection.pending.append(payload);
        return true;
    case MailFrame::Activate: {
        if (!payload.isEmpty())
            return false;
        QList<QByteArray> messages = std::move(connection.pending);
        connection.pending.clear();
        connection.pendingBytes = 0;
        const int arrived = int(messages.size());
        commit(std::move(messages));
        // Now the other process may end: everything it sent is in the queue.
        socket->write(makeFrame(MailFrame::Acknowledge));
        socket->flush();
        if (arrived > 0)
            emit messagesArrived(arrived);
        emit activationRequested();
        if (arrived > 0 && m_checkMailReceiver)
            QCoreApplication::postEvent(m_checkMailReceiver, new QEvent(WM_CHECKMAIL));
        return true;
    }
    default:
        return false;
    }
}

void MailChannel::commit(QList<QByteArray> messages)
{
    QMutexLocker locker(&m_mutex);
    for (QByteArray &message : messages)
        m_queue.push_back(std::move(message));
}

void MailChannel::dropConnection(QLocalSocket *socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    m_connections.erase(found);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void QueueCommandLineFiles(MailChannel &channel, const QList<QByteArray> &arguments)
{
    for (const QByteArray &message : commandLineMessages(arguments))
        channel.write(message);
}

void QueueCommandLineFiles(MailChannel &channel, const QStringList &arguments)
{
    for (const QByteArray &message : commandLineMessages(arguments))
        channel.write(message);
}
