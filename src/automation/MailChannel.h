#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <deque>
#include <memory>
#include <unordered_map>

class QLocalServer;
class QLocalSocket;

// The request queue of the running instance: a first-in first-out list of mail messages
// (see MailMessage.h) that keeps their order and boundaries and has no size limit.
// Writers in this process append directly and never wait, whether or not the socket could
// be set up; another process reaches it through a local socket in the user's runtime
// directory, which the channel listens on once created. The main window reads it one
// message at a time.
class MailChannel : public QObject
{
    Q_OBJECT

public:
    explicit MailChannel(QObject *parent = nullptr);
    ~MailChannel() override;

    // Opens the channel to other processes: listens on the mail socket. Fails when this
    // process does not hold the instance lock (SingleInstanceGuard), when another live
    // process answers on the socket, or when the socket cannot be set up; the queue works
    // for this process all the same. A socket file left behind by an instance that ended
    // without closing it is replaced.
    bool create();
    // Whether other processes can hand messages over.
    bool isListening() const { return m_server != nullptr; }
    QString errorString() const { return m_error; }

    // Appends one message. Safe to call from any thread.
    void write(const QByteArray &message);
    bool hasMessage() const;
    // Takes the oldest message; empty when there is none. Never waits.
    QByteArray read();
    qsizetype count() const;
    // Size of the oldest message in bytes, -1 when there is none.
    qsizetype nextSize() const;
    // The paths of the messages waiting, oldest first.
    QList<QByteArray> queuedPaths() const;

    // After another process's messages were queued, WM_CHECKMAIL is posted to this
    // object (typically the main window), so they are read like any other request.
    void setCheckMailReceiver(QObject *receiver);

    // Most message bytes one connection may send before asking for activation; more
    // drops the connection and what it sent since its last acknowledgement.
    static constexpr qsizetype MaxPendingBytes = 16 * 1024 * 1024;
    // How much of a connection's stream is taken in at a time.
    static constexpr qsizetype ReadChunkBytes = 64 * 1024;

signals:
    // Messages from another process were queued (count of them, at least 1).
    void messagesArrived(int count);
    // Another start of the program asked this one to come to the front.
    void activationRequested();

private:
    struct Connection;

    void acceptConnections();
    void readConnection(QLocalSocket *socket);
    void dropConnection(QLocalSocket *socket);
    // False when the frame breaks the protocol.
    bool handleFrame(QLocalSocket *socket, Connection &connection, char kind,
                     const QByteArray &payload);
    void commit(QList<QByteArray> messages);

    mutable QMutex m_mutex;
    std::deque<QByteArray> m_queue;

    QLocalServer *m_server = nullptr;
    std::unordered_map<QLocalSocket *, std::unique_ptr<Connection>> m_connections;
    QPointer<QObject> m_checkMailReceiver;
    QString m_error;
};

// Queues every command-line argument, first to last and as given, as a code-2 message.
// Posts no notification; the caller does.
void QueueCommandLineFiles(MailChannel &channel, const QList<QByteArray> &arguments);
void QueueCommandLineFiles(MailChannel &channel, const QStringList &arguments);
