#include "MonitorFiles.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace {

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

// The folder part of a path without its last "/", "/" for the root, "." for a bare name.
QByteArray folderPart(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray namePart(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

void closeQuietly(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

// An optional sign followed by decimal digits, within the range of int.
bool readInteger(const QString &text, int *value)
{
    qsizetype i = 0;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i) {
        if (text.at(i) < QLatin1Char('0') || text.at(i) > QLatin1Char('9'))
            return false;
    }
    bool ok = false;
    *value = text.toInt(&ok, 10);
    return ok;
}

// File systems whose lease refusal may come from the server rather than from a writer.
bool isNetworkFileSystem(int fd)
{
    struct statfs info = {};
    if (::fstatfs(fd, &info) != 0)
        return true; // cannot tell: do not trust the refusal
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0x6969UL:     // NFS
    case 0x517BUL:     // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x00C36400UL: // Ceph
    case 0x5346414FUL: // AFS
    case 0x6B414653UL: // kAFS
    case 0x73757245UL: // Coda
    case 0x01021997UL: // 9P
        return true;
    default:
        return false;
    }
}

bool syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// 0 when from was renamed to to without replacing anything, else an errno value (EEXIST
// when something is in the way, EXDEV across file systems).
int renameWithoutReplacing(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    int error = errno;
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP)
        return error;
    // A file system without the no-replace rename: a hard link is just as atomic.
    if (::link(from.constData(), to.constData()) == 0) {
        if (::unlink(from.constData()) == 0)
            return 0;
        error = errno;
        ::unlink(to.constData());
        return error;
    }
    error = errno;
    if (error == EEXIST || error == EXDEV || error == ENOENT || error == EACCES)
        return error;
    // No hard links either (FAT and the like): look first, then rename.
    struct stat info = {};
    if (::lstat(to.constData(), &info) == 0)
        return EEXIST;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

bool writeAll(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// Copies everything from in to out; the number of bytes copied, or -1.
qint64 copyAll(int in, int out)
{
    QByteArray buffer(256 * 1024, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), size_t(buffer.size()));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            return total;
        if (!writeAll(out, buffer.constData(), got))
            return -1;
        total += got;
    }
}

// A new, hidden file beside target to copy into; -1 when none can be made.
int createCopyFile(const QByteArray &target, mode_t mode, QByteArray *path)
{
    static std::atomic<unsigned> counter{0};
    const QByteArray folder = folderPart(target);
    const QByteArray prefix = (folder == "/" ? QByteArray("/") : folder + '/') + '.' +
                              namePart(target) + ".moving-" + QByteArray::number(::getpid()) + '-';
    for (int attempt = 0; attempt < 100; ++attempt) {
        *path = prefix + QByteArray::number(counter.fetch_add(1));
        const int fd = ::open(path->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The move across file systems: the copy must be complete and on disk under its final
// name before the source goes, so neither a failure nor a crash loses the photograph (at
// worst a hidden partial copy or a second copy is left behind).
bool copyAcross(const QByteArray &source, const QByteArray &target)
{
    const int in = ::open(source.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (in < 0)
        return false;
    struct stat before = {};
    if (::fstat(in, &before) != 0 || !S_ISREG(before.st_mode)) {
        ::close(in);
        return false;
    }
    struct stat existing = {};
    if (::lstat(target.constData(), &existing) == 0) {
        ::close(in);
        return false;
    }

    QByteArray copyPath;
    const int out = createCopyFile(target, before.st_mode & 07777, &copyPath);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = copyAll(in, out) == qint64(before.st_size);
    if (ok) {
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        ::futimens(out, times); // the time stamp is a courtesy, not a condition
        ok = ::fsync(out) == 0;
    }
    struct stat after = {};
    struct stat written = {};
    ok = ok && ::fstat(in, &after) == 0 && after.st_size == before.st_size &&
         ::fstat(out, &written) == 0 && written.st_size == before.st_size;
    ok = (::close(out) == 0) && ok;
    ::close(in);
    ok = ok && renameWithoutReplacing(copyPath, target) == 0;
    if (!ok) {
        ::unlink(copyPath.constData());
        return false;
    }
    if (!syncFolder(folderPart(target)) || ::unlink(source.constData()) != 0) {
        ::unlink(target.constData());
        return false;
    }
    syncFolder(folderPart(source));
    return true;
}

} // namespace

QString pathInFolder(const QString &folder, const QString &name)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

bool matchesTiffPattern(const QString &name)
{
    return name.contains(QLatin1String(".tif"), Qt::CaseInsensitive);
}

QStringList listMonitoredFiles(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::NoSymLinks, QDir::Unsorted);
    names.removeIf([](const QString &name) {
        return name.startsWith(QLatin1Char('.')) || !matchesTiffPattern(name);
    });
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

bool pathTaken(const QString &path)
{
    struct stat info = {};
    return ::lstat(encoded(path).constData(), &info) == 0;
}

QString sequencedName(const QString &name, const std::function<bool(const QString &)> &taken)
{
    QString base = name;
    qint64 number = 0;
    if (name.startsWith(QLatin1Char('['))) {
        const qsizetype close = name.indexOf(QLatin1Char(']'));
        int written = 0;
        if (close > 0 && readInteger(name.mid(1, close - 1), &written)) {
            number = written;
            base = name.mid(close + 1);
        }
    }
    const auto candidate = [&base](qint64 n) {
        return QLatin1Char('[') + QString::number(n) + QLatin1Char(']') + base;
    };
    do {
        ++number;
        if (number > MaxSequenceNumber)
            break;
    } while (taken(candidate(number)));
    return candidate(number);
}

bool HeldFile::open(const QString &path)
{
    close();
    const int fd =
        ::open(encoded(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void HeldFile::close()
{
    closeQuietly(m_fd);
    m_fd = -1;
}

FileCompleteness::LeaseAnswer FileCompleteness::askKernel(int fd)
{
    ::fcntl(fd, F_SETSIG, SIGURG);
    if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        return LeaseAnswer::NoWriter;
    }
    if (errno == EAGAIN)
        return isNetworkFileSystem(fd) ? LeaseAnswer::Unknown : LeaseAnswer::Writer;
    return LeaseAnswer::Unknown;
}

bool FileCompleteness::isComplete(const HeldFile &file, const QString &name, qint64 nowMs)
{
    if (!file.isOpen())
        return false;
    if (m_useLeases) {
        switch (askKernel(file.handle())) {
        case LeaseAnswer::NoWriter:
            m_seen.remove(name);
            return true;
        case LeaseAnswer::Writer:
            m_seen.remove(name);
            return false;
        case LeaseAnswer::Unknown:
            break;
        }
    }
    struct stat info = {};
    if (::fstat(file.handle(), &info) != 0)
        return false;
    const qint64 modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    if (nowMs * 1000000 - modifiedNs >= SettleMs * 1000000) {
        m_seen.remove(name);
        return true;
    }
    const auto seen = m_seen.constFind(name);
    if (seen == m_seen.cend() || seen->size != qint64(info.st_size) ||
        seen->modifiedNs != modifiedNs) {
        m_seen.insert(name, {qint64(info.st_size), modifiedNs, nowMs});
        return false;
    }
    return nowMs - seen->firstSeenMs >= SettleMs;
}

void FileCompleteness::keepOnly(const QStringList &names)
{
    const QSet<QString> listed(names.cbegin(), names.cend());
    m_seen.removeIf([&listed](const auto &entry) { return !listed.contains(entry.key()); });
}

bool sameFile(const QByteArray &a, const QByteArray &b)
{
    if (a == b)
        return true;
    struct stat first = {};
    struct stat second = {};
    return ::stat(a.constData(), &first) == 0 && ::stat(b.constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

RenameResult renameWithinFileSystem(const QString &source, const QString &target)
{
    switch (renameWithoutReplacing(encoded(source), encoded(target))) {
    case 0:
        return RenameResult::Moved;
    case EXDEV:
        return RenameResult::OtherFileSystem;
    default:
        return RenameResult::Failed;
    }
}

bool copyAcrossFileSystems(const QString &source, const QString &target)
{
    return copyAcross(encoded(source), encoded(target));
}

bool moveWithoutReplacing(const QString &source, const QString &target)
{
    switch (renameWithinFileSystem(source, target)) {
    case RenameResult::Moved:
        return true;
    case RenameResult::OtherFileSystem:
        return copyAcrossFileSystems(source, target);
    case RenameResult::Failed:
        break;
    }
    return false;
}
