#include "ToolRun.h"
#include "ToolTestTiff.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

// Rastermill run as the front end runs it: from the demo installation, on TIFF files the
// test writes, checked on the page raster it writes to standard output.
class TestRastermill : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void answersVersion();
    void placesImage_data();
    void placesImage();
    void readsPixelLayouts_data();
    void readsPixelLayouts();
    void printableAreaStaysWhite();
    void acceptsPrefixAsOneArgumentAndAnyLetterCase();
    void rejectsBadArguments_data();
    void rejectsBadArguments();
    void rejectsMissingAndForeignImages_data();
    void rejectsMissingAndForeignImages();
    void damagedImagesNeverCrash();
    void damagedModelFilesNeverCrash();

private:
    QString writeImage(const QString &name, const ToolTiff &layout, const ToolTiffSamples &sample);
    ToolRun raster(const QString &parameters, const QString &image,
                   const QString &folder = QStringLiteral(DIRIDU_DEMO_INSTALL));

    QTemporaryDir m_dir;
    QString m_plainImage;
};

namespace {

constexpr int Dpi = 150; // every demo resolution is finer, so the raster has this one
constexpr uint16_t White = 65535;

QString r2400(const QString &layout, const QString &page = QStringLiteral("Letter"))
{
    return QStringLiteral("PPD=ZorlR2400.ppd PRINTER=ZorlR2400 MediaType=Luster InputSlot=Sheet "
                          "Pagesize=%1 %2 Resolution=1440x720dpi ColorModel=ZorRIP")
        .arg(page, layout);
}

QString z3800(const QString &layout, const QString &page)
{
    return QStringLiteral("PPD=Zorl3800.ppd PRINTER=Zorl3800 MediaType=Matte RipFeed=Sheet "
                          "Pagesize=%1 %2 Resolution=1440x720dpi ColorModel=ZorRIP")
        .arg(page, layout);
}

QString standardLayout()
{
    return QStringLiteral("topmargin=1 leftmargin=1 scale-percent=100 portrait=yes");
}

struct Box
{
    int left = 0, top = 0, right = -1, bottom = -1; // inclusive

    bool empty() const { return right < left; }
};

// The pixels that are not paper white.
Box inkedBox(const Pgm &pgm)
{
    Box box{pgm.width, pgm.height, -1, -1};
    for (int y = 0; y < pgm.height; ++y)
        for (int x = 0; x < pgm.width; ++x)
            if (pgm.at(x, y) != White) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

// A point of the page as oriented (inches) on the raster of the paper as fed: a
// landscape page is the paper turned a quarter clockwise, its top edge the paper's left.
QPointF onPaper(QPointF oriented, bool landscape, double paperLength)
{
    if (!landscape)
        return oriented * Dpi;
    return QPointF(oriented.y(), paperLength - oriented.x()) * Dpi;
}

// Picture of the layout tests: its top left quarter black, the rest as given.
ToolTiffSamples quarterBlack(uint32_t width, uint32_t height, std::array<uint32_t, 3> black,
                             std::array<uint32_t, 3> rest)
{
    return [=](uint32_t x, uint32_t y, int s) {
        return x < width / 2 && y < height / 2 ? black[size_t(s)] : rest[size_t(s)];
    };
}

} // namespace

void TestRastermill::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFile::exists(QStringLiteral(RASTERMILL_PATH)), RASTERMILL_PATH);
    QVERIFY(QFile::exists(QStringLiteral(DIRIDU_DEMO_INSTALL "/ppd/ZorlR2400.ppd")));
    ToolTiff layout;
    layout.width = 150;
    layout.height = 75;
    layout.xResolution = layout.yResolution = 75;
    m_plainImage = writeImage(QStringLiteral("plain.tif"), layout,
                              quarterBlack(150, 75, {0, 0, 0}, {128, 128, 128}));
    QVERIFY(!m_plainImage.isEmpty());
}

QString TestRastermill::writeImage(const QString &name, const ToolTiff &layout,
                                   const ToolTiffSamples &sample)
{
    const QString path = m_dir.filePath(name);
    return writeToolTiff(path, layout, sample) ? path : QString();
}

ToolRun TestRastermill::raster(const QString &parameters, const QString &image,
                               const QString &folder)
{
    return runTool(QStringLiteral(RASTERMILL_PATH), {"gui", "0", "0", "1", parameters, image},
                   folder);
}

void TestRastermill::answersVersion()
{
    const ToolRun run = runTool(QStringLiteral(RASTERMILL_PATH), {"--version"}, m_dir.path());
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    const QString first = QString::fromUtf8(run.out).section(QLatin1Char('\n'), 0, 0);
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d+, \\d+, \\d+, \\d+$")).match(first).hasMatch(),
             qPrintable(first));
}

void TestRastermill::placesImage_data()
{
    QTest::addColumn<QString>("parameters");
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<float>("resolution"); // 0: no resolution tags
    QTest::addColumn<int>("unit");
    QTest::addColumn<QSizeF>("paper"); // inches, as fed
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<QRectF>("expected"); // inches on the page as oriented

    const QSizeF letter(8.5, 11);
    QTest::newRow("margins at 100 %")
        << r2400("topmargin=1 leftmargin=2 scale-percent=100 portrait=yes") << QSize(150, 75)
        << 75.f << int(RESUNIT_INCH) << letter << false << QRectF(2, 1, 2, 1);
    QTest::newRow("margins with a decimal comma")
        << r2400("topmargin=1,5 leftmargin=0,75 scale-percent=100 portrait=yes") << QSize(150, 75)
        << 75.f << int(RESUNIT_INCH) << letter << false << QRectF(0.75, 1.5, 2, 1);
    QTest::newRow("half size") << r2400(
                                      "topmargin=0.5 leftmargin=0.4 scale-percent=50 portrait=yes")
                               << QSize(300, 150) << 75.f << int(RESUNIT_INCH) << letter << false
                               << QRectF(0.4, 0.5, 2, 1);
    QTest::newRow("double size") << r2400("topmargin=2 leftmargin=3 scale-percent=200 portrait=yes")
                                 << QSize(150, 75) << 150.f << int(RESUNIT_INCH) << letter << false
                                 << QRectF(3, 2, 2, 1);
    QTest::newRow("centred") << r2400("position=center scale-percent=100 portrait=yes")
                             << QSize(250, 100) << 100.f << int(RESUNIT_INCH) << letter << false
                             << QRectF(3, 5, 2.5, 1);
    QTest::newRow("landscape with margins")
        << r2400("topmargin=1 leftmargin=2 scale-percent=100 Landscape=yes") << QSize(150, 75)
        << 75.f << int(RESUNIT_INCH) << letter << true << QRectF(2, 1, 2, 1);
    QTest::newRow("landscape centred")
        << r2400("position=center scale-percent=100 Landscape=yes") << QSize(250, 100) << 100.f
        << int(RESUNIT_INCH) << letter << true << QRectF(4.25, 3.75, 2.5, 1);
    // 8.25 x 10.375 in printable: 3 x 1 in fits 2.75 times.
    QTest::newRow("scale to fit") << r2400("position=center scale-to-fit=yes portrait=yes")
                                  << QSize(300, 100) << 100.f << int(RESUNIT_INCH) << letter
                                  << false << QRectF(0.125, 4.125, 8.25, 2.75);
    // Turned, the printable area is 10.375 x 8.25 in: 275 % of 1 x 3 in.
    QTest::newRow("scale to fit, landscape")
        << r2400("position=center scale-to-fit=yes Landscape=yes") << QSize(100, 300) << 100.f
        << int(RESUNIT_INCH) << letter << true << QRectF(4.125, 0.125, 2.75, 8.25);
    QTest::newRow("pixels per centimetre")
        << r2400(standardLayout()) << QSize(100, 50) << 50.f << int(RESUNIT_CENTIMETER) << letter
        << false << QRectF(1, 1, 2 / 2.54, 1 / 2.54);
    QTest::newRow("no resolution: 72 per inch")
        << r2400(standardLayout()) << QSize(144, 72) << 0.f << int(RESUNIT_INCH) << letter << false
        << QRectF(1, 1, 2, 1);
    QTest::newRow("A4") << r2400(standardLayout(), QStringLiteral("A4")) << QSize(150, 75) << 75.f
                        << int(RESUNIT_INCH) << QSizeF(595 / 72.0, 842 / 72.0) << false
                        << QRectF(1, 1, 2, 1);
    QTest::newRow("custom size in inches")
        << z3800(QStringLiteral("position=center scale-percent=100 portrait=yes"),
                 QStringLiteral("Custom.5x7in"))
        << QSize(250, 100) << 100.f << int(RESUNIT_INCH) << QSizeF(5, 7) << false
        << QRectF(1.25, 3, 2.5, 1);
    QTest::newRow("custom size in centimetres")
        << z3800(QStringLiteral("position=center scale-percent=100 portrait=yes"),
                 QStringLiteral("Custom.12.7x17.78cm"))
        << QSize(250, 100) << 100.f << int(RESUNIT_INCH) << QSizeF(5, 7) << false
        << QRectF(1.25, 3, 2.5, 1);
}

void TestRastermill::placesImage()
{
    QFETCH(QString, parameters);
    QFETCH(QSize, pixels);
    QFETCH(float, resolution);
    QFETCH(int, unit);
    QFETCH(QSizeF, paper);
    QFETCH(bool, landscape);
    QFETCH(QRectF, expected);

    ToolTiff layout;
    layout.width = uint32_t(pixels.width());
    layout.height = uint32_t(pixels.height());
    layout.resolution = resolution > 0;
    layout.xResolution = layout.yResolution = resolution;
    layout.resolutionUnit = uint16_t(unit);
    const QString image =
        writeImage(QStringLiteral("placed.tif"), layout,
                   quarterBlack(layout.width, layout.height, {0, 0, 0}, {128, 128, 128}));
    QVERIFY(!image.isEmpty());

    const ToolRun run = raster(parameters, image);
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    const auto pgm = parsePgm(run.out);
    QVERIFY(pgm);
    QCOMPARE(pgm->maxValue, 65535);
    QCOMPARE(pgm->width, int(std::lround(paper.width() * Dpi)));
    QCOMPARE(pgm->height, int(std::lround(paper.height() * Dpi)));
    QVERIFY(pgm->comments.contains(QStringLiteral("resolution %1 dpi").arg(Dpi)));

    // The inked pixels are the image's, within a pixel of rounding.
    const QPointF a = onPaper(expected.topLeft(), landscape, paper.height());
    const QPointF b = onPaper(expected.bottomRight(), landscape, paper.height());
    const Box box = inkedBox(*pgm);
    QVERIFY(!box.empty());
    const auto near = [](double actual, double wanted) { return std::abs(actual - wanted) <= 1.5; };
    QVERIFY2(
        near(box.left, std::min(a.x(), b.x())) && near(box.right + 1, std::max(a.x(), b.x())) &&
            near(box.top, std::min(a.y(), b.y())) && near(box.bottom + 1, std::max(a.y(), b.y())),
        qPrintable(QStringLiteral("inked %1,%2 .. %3,%4; expected %5,%6 .. %7,%8")
                       .arg(box.left)
                       .arg(box.top)
                       .arg(box.right + 1)
                       .arg(box.bottom + 1)
                       .arg(std::min(a.x(), b.x()))
                       .arg(std::min(a.y(), b.y()))
                       .arg(std::max(a.x(), b.x()))
                       .arg(std::max(a.y(), b.y()))));

    // The image's own top left quarter is black wherever the orientation put it.
    const auto sampleAt = [&](double fx, double fy) {
        const QPointF p =
            onPaper(expected.topLeft() + QPointF(fx * expected.width(), fy * expected.height()),
                    landscape, paper.height());
        return pgm->at(int(p.x()), int(p.y()));
    };
    QCOMPARE(sampleAt(0.25, 0.25), uint16_t(0));
    QCOMPARE(sampleAt(0.75, 0.25), uint16_t(128 * 257));
    QCOMPARE(sampleAt(0.25, 0.75), uint16_t(128 * 257));
    QCOMPARE(sampleAt(0.75, 0.75), uint16_t(128 * 257));
}

void TestRastermill::readsPixelLayouts_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("photometric");
    QTest::addColumn<int>("compression");
    QTest::addColumn<bool>("planar");
    QTest::addColumn<bool>("tiled");
    QTest::addColumn<int>("rowsPerStrip");
    QTest::addColumn<bool>("checker");      // the rest a 1-pixel checkerboard of 0 and max
    QTest::addColumn<QList<uint>>("black"); // stored samples of the black quarter
    QTest::addColumn<QList<uint>>("rest");  // and of the rest
    QTest::addColumn<double>("grey");       // the rest as 16-bit grey

    const int none = COMPRESSION_NONE;
    QTest::newRow("8-bit, strips of 7 rows")
        << 8 << 1 << int(PHOTOMETRIC_MINISBLACK) << none << false << false << 7 << false
        << QList<uint>{0} << QList<uint>{128} << 128 * 257.0;
    QTest::newRow("8-bit, one strip")
        << 8 << 1 << int(PHOTOMETRIC_MINISBLACK) << none << false << false << 150 << false
        << QList<uint>{0} << QList<uint>{128} << 128 * 257.0;
    QTest::newRow("8-bit, LZW strips of one row")
        << 8 << 1 << int(PHOTOMETRIC_MINISBLACK) << int(COMPRESSION_LZW) << false << false << 1
        << false << QList<uint>{0} << QList<uint>{128} << 128 * 257.0;
    QTest::newRow("8-bit checkerboard is averaged")
        << 8 << 1 << int(PHOTOMETRIC_MINISBLACK) << none << false << false << 7 << true
        << QList<uint>{0} << QList<uint>{255} << 32767.5;
    QTest::newRow("16-bit, strips of 7 rows")
        << 16 << 1 << int(PHOTOMETRIC_MINISBLACK) << none << false << false << 7 << false
        << QList<uint>{0} << QList<uint>{40000} << 40000.0;
    QTest::newRow("16-bit, deflate tiles")
        << 16 << 1 << int(PHOTOMETRIC_MINISBLACK) << int(COMPRESSION_ADOBE_DEFLATE) << false << true
        << 0 << false << QList<uint>{0} << QList<uint>{40000} << 40000.0;
    QTest::newRow("4-bit") << 4 << 1 << int(PHOTOMETRIC_MINISBLACK) << none << false << false << 7
                           << false << QList<uint>{0} << QList<uint>{9} << 9 * 65535 / 15.0;
    QTest::newRow("1-bit checkerboard")
        << 1 << 1 << int(PHOTOMETRIC_MINISBLACK) << none << false << false << 7 << true
        << QList<uint>{0} << QList<uint>{1} << 32767.5;
    QTest::newRow("8-bit, white is zero")
        << 8 << 1 << int(PHOTOMETRIC_MINISWHITE) << none << false << false << 7 << false
        << QList<uint>{255} << QList<uint>{100} << 65535 - 100 * 257.0;
    QTest::newRow("8-bit with an alpha sample")
        << 8 << 2 << int(PHOTOMETRIC_MINISBLACK) << none << false << false << 7 << false
        << QList<uint>{0, 255} << QList<uint>{128, 7} << 128 * 257.0;
    QTest::newRow("8-bit RGB") << 8 << 3 << int(PHOTOMETRIC_RGB) << none << false << false << 7
                               << false << QList<uint>{0, 0, 0} << QList<uint>{200, 100, 50}
                               << (0.299 * 200 + 0.587 * 100 + 0.114 * 50) * 257;
    QTest::newRow("16-bit RGB, planes")
        << 16 << 3 << int(PHOTOMETRIC_RGB) << none << true << false << 7 << false
        << QList<uint>{0, 0, 0} << QList<uint>{50000, 30000, 10000}
        << 0.299 * 50000 + 0.587 * 30000 + 0.114 * 10000;
    QTest::newRow("8-bit RGB, LZW tiles in planes")
        << 8 << 3 << int(PHOTOMETRIC_RGB) << int(COMPRESSION_LZW) << true << true << 0 << false
        << QList<uint>{0, 0, 0} << QList<uint>{200, 100, 50}
        << (0.299 * 200 + 0.587 * 100 + 0.114 * 50) * 257;
    QTest::newRow("8-bit palette")
        << 8 << 1 << int(PHOTOMETRIC_PALETTE) << none << false << false << 7 << false
        << QList<uint>{0} << QList<uint>{1} << (0.299 * 100 + 0.587 * 150 + 0.114 * 200) * 257;
}

void TestRastermill::readsPixelLayouts()
{
    QFETCH(int, bits);
    QFETCH(int, samples);
    QFETCH(int, photometric);
    QFETCH(int, compression);
    QFETCH(bool, planar);
    QFETCH(bool, tiled);
    QFETCH(int, rowsPerStrip);
    QFETCH(bool, checker);
    QFETCH(QList<uint>, black);
    QFETCH(QList<uint>, rest);
    QFETCH(double, grey);

    // 1 x 0.5 inch at 300 per inch: each raster pixel averages 2 x 2 pixels.
    ToolTiff layout;
    layout.width = 300;
    layout.height = 150;
    layout.bits = uint16_t(bits);
    layout.samples = uint16_t(samples);
    layout.photometric = uint16_t(photometric);
    layout.compression = uint16_t(compression);
    layout.planar = planar;
    layout.tiled = tiled;
    layout.rowsPerStrip = uint32_t(rowsPerStrip);
    if (photometric == PHOTOMETRIC_PALETTE) {
        const uint16_t entries[3][2] = {{0, 100 * 257}, {0, 150 * 257}, {0, 200 * 257}};
        for (int c = 0; c < 3; ++c) {
            layout.palette[c].assign(size_t(1) << bits, 0);
            layout.palette[c][0] = entries[c][0];
            layout.palette[c][1] = entries[c][1];
        }
    }
    const QString image = writeImage(QStringLiteral("layout.tif"), layout,
                                     [&](uint32_t x, uint32_t y, int s) -> uint32_t {
                                         if (x < 150 && y < 75)
                                             return black[s];
                                         if (checker)
                                             return (x + y) % 2 ? rest[s] : 0;
                                         return rest[s];
                                     });
    QVERIFY(!image.isEmpty());

    const ToolRun run = raster(r2400(standardLayout()), image);
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    const auto pgm = parsePgm(run.out);
    QVERIFY(pgm);
    const Box box = inkedBox(*pgm);
    QCOMPARE(box.left, 150);
    QCOMPARE(box.top, 150);
    QCOMPARE(box.right, 299);
    QCOMPARE(box.bottom, 224);
    for (int y = 150; y < 225; ++y)
        for (int x = 150; x < 300; ++x) {
            if (y == 187)
                continue; // its pixels cover the quarter's last rows and the rest's first
            const double wanted = x < 225 && y < 187 ? 0 : grey;
            QVERIFY2(std::abs(pgm->at(x, y) - wanted) <= 2,
                     qPrintable(QStringLiteral("pixel %1,%2 is %3, expected %4")
                                    .arg(x)
                                    .arg(y)
                                    .arg(pgm->at(x, y))
                                    .arg(wanted)));
        }
}

void TestRastermill::printableAreaStaysWhite()
{
    // Four times the paper, from its corner: the whole printable area is inked, the
    // unprintable border stays white (Letter: 0.125 in round, 0.5 in at the bottom).
    ToolTiff layout;
    layout.width = 34;
    layout.height = 44;
    layout.xResolution = layout.yResolution = 1;
    const QString image =
        writeImage(QStringLiteral("large.tif"), layout, [](uint32_t, uint32_t, int) { return 0u; });
    const ToolRun run = raster(
        r2400(QStringLiteral("topmargin=0 leftmargin=0 scale-percent=100 portrait=yes")), image);
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    QVERIFY(!run.errLines().isEmpty()); // it says so, as a warning
    const auto pgm = parsePgm(run.out);
    QVERIFY(pgm);
    const Box box = inkedBox(*pgm);
    QCOMPARE(box.left, 19); // 0.125 in = 18.75 px
    QCOMPARE(box.top, 19);
    QCOMPARE(box.right + 1, 1275 - 19);
    QCOMPARE(box.bottom + 1, 1650 - 75);
    QCOMPARE(pgm->at(600, 800), uint16_t(0));
}

void TestRastermill::acceptsPrefixAsOneArgumentAndAnyLetterCase()
{
    const QString parameters = QStringLiteral(
        "PPD=zorlr2400.PPD PRINTER=ZorlR2400 MediaType=Luster InputSlot=Sheet Pagesize=Letter "
        "topmargin=1 leftmargin=1 scale-percent=100 portrait=yes Resolution=1440x720dpi "
        "ColorModel=ZorCal");
    const ToolRun run =
        runTool(QStringLiteral(RASTERMILL_PATH), {"gui 0 0 3", parameters, m_plainImage},
                QStringLiteral(DIRIDU_DEMO_INSTALL));
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    QVERIFY(parsePgm(run.out));
}

void TestRastermill::rejectsBadArguments_data()
{
    QTest::addColumn<QStringList>("prefix");
    QTest::addColumn<QString>("parameters");
    QTest::addColumn<QString>("message"); // part of an error line

    const QStringList gui = {"gui", "0", "0", "1"};
    const QString layout = standardLayout();
    QTest::newRow("unknown model")
        << gui << QStringLiteral("PPD=Nope.ppd PRINTER=Nope Pagesize=Letter ") + layout
        << "ppd/Nope.ppd not found";
    QTest::newRow("model file outside the ppd folder")
        << gui << QStringLiteral("PPD=../ppd/ZorlR2400.ppd PRINTER=ZorlR2400") << "model";
    QTest::newRow("unknown page size") << gui << r2400(layout, "Huge") << "Pagesize=Huge";
    QTest::newRow("custom size on a model without")
        << gui << r2400(layout, "Custom.5x7in") << "no custom page size";
    QTest::newRow("custom size too wide")
        << gui << z3800(layout, "Custom.18x7in") << "outside the limits";
    QTest::newRow("custom size too short")
        << gui << z3800(layout, "Custom.5x0.5in") << "outside the limits";
    QTest::newRow("custom size without unit") << gui << z3800(layout, "Custom.5x7") << "Custom.5x7";
    QTest::newRow("custom size malformed")
        << gui << z3800(layout, "Custom.5by7in") << "Custom.5by7in";
    QTest::newRow("unknown resolution")
        << gui << r2400(layout).replace("1440x720dpi", "99dpi") << "Resolution=99dpi";
    QTest::newRow("unknown media")
        << gui << r2400(layout).replace("Luster", "Canvas") << "MediaType=Canvas";
    QTest::newRow("unknown paper feed")
        << gui << r2400(layout).replace("InputSlot=Sheet", "InputSlot=Drawer")
        << "InputSlot=Drawer";
    QTest::newRow("unknown colour model")
        << gui << r2400(layout).replace("ZorRIP", "RGB") << "ColorModel=RGB";
    QTest::newRow("no resolution")
        << gui << r2400(layout).remove(" Resolution=1440x720dpi") << "Resolution";
    QTest::newRow("scale zero") << gui
                                << r2400("topmargin=1 leftmargin=1 scale-percent=0 portrait=yes")
                                << "scale-percent=0";
    QTest::newRow("scale too large")
        << gui << r2400("topmargin=1 leftmargin=1 scale-percent=1601 portrait=yes")
        << "scale-percent=1601";
    QTest::newRow("scale not a number")
        << gui << r2400("topmargin=1 leftmargin=1 scale-percent=big portrait=yes")
        << "scale-percent=big";
    QTest::newRow("two scales")
        << gui << r2400("position=center scale-to-fit=yes scale-percent=100 portrait=yes")
        << "exclude";
    QTest::newRow("no scale") << gui << r2400("position=center portrait=yes") << "scale";
    QTest::newRow("no placement") << gui << r2400("scale-percent=100 portrait=yes") << "placement";
    QTest::newRow("one margin only")
        << gui << r2400("topmargin=1 scale-percent=100 portrait=yes") << "placement";
    QTest::newRow("centred and margins")
        << gui << r2400("position=center topmargin=1 leftmargin=1 scale-percent=100 portrait=yes")
        << "position=center";
    QTest::newRow("negative margin")
        << gui << r2400("topmargin=-1 leftmargin=1 scale-percent=100 portrait=yes")
        << "topmargin=-1";
    QTest::newRow("margin not a number")
        << gui << r2400("topmargin=1 leftmargin=1in scale-percent=100 portrait=yes")
        << "leftmargin=1in";
    QTest::newRow("no orientation")
        << gui << r2400("position=center scale-to-fit=yes") << "portrait";
    QTest::newRow("portrait but not yes")
        << gui << r2400("position=center scale-to-fit=yes portrait=no") << "portrait=no";
    QTest::newRow("key given twice") << gui << r2400(layout) + " Pagesize=A4"
                                     << "Pagesize is given twice";
    QTest::newRow("no keys") << gui << QStringLiteral("print this") << "key=value";
    QTest::newRow("empty parameters") << gui << QString() << "empty";
    QTest::newRow("copies zero") << QStringList{"gui", "0", "0", "0"} << r2400(layout)
                                 << "copy count";
    QTest::newRow("copies 100") << QStringList{"gui", "0", "0", "100"} << r2400(layout)
                                << "copy count";
    QTest::newRow("copies not a number")
        << QStringList{"gui", "0", "0", "two"} << r2400(layout) << "copy count";
    QTest::newRow("another job mode")
        << QStringList{"cli", "0", "0", "1"} << r2400(layout) << "job mode";
    QTest::newRow("prefix missing") << QStringList() << r2400(layout) << "prefix";
}

void TestRastermill::rejectsBadArguments()
{
    QFETCH(QStringList, prefix);
    QFETCH(QString, parameters);
    QFETCH(QString, message);

    const ToolRun run =
        runTool(QStringLiteral(RASTERMILL_PATH), prefix + QStringList{parameters, m_plainImage},
                QStringLiteral(DIRIDU_DEMO_INSTALL));
    QVERIFY2(run.failedCleanly(), qPrintable(run.describe()));
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.errorLines().join(u'\n').contains(message), qPrintable(run.describe()));
}

void TestRastermill::rejectsMissingAndForeignImages_data()
{
    QTest::addColumn<QStringList>("images"); // the arguments after the parameters
    QTest::addColumn<QString>("message");

    QFile text(m_dir.filePath(QStringLiteral("notes.tif")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("These are not pixels.\n");
    text.close();
    QTest::newRow("no image argument") << QStringList() << "image path";
    QTest::newRow("two images") << QStringList{m_plainImage, m_plainImage} << "image path";
    QTest::newRow("missing file") << QStringList{m_dir.filePath("gone.tif")}
                                  << "gone.tif not found";
    QTest::newRow("a folder") << QStringList{m_dir.path()} << "not found";
    QTest::newRow("not a TIFF") << QStringList{text.fileName()} << "notes.tif";
}

void TestRastermill::rejectsMissingAndForeignImages()
{
    QFETCH(QStringList, images);
    QFETCH(QString, message);
    const ToolRun run = runTool(QStringLiteral(RASTERMILL_PATH),
                                QStringList{"gui", "0", "0", "1", r2400(standardLayout())} + images,
                                QStringLiteral(DIRIDU_DEMO_INSTALL));
    QVERIFY2(run.failedCleanly(), qPrintable(run.describe()));
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.errorLines().join(u'\n').contains(message), qPrintable(run.describe()));
}

void TestRastermill::damagedImagesNeverCrash()
{
    ToolTiff layout;
    layout.width = 120;
    layout.height = 90;
    layout.compression = COMPRESSION_LZW;
    const QString good = writeImage(QStringLiteral("good.tif"), layout,
                                    [](uint32_t x, uint32_t y, int) { return (x * 7 + y) % 256; });
    QFile file(good);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();

    QList<QByteArray> damaged;
    for (qsizetype cut : {qsizetype(8), qsizetype(100), bytes.size() / 2, bytes.size() - 20})
        damaged.append(bytes.left(cut));
    QRandomGenerator random(20240611);
    for (int i = 0; i < 60; ++i) {
        QByteArray copy = bytes;
        const int changes = 1 + int(random.bounded(6));
        for (int c = 0; c < changes; ++c) {
            // Mostly the header, where a lie does the most harm.
            const qsizetype span =
                random.bounded(4) ? std::min<qsizetype>(bytes.size(), 64) : bytes.size();
            const qsizetype at = qsizetype(random.bounded(int(span)));
            copy[at] = char(random.bounded(256));
        }
        // The directory sits at the end of a file libtiff writes.
        const qsizetype tail = bytes.size() - 1 - qsizetype(random.bounded(200));
        copy[tail] = char(random.bounded(256));
        damaged.append(copy);
    }

    const QString path = m_dir.filePath(QStringLiteral("damaged.tif"));
    for (qsizetype i = 0; i < damaged.size(); ++i) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(damaged.at(i));
        out.close();
        const ToolRun run = raster(r2400(standardLayout()), path);
        QVERIFY2(run.succeeded() || run.failedCleanly(),
                 qPrintable(QStringLiteral("file %1: %2").arg(i).arg(run.describe())));
        if (!run.succeeded())
            QVERIFY(run.out.isEmpty());
        else
            QVERIFY(parsePgm(run.out));
    }
}

void TestRastermill::damagedModelFilesNeverCrash()
{
    QTemporaryDir install;
    QVERIFY(QDir(install.path()).mkpath(QStringLiteral("ppd")));
    QFile demo(QStringLiteral(DIRIDU_DEMO_INSTALL "/ppd/ZorlR2400.ppd"));
    QVERIFY(demo.open(QIODevice::ReadOnly));
    const QByteArray model = demo.readAll();

    QRandomGenerator random(77);
    QList<QByteArray> contents = {QByteArray(), QByteArray(5 * 1024 * 1024, '*'),
                                  model.left(model.size() / 3)};
    for (int i = 0; i < 20; ++i) {
        QByteArray copy = model;
        for (int c = 0; c < 40; ++c)
            copy[qsizetype(random.bounded(int(copy.size())))] = char(random.bounded(256));
        contents.append(copy);
    }
    QByteArray noise(20000, '\0');
    for (char &c : noise)
        c = char(random.bounded(256));
    contents.append(noise);

    for (qsizetype i = 0; i < contents.size(); ++i) {
        QFile out(install.filePath(QStringLiteral("ppd/ZorlR2400.ppd")));
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(contents.at(i));
        out.close();
        const ToolRun run = raster(r2400(standardLayout()), m_plainImage, install.path());
        QVERIFY2(run.succeeded() || run.failedCleanly(),
                 qPrintable(QStringLiteral("file %1: %2").arg(i).arg(run.describe())));
    }
}

QTEST_GUILESS_MAIN(TestRastermill)
#include "tst_rastermill.moc"
