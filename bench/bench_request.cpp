// The front end's own work per print request, with tools that do next to nothing.
//
// Starts the main window (offscreen unless QT_QPA_PLATFORM says otherwise) on a temporary
// installation whose bin/ holds do-nothing stand-ins for Rastermill, Inkforge and Spoolgate
// (bench_request_tool). This process holds the instance lock in a temporary runtime folder,
// so the window owns the request queue; every request goes through it as a code-1 message
// and WM_CHECKMAIL, as the Print command sends it. The stand-ins write CLOCK_MONOTONIC
// stamps of their start and end, and a watcher thread stamps the moment ZorLog.txt is
// closed, so each request splits into:
//   before_tools    message delivered .. Spoolgate (the last tool) running
//   tools_running   Spoolgate running .. the last tool ended
//   after_tools     the last tool ended .. ZorLog.txt closed
//   after_log       ZorLog.txt closed .. the handler returned (temporary files, image cleared)
//   overhead        before_tools + after_tools: the front end's part up to the closed log
// and prints one line per measurement:
//   <name> median_ms=<..> p90_ms=<..>
//   queue20 total_ms=<..> max_gap_ms=<..>
// The queue run writes twenty requests at once and posts one WM_CHECKMAIL; a gap is the
// time from one request's last tool ending to the next request's first tool starting. It is
// done five times: total_ms is the median run's, max_gap_ms the largest gap of all runs.
// The same requests follow once more with "Use Batch Files" checked (suffix _batch).
// Progress and checks go to standard error.
//
// Usage: bench_request [--requests N] [--warmup N] [--queue N] [--rounds N]
//                      [--size WIDTHxHEIGHT] [--bits 8|16] [--no-batch]

#include "Beeper.h"
#include "Dialogs.h"
#include "Events.h"
#include "HelpService.h"
#include "MailChannel.h"
#include "MailMessage.h"
#include "PrinterQueues.h"
#include "SingleInstanceGuard.h"
#include "TDiriduForm.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <tiffio.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <stdexcept>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

namespace {

const QString kQueueName = QStringLiteral("Bench_Queue");
const QString kModel = QStringLiteral("Zorl3800");

qint64 nowNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

qint64 cpuNs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ns = [](const timeval &t) { return qint64(t.tv_sec) * 1000000000LL + t.tv_usec * 1000LL; };
    return ns(usage.ru_utime) + ns(usage.ru_stime);
}

double ms(qint64 ns)
{
    return double(ns) / 1e6;
}

// A run that cannot be measured; main reports it after everything has been cleaned up.
struct BenchFailure : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const QString &why)
{
    throw BenchFailure(why.toStdString());
}

struct Stats
{
    double median = 0;
    double p90 = 0;
};

// The median, and the 90th percentile by nearest rank.
Stats stats(std::vector<double> values)
{
    Stats s;
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    s.p90 = values[size_t(std::ceil(0.9 * double(n))) - 1];
    return s;
}

void printStats(const char *name, const std::vector<double> &values)
{
    const Stats s = stats(values);
    std::printf("%s median_ms=%.2f p90_ms=%.2f\n", name, s.median, s.p90);
    std::fflush(stdout);
}

// ---------------------------------------------------------------------------------------
// The temporary installation.

void copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        QDir().mkpath(QFileInfo(target).path());
        if (!QFile::copy(source, target))
            fail(QStringLiteral("cannot copy %1").arg(source));
    }
}

bool writeTiff(const QString &path, quint32 width, quint32 height, quint16 bits)
{
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 300.0);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 300.0);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    std::vector<quint8> row8(width);
    std::vector<quint16> row16(width);
    bool ok = true;
    for (quint32 y = 0; y < height && ok; ++y) {
        for (quint32 x = 0; x < width; ++x) {
            const quint32 v = (x * 7 + y * 3) % 65536;
            row8[x] = quint8(v >> 8);
            row16[x] = quint16(v);
        }
        void *row = bits == 16 ? static_cast<void *>(row16.data()) : row8.data();
        ok = TIFFWriteScanline(tif, row, y, 0) == 1;
    }
    TIFFClose(tif);
    return ok;
}

struct Installation
{
    QTemporaryDir dir;
    QString root() const { return dir.path() + u'/'; }
    QString bin() const { return root() + QStringLiteral("bin/"); }

    Installation()
    {
        if (!dir.isValid())
            fail(QStringLiteral("no temporary folder"));
        QDir(root()).mkpath(QStringLiteral("bin"));
        const QString demo = QStringLiteral(DIRIDU_DEMO_INSTALL);
        copyTree(demo + QStringLiteral("/ppd"), root() + QStringLiteral("ppd"));
        copyTree(demo + QStringLiteral("/Zorlane"), root() + QStringLiteral("Zorlane"));
        for (const char *tool : {"Rastermill", "Inkforge", "Spoolgate"}) {
            const QString target = bin() + QLatin1String(tool);
            if (!QFile::copy(QStringLiteral(BENCH_REQUEST_TOOL), target))
                fail(QStringLiteral("cannot copy the stand-in tool to %1").arg(target));
            QFile::setPermissions(target, QFile::ReadOwner | QFile::ExeOwner);
        }
        QFile ini(bin() + QStringLiteral("Diridu.ini"));
        if (!ini.open(QIODevice::WriteOnly))
            fail(QStringLiteral("cannot write Diridu.ini"));
        ini.write(
            ("[Printer]\r\nPrintingModel=" + kModel + "\r\nPrinterName=" + kQueueName + "\r\n")
                .toUtf8());
    }
};

// ---------------------------------------------------------------------------------------
// What the stand-in tools and the log watcher report.

struct ToolRecord
{
    QString name;
    qint64 start = 0;
    qint64 end = 0;
    QString argument;
};

QList<ToolRecord> takeToolRecords(const QString &path)
{
    QList<ToolRecord> records;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = file.readAll().split('\n');
        for (const QByteArray &line : lines) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() < 4)
                continue;
            records.append({QString::fromUtf8(fields[0]), fields[1].toLongLong(),
                            fields[2].toLongLong(), QFile::decodeName(fields[3])});
        }
        file.close();
    }
    QFile::resize(path, 0);
    return records;
}

// Stamps every close of ZorLog.txt after writing, from a thread of its own, so the moment the
// front end lets go of the log is seen while its thread is still busy.
class LogCloseWatcher
{
public:
    explicit LogCloseWatcher(const QString &folder)
    {
        m_inotify = inotify_init1(IN_CLOEXEC);
        m_stop = eventfd(0, EFD_CLOEXEC);
        if (m_inotify < 0 || m_stop < 0 ||
            inotify_add_watch(m_inotify, QFile::encodeName(folder).constData(), IN_CLOSE_WRITE) < 0)
            fail(QStringLiteral("cannot watch %1 for the log").arg(folder));
        m_thread = std::thread([this] { run(); });
    }
    ~LogCloseWatcher()
    {
        const quint64 one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_stop, &one, sizeof one);
        m_thread.join();
        ::close(m_inotify);
        ::close(m_stop);
    }

    // The last close seen, 0 for none since the last call.
    qint64 take() { return m_lastClose.exchange(0); }

private:
    void run()
    {
        alignas(inotify_event) char buffer[4096];
        pollfd fds[2] = {{m_inotify, POLLIN, 0}, {m_stop, POLLIN, 0}};
        for (;;) {
            if (::poll(fds, 2, -1) < 0 && errno != EINTR)
                return;
            if (fds[1].revents)
                return;
            if (!(fds[0].revents & POLLIN))
                continue;
            const qint64 stamp = nowNs();
            const ssize_t n = ::read(m_inotify, buffer, sizeof buffer);
            for (ssize_t at = 0; at < n;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                if (event->len && std::strcmp(event->name, "ZorLog.txt") == 0)
                    m_lastClose.store(stamp);
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
    }

    int m_inotify = -1;
    int m_stop = -1;
    std::thread m_thread;
    std::atomic<qint64> m_lastClose{0};
};

// ---------------------------------------------------------------------------------------
// One request through the queue.

struct RequestTimes
{
    double total = 0;
    double before = 0;
    double tools = 0;
    double after = 0;
    double afterLog = 0;
    double overhead = 0;
    double cpu = 0;
};

struct Bench
{
    Installation &installation;
    TDiriduForm &form;
    RecordingDialogs &dialogs;
    LogCloseWatcher &logWatcher;
    QString timesPath;
    // Requests whose log close the watcher saw only after the handler had returned; their
    // after_tools runs to the return instead.
    int lateLogStamps = 0;

    void checkClean(const char *what)
    {
        if (!dialogs.shown().isEmpty())
            fail(QStringLiteral("%1: a dialog was shown: %2")
                     .arg(QLatin1String(what), dialogs.texts().join(u'\n')));
        if (form.mailChannel()->count() != 0)
            fail(QStringLiteral("%1: requests left in the queue").arg(QLatin1String(what)));
        if (!form.ImagePath.isEmpty())
            fail(QStringLiteral("%1: the image was not cleared").arg(QLatin1String(what)));
        QFile log(installation.root() + QStringLiteral("ZorLog.txt"));
        if (!log.open(QIODevice::ReadOnly) || !log.readAll().contains("***** End of Log *****"))
            fail(QStringLiteral("%1: no complete ZorLog.txt").arg(QLatin1String(what)));
        if (!QDir(installation.root())
                 .entryList({QStringLiteral("Zor*.tmp"), QStringLiteral("Zor*.sh")})
                 .isEmpty())
            fail(QStringLiteral("%1: temporary files left").arg(QLatin1String(what)));
    }

    // Writes the messages, posts one WM_CHECKMAIL and delivers it; the handler returns once
    // it has worked through the queue.
    qint64 deliver(const QStringList &images)
    {
        for (const QString &image : images)
            form.mailChannel()->write(makeMailMessage(MailCode::Print, image));
        QCoreApplication::postEvent(&form, new QEvent(WM_CHECKMAIL));
        const qint64 start = nowNs();
        QCoreApplication::sendPostedEvents(&form, WM_CHECKMAIL);
        return start;
    }

    RequestTimes one(const QString &image)
    {
        takeToolRecords(timesPath);
        logWatcher.take();
        const qint64 cpu0 = cpuNs();
        const qint64 t0 = deliver({image});
        const qint64 t1 = nowNs();
        const qint64 cpu1 = cpuNs();
        if (!dialogs.shown().isEmpty())
            fail(
                QStringLiteral("request: a dialog was shown: %1").arg(dialogs.texts().join(u'\n')));
        // The watcher may not have run yet; its stamp is only trusted when it was taken
        // before the handler returned.
        qint64 logClosed = 0;
        for (int waited = 0; waited < 1000 && (logClosed = logWatcher.take()) == 0; ++waited)
            ::usleep(1000);
        if (logClosed == 0)
            fail(QStringLiteral("the log was not seen closed"));
        if (logClosed > t1) {
            ++lateLogStamps;
            logClosed = t1;
        }
        checkClean("request");

        const QList<ToolRecord> records = takeToolRecords(timesPath);
        qint64 spoolgateStart = 0;
        qint64 toolsEnd = 0;
        for (const ToolRecord &record : records) {
            if (record.name == QLatin1String("Spoolgate"))
                spoolgateStart = record.start;
            toolsEnd = std::max(toolsEnd, record.end);
        }
        if (records.size() != 3 || spoolgateStart == 0)
            fail(QStringLiteral("expected one run of each tool, got %1 records")
                     .arg(records.size()));

        RequestTimes r;
        r.total = ms(t1 - t0);
        r.before = ms(spoolgateStart - t0);
        r.tools = ms(toolsEnd - spoolgateStart);
        r.after = ms(logClosed - toolsEnd);
        r.afterLog = ms(t1 - logClosed);
        r.overhead = r.before + r.after;
        r.cpu = ms(cpu1 - cpu0);
        // Whatever the request left for the event loop (repaints) runs outside the clock.
        QCoreApplication::processEvents();
        return r;
    }

    void series(const char *suffix, const QString &image, int warmup, int requests)
    {
        for (int i = 0; i < warmup; ++i)
            one(image);
        std::vector<double> total, before, tools, after, afterLog, overhead, cpu;
        for (int i = 0; i < requests; ++i) {
            const RequestTimes r = one(image);
            total.push_back(r.total);
            before.push_back(r.before);
            tools.push_back(r.tools);
            after.push_back(r.after);
            afterLog.push_back(r.afterLog);
            overhead.push_back(r.overhead);
            cpu.push_back(r.cpu);
        }
        auto line = [&](const char *name, const std::vector<double> &values) {
            printStats(qPrintable(QLatin1String(name) + QLatin1String(suffix)), values);
        };
        if (lateLogStamps > 0)
            std::fprintf(stderr, "log close seen late in %d requests\n", lateLogStamps);
        lateLogStamps = 0;
        line("request_overhead", overhead);
        line("before_tools", before);
        line("after_tools", after);
        line("tools_running", tools);
        line("after_log", afterLog);
        line("request_total", total);
        line("request_cpu", cpu);
    }

    // One run of count requests written at once. Returns the gaps between one request's
    // last tool ending and the next one's first tool starting; total is the handler's time.
    std::vector<double> queue(int count, const QString &photo, double &total)
    {
        QStringList images;
        for (int i = 1; i <= count; ++i) {
            const QString image = installation.root() +
                                  QStringLiteral("queued%1.tif").arg(i, 2, 10, QLatin1Char('0'));
            QFile::remove(image);
            if (!QFile::copy(photo, image))
                fail(QStringLiteral("cannot copy the image"));
            images.append(image);
        }
        takeToolRecords(timesPath);
        const qint64 t0 = deliver(images);
        const qint64 t1 = nowNs();
        checkClean("queue");
        total = ms(t1 - t0);

        // Each tool's runs in the order they started; the n-th of each belong together.
        std::map<QString, QList<ToolRecord>> byTool;
        for (const ToolRecord &record : takeToolRecords(timesPath))
            byTool[record.name].append(record);
        for (auto &[name, runs] : byTool) {
            std::sort(runs.begin(), runs.end(),
                      [](const ToolRecord &a, const ToolRecord &b) { return a.start < b.start; });
            if (runs.size() != count)
                fail(QStringLiteral("%1 ran %2 times for %3 requests")
                         .arg(name)
                         .arg(runs.size())
                         .arg(count));
        }
        if (byTool.size() != 3)
            fail(QStringLiteral("not all three tools ran"));
        const QList<ToolRecord> &spoolgate = byTool[QStringLiteral("Spoolgate")];
        for (int i = 0; i < count; ++i) {
            if (spoolgate[i].argument != QFileInfo(images[i]).fileName())
                fail(QStringLiteral("requests printed out of order"));
        }

        std::vector<double> gaps;
        qint64 previousEnd = 0;
        for (int i = 0; i < count; ++i) {
            qint64 start = std::numeric_limits<qint64>::max();
            qint64 end = 0;
            for (const auto &[name, runs] : byTool) {
                start = std::min(start, runs[i].start);
                end = std::max(end, runs[i].end);
            }
            if (i > 0)
                gaps.push_back(ms(start - previousEnd));
            previousEnd = end;
        }
        QStringList shown;
        for (double gap : gaps)
            shown.append(QString::number(gap, 'f', 2));
        std::fprintf(stderr, "  total %.2f ms, gaps: %s\n", total, qPrintable(shown.join(u' ')));
        for (const QString &image : images)
            QFile::remove(image);
        QCoreApplication::processEvents();
        return gaps;
    }

    // Several queue runs: the median total, and the largest gap of any run.
    void queues(int count, int rounds, const QString &photo)
    {
        std::vector<double> totals, gaps;
        for (int round = 0; round < rounds; ++round) {
            double total = 0;
            const std::vector<double> roundGaps = queue(count, photo, total);
            totals.push_back(total);
            gaps.insert(gaps.end(), roundGaps.begin(), roundGaps.end());
        }
        const double maxGap = *std::max_element(gaps.begin(), gaps.end());
        std::printf("queue%d total_ms=%.2f max_gap_ms=%.2f\n", count, stats(totals).median, maxGap);
        printStats(qPrintable(QStringLiteral("queue%1_gap").arg(count)), gaps);
    }
};

// What one bare start of a tool costs this machine: spawned, run on empty input, reaped.
// The stand-in writes its time record here too, as it does in a request; the next request
// throws these records away.
void spawnBaseline(const QString &tool, int runs)
{
    const QByteArray path = QFile::encodeName(tool);
    char *argv[] = {const_cast<char *>(path.constData()), nullptr};
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        const qint64 start = nowNs();
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ) != 0)
            fail(QStringLiteral("cannot start %1").arg(tool));
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        times.push_back(ms(nowNs() - start));
        posix_spawn_file_actions_destroy(&actions);
    }
    printStats("tool_spawn_baseline", times);
}

// The offscreen platform says so on every request, as the handler brings the window to the
// front; the rest passes on.
QtMessageHandler defaultMessageHandler = nullptr;

void quietRaise(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("does not support raise()")))
        return;
    defaultMessageHandler(type, context, message);
}

bool waitForStartup(TDiriduForm &form)
{
    QEventLoop loop;
    bool finished = false;
    QObject::connect(&form, &TDiriduForm::deferredStartupFinished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    form.show();
    if (!finished)
        loop.exec();
    return finished;
}

// Everything after the application object: the options, the installation, the window and
// the measurements.
int run(const QStringList &args, const QString &timesPath)
{
    int requests = 50;
    int warmup = 5;
    int queued = 20;
    int rounds = 5;
    quint32 width = 600;
    quint32 height = 400;
    quint16 bits = 8;
    bool batch = true;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        const QString next = i + 1 < args.size() ? args[i + 1] : QString();
        if (a == QLatin1String("--requests"))
            requests = std::max(1, next.toInt()), ++i;
        else if (a == QLatin1String("--warmup"))
            warmup = std::max(0, next.toInt()), ++i;
        else if (a == QLatin1String("--queue"))
            queued = std::max(2, next.toInt()), ++i;
        else if (a == QLatin1String("--rounds"))
            rounds = std::max(1, next.toInt()), ++i;
        else if (a == QLatin1String("--size")) {
            const QStringList wh = next.split(u'x');
            width = wh.value(0).toUInt();
            height = wh.value(1).toUInt();
            if (width == 0 || height == 0)
                fail(QStringLiteral("--size wants WIDTHxHEIGHT"));
            ++i;
        } else if (a == QLatin1String("--bits")) {
            bits = next == QLatin1String("16") ? 16 : 8;
            ++i;
        } else if (a == QLatin1String("--no-batch"))
            batch = false;
        else
            fail(QStringLiteral("unknown option %1").arg(a));
    }

    SingleInstanceGuard guard;
    if (!guard.holdsLock())
        fail(QStringLiteral("cannot take the instance lock: %1").arg(guard.errorString()));

    const int pidFd = int(::syscall(SYS_pidfd_open, ::getpid(), 0));
    std::fprintf(stderr, "pidfd_open: %s\n", pidFd >= 0 ? "available" : std::strerror(errno));
    if (pidFd >= 0)
        ::close(pidFd);

    Installation installation;
    const QString photo = installation.root() + QStringLiteral("photo.tif");
    if (!writeTiff(photo, width, height, bits))
        fail(QStringLiteral("cannot write the test image"));
    std::fprintf(stderr, "image: %ux%u, %u-bit grey, 300 dpi, %lld bytes\n", width, height,
                 unsigned(bits), QFileInfo(photo).size());

    ScopedRecordingDialogs dialogs;
    ScopedRecordingHelpService help;
    ScopedCountingBeeper beeper;
    ScopedFixedPrinterQueues queues({kQueueName}, kQueueName);

    StartupOptions options;
    options.programFolder = installation.bin();
    std::unique_ptr<TDiriduForm> form = createDiriduWindows(options);
    if (!waitForStartup(*form))
        fail(QStringLiteral("the window did not finish its start-up"));
    if (!form->mailChannel() || !form->mailChannel()->isListening())
        fail(QStringLiteral("the window has no request queue"));
    if (!dialogs.shown().isEmpty())
        fail(QStringLiteral("start-up showed: %1").arg(dialogs.texts().join(u'\n')));
    form->ui.DebugMenu->setChecked(false);

    LogCloseWatcher logWatcher(installation.root());
    Bench bench{installation, *form, dialogs, logWatcher, timesPath};

    spawnBaseline(installation.bin() + QStringLiteral("Spoolgate"), 50);

    std::fprintf(stderr, "pipes: %d requests after %d unmeasured\n", requests, warmup);
    form->ui.UseBatch->setChecked(false);
    bench.series("", photo, warmup, requests);

    std::fprintf(stderr, "queue: %d rounds of %d requests at once (pipes)\n", rounds, queued);
    bench.queues(queued, rounds, photo);

    if (batch) {
        std::fprintf(stderr, "batch file: %d requests after %d unmeasured\n", requests, warmup);
        form->ui.UseBatch->setChecked(true);
        bench.series("_batch", photo, warmup, requests);
        form->ui.UseBatch->setChecked(false);
    }

    // The window goes before the request queue's lock and the installation it runs on.
    form.reset();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // This process is the running instance: it owns the request queue in a runtime folder
    // of its own.
    QTemporaryDir runtime;
    if (!runtime.isValid()) {
        std::fprintf(stderr, "bench_request: no temporary runtime folder\n");
        return 1;
    }
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const QString timesPath = runtime.path() + QStringLiteral("/tool-times.txt");
    qputenv("BENCH_REQUEST_TIMES", QFile::encodeName(timesPath));

    QApplication app(argc, argv);
    defaultMessageHandler = qInstallMessageHandler(quietRaise);
    try {
        return run(app.arguments(), timesPath);
    } catch (const BenchFailure &failure) {
        std::fprintf(stderr, "bench_request: %s\n", failure.what());
        return 1;
    }
}
