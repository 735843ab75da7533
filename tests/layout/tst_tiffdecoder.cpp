#include "PreviewReducer.h"
#include "TestTiff.h"
#include "TiffDecoder.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <set>

// The preview decoder on every layout it claims, against a plain in-memory box average,
// and the shapes of its output.
class TestTiffDecoder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void layouts_data();
    void layouts();
    void halves_data();
    void halves();
    void stripesTurnGrey();
    void rampAveragedIn16Bit();
    void smallImageKeptWhole();
    void previewSize_data();
    void previewSize();
    void hugeReductionToOnePixel();
    void probeAgreesWithDecode();
    void rowSamplingStaysFaithful();
    void sharedStripTolerated();
    void rowSamplingTakesFewUnits_data();
    void rowSamplingTakesFewUnits();
    void tileSamplingStaysFaithful();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

Q_DECLARE_METATYPE(TestTiffLayout)

namespace {

quint32 scrambled(quint32 x, quint32 y, int s)
{
    quint32 h = x * 73856093u ^ y * 19349663u ^ quint32(s + 1) * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return h;
}

// Smooth gradients with a hard edge and some grain: what photographs are made of, and
// what exercises the predictor; the grain keeps the compressors honest.
TestSamples photoLike(const TestTiffLayout &l)
{
    const quint32 max =
        l.photometric == PHOTOMETRIC_PALETTE ? (1u << l.bits) - 1 : quint32((1ull << l.bits) - 1);
    return [l, max](quint32 x, quint32 y, int s) -> quint32 {
        const double gradient = (double(x) / l.width + double(y) / l.height + 0.3 * s) / 2.6;
        const double edge = x > l.width / 3 && y < l.height / 2 ? 0.25 : 0.0;
        const double grain = (double(scrambled(x, y, s) % 1000) / 1000.0 - 0.5) * 0.2;
        const double v = std::clamp(gradient + edge + grain, 0.0, 1.0);
        return quint32(v * max + 0.5);
    };
}

QString firstDifference(const QImage &actual, const QImage &expected)
{
    if (actual.size() != expected.size())
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(actual.width())
            .arg(actual.height())
            .arg(expected.width())
            .arg(expected.height());
    if (actual.format() != expected.format())
        return QStringLiteral("format %1, expected %2").arg(actual.format()).arg(expected.format());
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y))
                return QStringLiteral("pixel (%1,%2) is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(actual.pixel(x, y), 8, 16)
                    .arg(expected.pixel(x, y), 8, 16);
    return {};
}

} // namespace

void TestTiffDecoder::initTestCase()
{
    QVERIFY(m_dir.isValid());
    TIFFSetWarningHandler(nullptr); // the writer's own remarks on the test files
}

void TestTiffDecoder::layouts_data()
{
    QTest::addColumn<TestTiffLayout>("layout");

    struct Kind
    {
        const char *name;
        quint16 bits, samples, extra, photometric;
        bool planar;
    };
    const Kind kinds[] = {
        {"grey1", 1, 1, 0, PHOTOMETRIC_MINISBLACK, false},
        {"grey1 MinIsWhite", 1, 1, 0, PHOTOMETRIC_MINISWHITE, false},
        {"grey2", 2, 1, 0, PHOTOMETRIC_MINISBLACK, false},
        {"grey4", 4, 1, 0, PHOTOMETRIC_MINISBLACK, false},
        {"grey4 MinIsWhite", 4, 1, 0, PHOTOMETRIC_MINISWHITE, false},
        {"grey8", 8, 1, 0, PHOTOMETRIC_MINISBLACK, false},
        {"grey8 MinIsWhite", 8, 1, 0, PHOTOMETRIC_MINISWHITE, false},
        {"grey16", 16, 1, 0, PHOTOMETRIC_MINISBLACK, false},
        {"grey16 MinIsWhite", 16, 1, 0, PHOTOMETRIC_MINISWHITE, false},
        {"grey8 alpha", 8, 2, 1, PHOTOMETRIC_MINISBLACK, false},
        {"grey16 alpha", 16, 2, 1, PHOTOMETRIC_MINISBLACK, false},
        {"grey8 alpha planar", 8, 2, 1, PHOTOMETRIC_MINISBLACK, true},
        {"palette1", 1, 1, 0, PHOTOMETRIC_PALETTE, false},
        {"palette4", 4, 1, 0, PHOTOMETRIC_PALETTE, false},
        {"palette8", 8, 1, 0, PHOTOMETRIC_PALETTE, false},
        {"rgb8", 8, 3, 0, PHOTOMETRIC_RGB, false},
        {"rgb16", 16, 3, 0, PHOTOMETRIC_RGB, false},
        {"rgba8", 8, 4, 1, PHOTOMETRIC_RGB, false},
        {"rgba16", 16, 4, 1, PHOTOMETRIC_RGB, false},
        {"rgb8 planar", 8, 3, 0, PHOTOMETRIC_RGB, true},
        {"rgb16 planar", 16, 3, 0, PHOTOMETRIC_RGB, true},
        {"rgba16 planar", 16, 4, 1, PHOTOMETRIC_RGB, true},
    };
    struct Codec
    {
        const char *name;
        quint16 compression;
    };
    const Codec codecs[] = {{"none", COMPRESSION_NONE},
                            {"LZW", COMPRESSION_LZW},
                            {"Deflate", COMPRESSION_ADOBE_DEFLATE},
                            {"old Deflate", COMPRESSION_DEFLATE},
                            {"PackBits", COMPRESSION_PACKBITS}};
    for (const Kind &k : kinds)
        for (const Codec &c : codecs)
            for (int tiled = 0; tiled < 2; ++tiled)
                for (int big = 0; big < 2; ++big) {
                    const bool predictable = k.bits >= 8 && c.compression != COMPRESSION_NONE &&
                                             c.compression != COMPRESSION_PACKBITS;
                    for (int predictor = 0; predictor <= (predictable ? 1 : 0); ++predictor) {
                        TestTiffLayout l;
                        l.width = 67;
                        l.height = 45;
                        l.bits = k.bits;
                        l.samples = k.samples;
                        l.extraSamples = k.extra;
                        l.photometric = k.photometric;
                        l.planar = k.planar;
                        l.compression = c.compression;
                        l.predictor = predictor ? PREDICTOR_HORIZONTAL : PREDICTOR_NONE;
                        l.tiled = tiled;
                        l.bigEndian = big;
                        const QByteArray name =
                            QByteArray(k.name) + ' ' + c.name + (predictor ? " predictor" : "") +
                            (tiled ? " tiles" : " strips") + (big ? " MM" : " II");
                        QTest::newRow(name.constData()) << l;
                    }
                }
    // One strip for the whole image, and one row per strip.
    TestTiffLayout single;
    single.width = 67;
    single.height = 45;
    single.bits = 16;
    single.rowsPerStrip = 45;
    QTest::newRow("grey16 one strip") << single;
    single.rowsPerStrip = 1;
    single.bigEndian = true;
    QTest::newRow("grey16 row strips MM") << single;
}

void TestTiffDecoder::layouts()
{
    QFETCH(TestTiffLayout, layout);
    const QString file = path(QStringLiteral("layout.tif"));
    const TestSamples samples = photoLike(layout);
    QVERIFY(writeTestTiff(file, layout, samples));

    const QSize box(13, 11);
    const TTiffDecodeResult result = decodeTiff(file, box);
    QVERIFY2(result.ok, qPrintable(result.error));
    const QSize target = previewSizeFor(QSize(int(layout.width), int(layout.height)), box);
    QCOMPARE(target, QSize(13, 9));
    const QString difference =
        firstDifference(result.preview, referencePreview(layout, samples, target));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));

    const TImageFacts &f = result.facts;
    QCOMPARE(f.Loaded, true);
    QCOMPARE(f.Width, qint32(layout.width));
    QCOMPARE(f.Height, qint32(layout.height));
    QCOMPARE(f.BitsPerSample, qint16(layout.bits));
    QCOMPARE(f.ExtraSamples, qint32(layout.extraSamples));
    QCOMPARE(f.ResolutionUnit, 2);
    QCOMPARE(f.XResolution, 300.0);
    QCOMPARE(f.YResolution, 300.0);
    QCOMPARE(f.PixelLayout, pixelLayoutFor(layout.samples, layout.extraSamples, layout.bits));
}

void TestTiffDecoder::halves_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("photometric");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");

    QTest::newRow("1-bit") << 1 << int(PHOTOMETRIC_MINISBLACK) << 0 << 255;
    QTest::newRow("1-bit MinIsWhite") << 1 << int(PHOTOMETRIC_MINISWHITE) << 255 << 0;
    QTest::newRow("8-bit") << 8 << int(PHOTOMETRIC_MINISBLACK) << 0 << 255;
    QTest::newRow("8-bit MinIsWhite") << 8 << int(PHOTOMETRIC_MINISWHITE) << 255 << 0;
    QTest::newRow("16-bit") << 16 << int(PHOTOMETRIC_MINISBLACK) << 0 << 255;
    QTest::newRow("16-bit MinIsWhite") << 16 << int(PHOTOMETRIC_MINISWHITE) << 255 << 0;
}

void TestTiffDecoder::halves()
{
    QFETCH(int, bits);
    QFETCH(int, photometric);
    QFETCH(int, left);
    QFETCH(int, right);
    // Stored values: 0 on the left half, the largest value on the right.
    TestTiffLayout l;
    l.width = 64;
    l.height = 16;
    l.bits = quint16(bits);
    l.photometric = quint16(photometric);
    l.compression = COMPRESSION_LZW;
    const quint32 max = (1u << bits) - 1;
    const QString file = path(QStringLiteral("halves.tif"));
    QVERIFY(writeTestTiff(file, l, [&](quint32 x, quint32, int) { return x < 32 ? 0 : max; }));

    const TTiffDecodeResult result = decodeTiff(file, QSize(8, 8));
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.preview.size(), QSize(8, 2));
    QCOMPARE(result.preview.format(), QImage::Format_Grayscale8);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 8; ++x)
            QCOMPARE(int(result.preview.constScanLine(y)[x]), x < 4 ? left : right);
}

void TestTiffDecoder::stripesTurnGrey()
{
    // One-pixel stripes of black and white: sampling would show black or white, area
    // averaging shows the mean grey.
    TestTiffLayout l;
    l.width = 640;
    l.height = 480;
    l.bits = 16;
    l.compression = COMPRESSION_LZW;
    l.predictor = PREDICTOR_HORIZONTAL;
    const QString file = path(QStringLiteral("stripes.tif"));
    QVERIFY(writeTestTiff(file, l, [](quint32 x, quint32, int) { return x % 2 ? 65535u : 0u; }));
    const TTiffDecodeResult result = decodeTiff(file, QSize(64, 64));
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.preview.size(), QSize(64, 48));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            QCOMPARE(int(result.preview.constScanLine(y)[x]), 128);
}

void TestTiffDecoder::rampAveragedIn16Bit()
{
    // A ramp of boxes of four: three samples just below the high byte t + 1 and one on
    // it. Cutting to 8 bits first averages t, t, t, t + 1 down to t; averaging the 16-bit
    // values first gives (256 t + 255.25) / 257, which is t + 1 up to t = 126.
    TestTiffLayout l;
    l.width = 1020;
    l.height = 8;
    l.bits = 16;
    const QString file = path(QStringLiteral("ramp.tif"));
    QVERIFY(writeTestTiff(file, l, [](quint32 x, quint32, int) {
        const quint32 t = x / 4;
        return x % 4 == 3 ? 256 * (t + 1) : 256 * t + 255;
    }));
    const TTiffDecodeResult result = decodeTiff(file, QSize(255, 255));
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.preview.size(), QSize(255, 2));
    for (int t = 0; t < 255; ++t) {
        const double mean = 256.0 * t + 255.25;
        const int expected = int(std::floor(mean * 255 / 65535 + 0.5));
        QCOMPARE(int(result.preview.constScanLine(1)[t]), expected);
        QCOMPARE(expected, t <= 126 ? t + 1 : t);
    }
}

void TestTiffDecoder::smallImageKeptWhole()
{
    TestTiffLayout l;
    l.width = 10;
    l.height = 5;
    l.photometric = PHOTOMETRIC_RGB;
    l.samples = 3;
    const QString file = path(QStringLiteral("small.tif"));
    const auto value = [](quint32 x, quint32 y, int s) {
        return (x * 25 + y * 40 + quint32(s) * 70) % 256;
    };
    QVERIFY(writeTestTiff(file, l, value));
    const TTiffDecodeResult result = decodeTiff(file, QSize(264, 264));
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.preview.size(), QSize(10, 5));
    QCOMPARE(result.preview.format(), QImage::Format_RGB32);
    for (quint32 y = 0; y < 5; ++y)
        for (quint32 x = 0; x < 10; ++x)
            QCOMPARE(result.preview.pixel(int(x), int(y)),
                     qRgb(int(value(x, y, 0)), int(value(x, y, 1)), int(value(x, y, 2))));
}

void TestTiffDecoder::previewSize_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<QSize>("preview");

    QTest::newRow("tall scan") << QSize(9360, 13680) << QSize(264, 264) << QSize(181, 264);
    QTest::newRow("wide scan") << QSize(13680, 9360) << QSize(264, 264) << QSize(264, 181);
    QTest::newRow("3:2") << QSize(3000, 2000) << QSize(264, 264) << QSize(264, 176);
    QTest::newRow("square") << QSize(5000, 5000) << QSize(264, 200) << QSize(200, 200);
    QTest::newRow("fits") << QSize(100, 80) << QSize(264, 264) << QSize(100, 80);
    QTest::newRow("one tall edge") << QSize(100, 600) << QSize(264, 264) << QSize(44, 264);
    QTest::newRow("line") << QSize(100000, 1) << QSize(264, 264) << QSize(264, 1);
    QTest::newRow("column") << QSize(1, 100000) << QSize(264, 264) << QSize(1, 264);
}

void TestTiffDecoder::previewSize()
{
    QFETCH(QSize, image);
    QFETCH(QSize, box);
    QTEST(previewSizeFor(image, box), "preview");
}

void TestTiffDecoder::hugeReductionToOnePixel()
{
    // A tall 16-bit strip to one pixel: the column sums must not overflow on the way.
    TestTiffLayout l;
    l.width = 3;
    l.height = 140000;
    l.bits = 16;
    l.rowsPerStrip = 4096;
    l.compression = COMPRESSION_LZW;
    const QString file = path(QStringLiteral("tall.tif"));
    QVERIFY(
        writeTestTiff(file, l, [](quint32, quint32 y, int) { return y % 2 ? 65535u : 65534u; }));
    const TTiffDecodeResult result = decodeTiff(file, QSize(1, 1));
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.preview.size(), QSize(1, 1));
    QCOMPARE(int(result.preview.constScanLine(0)[0]), 255);
}

void TestTiffDecoder::probeAgreesWithDecode()
{
    TestTiffLayout l;
    l.bits = 16;
    l.samples = 4;
    l.extraSamples = 1;
    l.photometric = PHOTOMETRIC_RGB;
    l.compression = COMPRESSION_ADOBE_DEFLATE;
    l.tiled = true;
    const QString file = path(QStringLiteral("probe.tif"));
    QVERIFY(writeTestTiff(file, l, photoLike(l)));
    const TTiffDecodeResult probed = probeTiff(file);
    const TTiffDecodeResult decoded = decodeTiff(file, QSize(20, 20));
    QVERIFY2(probed.ok, qPrintable(probed.error));
    QVERIFY2(decoded.ok, qPrintable(decoded.error));
    QCOMPARE(probed.facts, decoded.facts);
    QVERIFY(probed.preview.isNull());
    QVERIFY(!decoded.preview.isNull());
}

void TestTiffDecoder::rowSamplingStaysFaithful()
{
    // 64 source rows to each preview row in one-row LZW strips: sampling takes 16 of them.
    TestTiffLayout l;
    l.width = 1024;
    l.height = 4096;
    l.rowsPerStrip = 1;
    l.compression = COMPRESSION_LZW;
    const TestSamples samples = photoLike(l);
    const QString file = path(QStringLiteral("sampled.tif"));
    QVERIFY(writeTestTiff(file, l, samples));
    const QSize box(64, 64);
    const QImage reference = referencePreview(l, samples, previewSizeFor(QSize(1024, 4096), box));

    TTiffOptions options;
    options.rowSamplingFromBytes = -1;
    const TTiffDecodeResult full = decodeTiff(file, box, options);
    QVERIFY2(full.ok, qPrintable(full.error));
    const QString difference = firstDifference(full.preview, reference);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));

    options.rowSamplingFromBytes = 0;
    const TTiffDecodeResult sampled = decodeTiff(file, box, options);
    QVERIFY2(sampled.ok, qPrintable(sampled.error));
    QCOMPARE(sampled.preview.size(), reference.size());
    int worst = 0, differing = 0;
    for (int y = 0; y < reference.height(); ++y)
        for (int x = 0; x < reference.width(); ++x) {
            const int d = std::abs(int(sampled.preview.constScanLine(y)[x]) -
                                   int(reference.constScanLine(y)[x]));
            worst = std::max(worst, d);
            differing += d != 0;
        }
    QVERIFY2(worst <= 2, qPrintable(QString::number(worst)));
    QVERIFY(differing > 0); // it did sample; otherwise this test proves nothing

    // The default leaves images of this size whole.
    QCOMPARE(decodeTiff(file, box).preview, full.preview);
}

void TestTiffDecoder::sharedStripTolerated()
{
    // Two strips stored once (as a writer may do for repeated blank bands): within what
    // the file holds, so it decodes, the lower half repeating the upper one.
    TiffBuilder b = greyBuilder(20, 5, [](quint32 x, quint32 y) { return uchar(x * 10 + y); });
    b.setLong(257, {10});
    b.setLong(278, {5});
    b.setDataOffsets(273, {0, 0});
    b.setLong(279, {100, 100});
    const QString file = path(QStringLiteral("shared.tif"));
    QVERIFY(b.writeTo(file));
    const TTiffDecodeResult result = decodeTiff(file, QSize(20, 10));
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.preview.size(), QSize(20, 10));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 20; ++x) {
            QCOMPARE(int(result.preview.constScanLine(y)[x]), x * 10 + y);
            QCOMPARE(int(result.preview.constScanLine(y + 5)[x]), x * 10 + y);
        }
}

void TestTiffDecoder::rowSamplingTakesFewUnits_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("unitRows");
    QTest::addColumn<int>("unitsPerTargetRow"); // that hold the rows taken
    QTest::addColumn<int>("rowsPerTargetRow");  // at least

    // 16 target rows of 4096 source rows each, 16 rows wanted per target row.
    QTest::newRow("rows of 256-row tiles") << 65536 << 256 << 1 << 16;
    QTest::newRow("4-row strips") << 65536 << 4 << 4 << 16;
    QTest::newRow("5-row strips") << 65536 << 5 << 4 << 20;
    QTest::newRow("one-row strips") << 65536 << 1 << 16 << 16;
    // Target rows spanning less than two units take rows from blocks, as without units.
    QTest::newRow("units larger than half a target row") << 65536 << 3000 << 3 << 16;
}

void TestTiffDecoder::rowSamplingTakesFewUnits()
{
    QFETCH(int, height);
    QFETCH(int, unitRows);
    QFETCH(int, unitsPerTargetRow);
    QFETCH(int, rowsPerTargetRow);
    const int targetRows = 16;
    PreviewReducer reducer(1, height, QSize(1, targetRows), 1, 1, 255, false);
    reducer.setRowSampling(16, unitRows);
    const int span = height / targetRows;
    for (int t = 0; t < targetRows; ++t) {
        std::set<int> units;
        int rows = 0;
        for (int y = t * span; y < (t + 1) * span; ++y)
            if (reducer.wantsRow(y)) {
                units.insert(y / unitRows);
                ++rows;
            }
        QVERIFY2(int(units.size()) <= unitsPerTargetRow,
                 qPrintable(QStringLiteral("target row %1: %2 units").arg(t).arg(units.size())));
        QVERIFY2(rows >= rowsPerTargetRow,
                 qPrintable(QStringLiteral("target row %1: %2 rows").arg(t).arg(rows)));
    }
}

void TestTiffDecoder::tileSamplingStaysFaithful()
{
    // 128 source rows to each preview row in rows of 64-row LZW tiles: sampling decodes
    // one row of tiles out of two and takes 16 rows of it.
    TestTiffLayout l;
    l.width = 256;
    l.height = 8192;
    l.tiled = true;
    l.tileWidth = 64;
    l.tileLength = 64;
    l.compression = COMPRESSION_LZW;
    const TestSamples samples = photoLike(l);
    const QString file = path(QStringLiteral("sampled-tiles.tif"));
    QVERIFY(writeTestTiff(file, l, samples));
    const QSize box(64, 64);
    const QImage reference = referencePreview(l, samples, previewSizeFor(QSize(256, 8192), box));

    TTiffOptions options;
    options.rowSamplingFromBytes = 0;
    const TTiffDecodeResult sampled = decodeTiff(file, box, options);
    QVERIFY2(sampled.ok, qPrintable(sampled.error));
    QCOMPARE(sampled.preview.size(), reference.size());
    int worst = 0, differing = 0;
    for (int y = 0; y < reference.height(); ++y)
        for (int x = 0; x < reference.width(); ++x) {
            const int d = std::abs(int(sampled.preview.constScanLine(y)[x]) -
                                   int(reference.constScanLine(y)[x]));
            worst = std::max(worst, d);
            differing += d != 0;
        }
    QVERIFY2(worst <= 2, qPrintable(QString::number(worst)));
    QVERIFY(differing > 0); // it did sample; otherwise this test proves nothing
}

QTEST_APPLESS_MAIN(TestTiffDecoder)
#include "tst_tiffdecoder.moc"
