#include "TestImageFacts.h"
#include "PageGeometry.h"
#include "TPrintingModel.h"

#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(TImageFacts)

// The page geometry as plain data: rounding, papers from the model's texts, rotation,
// margins, custom sizes, the fit and the layout pass's numbers and warnings.
class TestPageGeometry : public QObject
{
    Q_OBJECT

private slots:
    void initialValues();
    void rounding_data();
    void rounding();
    void roundedZeroIsPositive();
    void floorShown_data();
    void floorShown();
    void paperDimension_data();
    void paperDimension();
    void modelPaper_data();
    void modelPaper();
    void unreadableDimensionChangesNothing();
    void metricPageSizes_data();
    void metricPageSizes();
    void paperHints_data();
    void paperHints();
    void rotation();
    void firstOrientation_data();
    void firstOrientation();
    void margins_data();
    void margins();
    void unitChangeRoundTrip();
    void customDimension_data();
    void customDimension();
    void fit_data();
    void fit();
    void scaleText_data();
    void scaleText();
    void layout_data();
    void layout();
    void frameInPreview();
    void centringNeedsAnImage();
    void warningsNeedAnImage_data();
    void warningsNeedAnImage();
    void overrunTolerance();
    void texts();
    void autoOrientation_data();
    void autoOrientation();
};

namespace {

// Rounding results are compared bit for bit: near ties a fuzzy comparison hides the fault.
#define COMPARE_EXACTLY(actual, expected)                                                          \
    do {                                                                                           \
        const double a_ = (actual);                                                                \
        const double e_ = (expected);                                                              \
        QVERIFY2(a_ == e_,                                                                         \
                 qPrintable(QStringLiteral("%1 != %2").arg(a_, 0, 'g', 17).arg(e_, 0, 'g', 17)));  \
    } while (false)

TPageGeometry letter()
{
    TPageGeometry g;
    applyModelPaper(g, u"612 792", u"9 9 603 783", THWMargins{});
    return g;
}


} // namespace

void TestPageGeometry::initialValues()
{
    const TPageGeometry g;
    QCOMPARE(g.PaperWidth, 2.0);
    QCOMPARE(g.PaperLength, 2.0);
    QCOMPARE(g.MinTop + g.MinBottom + g.MinLeft + g.MinRight, 0.0);
    QCOMPARE(g.TopMarginValue, 0.0);
    QCOMPARE(g.LeftMarginValue, 0.0);
    QCOMPARE(g.CustomWidthValue, 0.0);
    QCOMPARE(g.CustomLengthValue, 0.0);
    QCOMPARE(g.CustomUnit, 0);
    QCOMPARE(g.OrientationState, -1);
    QCOMPARE(g.LastPaperIndex, -1);
    QCOMPARE(g.PrintWidth, 0.0);
    QCOMPARE(g.PrintHeight, 0.0);
}

void TestPageGeometry::rounding_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("expected");

    // 0.125 in is 3.175 mm: a tie, to the even 3.2; and back, 0.12598... in.
    QTest::newRow("0.125 in to mm") << 1 << 0.125 * 25.4 << 3.2;
    QTest::newRow("3.2 mm to in") << 3 << 3.2 / 25.4 << 0.126;
    // Ties go to the even neighbour, also where the binary double lies below or above.
    QTest::newRow("0.0255") << 3 << 0.0255 << 0.026;
    QTest::newRow("0.0625 exact tie") << 3 << 0.0625 << 0.062;
    QTest::newRow("0.0635") << 3 << 0.0635 << 0.064;
    QTest::newRow("0.5015 below in binary") << 3 << 0.5015 << 0.502;
    QTest::newRow("2.0005 above in binary") << 3 << 2.0005 << 2.0;
    QTest::newRow("0.05") << 1 << 0.05 << 0.0;
    QTest::newRow("0.15") << 1 << 0.15 << 0.2;
    QTest::newRow("0.25") << 1 << 0.25 << 0.2;
    QTest::newRow("2.5") << 0 << 2.5 << 2.0;
    QTest::newRow("3.5") << 0 << 3.5 << 4.0;
    QTest::newRow("-2.5") << 0 << -2.5 << -2.0;
    QTest::newRow("-0.0635") << 3 << -0.0635 << -0.064;
    QTest::newRow("not a tie") << 3 << 0.12549 << 0.125;
    QTest::newRow("just past a tie") << 3 << 0.1255000001 << 0.126;
    // Centring offsets of an 82 % Letter layout, with binary noise.
    QTest::newRow("top 2.22") << 3 << (11 - 2400 / 300.0 * 0.82) / 2 << 2.22;
    QTest::newRow("left 0.15") << 3 << (8.5 - 3000 / 300.0 * 0.82) / 2 << 0.15;
    QTest::newRow("A4 width mm") << 0 << 595 / 72.0 * 25.4 << 210.0;
    QTest::newRow("A4 length mm") << 0 << 842 / 72.0 * 25.4 << 297.0;
    QTest::newRow("below the last place") << 3 << 0.0004 << 0.0;
    QTest::newRow("up to the last place") << 3 << 0.0006 << 0.001;
    QTest::newRow("far below") << 1 << 1e-20 << 0.0;
    QTest::newRow("large") << 3 << 123456.7891 << 123456.789;
    QTest::newRow("huge") << 3 << 1e300 << 1e300;
}

void TestPageGeometry::rounding()
{
    QFETCH(int, decimals);
    QFETCH(double, x);
    QFETCH(double, expected);
    const double rounded = decimals == 0 ? Round(x) : decimals == 1 ? Round1(x) : Round3(x);
    COMPARE_EXACTLY(rounded, expected);
}

void TestPageGeometry::roundedZeroIsPositive()
{
    // A negative zero would be shown as "-0".
    QVERIFY(!std::signbit(Round3(-0.0004)));
    QVERIFY(!std::signbit(Round(-0.4)));
    QVERIFY(!std::signbit(Round1(-0.0)));
}

void TestPageGeometry::floorShown_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("expected");
    QTest::newRow("82.5") << 100 * 0.825 << 82.0;
    QTest::newRow("0.29 * 100 shows 29") << 0.29 * 100 << 29.0;
    QTest::newRow("28.99") << 28.99 << 28.0;
    QTest::newRow("whole") << 1600.0 << 1600.0;
    QTest::newRow("below one") << 0.7 << 0.0;
    QTest::newRow("negative") << -0.5 << -1.0;
    QTest::newRow("negative whole") << -3.0 << -3.0;
}

void TestPageGeometry::floorShown()
{
    QFETCH(double, x);
    QFETCH(double, expected);
    COMPARE_EXACTLY(FloorShown(x), expected);
}

void TestPageGeometry::paperDimension_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("length");
    QTest::newRow("Letter") << "612 792" << true << 8.5 << 11.0;
    QTest::newRow("A4") << "595 842" << true << 595 / 72.0 << 842 / 72.0;
    QTest::newRow("decimal points") << "595.28 841.89" << true << 595.28 / 72 << 841.89 / 72;
    QTest::newRow("several blanks") << " 612  792 " << true << 8.5 << 11.0;
    QTest::newRow("empty") << "" << false << 0.0 << 0.0;
    QTest::newRow("one number") << "612" << false << 0.0 << 0.0;
    QTest::newRow("not a number") << "abc 792" << false << 0.0 << 0.0;
    QTest::newRow("joined") << "612x792" << false << 0.0 << 0.0;
    QTest::newRow("zero width") << "0 792" << false << 0.0 << 0.0;
    QTest::newRow("negative length") << "612 -792" << false << 0.0 << 0.0;
}

void TestPageGeometry::paperDimension()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const std::optional<TPaperSize> paper = paperFromDimension(text);
    QCOMPARE(paper.has_value(), valid);
    if (valid) {
        QFETCH(double, width);
        QFETCH(double, length);
        COMPARE_EXACTLY(paper->Width, width);
        COMPARE_EXACTLY(paper->Length, length);
    }
}

void TestPageGeometry::modelPaper_data()
{
    QTest::addColumn<QString>("dimension");
    QTest::addColumn<QString>("area");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("length");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("bottom");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("right");
    QTest::addColumn<int>("state");

    QTest::newRow("Letter") << "612 792"
                            << "9 9 603 783" << 8.5 << 11.0 << 0.125 << 0.125 << 0.125 << 0.125
                            << 0;
    QTest::newRow("Letter, deep bottom")
        << "612 792"
        << "9 36 603 783" << 8.5 << 11.0 << 0.125 << 0.5 << 0.125 << 0.125 << 0;
    QTest::newRow("wider than long")
        << "792 612"
        << "18 9 774 603" << 11.0 << 8.5 << 0.125 << 0.125 << 0.25 << 0.25 << 1;
    // No area for the size (a model whose lists differ): the hardware margins.
    QTest::newRow("missing area") << "612 792"
                                  << "" << 8.5 << 11.0 << 0.75 << 0.5 << 0.25 << 1.0 << 0;
    QTest::newRow("short area") << "612 792"
                                << "9 9 603" << 8.5 << 11.0 << 0.75 << 0.5 << 0.25 << 1.0 << 0;
}

void TestPageGeometry::modelPaper()
{
    QFETCH(QString, dimension);
    QFETCH(QString, area);
    TPageGeometry g;
    QVERIFY(applyModelPaper(g, dimension, area, THWMargins{0.25, 0.5, 1.0, 0.75}));
    QTEST(g.PaperWidth, "width");
    QTEST(g.PaperLength, "length");
    QTEST(g.MinTop, "top");
    QTEST(g.MinBottom, "bottom");
    QTEST(g.MinLeft, "left");
    QTEST(g.MinRight, "right");
    QTEST(int(g.OrientationState), "state");
}

void TestPageGeometry::unreadableDimensionChangesNothing()
{
    TPageGeometry g = letter();
    g.OrientationState = 1;
    QVERIFY(!applyModelPaper(g, u"612", u"0 0 10 10", THWMargins{}));
    QCOMPARE(g.PaperWidth, 8.5);
    QCOMPARE(g.PaperLength, 11.0);
    QCOMPARE(g.MinLeft, 0.125);
    QCOMPARE(g.OrientationState, 1);
}

void TestPageGeometry::metricPageSizes_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<bool>("metric");
    QTest::newRow("A4") << "A4" << true;
    QTest::newRow("A3") << "A3" << true;
    QTest::newRow("A5") << "A5" << true;
    QTest::newRow("A3+") << "A3+" << false;
    QTest::newRow("Letter") << "Letter" << false;
    QTest::newRow("lower case") << "a4" << false;
    QTest::newRow("A alone") << "A" << false;
    QTest::newRow("B5") << "B5" << false;
}

void TestPageGeometry::metricPageSizes()
{
    QFETCH(QString, keyword);
    QTEST(isMetricPageSize(keyword), "metric");
}

void TestPageGeometry::paperHints_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("length");
    QTest::addColumn<bool>("millimetres");
    QTest::addColumn<QString>("decimalPoint");
    QTest::addColumn<QString>("hint");
    QTest::newRow("Letter") << 8.5 << 11.0 << false << "."
                            << "8.5x11in";
    QTest::newRow("A4") << 595 / 72.0 << 842 / 72.0 << true << "."
                        << "210x297mm";
    QTest::newRow("A4 in inches") << 595 / 72.0 << 842 / 72.0 << false << "."
                                  << "8.264x11.694in";
    QTest::newRow("comma") << 8.5 << 11.0 << false << ","
                           << "8,5x11in";
}

void TestPageGeometry::paperHints()
{
    QFETCH(double, width);
    QFETCH(double, length);
    QFETCH(bool, millimetres);
    QFETCH(QString, decimalPoint);
    QTEST(modelPaperHint(width, length, millimetres, decimalPoint), "hint");
}

void TestPageGeometry::rotation()
{
    TPageGeometry g;
    QVERIFY(applyModelPaper(g, u"612 792", u"9 36 603 783", THWMargins{}));
    const TPageGeometry portrait = g;
    QCOMPARE(g.MinLeft, 0.125);
    QCOMPARE(g.MinBottom, 0.5);
    QCOMPARE(g.MinRight, 0.125);
    QCOMPARE(g.MinTop, 0.125);

    QVERIFY(!rotateGeometry(g, 0));
    QVERIFY(rotateGeometry(g, 1));
    QCOMPARE(g.PaperWidth, 11.0);
    QCOMPARE(g.PaperLength, 8.5);
    QCOMPARE(g.MinTop, 0.125);
    QCOMPARE(g.MinBottom, 0.125);
    QCOMPARE(g.MinLeft, 0.5);
    QCOMPARE(g.MinRight, 0.125);
    QCOMPARE(g.OrientationState, 1);

    QVERIFY(rotateGeometry(g, 0));
    COMPARE_EXACTLY(g.PaperWidth, portrait.PaperWidth);
    COMPARE_EXACTLY(g.PaperLength, portrait.PaperLength);
    COMPARE_EXACTLY(g.MinTop, portrait.MinTop);
    COMPARE_EXACTLY(g.MinBottom, portrait.MinBottom);
    COMPARE_EXACTLY(g.MinLeft, portrait.MinLeft);
    COMPARE_EXACTLY(g.MinRight, portrait.MinRight);
    QCOMPARE(g.OrientationState, 0);
}

void TestPageGeometry::firstOrientation_data()
{
    QTest::addColumn<int>("orientation");
    QTest::newRow("portrait") << 0;
    QTest::newRow("landscape") << 1;
}

// The first orientation after start-up turns counter-clockwise, whichever it is.
void TestPageGeometry::firstOrientation()
{
    QFETCH(int, orientation);
    TPageGeometry g;
    g.PaperWidth = 3;
    g.PaperLength = 4;
    g.MinTop = 1;
    g.MinBottom = 2;
    g.MinLeft = 3;
    g.MinRight = 4;
    QVERIFY(rotateGeometry(g, orientation));
    QCOMPARE(g.PaperWidth, 4.0);
    QCOMPARE(g.PaperLength, 3.0);
    QCOMPARE(g.MinTop, 4.0);
    QCOMPARE(g.MinBottom, 3.0);
    QCOMPARE(g.MinLeft, 1.0);
    QCOMPARE(g.MinRight, 2.0);
    QCOMPARE(g.OrientationState, orientation);
}

void TestPageGeometry::margins_data()
{
    QTest::addColumn<double>("typed");
    QTest::addColumn<bool>("millimetres");
    QTest::addColumn<double>("expected");
    // Top margin on Letter with a bottom minimum of 0.5 in.
    QTest::newRow("0 gives MinTop") << 0.0 << false << 0.125;
    QTest::newRow("20 gives length less MinBottom") << 20.0 << false << 10.5;
    QTest::newRow("inside") << 5.0 << false << 5.0;
    QTest::newRow("three decimals") << 1.2345 << false << 1.234;
    QTest::newRow("0 mm") << 0.0 << true << 3.2;
    QTest::newRow("1000 mm") << 1000.0 << true << 266.7;
    QTest::newRow("25.44 mm") << 25.44 << true << 25.4;
    QTest::newRow("negative") << -3.0 << false << 0.125;
}

void TestPageGeometry::margins()
{
    QFETCH(double, typed);
    QFETCH(bool, millimetres);
    QFETCH(double, expected);
    COMPARE_EXACTLY(validatedMargin(typed, millimetres, 0.125, 0.5, 11.0), expected);
}

void TestPageGeometry::unitChangeRoundTrip()
{
    const double mm = convertDisplayValue(0.125, true);
    COMPARE_EXACTLY(mm, 3.2);
    COMPARE_EXACTLY(convertDisplayValue(mm, false), 0.126);
    COMPARE_EXACTLY(toDisplayUnit(0.125, true), 3.2);
    COMPARE_EXACTLY(toDisplayUnit(0.1254, false), 0.125);
    COMPARE_EXACTLY(displayToInches(25.4, true), 1.0);
    COMPARE_EXACTLY(displayToInches(2.5, false), 2.5);
}

void TestPageGeometry::customDimension_data()
{
    QTest::addColumn<double>("typed");
    QTest::addColumn<bool>("millimetres");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("inches");
    // Limits 1 to 1000/72 = 13.888... in (352.777... mm).
    QTest::newRow("inside") << 9.0 << false << 9.0 << 9.0;
    QTest::newRow("three decimals") << 8.5004 << false << 8.5 << 8.5;
    QTest::newRow("above, unrounded limit") << 20.0 << false << 1000 / 72.0 << 1000 / 72.0;
    QTest::newRow("below") << 0.5 << false << 1.0 << 1.0;
    QTest::newRow("mm inside") << 210.04 << true << 210.0 << 210.0 / 25.4;
    QTest::newRow("mm above, rounded limit") << 400.0 << true << 352.8 << 352.8 / 25.4;
    QTest::newRow("mm below") << 10.0 << true << 25.4 << 1.0;
}

void TestPageGeometry::customDimension()
{
    QFETCH(double, typed);
    QFETCH(bool, millimetres);
    const TCustomDimension d = clampCustomDimension(typed, millimetres, 1.0, 1000 / 72.0);
    QFETCH(double, value);
    QFETCH(double, inches);
    COMPARE_EXACTLY(d.Value, value);
    COMPARE_EXACTLY(d.Inches, inches);
}

void TestPageGeometry::fit_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("resolution");
    QTest::addColumn<int>("unit");
    QTest::addColumn<double>("factor");
    QTest::addColumn<int>("percent");
    // Letter with 0.125 in all round: 8.25 x 10.75 in available.
    QTest::newRow("landscape image, width decides") << 3000 << 2400 << 300.0 << 2 << 0.825 << 82;
    QTest::newRow("portrait image, width decides") << 2400 << 3000 << 300.0 << 2 << 1.03125 << 103;
    QTest::newRow("long image, height decides") << 1000 << 4300 << 200.0 << 2 << 0.5 << 50;
    // 12.7 x 10.16 cm against 20.955 x 27.305 cm.
    QTest::newRow("per centimetre") << 1270 << 1016 << 100.0 << 3 << 1.65 << 165;
    QTest::newRow("tiny image") << 10 << 10 << 300.0 << 2 << 247.5 << 1600;
}

void TestPageGeometry::fit()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(double, resolution);
    QFETCH(int, unit);
    const TImageFacts facts = photo(width, height, resolution, unit);
    const TImageValidation validation = validateImageFacts(facts);
    const std::optional<double> f = fitFactor(letter(), facts, validation);
    QVERIFY(f);
    QTEST(*f, "factor");
    QTEST(*fitPercent(letter(), facts, validation), "percent");
}

void TestPageGeometry::scaleText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("percent");
    QTest::newRow("82") << "82" << 82;
    QTest::newRow("blanks") << " 120 " << 120;
    QTest::newRow("empty") << "" << 1;
    QTest::newRow("letters") << "abc" << 1;
    QTest::newRow("decimal") << "82.5" << 1;
}

void TestPageGeometry::scaleText()
{
    QFETCH(QString, text);
    QTEST(scalePercentFromText(text), "percent");
}

void TestPageGeometry::layout_data()
{
    QTest::addColumn<TImageFacts>("facts");
    QTest::addColumn<int>("percent");
    QTest::addColumn<bool>("scaleToFit");
    QTest::addColumn<bool>("centred");
    QTest::addColumn<bool>("millimetres");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("left");
    QTest::addColumn<QString>("sizeText");
    QTest::addColumn<double>("printWidth");
    QTest::addColumn<double>("printHeight");
    QTest::addColumn<double>("placedTop");
    QTest::addColumn<double>("placedLeft");
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<bool>("overruns");

    const TImageFacts standard = photo();
    const QStringList none;
    const QStringList doesNotFit{DoesNotFitWarning};

    QTest::newRow("fitted and centred")
        << standard << 82 << true << true << false << 0.0 << 0.0 << "8.2x6.56 in" << 8.2 << 6.56
        << 2.22 << 0.15 << none << false;
    QTest::newRow("centred in mm") << standard << 82 << true << true << true << 0.0 << 0.0
                                   << "8.2x6.56 in" << 8.2 << 6.56 << 56.4 << 3.8 << none << false;
    // 0.125 + 10 + 0.125 > 8.5
    QTest::newRow("100 % by hand")
        << standard << 100 << false << false << false << 0.125 << 0.125 << "10x8 in" << 10.0 << 8.0
        << 0.125 << 0.125 << doesNotFit << true;
    QTest::newRow("100 % centred")
        << standard << 100 << false << true << false << 0.0 << 0.0 << "10x8 in" << 10.0 << 8.0 << 1.5
        << -0.75 << doesNotFit << true;
    QTest::newRow("100 % with scale-to-fit")
        << standard << 100 << true << true << false << 0.0 << 0.0 << "10x8 in" << 10.0 << 8.0 << 1.5
        << -0.75 << none << true;
    QTest::newRow("too low") << standard << 50 << false << false << false << 8.0 << 0.125 << "5x4 in"
                             << 5.0 << 4.0 << 8.0 << 0.125 << doesNotFit << true;

    // 8.25 in wide: the left margin decides, as it is sent (3.2 mm = 0.126 in, 3.1 mm = 0.122).
    const TImageFacts exact = photo(2475, 300, 300);
    QTest::newRow("exactly the width")
        << exact << 100 << false << false << false << 0.5 << 0.125 << "8.25x1 in" << 8.25 << 1.0
        << 0.5 << 0.125 << none << false;
    QTest::newRow("3.2 mm runs over")
        << exact << 100 << false << false << true << 12.7 << 3.2 << "8.25x1 in" << 8.25 << 1.0
        << 12.7 << 3.2 << doesNotFit << true;
    QTest::newRow("3.1 mm fits") << exact << 100 << false << false << true << 12.7 << 3.1
                                 << "8.25x1 in" << 8.25 << 1.0 << 12.7 << 3.1 << none << false;
    // 3.1 mm is 0.12205 in, sent as 0.122: 0.122 + 8.253 + 0.125 just fits.
    QTest::newRow("sent margin decides")
        << photo(8253, 1000, 1000) << 100 << false << false << true << 12.7 << 3.1 << "8.253x1 in"
        << 8.253 << 1.0 << 12.7 << 3.1 << none << false;

    // Per centimetre: sized in cm, fitted in inches.
    QTest::newRow("cm image") << photo(1181, 1181, 300, 3) << 100 << false << true << false << 0.0
                              << 0.0 << "3.9x3.9 cm" << 1181 / 300.0 << 1181 / 300.0 << 4.725
                              << 3.475 << none << false;
    QTest::newRow("20 cm fits") << photo(2000, 2000, 100, 3) << 100 << false << true << false << 0.0
                                << 0.0 << "20x20 cm" << 20.0 << 20.0 << 1.563 << 0.313 << none
                                << false;
    QTest::newRow("26 cm does not")
        << photo(2600, 2000, 100, 3) << 100 << false << true << false << 0.0 << 0.0 << "26x20 cm"
        << 26.0 << 20.0 << 1.563 << -0.868 << doesNotFit << true;

    // A unit TIFF does not define counts as inches, with the tag warning.
    QTest::newRow("unit 4") << photo(300, 600, 300, 4) << 100 << false << false << false << 1.0
                            << 1.0 << "1x2 in" << 1.0 << 2.0 << 1.0 << 1.0
                            << QStringList{InvalidTagsWarning} << false;
    TImageFacts noResolution = photo(720, 720, 0);
    QTest::newRow("72 ppi when missing")
        << noResolution << 100 << false << false << false << 1.0 << 1.0 << "10x10 in" << 10.0
        << 10.0 << 1.0 << 1.0 << QStringList{InvalidTagsWarning, DoesNotFitWarning} << true;
    QTest::newRow("failed decode")
        << TImageFacts::failed() << 100 << false << true << false << 0.0 << 0.0 << "0x0 in" << 0.0
        << 0.0 << 5.5 << 4.25 << QStringList{InvalidTagsWarning, FormatNotSupportedWarning}
        << false;
}

void TestPageGeometry::layout()
{
    QFETCH(TImageFacts, facts);
    TPageGeometry g = letter();
    QFETCH(double, top);
    QFETCH(double, left);
    g.TopMarginValue = top;
    g.LeftMarginValue = left;
    TLayoutOptions options;
    QFETCH(int, percent);
    options.ScalePercent = percent;
    QFETCH(bool, scaleToFit);
    options.ScaleToFit = scaleToFit;
    QFETCH(bool, centred);
    options.PlaceCentered = centred;
    QFETCH(bool, millimetres);
    options.MarginsInMm = millimetres;
    options.ScreenWidth = 102;

    const TLayoutResult r = computeLayout(g, facts, options, u".");
    QTEST(r.SizeText, "sizeText");
    QTEST(r.PrintWidth, "printWidth");
    QTEST(r.PrintHeight, "printHeight");
    QCOMPARE(r.Centred, centred);
    QTEST(r.TopMarginValue, "placedTop");
    QTEST(r.LeftMarginValue, "placedLeft");
    QTEST(r.Warnings, "warnings");
    QTEST(r.Overruns, "overruns");
}

// Letter 102 pixels wide: 12 pixels per inch, inside the panel's 2-pixel border.
void TestPageGeometry::frameInPreview()
{
    TLayoutOptions options;
    options.ScalePercent = 82;
    options.ScaleToFit = true;
    options.PlaceCentered = true;
    options.ScreenWidth = 102;
    const TLayoutResult r = computeLayout(letter(), photo(3000, 2400, 300), options, u".");
    QCOMPARE(r.PixelsPerInch, 12.0);
    QCOMPARE(r.FrameWidth, 98);   // 8.2 * 12 = 98.4
    QCOMPARE(r.FrameHeight, 79);  // 6.56 * 12 = 78.72
    QCOMPARE(r.FrameLeft, 2 + 2); // 0.15 * 12 = 1.8
    QCOMPARE(r.FrameTop, 27 + 2); // 2.22 * 12 = 26.64

    options.PlaceCentered = false;
    options.MarginsInMm = true;
    TPageGeometry g = letter();
    g.TopMarginValue = 25.4;
    g.LeftMarginValue = 50.8;
    const TLayoutResult byHand = computeLayout(g, photo(3000, 2400, 300), options, u".");
    QCOMPARE(byHand.FrameLeft, 24 + 2);
    QCOMPARE(byHand.FrameTop, 12 + 2);
}

void TestPageGeometry::centringNeedsAnImage()
{
    TImageFacts facts = photo(3000, 2400, 300);
    facts.Loaded = false;
    TPageGeometry g = letter();
    g.TopMarginValue = 0.5;
    g.LeftMarginValue = 0.75;
    TLayoutOptions options;
    options.PlaceCentered = true;
    options.ScreenWidth = 102;
    const TLayoutResult r = computeLayout(g, facts, options, u".");
    QVERIFY(!r.Centred);
    QCOMPARE(r.TopMarginValue, 0.5);
    QCOMPARE(r.LeftMarginValue, 0.75);
}

void TestPageGeometry::warningsNeedAnImage_data()
{
    QTest::addColumn<TImageFacts>("facts");
    QTest::addColumn<bool>("centred");
    QTest::addColumn<int>("percent");
    QTest::addColumn<double>("left");

    // Without an image the facts are the placeholder one pixel at one pixel per inch.
    QTest::newRow("placeholder, large scale") << TImageFacts() << true << 1600 << 0.125;
    QTest::newRow("placeholder near the right edge") << TImageFacts() << false << 100 << 8.0;
    TImageFacts unusable;
    unusable.XResolution = 0;
    unusable.PixelLayout = TPixelLayout::Device;
    QTest::newRow("placeholder with unusable facts") << unusable << false << 100 << 8.0;
}

// What the layout computes without an image is no reason to warn about one.
void TestPageGeometry::warningsNeedAnImage()
{
    QFETCH(TImageFacts, facts);
    QFETCH(bool, centred);
    QFETCH(int, percent);
    QFETCH(double, left);
    TPageGeometry g = letter();
    g.LeftMarginValue = left;
    g.TopMarginValue = 0.125;
    TLayoutOptions options;
    options.PlaceCentered = centred;
    options.ScalePercent = percent;
    options.ScreenWidth = 102;
    QVERIFY(!facts.Loaded);
    QCOMPARE(computeLayout(g, facts, options, u".").Warnings, QStringList());

    // The same facts as a probed image give their warnings.
    facts.Loaded = true;
    QVERIFY(!computeLayout(g, facts, options, u".").Warnings.isEmpty());
}

void TestPageGeometry::overrunTolerance()
{
    TPageGeometry g;
    g.PaperWidth = 0.5;
    g.PaperLength = 0.5;
    g.MinLeft = g.MinRight = g.MinTop = g.MinBottom = 0.1;
    // 0.1 + 0.2 is 0.30000000000000004: binary noise is no overrun.
    QVERIFY(!imageOverruns(g, 0.1 + 0.2, 0.3, true, 0, 0));
    QVERIFY(imageOverruns(g, 0.301, 0.3, true, 0, 0));
    QVERIFY(imageOverruns(g, 0.3, 0.301, true, 0, 0));
    QVERIFY(!imageOverruns(g, 0.3, 0.3, false, 0.1, 0.1));
    QVERIFY(imageOverruns(g, 0.3, 0.3, false, 0.1, 0.11));
    QVERIFY(imageOverruns(g, 0.3, 0.3, false, 0.11, 0.1));
}

void TestPageGeometry::texts()
{
    QCOMPARE(printedSizeText(8.2, 6.56, false, u"."), QStringLiteral("8.2x6.56 in"));
    QCOMPARE(printedSizeText(8.2, 6.56, false, u","), QStringLiteral("8,2x6,56 in"));
    QCOMPARE(printedSizeText(1181 / 300.0, 10.04, true, u"."), QStringLiteral("3.9x10 cm"));
    QCOMPARE(imageHint(QStringLiteral("8.2x6.56 in")),
             QStringLiteral("8.2x6.56 in    Left Click and drag to move, Right Click to scale"));
    QCOMPARE(warningsQuestion(3), QStringLiteral("Image has 3 warnimg(s)."));
    QCOMPARE(dimensionsText(215.9, 279.4, u"mm", u","), QStringLiteral("215,9x279,4mm"));
}

void TestPageGeometry::autoOrientation_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("paperWidth");
    QTest::addColumn<double>("paperLength");
    QTest::addColumn<bool>("toggles");
    QTest::newRow("landscape image, portrait paper") << 3000 << 2400 << 8.5 << 11.0 << true;
    QTest::newRow("portrait image, landscape paper") << 2400 << 3000 << 11.0 << 8.5 << true;
    QTest::newRow("same way") << 3000 << 2400 << 11.0 << 8.5 << false;
    QTest::newRow("square image") << 3000 << 3000 << 8.5 << 11.0 << false;
    QTest::newRow("square paper") << 3000 << 2400 << 8.0 << 8.0 << false;
    QTest::newRow("failed decode") << 0 << 0 << 8.5 << 11.0 << false;
}

void TestPageGeometry::autoOrientation()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(double, paperWidth);
    QFETCH(double, paperLength);
    QTEST(autoOrientationToggles(photo(width, height, 300), paperWidth, paperLength), "toggles");
}


QTEST_APPLESS_MAIN(TestPageGeometry)
#include "tst_pagegeometry.moc"
