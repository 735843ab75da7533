// Opening a large 16-bit scan: our preview decoder against QImageReader scaling the same
// file to the same size. Writes its two test files itself (9360 x 13680 pixels, 16-bit
// grey, uncompressed and LZW with the horizontal predictor) and prints one line per file:
//   <file> ours_ms=<median> qimagereader_ms=<median> ratio=<qimagereader/ours> peak_extra_mb=<ours>
// Progress goes to standard error. Usage: bench_preview [folder for the files]

#include "TiffDecoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr quint32 Width = 9360;
constexpr quint32 Height = 13680;
const QSize PreviewBox(264, 264);
constexpr int OurRuns = 5;
constexpr int ReaderRuns = 3;

// A scan-like picture: smooth light falloff, a dark disc and a bright card with hard
// edges, a band of fine stripes (fabric), and grain on everything.
void fillRow(quint32 y, std::vector<quint16> &row, const std::vector<int> &columnLight,
             quint32 &seed)
{
    const double pi = std::numbers::pi;
    const int rowLight = int(9000.0 * std::sin(double(y) / Height * pi * 2.1));
    const double cx = Width * 0.62, cy = Height * 0.4, radius = Width * 0.22;
    const double dy = double(y) - cy;
    const double halfChord = dy * dy < radius * radius ? std::sqrt(radius * radius - dy * dy) : -1;
    const int discFrom = halfChord < 0 ? 1 : int(cx - halfChord);
    const int discTo = halfChord < 0 ? 0 : int(cx + halfChord);
    const bool cardRow = y > Height / 10 && y < Height / 3;
    const bool stripeRow = y > Height * 2 / 3 && y < Height * 3 / 4;
    for (quint32 x = 0; x < Width; ++x) {
        int v = columnLight[x] + rowLight;
        if (cardRow && x > Width / 12 && x < Width / 3)
            v += 14000;
        if (int(x) >= discFrom && int(x) <= discTo)
            v = v * 3 / 8;
        if (stripeRow)
            v += (x / 2 & 1) ? 3500 : -3500;
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        v += int(seed & 1023) + int(seed >> 22 & 1023) - 1023; // grain, roughly triangular
        row[x] = quint16(std::clamp(v, 0, 65535));
    }
}

bool writeTestFile(const QString &path, quint16 compression)
{
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, Width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, Height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    if (compression == COMPRESSION_LZW)
        TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 1200.0);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 1200.0);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    // libtiff's own strip size, as most writers built on it use.
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));

    std::vector<int> columnLight(Width);
    for (quint32 x = 0; x < Width; ++x)
        columnLight[x] =
            26000 + int(16000.0 * std::cos(double(x) / Width * std::numbers::pi * 1.3));
    std::vector<quint16> row(Width);
    quint32 seed = 2463534242u;
    bool ok = true;
    for (quint32 y = 0; y < Height && ok; ++y) {
        fillRow(y, row, columnLight, seed);
        ok = TIFFWriteScanline(tif, row.data(), y, 0) == 1;
    }
    TIFFClose(tif);
    return ok;
}

// Reads the file once so that every run finds it in the page cache.
void warmCache(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray block(1 << 20, Qt::Uninitialized);
    while (file.read(block.data(), block.size()) > 0) {
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double timeOurs(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    const TTiffDecodeResult result = decodeTiff(path, PreviewBox);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (!result.ok) {
        std::fprintf(stderr, "decoding %s failed: %s\n", qPrintable(path),
                     qPrintable(result.error));
        std::exit(1);
    }
    return ms;
}

double timeReader(const QString &path, const QSize &size)
{
    QElapsedTimer timer;
    timer.start();
    QImageReader reader(path);
    reader.setScaledSize(size);
    const QImage image = reader.read();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (image.isNull()) {
        std::fprintf(stderr, "QImageReader cannot read %s: %s\n", qPrintable(path),
                     qPrintable(reader.errorString()));
        return -1;
    }
    return ms;
}

qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Peak resident memory that one decode adds, in kB: run in a fresh process (see
// peakExtraMb) whose high-water mark is first reset to its current size; -1 when that
// cannot be done.
qint64 measurePeakKb(const QString &path)
{
    FILE *clear = std::fopen("/proc/self/clear_refs", "w");
    if (!clear)
        return -1;
    const bool reset = std::fputs("5", clear) >= 0;
    if (std::fclose(clear) != 0 || !reset)
        return -1;
    const qint64 before = statusKb("VmRSS");
    const TTiffDecodeResult result = decodeTiff(path, PreviewBox);
    const qint64 peak = statusKb("VmHWM");
    return result.ok && before >= 0 && peak >= 0 ? peak - before : -1;
}

// The same, measured in a new process of this program, so that nothing this process
// allocated and freed before (and kept by the allocator) can hide the decoder's needs.
double peakExtraMb(const QString &path)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(channel[1], 1);
        ::close(channel[0]);
        ::close(channel[1]);
        const QByteArray file = QFile::encodeName(path);
        ::execl("/proc/self/exe", "bench_preview", "--peak", file.constData(),
                static_cast<char *>(nullptr));
        ::_exit(127);
    }
    ::close(channel[1]);
    QByteArray answer;
    char block[64];
    ssize_t n;
    while (child > 0 && (n = ::read(channel[0], block, sizeof block)) > 0)
        answer.append(block, int(n));
    ::close(channel[0]);
    int status = 0;
    if (child > 0)
        ::waitpid(child, &status, 0);
    bool ok = false;
    const qint64 kb = answer.trimmed().toLongLong(&ok);
    return ok && kb >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? double(kb) / 1024.0
                                                                          : -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--peak") == 0) {
        std::printf("%lld\n", measurePeakKb(QFile::decodeName(argv[2])));
        return 0;
    }
    QCoreApplication app(argc, argv);
    QImageReader::setAllocationLimit(0); // the baseline is meant to decode the whole image
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    QDir().mkpath(folder);
    TIFFSetWarningHandler(nullptr);

    struct Case
    {
        QString name;
        quint16 compression;
    };
    const Case cases[] = {{QStringLiteral("grey16_none.tif"), COMPRESSION_NONE},
                          {QStringLiteral("grey16_lzw.tif"), COMPRESSION_LZW}};
    if (!QImageReader::supportedImageFormats().contains("tiff"))
        std::fprintf(stderr, "QImageReader has no TIFF plugin (qt6-image-formats-plugins)\n");

    for (const Case &c : cases) {
        const QString path = QDir(folder).filePath(c.name);
        if (!QFile::exists(path)) {
            std::fprintf(stderr, "writing %s ...\n", qPrintable(path));
            if (!writeTestFile(path, c.compression)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
        std::fprintf(stderr, "%s: %.0f MB\n", qPrintable(c.name),
                     double(QFileInfo(path).size()) / (1 << 20));
        warmCache(path);
        QFile load(QStringLiteral("/proc/loadavg"));
        if (load.open(QIODevice::ReadOnly)) // other work on the machine slows both sides
            std::fprintf(stderr, "load average: %s", load.readLine().constData());

        timeOurs(path); // warm-up
        std::vector<double> ours;
        for (int i = 0; i < OurRuns; ++i)
            ours.push_back(timeOurs(path));
        const double peak = peakExtraMb(path);

        const QSize size = previewSizeFor(QSize(Width, Height), PreviewBox);
        std::vector<double> reader;
        for (int i = 0; i < ReaderRuns; ++i) {
            const double ms = timeReader(path, size);
            if (ms < 0)
                break;
            reader.push_back(ms);
        }
        const double oursMs = median(ours);
        const double readerMs = reader.empty() ? -1 : median(reader);
        std::printf("%s ours_ms=%.1f qimagereader_ms=%.1f ratio=%.1f peak_extra_mb=%.1f\n",
                    qPrintable(c.name), oursMs, readerMs, readerMs > 0 ? readerMs / oursMs : 0.0,
                    peak);
        std::fflush(stdout);
    }
    return 0;
}
