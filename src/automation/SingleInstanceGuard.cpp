#include "SingleInstanceGuard.h"

#include "InstancePaths.h"
#include "MailMessage.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

std::atomic<int> s_lockHolders = 0;

// How long a second start waits between attempts to reach an instance that holds the
// lock but has not opened its channel yet.
constexpr int RetryIntervalMs = 25;

bool connectToServer(QLocalSocket &socket, const QString &serverPath,
                     const QDeadlineTimer &deadline, bool waitForServer)
{
    for (;;) {
        socket.connectToServer(serverPath);
        if (socket.waitForConnected(int(deadline.remainingTime())))
            return true;
        const QLocalSocket::LocalSocketError error = socket.error();
        socket.abort();
        const bool notThereYet = error == QLocalSocket::ServerNotFoundError ||
                                 error == QLocalSocket::ConnectionRefusedError;
        if (!waitForServer || !notThereYet || deadline.hasExpired())
            return false;
        QThread::msleep(ulong(
            std::min<qint64>(RetryIntervalMs, std::max<qint64>(1, deadline.remainingTime()))));
        if (deadline.hasExpired())
            return false;
    }
}

bool writeAll(QLocalSocket &socket, const QByteArray &bytes, const QDeadlineTimer &deadline)
{
    if (socket.write(bytes) != bytes.size())
        return false;
    while (socket.bytesToWrite() > 0) {
        if (deadline.hasExpired() || !socket.waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    }
    return true;
}

bool waitForAcknowledge(QLocalSocket &socket, const QDeadlineTimer &deadline)
{
    MailFrameReader reader;
    for (;;) {
        while (const std::optional<Frame> frame = reader.next()) {
            if (frame->kind == MailFrame::Acknowledge)
                return true;
        }
        if (reader.hasError() || deadline.hasExpired())
            return false;
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
        reader.feed(socket.read(64 * 1024));
    }
}

} // namespace

SingleInstanceGuard::SingleInstanceGuard()
{
    const QString path = instanceLockPath();
    if (path.isEmpty()) {
        m_error = QStringLiteral("No runtime directory for the instance lock");
        return;
    }
    // Close-on-exec: the tools this program starts must not keep the lock alive after
    // it has ended.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        m_error = QStringLiteral("Cannot open %1: %2")
                      .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    int result;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            m_anotherInstance = true;
        else
            m_error = QStringLiteral("Cannot lock %1: %2")
                          .arg(path, QString::fromLocal8Bit(std::strerror(error)));
        return;
    }
    m_fd = fd;
    ++s_lockHolders;
    // The owner's process id, for a person looking into the runtime directory; the lock
    // itself does not depend on it. The file is never removed: removing a locked file
    // would let two instances lock two different files of the same name.
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
    if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, pid.constData(), size_t(pid.size()));
    }
}

SingleInstanceGuard::~SingleInstanceGuard()
{
    if (m_fd >= 0) {
        --s_lockHolders;
        ::close(m_fd);
    }
}

bool SingleInstanceGuard::lockHeldByThisProcess()
{
    return s_lockHolders > 0;
}

bool SingleInstanceGuard::handOver(const QList<QByteArray> &paths, int timeoutMs) const
{
    if (!m_anotherInstance)
        return false;
    return sendToRunningInstance(mailServerPath(), commandLineMessages(paths), timeoutMs, true);
}

bool SingleInstanceGuard::handOver(const QStringList &paths, int timeoutMs) const
{
    if (!m_anotherInstance)
        return false;
    return sendToRunningInstance(mailServerPath(), commandLineMessages(paths), timeoutMs, true);
}

bool sendToRunningInstance(const QString &serverPath, const QList<QByteArray> &messages,
                           int timeoutMs, bool waitForServer)
{
    if (serverPath.isEmpty())
        return false;
    const QDeadlineTimer deadline(std::max(0, timeoutMs));

    bool allFramed = true;
    QByteArray frames;
    for (const QByteArray &message : messages) {
        const QByteArray frame = makeFrame(MailFrame::Message, message);
        if (frame.isEmpty())
            allFramed = false;
        frames.append(frame);
    }
    frames.append(makeFrame(MailFrame::Activate));

    QLocalSocket socket;
    if (!connectToServer(socket, serverPath, deadline, waitForServer))
        return false;
    const bool acknowledged =
        writeAll(socket, frames, deadline) && waitForAcknowledge(socket, deadline);
    socket.abort();
    return acknowledged && allFramed;
}
