#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

// File work of the folder monitor: which files a scan takes, whether a file is complete,
// the sequence-numbered name for a clash in "Processed", and a move that never loses a
// photograph. Plain files only; no windows.

// folder + "/" + name, for a folder with or without a trailing "/" (the root is "/").
QString pathInFolder(const QString &folder, const QString &name);

// The pattern "*.tif*" without regard to letter case: the name contains ".tif" anywhere,
// so longer extensions (".tiff", ".tif.bak") match as well.
bool matchesTiffPattern(const QString &name);

// Names of the files in folder that a scan takes: regular files (no folders, no symbolic
// links) that are not hidden and match the pattern, in name order without regard to
// letter case (names equal but for case in code-unit order). Empty when the folder
// cannot be read.
QStringList listMonitoredFiles(const QString &folder);

// Whether something (a file, a folder, even a dangling symbolic link) has this path.
bool pathTaken(const QString &path);

// Whether two paths (as the file system names them) are the same file: the same text, or
// both existing as one file under two names (a hard link, a folder reached two ways).
bool sameFile(const QByteArray &a, const QByteArray &b);

// The highest sequence number that is checked against existing names.
inline constexpr int MaxSequenceNumber = 32760;

// The name under which a file that clashes in "Processed" is kept: "[n]" + base. A name
// that begins with "[" and an integer closed by "]" continues from that number with the
// rest as base ([7]photo.tif gives [8]photo.tif); any other name starts from 0 with the
// whole name as base (photo.tif gives [1]photo.tif, "[abc.tif" gives "[1][abc.tif").
// Numbers that taken() reports are skipped; past MaxSequenceNumber the next number is
// used without asking.
QString sequencedName(const QString &name, const std::function<bool(const QString &)> &taken);

// A file held open for reading from the moment it is judged complete until the clash in
// "Processed" is resolved. Opening never blocks and follows no symbolic link.
class HeldFile
{
public:
    HeldFile() = default;
    ~HeldFile() { close(); }
    HeldFile(const HeldFile &) = delete;
    HeldFile &operator=(const HeldFile &) = delete;

    // False when the path is not a regular file that can be read.
    bool open(const QString &path);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    int handle() const { return m_fd; }

private:
    int m_fd = -1;
};

// Decides whether a file in the monitored folder is complete, so that a photograph still
// being copied in is left for the next scan.
//
// Where it can, it asks the kernel: a read lease (F_SETLEASE, F_RDLCK) is refused with
// EAGAIN while any process, this one included, has the file open for writing. The lease is
// taken and given back at once; nothing is held across the scan, and a lease break in that
// instant is signalled with SIGURG, ignored by default, instead of SIGIO, whose default
// action would end the program. Scanning /proc for writers instead would cost a walk over
// every process's descriptors per scan and still miss other users' processes.
//
// A lease is only granted on a file this user owns, on a file system that supports leases
// locally; and on network file systems a refusal may only mean the server holds the file.
// Then the file's own times decide: it is complete once its modification time lies
// SettleMs in the past, or once its size and modification time have stayed the same for
// SettleMs across scans (which also copes with a server clock ahead of ours).
class FileCompleteness
{
public:
    static constexpr qint64 SettleMs = 1000;

    // Without leases every decision comes from the file's times (tests, and file
    // systems where a lease says nothing).
    explicit FileCompleteness(bool useLeases = true) : m_useLeases(useLeases) {}

    // Whether the file (opened by HeldFile, name as listed) is complete at nowMs (ms
    // since the epoch, same clock as file times).
    bool isComplete(const HeldFile &file, const QString &name, qint64 nowMs);
    // Forgets files that were not listed in the latest scan.
    void keepOnly(const QStringList &names);

    enum class LeaseAnswer { NoWriter, Writer, Unknown };
    // The kernel's answer for an open file; Unknown when it cannot tell.
    static LeaseAnswer askKernel(int fd);

private:
    struct Observation
    {
        qint64 size = 0;
        qint64 modifiedNs = 0;
        qint64 firstSeenMs = 0;
    };

    bool m_useLeases;
    QHash<QString, Observation> m_seen;
};

// Moves source to target, never replacing anything at target. Within one file system it
// is a rename. Across file systems the file is copied into a new target, flushed to disk
// with the target's folder and checked for its full size before the source is removed;
// if any step fails the copy is removed and the source stays. False when the file was not
// moved (the source is then where it was).
bool moveWithoutReplacing(const QString &source, const QString &target);

// The two steps of moveWithoutReplacing, for a caller that does the slow one elsewhere.
// The rename is quick; OtherFileSystem means nothing was done and the file has to be
// copied across.
enum class RenameResult { Moved, Failed, OtherFileSystem };
RenameResult renameWithinFileSystem(const QString &source, const QString &target);
// The copy, which reads and writes the whole file and waits for the disk. Safe to run on
// any thread.
bool copyAcrossFileSystems(const QString &source, const QString &target);
