// A burst in the monitored folder: 200 TIFF files dropped in at once must be moved into
// "Processed" and queued by a single scan, well within the 1 s until the next one (the
// limit checked here is 2 s). Prints one line per layout:
//   <layout> files=<n> scan_ms=<median> slowest_ms=<max> per_file_us=<median / n>
// where layout is "same_fs" (Processed beside the files) and, when /dev/shm is another file
// system, "across_fs" (every file copied, flushed and checked). Exits with 1 when a scan
// misses a file, queues a wrong message or takes 2 s or more.
// Usage: bench_monitor [folder for the files]

#include "FolderMonitor.h"
#include "MailChannel.h"
#include "MailMessage.h"
#include "SingleInstanceGuard.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr int FileCount = 200;
constexpr qsizetype FileBytes = 256 * 1024;
constexpr int Runs = 5;
constexpr qint64 LimitMs = 2000;

dev_t deviceOf(const QString &path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_dev : dev_t(-1);
}

bool dropFiles(const QString &folder, const QByteArray &bytes)
{
    for (int i = 0; i < FileCount; ++i) {
        QFile file(folder + QStringLiteral("/scan %1.tif").arg(i, 4, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
    }
    return true;
}

// One scan of a folder with FileCount new files; -1 when the result is wrong.
qint64 timedScan(MailChannel &mail, const QString &parent, const QString &processedTarget,
                 const QByteArray &bytes)
{
    QTemporaryDir dir(parent + QStringLiteral("/bench-monitor-XXXXXX"));
    if (!dir.isValid())
        return -1;
    const QString folder = dir.path();
    const QString processed = folder + QStringLiteral("/Processed");
    if (processedTarget.isEmpty() ? !QDir().mkdir(processed)
                                  : !QFile::link(processedTarget, processed))
        return -1;
    if (!dropFiles(folder, bytes))
        return -1;

    QAction stopMonitoring(QStringLiteral("&Stop Monitoring"));
    FolderMonitor::Wiring wiring;
    wiring.mailChannel = &mail;
    wiring.stopMonitoring = &stopMonitoring;
    FolderMonitor monitor(wiring);
    monitor.restore(true, folder);

    QElapsedTimer clock;
    clock.start();
    monitor.EggTimerTimer();
    const qint64 elapsed = clock.elapsed();

    int index = 0;
    bool right = true;
    while (mail.hasMessage()) {
        const MailMessage message = parseMailMessage(mail.read());
        const QString expected =
            processed + QStringLiteral("/scan %1.tif").arg(index++, 4, 10, QLatin1Char('0'));
        right = right && message.code == MailCode::MonitorFolder && message.path() == expected &&
                QFileInfo(expected).size() == bytes.size();
    }
    right = right && index == FileCount && listMonitoredFiles(folder).isEmpty();
    if (!processedTarget.isEmpty()) {
        const QStringList moved = QDir(processedTarget).entryList(QDir::Files);
        for (const QString &name : moved)
            QFile::remove(processedTarget + '/' + name);
    }
    return right ? elapsed : -1;
}

bool runLayout(const char *layout, MailChannel &mail, const QString &parent,
               const QString &processedTarget)
{
    const QByteArray bytes(FileBytes, 'I');
    std::vector<qint64> times;
    for (int run = 0; run < Runs; ++run) {
        const qint64 ms = timedScan(mail, parent, processedTarget, bytes);
        if (ms < 0) {
            std::printf("%s: a scan missed files or queued wrong messages\n", layout);
            return false;
        }
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    const qint64 median = times[times.size() / 2];
    std::printf("%s files=%d scan_ms=%lld slowest_ms=%lld per_file_us=%lld\n", layout, FileCount,
                static_cast<long long>(median), static_cast<long long>(times.back()),
                static_cast<long long>(median * 1000 / FileCount));
    return times.back() < LimitMs;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The mail channel belongs to the instance holding the lock: a private runtime folder
    // keeps a running Diridu out of it.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path() + QStringLiteral("/run")));
    QApplication application(argc, argv);
    const QString parent = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();

    SingleInstanceGuard guard;
    MailChannel mail;
    if (!guard.holdsLock() || !mail.create()) {
        std::printf("cannot open the mail channel: %s\n", qPrintable(mail.errorString()));
        return 1;
    }

    bool ok = runLayout("same_fs", mail, parent, {});
    QTemporaryDir other(QStringLiteral("/dev/shm/bench-monitor-XXXXXX"));
    if (other.isValid() && deviceOf(other.path()) != deviceOf(parent))
        ok = runLayout("across_fs", mail, parent, other.path()) && ok;
    else
        std::printf("across_fs skipped: /dev/shm is not another file system\n");
    return ok ? 0 : 1;
}
