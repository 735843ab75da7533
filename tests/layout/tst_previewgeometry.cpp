#include "PreviewGeometry.h"

#include <QTest>

#include <limits>

// The preview's arithmetic without a window: where the panel, the arrow and the feed label
// go, the panel's hint, dragged pixels as inches, and typed sizes as a scale.
class TestPreviewGeometry : public QObject
{
    Q_OBJECT

private slots:
    void paperApplied_data();
    void paperApplied();
    void feedAngle();
    void placement_data();
    void placement();
    void hint_data();
    void hint();
    void pixelsToInches_data();
    void pixelsToInches();
    void prompt_data();
    void prompt();
    void scale_data();
    void scale();
};

namespace {

// Neighbours as the window might have them: CopiesBox ends at x 106, PrintBtn starts at 480,
// PrinterBox ends at y 66, ImageBox starts at 260.
TPreviewPlacementInput window(double paperWidth, double paperLength, bool landscape)
{
    TPreviewPlacementInput in;
    in.PaperWidth = paperWidth;
    in.PaperLength = paperLength;
    in.Landscape = landscape;
    in.MaxPreviewWidth = 132;
    in.MaxPreviewHeight = 132;
    in.FeedLabel = landscape ? QSize(62, 14) : QSize(14, 62);
    in.UpArrow = QSize(12, 15);
    in.CopiesBox = QRect(6, 200, 100, 40);
    in.PrintBtn = QRect(480, 220, 75, 25);
    in.PrinterBox = QRect(50, 6, 505, 60);
    in.ImageBox = QRect(6, 260, 549, 100);
    return in;
}

TImageFacts photo(int width, int height, double resolution, int unit)
{
    TImageFacts facts;
    facts.Loaded = true;
    facts.Width = width;
    facts.Height = height;
    facts.XResolution = resolution;
    facts.YResolution = resolution;
    facts.ResolutionUnit = unit;
    return facts;
}

} // namespace

void TestPreviewGeometry::paperApplied_data()
{
    QTest::addColumn<double>("length");
    QTest::addColumn<bool>("applied");
    QTest::newRow("placeholder") << 2.0 << false;
    QTest::newRow("shorter") << 1.5 << false;
    QTest::newRow("just longer") << 2.001 << true;
    QTest::newRow("Letter") << 11.0 << true;
}

void TestPreviewGeometry::paperApplied()
{
    QFETCH(double, length);
    TPageGeometry g;
    g.PaperWidth = 20; // only the length tells
    g.PaperLength = length;
    QTEST(previewPaperApplied(g), "applied");
}

void TestPreviewGeometry::feedAngle()
{
    QCOMPARE(feedLabelAngle(false), 90);
    QCOMPARE(feedLabelAngle(true), 0);
}

void TestPreviewGeometry::placement_data()
{
    QTest::addColumn<TPreviewPlacementInput>("input");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<bool>("upArrow");
    QTest::addColumn<QPoint>("arrow");
    QTest::addColumn<QPoint>("feed");
    QTest::addColumn<QSize>("frame");

    // 132 high, 102 wide; gaps 258 and 62.
    QTest::newRow("Letter portrait") << window(8.5, 11, false) << QRect(248, 100, 102, 132) << true
                                     << QPoint(236, 100) << QPoint(234, 115) << QSize(94, 124);
    // 132 wide, 102 high; gaps 242 and 83.
    QTest::newRow("Letter landscape") << window(11, 8.5, true) << QRect(227, 121, 132, 102) << false
                                      << QPoint(347, 106) << QPoint(285, 106) << QSize(124, 94);
    // Wider than long in portrait: the feed label's width is kept free; gaps 242 and 135.
    QTest::newRow("wide portrait") << window(12, 6, false) << QRect(240, 136, 118, 59) << true
                                   << QPoint(228, 136) << QPoint(226, 151) << QSize(110, 51);
    // Longer than wide in landscape: the feed label's height is kept free; 94.4 rounds to 94.
    QTest::newRow("long landscape") << window(8, 10, true) << QRect(246, 113, 94, 118) << false
                                    << QPoint(328, 98) << QPoint(266, 98) << QSize(86, 110);

    // Negative gaps are halved toward zero: -3 gives -1, not -2.
    TPreviewPlacementInput tight = window(8.5, 11, false);
    tight.PrintBtn.moveLeft(219);
    tight.ImageBox.moveTop(195);
    QTest::newRow("negative gaps") << tight << QRect(118, 68, 102, 132) << true << QPoint(106, 68)
                                   << QPoint(104, 83) << QSize(94, 124);
    TPreviewPlacementInput odd = window(8.5, 11, false);
    odd.PrintBtn.moveLeft(226);   // gap 9 gives 4
    odd.FeedLabel = QSize(9, 62); // narrower than the arrow: (9 - 12) / 2 = -1
    QTest::newRow("odd gap, narrow label")
        << odd << QRect(118, 100, 102, 132) << true << QPoint(106, 100) << QPoint(106, 115)
        << QSize(94, 124);
    TPreviewPlacementInput tall = window(11, 8.5, true);
    tall.FeedLabel = QSize(62, 18); // taller than the arrow: (15 - 18) / 2 = -1
    QTest::newRow("tall label landscape") << tall << QRect(227, 123, 132, 102) << false
                                          << QPoint(347, 108) << QPoint(285, 109) << QSize(124, 94);
    // A panel smaller than the frame's border leaves an empty frame.
    TPreviewPlacementInput tiny = window(8.5, 11, false);
    tiny.MaxPreviewHeight = 6;
    tiny.MaxPreviewWidth = 6;
    QTest::newRow("tiny") << tiny << QRect(296, 163, 5, 6) << true << QPoint(284, 163)
                          << QPoint(282, 178) << QSize(0, 0);
}

void TestPreviewGeometry::placement()
{
    QFETCH(TPreviewPlacementInput, input);
    const TPreviewPlacement placement = previewPlacement(input);
    QTEST(placement.Screen, "screen");
    QTEST(placement.UpArrowShown, "upArrow");
    QTEST(placement.Arrow, "arrow");
    QTEST(placement.FeedLabel, "feed");
    QTEST(placement.Frame, "frame");
}

void TestPreviewGeometry::hint_data()
{
    QTest::addColumn<double>("paperWidth");
    QTest::addColumn<double>("paperLength");
    QTest::addColumn<double>("customWidth");
    QTest::addColumn<double>("customLength");
    QTest::addColumn<bool>("custom");
    QTest::addColumn<bool>("millimetres");
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<QString>("decimalPoint");
    QTest::addColumn<QString>("hint");
    QTest::newRow("Letter") << 8.5 << 11.0 << 0.0 << 0.0 << false << false << false << "."
                            << "8.5x11in";
    QTest::newRow("Letter turned") << 11.0 << 8.5 << 0.0 << 0.0 << false << false << true << "."
                                   << "11x8.5in";
    QTest::newRow("Letter comma") << 8.5 << 11.0 << 0.0 << 0.0 << false << false << false << ","
                                  << "8,5x11in";
    QTest::newRow("A4 whole mm") << 595 / 72.0 << 842 / 72.0 << 0.0 << 0.0 << false << true << false
                                 << "."
                                 << "210x297mm";
    QTest::newRow("inch to three decimals")
        << 8.26772 << 11.69291 << 0.0 << 0.0 << false << false << false << "."
        << "8.268x11.693in";
    // The custom size is held portrait and shown as it is held.
    QTest::newRow("custom mm") << 300 / 25.4 << 450.5 / 25.4 << 300.0 << 450.5 << true << true
                               << false << "."
                               << "300x450.5mm";
    QTest::newRow("custom mm turned")
        << 450.5 / 25.4 << 300 / 25.4 << 300.0 << 450.5 << true << true << true << "."
        << "450.5x300mm";
    QTest::newRow("custom in turned")
        << 10.0 << 8.25 << 8.25 << 10.0 << true << false << true << "."
        << "10x8.25in";
}

void TestPreviewGeometry::hint()
{
    QFETCH(double, paperWidth);
    QFETCH(double, paperLength);
    QFETCH(double, customWidth);
    QFETCH(double, customLength);
    QFETCH(bool, custom);
    QFETCH(bool, millimetres);
    QFETCH(bool, landscape);
    QFETCH(QString, decimalPoint);
    TPageGeometry g;
    g.PaperWidth = paperWidth;
    g.PaperLength = paperLength;
    g.CustomWidthValue = customWidth;
    g.CustomLengthValue = customLength;
    QTEST(previewPaperHint(g, custom, millimetres, landscape, decimalPoint), "hint");
}

void TestPreviewGeometry::pixelsToInches_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("extent");
    QTest::addColumn<double>("paper");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("inches");
    QTest::newRow("half way") << 66 << 132 << 11.0 << true << 5.5;
    QTest::newRow("edge") << 0 << 102 << 8.5 << true << 0.0;
    QTest::newRow("off the page") << -12 << 102 << 8.5 << true << -1.0;
    QTest::newRow("no panel") << 10 << 0 << 8.5 << false << 0.0;
}

void TestPreviewGeometry::pixelsToInches()
{
    QFETCH(int, position);
    QFETCH(int, extent);
    QFETCH(double, paper);
    QFETCH(bool, valid);
    const std::optional<double> inches = previewPixelsToInches(position, extent, paper);
    QCOMPARE(inches.has_value(), valid);
    if (valid)
        QTEST(*inches, "inches");
}

void TestPreviewGeometry::prompt_data()
{
    QTest::addColumn<TImageFacts>("facts");
    QTest::addColumn<bool>("height");
    QTest::addColumn<double>("printed");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<double>("natural");
    QTest::addColumn<double>("shown");
    QTest::newRow("height per inch")
        << photo(3000, 2400, 300, 2) << true << 6.5604 << "in" << 8.0 << 6.56;
    QTest::newRow("width per inch")
        << photo(3000, 2400, 300, 2) << false << 8.2006 << "in" << 10.0 << 8.201;
    QTest::newRow("width per cm") << photo(1181, 600, 118.1, 3) << false << 3.94 << "cm" << 10.0
                                  << 3.9;
    // Missing resolutions count 72 per inch.
    QTest::newRow("no resolution") << photo(720, 360, 0, 0) << true << 5.0 << "in" << 5.0 << 5.0;
    // A unit TIFF does not define is taken as inches.
    QTest::newRow("unit 4") << photo(600, 600, 100, 4) << true << 6.0 << "in" << 6.0 << 6.0;
    QTest::newRow("failed decode") << TImageFacts::failed() << true << 0.0 << "in" << 0.0 << 0.0;
}

void TestPreviewGeometry::prompt()
{
    QFETCH(TImageFacts, facts);
    QFETCH(bool, height);
    QFETCH(double, printed);
    TPageGeometry g;
    (height ? g.PrintHeight : g.PrintWidth) = printed;
    (height ? g.PrintWidth : g.PrintHeight) = 99; // the other dimension plays no part
    const TDimensionPrompt prompt = dimensionPrompt(facts, validateImageFacts(facts), g, height);
    QTEST(prompt.UnitText, "unit");
    QCOMPARE(prompt.Centimetres, prompt.UnitText == QLatin1String("cm"));
    QTEST(prompt.Natural, "natural");
    QTEST(prompt.Shown, "shown");
}

void TestPreviewGeometry::scale_data()
{
    QTest::addColumn<double>("typed");
    QTest::addColumn<double>("natural");
    QTest::addColumn<int>("percent"); // 0: no scale
    QTest::newRow("8 in to 5 in") << 5.0 << 8.0 << 62;
    QTest::newRow("same size") << 8.0 << 8.0 << 100;
    QTest::newRow("as shown") << 2.9 << 10.0 << 29; // 28.999999999999996 in binary
    QTest::newRow("below the range") << 0.01 << 8.0 << 1;
    QTest::newRow("negative") << -5.0 << 8.0 << 1;
    QTest::newRow("above the range") << 200.0 << 8.0 << 1600;
    QTest::newRow("no natural size") << 5.0 << 0.0 << 0;
    QTest::newRow("overflow") << 1e308 << 1e-300 << 0;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 8.0 << 0;
}

void TestPreviewGeometry::scale()
{
    QFETCH(double, typed);
    QFETCH(double, natural);
    QFETCH(int, percent);
    const std::optional<int> scale = scaleForDimension(typed, natural);
    QCOMPARE(scale.value_or(0), percent);
}

QTEST_APPLESS_MAIN(TestPreviewGeometry)
#include "tst_previewgeometry.moc"
