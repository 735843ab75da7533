#include "TestTiff.h"
#include "TiffDecoder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The facts of the first image as the file states them, and damaged, lying or foreign
// files: each ends in a clean failure with all facts zero, quickly, without a large
// allocation and without a word on standard error.
class TestTiffProbe : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void factsOfWrittenFiles_data();
    void factsOfWrittenFiles();
    void factsAsStored_data();
    void factsAsStored();
    void upperCaseExtension();
    void onlyTheFirstImage();
    void failures_data();
    void failures();
    void unreadablePaths();
    void damagedDataFailsOnlyWhenDecoded();
    void everyTruncationFails();
    void mutatedFilesNeverCrash();
    void memoryDoesNotFollowImageSize_data();
    void memoryDoesNotFollowImageSize();
    void libtiffStaysSilent();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

Q_DECLARE_METATYPE(TestTiffLayout)
Q_DECLARE_METATYPE(TPixelLayout)

namespace {

constexpr qint64 quickMs = 2000;

// The resident-memory high-water mark, reset to the current size on start.
class PeakMemory
{
public:
    bool start()
    {
        FILE *clear = std::fopen("/proc/self/clear_refs", "w");
        if (!clear)
            return false;
        const bool written = std::fputs("5", clear) >= 0;
        if (std::fclose(clear) != 0 || !written)
            return false;
        m_base = field("VmRSS");
        return m_base >= 0;
    }
    qint64 extraKb() const { return field("VmHWM") - m_base; }

private:
    static qint64 field(const char *name)
    {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray key = QByteArray(name) + ':';
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith(key))
                return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
        return -1;
    }
    qint64 m_base = -1;
};

// Checks the outcome's own consistency, whatever the file was.
void verifyConsistent(const TTiffDecodeResult &result, const QSize &box)
{
    QVERIFY(result.facts.Loaded);
    if (result.ok) {
        QVERIFY(!result.preview.isNull());
        QVERIFY(result.preview.width() <= box.width() && result.preview.height() <= box.height());
        QCOMPARE(result.preview.size(),
                 previewSizeFor(QSize(result.facts.Width, result.facts.Height), box));
        QVERIFY(result.facts.Width > 0 && result.facts.Height > 0);
    } else {
        QCOMPARE(result.facts, TImageFacts::failed());
        QVERIFY(result.preview.isNull());
        QVERIFY(!result.error.isEmpty());
    }
}

TestTiffLayout greyLayout()
{
    TestTiffLayout l;
    l.width = 33;
    l.height = 21;
    return l;
}

} // namespace

void TestTiffProbe::initTestCase()
{
    QVERIFY(m_dir.isValid());
    TIFFSetWarningHandler(nullptr); // the writer's own remarks on the test files
}

void TestTiffProbe::factsOfWrittenFiles_data()
{
    QTest::addColumn<TestTiffLayout>("layout");
    QTest::addColumn<int>("unit");
    QTest::addColumn<double>("xres");
    QTest::addColumn<TPixelLayout>("pixelLayout");

    TestTiffLayout l;
    l.width = 3000;
    l.height = 2400;
    l.compression = COMPRESSION_LZW;
    l.rowsPerStrip = 64;
    QTest::newRow("300 ppi grey 3000 x 2400") << l << 2 << 300.0 << TPixelLayout::Bits8;
    l.bigEndian = true;
    QTest::newRow("the same big-endian") << l << 2 << 300.0 << TPixelLayout::Bits8;

    l = greyLayout();
    l.resolution = false;
    QTest::newRow("no resolution tags") << l << 0 << 0.0 << TPixelLayout::Bits8;

    l = greyLayout();
    l.bits = 16;
    l.photometric = PHOTOMETRIC_RGB;
    l.samples = 3;
    QTest::newRow("RGB 16") << l << 2 << 300.0 << TPixelLayout::Bits24;
    l.samples = 4;
    QTest::newRow("RGBA 16 without ExtraSamples") << l << 2 << 300.0 << TPixelLayout::Bits32;
    l.bits = 8;
    QTest::newRow("RGBA 8 without ExtraSamples") << l << 2 << 300.0 << TPixelLayout::Bits32;
    l.extraSamples = 1;
    QTest::newRow("RGB 8 with alpha") << l << 2 << 300.0 << TPixelLayout::Bits24;

    l = greyLayout();
    l.bits = 1;
    l.photometric = PHOTOMETRIC_MINISWHITE;
    QTest::newRow("bilevel") << l << 2 << 300.0 << TPixelLayout::Bits1;
    l.bits = 4;
    l.photometric = PHOTOMETRIC_PALETTE;
    QTest::newRow("palette 4") << l << 2 << 300.0 << TPixelLayout::Bits4;
}

void TestTiffProbe::factsOfWrittenFiles()
{
    QFETCH(TestTiffLayout, layout);
    QFETCH(int, unit);
    QFETCH(double, xres);
    QFETCH(TPixelLayout, pixelLayout);
    const QString file = path(QStringLiteral("facts.tif"));
    QVERIFY(writeTestTiff(file, layout, [](quint32 x, quint32 y, int) { return (x ^ y) & 1; }));

    for (const TTiffDecodeResult &result : {probeTiff(file), decodeTiff(file, QSize(264, 264))}) {
        QVERIFY2(result.ok, qPrintable(result.error));
        const TImageFacts &f = result.facts;
        QCOMPARE(f.Loaded, true);
        QCOMPARE(f.Width, qint32(layout.width));
        QCOMPARE(f.Height, qint32(layout.height));
        QCOMPARE(f.BitsPerSample, qint16(layout.bits));
        QCOMPARE(f.ExtraSamples, qint32(layout.extraSamples));
        QCOMPARE(f.ResolutionUnit, unit);
        QCOMPARE(f.XResolution, xres);
        QCOMPARE(f.YResolution, xres);
        QCOMPARE(f.PixelLayout, pixelLayout);
    }
}

void TestTiffProbe::factsAsStored_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("extra");
    QTest::addColumn<int>("unit");
    QTest::addColumn<double>("xres");
    QTest::addColumn<double>("yres");
    QTest::addColumn<TPixelLayout>("pixelLayout");

    const auto grey = [](quint32 x, quint32 y) { return uchar(x * 7 + y); };
    for (int big = 0; big < 2; ++big) {
        const QByteArray order = big ? " MM" : " II";
        TiffBuilder b = greyBuilder(20, 10, grey, big);
        b.setShort(296, {RESUNIT_CENTIMETER});
        b.setRational(282, 11811, 100);
        b.setRational(283, 23622, 200);
        QTest::newRow("per centimetre" + order)
            << b.build() << 8 << 0 << 3 << 118.11 << 118.11 << TPixelLayout::Bits8;

        b = greyBuilder(20, 10, grey, big);
        b.setShort(296, {4});
        QTest::newRow("unit 4 kept as stored" + order)
            << b.build() << 8 << 0 << 4 << 300.0 << 300.0 << TPixelLayout::Bits8;

        b = greyBuilder(20, 10, grey, big);
        b.setShort(296, {0});
        QTest::newRow("unit 0" + order)
            << b.build() << 8 << 0 << 0 << 300.0 << 300.0 << TPixelLayout::Bits8;

        b = greyBuilder(20, 10, grey, big);
        b.set(282, TIFF_SRATIONAL, {quint64(quint32(-300)), 1});
        QTest::newRow("negative resolution" + order)
            << b.build() << 8 << 0 << 2 << -300.0 << 300.0 << TPixelLayout::Bits8;

        b = greyBuilder(20, 10, grey, big);
        b.setRational(282, 0, 1);
        b.remove(283);
        b.remove(296);
        QTest::newRow("zero resolution, y and unit absent" + order)
            << b.build() << 8 << 0 << 0 << 0.0 << 0.0 << TPixelLayout::Bits8;

        // Tags absent read as 0 even where TIFF has a default: the layout is then device.
        b = greyBuilder(20, 10, grey, big);
        b.remove(277);
        QTest::newRow("SamplesPerPixel absent" + order)
            << b.build() << 8 << 0 << 2 << 300.0 << 300.0 << TPixelLayout::Device;

        // A per-sample BitsPerSample: its first value counts.
        b = greyBuilder(20, 10, grey, big);
        b.setShort(277, {2});
        b.setShort(258, {8, 8});
        b.setShort(338, {EXTRASAMPLE_ASSOCALPHA});
        b.data().append(b.data()); // one more sample per pixel
        b.setLong(279, {400});
        QTest::newRow("grey and alpha, two BitsPerSample values" + order)
            << b.build() << 8 << 1 << 2 << 300.0 << 300.0 << TPixelLayout::Bits8;
    }

    // Bilevel without BitsPerSample: TIFF's default of one bit decodes, the fact stays 0.
    TiffBuilder b;
    b.setLong(256, {16});
    b.setLong(257, {2});
    b.setShort(262, {PHOTOMETRIC_MINISWHITE});
    b.setDataOffsets(273, {0});
    b.setShort(277, {1});
    b.setLong(279, {4});
    b.data() = QByteArray("\xff\x00\x0f\xf0", 4);
    QTest::newRow("BitsPerSample absent")
        << b.build() << 0 << 0 << 0 << 0.0 << 0.0 << TPixelLayout::Device;
}

void TestTiffProbe::factsAsStored()
{
    QFETCH(QByteArray, file);
    const QString name = path(QStringLiteral("stored.tif"));
    QFile out(name);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(file);
    out.close();

    const TTiffDecodeResult result = decodeTiff(name, QSize(264, 264));
    QVERIFY2(result.ok, qPrintable(result.error));
    const TImageFacts &f = result.facts;
    QTEST(int(f.BitsPerSample), "bits");
    QTEST(int(f.ExtraSamples), "extra");
    QTEST(int(f.ResolutionUnit), "unit");
    QTEST(f.XResolution, "xres");
    QTEST(f.YResolution, "yres");
    QTEST(f.PixelLayout, "pixelLayout");
    QCOMPARE(probeTiff(name).facts, f);
}

void TestTiffProbe::upperCaseExtension()
{
    TestTiffLayout l = greyLayout();
    const auto value = [](quint32 x, quint32 y, int) { return (x * 3 + y * 5) % 256; };
    QVERIFY(writeTestTiff(path(QStringLiteral("print.tif")), l, value));
    QVERIFY(QFile::copy(path(QStringLiteral("print.tif")), path(QStringLiteral("print.TIFF"))));
    const TTiffDecodeResult lower = decodeTiff(path(QStringLiteral("print.tif")), QSize(10, 10));
    const TTiffDecodeResult upper = decodeTiff(path(QStringLiteral("print.TIFF")), QSize(10, 10));
    QVERIFY(lower.ok);
    QVERIFY(upper.ok);
    QCOMPARE(upper.facts, lower.facts);
    QCOMPARE(upper.preview, lower.preview);
}

void TestTiffProbe::onlyTheFirstImage()
{
    // Two images in one file: the facts and the preview are the first one's.
    const QString file = path(QStringLiteral("pages.tif"));
    TIFF *tif = TIFFOpen(QFile::encodeName(file).constData(), "w");
    QVERIFY(tif);
    for (quint32 page = 0; page < 2; ++page) {
        const quint32 width = page == 0 ? 8 : 100;
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 4u);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, page == 0 ? 240.0f : 600.0f);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, 240.0f);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        std::vector<uchar> row(width, uchar(page == 0 ? 200 : 10));
        for (quint32 y = 0; y < 4; ++y)
            QCOMPARE(TIFFWriteScanline(tif, row.data(), y, 0), 1);
        QVERIFY(TIFFWriteDirectory(tif));
    }
    TIFFClose(tif);
    const TTiffDecodeResult result = decodeTiff(file, QSize(264, 264));
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.facts.Width, 8);
    QCOMPARE(result.facts.XResolution, 240.0);
    QCOMPARE(int(result.preview.constScanLine(0)[0]), 200);
}

void TestTiffProbe::failures_data()
{
    QTest::addColumn<QByteArray>("file");

    const auto grey = [](quint32 x, quint32 y) { return uchar(x + y); };
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("header only") << QByteArray("II*\0\x08\0\0\0", 8);
    QTest::newRow("PNG") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    QTest::newRow("text") << QByteArray("This is not an image at all, just words.\n");
    QTest::newRow("wrong magic") << QByteArray("II+\0\x08\0\0\0\0\0\0\0", 12);
    QTest::newRow("directory past the end") << QByteArray("MM\0*\x7f\xff\xff\xf0", 8);
    QTest::newRow("directory count past the end") << QByteArray("II*\0\x08\0\0\0\xff\xff", 10);

    TiffBuilder b = greyBuilder(20, 10, grey);
    b.setRational(282, 300, 0);
    QTest::newRow("zero denominator in XResolution") << b.build();
    b = greyBuilder(20, 10, grey);
    b.setRational(283, 0, 0);
    QTest::newRow("zero denominator in YResolution") << b.build();

    b = greyBuilder(20, 10, grey);
    b.setShort(259, {COMPRESSION_JPEG});
    QTest::newRow("JPEG compression") << b.build();
    b = greyBuilder(20, 10, grey);
    b.setShort(259, {COMPRESSION_CCITTFAX4});
    QTest::newRow("CCITT compression") << b.build();
    b = greyBuilder(20, 10, grey);
    b.setShort(259, {12345});
    QTest::newRow("unknown compression") << b.build();
    b = greyBuilder(20, 10, grey);
    b.setShort(262, {PHOTOMETRIC_SEPARATED});
    QTest::newRow("CMYK") << b.build();
    b = greyBuilder(20, 10, grey);
    b.setShort(262, {PHOTOMETRIC_YCBCR});
    QTest::newRow("YCbCr") << b.build();
    b = greyBuilder(20, 10, grey);
    b.setShort(339, {SAMPLEFORMAT_IEEEFP});
    QTest::newRow("floating point samples") << b.build();
    b = greyBuilder(20, 10, grey);
    b.setShort(258, {12});
    QTest::newRow("12-bit grey") << b.build();
    b = greyBuilder(20, 10, grey);
    b.setShort(262, {PHOTOMETRIC_PALETTE});
    b.setShort(258, {4});
    QTest::newRow("4-bit palette without a colour map") << b.build();
    b = greyBuilder(20, 10, grey);
    b.remove(256);
    QTest::newRow("no width") << b.build();
    b = greyBuilder(20, 10, grey);
    b.setLong(256, {0});
    QTest::newRow("zero width") << b.build();

    b = greyBuilder(20, 10, grey);
    b.data().chop(1);
    QTest::newRow("last byte missing") << b.build();
    b = greyBuilder(20, 10, grey);
    b.setLong(279, {100});
    b.data().chop(100);
    QTest::newRow("half the data, byte count agreeing") << b.build();

    // Headers that claim far more than the file holds.
    b = greyBuilder(20, 10, grey);
    b.setLong(256, {100000});
    b.setLong(257, {100000});
    b.remove(278);
    QTest::newRow("100000 x 100000 in one strip") << b.build();
    b.setLong(278, {100000});
    QTest::newRow("100000 x 100000, RowsPerStrip agreeing") << b.build();
    b.setShort(259, {COMPRESSION_LZW});
    QTest::newRow("100000 x 100000 LZW") << b.build();

    b = greyBuilder(20, 10, grey);
    b.setLong(256, {100000});
    b.setLong(257, {100000});
    b.setLong(278, {2000}); // 200 MB strips, each said to be in 200 bytes
    b.setShort(259, {COMPRESSION_LZW});
    std::vector<quint64> offsets, counts;
    for (int i = 0; i < 50; ++i) {
        offsets.push_back(0);
        counts.push_back(200);
    }
    b.setDataOffsets(273, offsets);
    b.setLong(279, counts);
    QTest::newRow("200 MB LZW strips in 200 bytes") << b.build();
    b.setShort(259, {COMPRESSION_ADOBE_DEFLATE});
    QTest::newRow("200 MB Deflate strips in 200 bytes") << b.build();
    b.setShort(259, {COMPRESSION_PACKBITS});
    QTest::newRow("200 MB PackBits strips in 200 bytes") << b.build();

    b = greyBuilder(20, 10, grey);
    b.setLong(256, {100000});
    b.setLong(257, {100000});
    b.setLong(278, {1});
    b.setClaimedCount(273, 100000);
    b.setClaimedCount(279, 100000);
    QTest::newRow("100000 strips claimed, one stored") << b.build();

    b = greyBuilder(20, 10, grey);
    b.setLong(256, {0x7fffffff});
    b.setLong(257, {1});
    b.setLong(278, {1});
    QTest::newRow("two billion pixels wide") << b.build();

    b = greyBuilder(20, 10, grey);
    b.remove(273);
    b.remove(278);
    b.remove(279);
    b.setLong(322, {65536});
    b.setLong(323, {65536});
    b.setDataOffsets(324, {0});
    b.setLong(325, {200});
    QTest::newRow("a 4 GB tile") << b.build();
    b.setLong(322, {16});
    b.setLong(323, {16});
    b.setLong(256, {60000});
    b.setLong(257, {60000});
    QTest::newRow("14 million tiles claimed, one stored") << b.build();

    // Many parts pointing at the same few bytes: a large image in a small file.
    b = greyBuilder(20, 10, grey);
    b.setLong(257, {1000});
    b.setLong(278, {10});
    b.setDataOffsets(273, std::vector<quint64>(100, 0));
    b.setLong(279, std::vector<quint64>(100, 200));
    QTest::newRow("100 strips on the same bytes") << b.build();
    b = greyBuilder(16, 16, grey);
    b.remove(273);
    b.remove(278);
    b.remove(279);
    b.setLong(256, {160});
    b.setLong(257, {160});
    b.setLong(322, {16});
    b.setLong(323, {16});
    b.setDataOffsets(324, std::vector<quint64>(100, 0));
    b.setLong(325, std::vector<quint64>(100, 256));
    QTest::newRow("100 tiles on the same bytes") << b.build();

    // Files that once took seconds to minutes to decode: a 1 GB image in 1 MB of tiles
    // sharing 8 KB, and tile tables far too short for the image, which libtiff fills in
    // with copies of one entry.
    const QDir slow(QStringLiteral(DIRIDU_SOURCE_DIR "/tests/layout/data/slow"));
    const QStringList slowFiles = slow.entryList(QDir::Files, QDir::Name);
    QVERIFY(slowFiles.size() >= 7);
    for (const QString &name : slowFiles) {
        QFile in(slow.filePath(name));
        QVERIFY(in.open(QIODevice::ReadOnly));
        QTest::newRow(qPrintable(name)) << in.readAll();
    }
}

void TestTiffProbe::failures()
{
    QFETCH(QByteArray, file);
    const QString name = path(QStringLiteral("bad.tif"));
    QFile out(name);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(file);
    out.close();

    PeakMemory memory;
    const bool measuring = memory.start();
    QElapsedTimer timer;
    timer.start();
    const TTiffDecodeResult probed = probeTiff(name);
    const TTiffDecodeResult decoded = decodeTiff(name, QSize(264, 264));
    const qint64 elapsed = timer.elapsed();
    QVERIFY2(!decoded.ok, "decoded a file that cannot be");
    QVERIFY(!probed.ok);
    verifyConsistent(probed, QSize(264, 264));
    verifyConsistent(decoded, QSize(264, 264));
    QVERIFY2(elapsed < quickMs, qPrintable(QStringLiteral("took %1 ms").arg(elapsed)));
    if (measuring)
        QVERIFY2(memory.extraKb() < 16 * 1024,
                 qPrintable(QStringLiteral("peak memory rose by %1 kB").arg(memory.extraKb())));
}

void TestTiffProbe::unreadablePaths()
{
    const QString fifo = path(QStringLiteral("pipe.tif"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QStringList paths{path(QStringLiteral("missing.tif")), m_dir.path(), fifo, QString()};
    for (const QString &name : paths) {
        QElapsedTimer timer;
        timer.start();
        const TTiffDecodeResult result = decodeTiff(name, QSize(264, 264)); // a FIFO must not block
        QVERIFY2(!result.ok, qPrintable(name));
        verifyConsistent(result, QSize(264, 264));
        QVERIFY(!probeTiff(name).ok);
        QVERIFY(timer.elapsed() < quickMs);
    }
}

void TestTiffProbe::damagedDataFailsOnlyWhenDecoded()
{
    // An LZW strip with its second half replaced by noise: the directory is sound, the
    // data is not.
    TestTiffLayout l = greyLayout();
    l.width = 200;
    l.height = 200;
    l.rowsPerStrip = 200;
    l.compression = COMPRESSION_LZW;
    const QString file = path(QStringLiteral("damaged.tif"));
    QVERIFY(writeTestTiff(file, l, [](quint32 x, quint32 y, int) { return (x * y) % 251; }));
    TIFF *tif = TIFFOpen(QFile::encodeName(file).constData(), "r");
    QVERIFY(tif);
    const quint64 offset = TIFFGetStrileOffset(tif, 0);
    const quint64 bytes = TIFFGetStrileByteCount(tif, 0);
    TIFFClose(tif);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.seek(qint64(offset + bytes / 2)));
    QByteArray noise(int(bytes / 2), '\0');
    QRandomGenerator random(7);
    for (char &c : noise)
        c = char(random.bounded(256));
    f.write(noise);
    f.close();

    const TTiffDecodeResult probed = probeTiff(file);
    QVERIFY2(probed.ok, qPrintable(probed.error));
    const TTiffDecodeResult decoded = decodeTiff(file, QSize(50, 50));
    QVERIFY(!decoded.ok);
    verifyConsistent(decoded, QSize(50, 50));
}

void TestTiffProbe::everyTruncationFails()
{
    // Directory first, data last and nothing to spare: every byte cut off is missed.
    const QByteArray whole =
        greyBuilder(13, 7, [](quint32 x, quint32 y) { return uchar(x * y); }).build();
    const QString name = path(QStringLiteral("cut.tif"));
    for (int length = 0; length <= whole.size(); ++length) {
        QFile out(name);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(whole.left(length));
        out.close();
        const TTiffDecodeResult result = decodeTiff(name, QSize(5, 5));
        verifyConsistent(result, QSize(5, 5));
        QVERIFY2(result.ok == (length == whole.size()), qPrintable(QString::number(length)));
    }
}

void TestTiffProbe::mutatedFilesNeverCrash()
{
    // Random bytes changed in small valid files of several layouts.
    QList<QByteArray> seeds;
    const TestTiffLayout base = greyLayout();
    for (int variant = 0; variant < 4; ++variant) {
        TestTiffLayout l = base;
        l.compression = variant == 0   ? COMPRESSION_NONE
                        : variant == 1 ? COMPRESSION_LZW
                        : variant == 2 ? COMPRESSION_ADOBE_DEFLATE
                                       : COMPRESSION_PACKBITS;
        l.tiled = variant % 2;
        l.bits = variant == 3 ? 16 : 8;
        l.photometric = variant == 2 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
        l.samples = variant == 2 ? 3 : 1;
        l.bigEndian = variant >= 2;
        const QString name = path(QStringLiteral("seed.tif"));
        QVERIFY(writeTestTiff(name, l, [](quint32 x, quint32 y, int s) {
            return (x * 5 + y * 3 + quint32(s)) % 256;
        }));
        QFile in(name);
        QVERIFY(in.open(QIODevice::ReadOnly));
        seeds << in.readAll();
    }

    QRandomGenerator random(20240611);
    const QString name = path(QStringLiteral("mutant.tif"));
    QElapsedTimer timer;
    timer.start();
    int decoded = 0;
    for (int round = 0; round < 600; ++round) {
        QByteArray bytes = seeds[round % seeds.size()];
        const int changes = 1 + int(random.bounded(8));
        for (int i = 0; i < changes; ++i) {
            const int at = int(random.bounded(quint32(bytes.size())));
            bytes[at] = random.bounded(4) == 0 ? char(0xff) : char(random.bounded(256));
        }
        if (random.bounded(5) == 0)
            bytes.truncate(int(random.bounded(quint32(bytes.size()))));
        QFile out(name);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        out.close();
        const TTiffDecodeResult result = decodeTiff(name, QSize(16, 16));
        verifyConsistent(result, QSize(16, 16));
        decoded += result.ok;
    }
    QVERIFY2(timer.elapsed() < 20 * quickMs, qPrintable(QString::number(timer.elapsed())));
    // Changes in pixel data still decode: a fuzzer that only ever failed would test nothing.
    QVERIFY(decoded > 0);
}

void TestTiffProbe::memoryDoesNotFollowImageSize_data()
{
    QTest::addColumn<int>("compression");
    QTest::newRow("uncompressed") << int(COMPRESSION_NONE);
    QTest::newRow("LZW") << int(COMPRESSION_LZW);
}

void TestTiffProbe::memoryDoesNotFollowImageSize()
{
    QFETCH(int, compression);
    // 4096 x 4096 16-bit: 32 MB of pixels, in one-row strips.
    const quint32 side = 4096;
    const QString file = path(QStringLiteral("large.tif"));
    TIFF *tif = TIFFOpen(QFile::encodeName(file).constData(), "w");
    QVERIFY(tif);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, side);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, side);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, quint16(compression));
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 1u);
    const auto value = [](quint32 x, quint32 y, int) -> quint32 {
        return quint16((x * 16 + y * 7) ^ (x * y));
    };
    std::vector<quint16> row(side);
    for (quint32 y = 0; y < side; ++y) {
        for (quint32 x = 0; x < side; ++x)
            row[x] = quint16(value(x, y, 0));
        QCOMPARE(TIFFWriteScanline(tif, row.data(), y, 0), 1);
    }
    TIFFClose(tif);

    PeakMemory memory;
    if (!memory.start())
        QSKIP("this system cannot reset the memory high-water mark");
    const TTiffDecodeResult result = decodeTiff(file, QSize(264, 264));
    const qint64 extraKb = memory.extraKb();
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.preview.size(), QSize(264, 264));
    QVERIFY2(extraKb < 12 * 1024, qPrintable(QStringLiteral("peak rose by %1 kB").arg(extraKb)));

    // Read in bands by parallel threads where the machine has the cores, it is still
    // every pixel's average.
    TestTiffLayout l;
    l.width = side;
    l.height = side;
    l.bits = 16;
    const QImage reference = referencePreview(l, value, QSize(264, 264));
    QCOMPARE(result.preview, reference);
}

void TestTiffProbe::libtiffStaysSilent()
{
    // Files that make libtiff complain (unknown tags, damaged data, bad tables).
    QList<QByteArray> files;
    TiffBuilder b = greyBuilder(20, 10, [](quint32 x, quint32) { return uchar(x); });
    b.setShort(65000, {1, 2, 3});
    b.set(700, 99, {1}); // a tag of an unknown type
    files << b.build();
    b.setShort(259, {COMPRESSION_LZW});
    files << b.build();
    b.setShort(259, {COMPRESSION_ADOBE_DEFLATE});
    files << b.build();
    b.setShort(259, {COMPRESSION_PACKBITS});
    b.setLong(279, {3});
    files << b.build();
    b.setClaimedCount(273, 7);
    files << b.build();

    fflush(stderr);
    const int saved = ::dup(2);
    const QString capture = path(QStringLiteral("stderr.txt"));
    const int sink =
        ::open(QFile::encodeName(capture).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    QVERIFY(saved >= 0 && sink >= 0);
    ::dup2(sink, 2);
    int failures = 0;
    for (const QByteArray &bytes : files) {
        QFile out(path(QStringLiteral("noisy.tif")));
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            out.write(bytes);
        out.close();
        failures += !decodeTiff(out.fileName(), QSize(8, 8)).ok;
    }
    fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    ::close(sink);
    QFile captured(capture);
    QVERIFY(captured.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(captured.readAll()), QString());
    QVERIFY(failures >= 3); // the damaged ones did reach libtiff's error paths
}

QTEST_APPLESS_MAIN(TestTiffProbe)
#include "tst_tiffprobe.moc"
