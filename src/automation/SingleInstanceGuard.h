#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Detects a second start of the program before any window exists. The first instance
// holds an exclusive lock on the file DIRIDU.MUTEX in the user's runtime directory for
// as long as its guard lives; the kernel releases it when the process ends in any way,
// so a crashed or killed instance never blocks the next start.
//
// Create the guard first thing in the program and keep it until the very end: the mail
// channel may only be created while this process holds the lock, and it must be closed
// before the lock is given up.
class SingleInstanceGuard
{
public:
    // Tries to take the lock at once; never waits.
    SingleInstanceGuard();
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard &) = delete;
    SingleInstanceGuard &operator=(const SingleInstanceGuard &) = delete;

    // Another process (or another guard of this process) holds the lock.
    bool isAnotherInstance() const { return m_anotherInstance; }
    // This guard holds the lock: this process is the running instance.
    bool holdsLock() const { return m_fd >= 0; }
    // Why neither holds: the runtime directory or the lock file cannot be used.
    QString errorString() const { return m_error; }

    // Whether some guard of this process holds the lock.
    static bool lockHeldByThisProcess();

    // The second start's side: hands the given paths to the running instance as code-2
    // messages, in order, and asks it to come to the front and read its mail. Waits until
    // the running instance has queued all of them (so this process may end right away),
    // at most timeoutMs in all, including the time a running instance that is still
    // starting needs to open its channel. False when this is not a second instance, when
    // no running instance answers in time, or when a path is too long to be sent (the
    // others are still handed over).
    bool handOver(const QList<QByteArray> &paths, int timeoutMs = DefaultHandOverTimeoutMs) const;
    bool handOver(const QStringList &paths, int timeoutMs = DefaultHandOverTimeoutMs) const;

    static constexpr int DefaultHandOverTimeoutMs = 5000;

private:
    int m_fd = -1;
    bool m_anotherInstance = false;
    QString m_error;
};

// Sends mail messages to the server at serverPath, followed by the request to come to
// the front, and waits for the server's acknowledgement, at most timeoutMs in all. With
// waitForServer, a missing or refusing server is retried until the time is up (the
// running instance may still be starting); otherwise that fails at once. Messages that
// do not fit into a frame are left out and make the result false.
bool sendToRunningInstance(const QString &serverPath, const QList<QByteArray> &messages,
                           int timeoutMs, bool waitForServer);
