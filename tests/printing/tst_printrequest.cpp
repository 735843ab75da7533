#include "PrintRequest.h"
#include "ZorError.h"

#include <QTest>

// The texts a print request sends to the tools: every key in its place, the number forms,
// the options that are left out, calibration prints and the refusal of an empty option.
class TestPrintRequest : public QObject
{
    Q_OBJECT

private slots:
    void workedExample();
    void parameterTexts_data();
    void parameterTexts();
    void jobPrefix_data();
    void jobPrefix();
    void argumentLists();
    void refusal_data();
    void refusal();
    void disabledOptionsNeedNoSelection();
};

namespace {

// ModelA of the worked example: every option box has two keywords, the second selected.
TPrintRequest workedExampleRequest()
{
    TPrintRequest r;
    r.ImagePath = QStringLiteral("/photos/pier.tif");
    r.PrintingModelName = QStringLiteral("ModelA");
    r.PrinterName = QStringLiteral("Darkroom Printer");

    TPrintingModel &m = r.Model;
    m.MediaValues = {QStringLiteral("Plain"), QStringLiteral("Matte")};
    m.FeedValues = {QStringLiteral("Roll"), QStringLiteral("Sheet")};
    m.FeedOptionName = QStringLiteral("InputSlot");
    m.PageSizeValues = {QStringLiteral("A4"), QStringLiteral("Letter")};
    m.ResolutionValues = {QStringLiteral("720x720dpi"), QStringLiteral("1440x720dpi")};
    m.SpeedValues = {QStringLiteral("Bi"), QStringLiteral("Uni")};
    m.BlackValues = {QStringLiteral("Matte"), QStringLiteral("Photo")};
    m.DitherValues = {QStringLiteral("Adaptive"), QStringLiteral("Ordered")};
    m.Curve1Values = {QStringLiteral("Neutral"), QStringLiteral("Warm")};
    m.Curve1Default = 0;
    m.Curve2Values = {QStringLiteral("Selenium"), QStringLiteral("Cool")};
    m.Curve2Default = 0;

    r.MediaTypeIndex = 1;
    r.PaperFeedEnabled = true;
    r.PaperFeedIndex = 1;
    r.PaperSizeIndex = 1;
    r.ResolutionIndex = 1;
    r.RipSpeedEnabled = true;
    r.RipSpeedIndex = 1;
    r.RipBlackEnabled = true;
    r.RipBlackIndex = 1;
    r.DitherTypeIndex = 1;
    r.Curve1Index = 1;
    r.Curve2Index = 1;

    r.PlaceCentered = false;
    r.UnitsIndex = 1;
    r.TopMarginValue = 25.4;
    r.LeftMarginValue = 12.7;
    r.ScaleToFit = false;
    r.CustomScale = 100;
    r.OrientationIndex = 0;
    r.CurveBlendText = QStringLiteral("60");
    r.GammaPosition = -3;
    r.LimitPosition = 5;
    r.CopyCount = 2;
    return r;
}

// Gives the request a custom size as the last item of PaperSize and selects it.
void selectCustomSize(TPrintRequest &r, double width, double length, int unit)
{
    r.Model.CustomPageSize = true;
    r.Model.PageSizeValues.append(QStringLiteral("Custom"));
    r.PaperSizeIndex = int(r.Model.PageSizeValues.size()) - 1;
    r.CustomWidthValue = width;
    r.CustomLengthValue = length;
    r.CustomUnit = unit;
}

// The changes each row of the tables below makes to the worked example.
void applyVariant(TPrintRequest &r, const QString &variant)
{
    if (variant == QLatin1String("worked example")) {
    } else if (variant == QLatin1String("custom size in millimetres")) {
        selectCustomSize(r, 215.9, 279.4, 1);
    } else if (variant == QLatin1String("custom size in inches")) {
        selectCustomSize(r, 8.5, 11, 0);
    } else if (variant == QLatin1String("custom inches rounded half to even")) {
        selectCustomSize(r, 8.2345, 10.0015, 0);
    } else if (variant == QLatin1String("custom millimetres not rounded")) {
        selectCustomSize(r, 100.0005, 297, 1);
    } else if (variant == QLatin1String("last page size of a model without custom size")) {
        r.Model.PageSizeValues.append(QStringLiteral("Custom"));
        r.PaperSizeIndex = 2;
        r.CustomWidthValue = 5;
        r.CustomLengthValue = 7;
    } else if (variant == QLatin1String("custom size not selected")) {
        selectCustomSize(r, 215.9, 279.4, 1);
        r.PaperSizeIndex = 0;
    } else if (variant == QLatin1String("centred and scaled to fit")) {
        r.PlaceCentered = true;
        r.ScaleToFit = true;
    } else if (variant == QLatin1String("margins in inches sent as held")) {
        r.UnitsIndex = 0;
        r.TopMarginValue = 0.125;
        r.LeftMarginValue = 1.0625;
    } else if (variant == QLatin1String("margins in millimetres rounded")) {
        r.TopMarginValue = 10;
        r.LeftMarginValue = 3.175;
    } else if (variant == QLatin1String("landscape, scale 250")) {
        r.OrientationIndex = 1;
        r.CustomScale = 250;
    } else if (variant == QLatin1String("no paper-feed option")) {
        r.PaperFeedEnabled = false;
    } else if (variant == QLatin1String("RipFeed as the feed key")) {
        r.Model.FeedOptionName = QStringLiteral("RipFeed");
        r.PaperFeedIndex = 0;
    } else if (variant == QLatin1String("no speed and no black ink")) {
        r.RipSpeedEnabled = false;
        r.RipBlackEnabled = false;
    } else if (variant == QLatin1String("gamma 0, limit -50")) {
        r.GammaPosition = 0;
        r.LimitPosition = -50;
    } else if (variant == QLatin1String("gamma -15, limit 50")) {
        r.GammaPosition = -15;
        r.LimitPosition = 50;
    } else if (variant == QLatin1String("calibration")) {
        r.CalibrationMode = true;
        r.CurveBlendText = QStringLiteral("100");
        r.GammaPosition = 0;
        r.LimitPosition = 0;
    } else if (variant == QLatin1String("calibration with other defaults")) {
        r.CalibrationMode = true;
        r.Model.Curve1Default = 1;
        r.Model.Curve2Default = 1;
        r.Curve1Index = 0;
        r.Curve2Index = 0;
        r.CurveBlendText = QStringLiteral("70");
        r.GammaPosition = 0;
        r.LimitPosition = 0;
    } else if (variant == QLatin1String("comma as decimal separator")) {
        r.DecimalPoint = QStringLiteral(",");
        selectCustomSize(r, 215.9, 279.4, 1);
        r.TopMarginValue = 10;
    } else if (variant == QLatin1String("comma with inches")) {
        r.DecimalPoint = QStringLiteral(",");
        r.UnitsIndex = 0;
        r.TopMarginValue = 0.25;
        r.LeftMarginValue = 1.5;
        selectCustomSize(r, 8.5, 11.25, 0);
    } else if (variant == QLatin1String("blend text as it stands")) {
        r.CurveBlendText = QStringLiteral("07");
    } else {
        QFAIL(qPrintable(QStringLiteral("unknown variant ") + variant));
    }
}

} // namespace

void TestPrintRequest::workedExample()
{
    const TPrintArguments a = buildPrintArguments(workedExampleRequest());
    QCOMPARE(a.rastermillCommandText(),
             QStringLiteral("gui 0 0 2 \"PPD=ModelA.ppd PRINTER=ModelA MediaType=Matte "
                            "InputSlot=Sheet Pagesize=Letter topmargin=1 leftmargin=0.5 "
                            "scale-percent=100 portrait=yes Resolution=1440x720dpi "
                            "ColorModel=ZorRIP\" \"/photos/pier.tif\""));
    QCOMPARE(a.inkforgeCommandText(),
             QStringLiteral("gui 0 0 2 \"PPD=ModelA.ppd PRINTER=ModelA MediaType=Matte "
                            "InputSlot=Sheet Pagesize=Letter Resolution=1440x720dpi RipSpeed=Uni "
                            "ColorModel=ZorRIP ripCurve1=Warm ripCurve2=Cool ripBlend=60 "
                            "stpDither=Ordered RipBlack=Photo ripGamma=m3 ripLimit=5\""));
    QCOMPARE(a.spoolgateCommandText(), QStringLiteral("\"Darkroom Printer\" - \"pier.tif\""));
}

void TestPrintRequest::parameterTexts_data()
{
    QTest::addColumn<QString>("variant");
    QTest::addColumn<QString>("rastermill");
    QTest::addColumn<QString>("inkforge");

    const QString head = QStringLiteral("PPD=ModelA.ppd PRINTER=ModelA MediaType=Matte "
                                        "InputSlot=Sheet ");
    const QString inkTail = QStringLiteral(" Resolution=1440x720dpi RipSpeed=Uni ColorModel=ZorRIP "
                                           "ripCurve1=Warm ripCurve2=Cool ripBlend=60 "
                                           "stpDither=Ordered RipBlack=Photo ripGamma=m3 "
                                           "ripLimit=5");
    const QString rasterTail = QStringLiteral(" topmargin=1 leftmargin=0.5 scale-percent=100 "
                                              "portrait=yes Resolution=1440x720dpi "
                                              "ColorModel=ZorRIP");

    QTest::newRow("worked example") << "worked example" << head + "Pagesize=Letter" + rasterTail
                                    << head + "Pagesize=Letter" + inkTail;
    QTest::newRow("custom size in millimetres")
        << "custom size in millimetres" << head + "Pagesize=Custom.21.59x27.94cm" + rasterTail
        << head + "Pagesize=Custom.21.59x27.94cm" + inkTail;
    QTest::newRow("custom size in inches")
        << "custom size in inches" << head + "Pagesize=Custom.8.5x11in" + rasterTail
        << head + "Pagesize=Custom.8.5x11in" + inkTail;
    QTest::newRow("custom inches rounded half to even")
        << "custom inches rounded half to even"
        << head + "Pagesize=Custom.8.234x10.002in" + rasterTail
        << head + "Pagesize=Custom.8.234x10.002in" + inkTail;
    QTest::newRow("custom millimetres not rounded")
        << "custom millimetres not rounded" << head + "Pagesize=Custom.10.00005x29.7cm" + rasterTail
        << head + "Pagesize=Custom.10.00005x29.7cm" + inkTail;
    QTest::newRow("last page size of a model without custom size")
        << "last page size of a model without custom size" << head + "Pagesize=Custom" + rasterTail
        << head + "Pagesize=Custom" + inkTail;
    QTest::newRow("custom size not selected")
        << "custom size not selected" << head + "Pagesize=A4" + rasterTail
        << head + "Pagesize=A4" + inkTail;
    QTest::newRow("centred and scaled to fit")
        << "centred and scaled to fit"
        << head + "Pagesize=Letter position=center scale-to-fit=yes portrait=yes "
                  "Resolution=1440x720dpi ColorModel=ZorRIP"
        << head + "Pagesize=Letter" + inkTail;
    QTest::newRow("margins in inches sent as held")
        << "margins in inches sent as held"
        << head + "Pagesize=Letter topmargin=0.125 leftmargin=1.0625 scale-percent=100 "
                  "portrait=yes Resolution=1440x720dpi ColorModel=ZorRIP"
        << head + "Pagesize=Letter" + inkTail;
    QTest::newRow("margins in millimetres rounded")
        << "margins in millimetres rounded"
        << head + "Pagesize=Letter topmargin=0.394 leftmargin=0.125 scale-percent=100 "
                  "portrait=yes Resolution=1440x720dpi ColorModel=ZorRIP"
        << head + "Pagesize=Letter" + inkTail;
    QTest::newRow("landscape, scale 250")
        << "landscape, scale 250"
        << head + "Pagesize=Letter topmargin=1 leftmargin=0.5 scale-percent=250 Landscape=yes "
                  "Resolution=1440x720dpi ColorModel=ZorRIP"
        << head + "Pagesize=Letter" + inkTail;
    QTest::newRow("no paper-feed option")
        << "no paper-feed option"
        << "PPD=ModelA.ppd PRINTER=ModelA MediaType=Matte Pagesize=Letter" + rasterTail
        << "PPD=ModelA.ppd PRINTER=ModelA MediaType=Matte Pagesize=Letter" + inkTail;
    QTest::newRow("RipFeed as the feed key")
        << "RipFeed as the feed key"
        << "PPD=ModelA.ppd PRINTER=ModelA MediaType=Matte RipFeed=Roll Pagesize=Letter" + rasterTail
        << "PPD=ModelA.ppd PRINTER=ModelA MediaType=Matte RipFeed=Roll Pagesize=Letter" + inkTail;
    QTest::newRow("no speed and no black ink")
        << "no speed and no black ink" << head + "Pagesize=Letter" + rasterTail
        << head + "Pagesize=Letter Resolution=1440x720dpi ColorModel=ZorRIP ripCurve1=Warm "
                  "ripCurve2=Cool ripBlend=60 stpDither=Ordered ripGamma=m3 ripLimit=5";
    QTest::newRow("gamma 0, limit -50")
        << "gamma 0, limit -50" << head + "Pagesize=Letter" + rasterTail
        << head + "Pagesize=Letter Resolution=1440x720dpi RipSpeed=Uni ColorModel=ZorRIP "
                  "ripCurve1=Warm ripCurve2=Cool ripBlend=60 stpDither=Ordered RipBlack=Photo "
                  "ripGamma=0 ripLimit=m50";
    QTest::newRow("gamma -15, limit 50")
        << "gamma -15, limit 50" << head + "Pagesize=Letter" + rasterTail
        << head + "Pagesize=Letter Resolution=1440x720dpi RipSpeed=Uni ColorModel=ZorRIP "
                  "ripCurve1=Warm ripCurve2=Cool ripBlend=60 stpDither=Ordered RipBlack=Photo "
                  "ripGamma=m15 ripLimit=50";
    QTest::newRow("calibration")
        << "calibration"
        << head + "Pagesize=Letter topmargin=1 leftmargin=0.5 scale-percent=100 portrait=yes "
                  "Resolution=1440x720dpi ColorModel=ZorCal"
        << head + "Pagesize=Letter Resolution=1440x720dpi RipSpeed=Uni ColorModel=ZorCal "
                  "ripCurve1=Neutral ripCurve2=Selenium ripBlend=100 stpDither=Ordered "
                  "RipBlack=Photo ripGamma=0 ripLimit=0";
    QTest::newRow("calibration with other defaults")
        << "calibration with other defaults"
        << head + "Pagesize=Letter topmargin=1 leftmargin=0.5 scale-percent=100 portrait=yes "
                  "Resolution=1440x720dpi ColorModel=ZorCal"
        << head + "Pagesize=Letter Resolution=1440x720dpi RipSpeed=Uni ColorModel=ZorCal "
                  "ripCurve1=Warm ripCurve2=Cool ripBlend=70 stpDither=Ordered "
                  "RipBlack=Photo ripGamma=0 ripLimit=0";
    QTest::newRow("comma as decimal separator")
        << "comma as decimal separator"
        << head + "Pagesize=Custom.21,59x27,94cm topmargin=0,394 leftmargin=0,5 "
                  "scale-percent=100 portrait=yes Resolution=1440x720dpi ColorModel=ZorRIP"
        << head + "Pagesize=Custom.21,59x27,94cm" + inkTail;
    QTest::newRow("comma with inches")
        << "comma with inches"
        << head + "Pagesize=Custom.8,5x11,25in topmargin=0,25 leftmargin=1,5 "
                  "scale-percent=100 portrait=yes Resolution=1440x720dpi ColorModel=ZorRIP"
        << head + "Pagesize=Custom.8,5x11,25in" + inkTail;
    QTest::newRow("blend text as it stands")
        << "blend text as it stands" << head + "Pagesize=Letter" + rasterTail
        << head + "Pagesize=Letter Resolution=1440x720dpi RipSpeed=Uni ColorModel=ZorRIP "
                  "ripCurve1=Warm ripCurve2=Cool ripBlend=07 stpDither=Ordered RipBlack=Photo "
                  "ripGamma=m3 ripLimit=5";
}

void TestPrintRequest::parameterTexts()
{
    QFETCH(QString, variant);
    QFETCH(QString, rastermill);
    QFETCH(QString, inkforge);

    TPrintRequest r = workedExampleRequest();
    applyVariant(r, variant);
    QCOMPARE(buildRastermillParameters(r), rastermill);
    QCOMPARE(buildInkforgeParameters(r), inkforge);

    const TPrintArguments a = buildPrintArguments(r);
    QCOMPARE(a.RastermillParameters, rastermill);
    QCOMPARE(a.InkforgeParameters, inkforge);
}

void TestPrintRequest::jobPrefix_data()
{
    QTest::addColumn<int>("copies");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("one") << 1 << "gui 0 0 1";
    QTest::newRow("two") << 2 << "gui 0 0 2";
    QTest::newRow("ninety-nine") << 99 << "gui 0 0 99";
}

void TestPrintRequest::jobPrefix()
{
    QFETCH(int, copies);
    QFETCH(QString, prefix);
    TPrintRequest r = workedExampleRequest();
    r.CopyCount = copies;
    QCOMPARE(buildJobPrefix(r), prefix);
    QCOMPARE(buildPrintArguments(r).JobPrefix, prefix);
}

void TestPrintRequest::argumentLists()
{
    TPrintRequest r = workedExampleRequest();
    r.ImagePath = QStringLiteral("/photos/dark room/\"pier\" 2.tif");
    r.CopyCount = 12;
    const TPrintArguments a = buildPrintArguments(r);

    // Each argument reaches the tool as one argv entry, unquoted: the prefix as four words,
    // the parameter text and the path whole.
    QCOMPARE(a.rastermillArguments(),
             QStringList({"gui", "0", "0", "12", a.RastermillParameters, r.ImagePath}));
    QCOMPARE(a.inkforgeArguments(), QStringList({"gui", "0", "0", "12", a.InkforgeParameters}));
    QCOMPARE(a.spoolgateArguments(), QStringList({"Darkroom Printer", "-", "\"pier\" 2.tif"}));
    QCOMPARE(a.imageFileName(), QStringLiteral("\"pier\" 2.tif"));
    QCOMPARE(a.spoolgateCommandText(), QStringLiteral("\"Darkroom Printer\" - \"\"pier\" 2.tif\""));
    QCOMPARE(a.rastermillCommandText(),
             QStringLiteral("gui 0 0 12 \"") + a.RastermillParameters +
                 QStringLiteral("\" \"/photos/dark room/\"pier\" 2.tif\""));
}

void TestPrintRequest::refusal_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("message");

    QTest::newRow("media type") << "MediaType" << -1 << "You have not selected a Media Type.";
    QTest::newRow("media type past its list")
        << "MediaType" << 2 << "You have not selected a Media Type.";
    QTest::newRow("paper feed") << "PaperFeed" << -1 << "You have not selected a Paper Source.";
    QTest::newRow("paper size") << "PaperSize" << -1 << "You have not selected a Paper Size.";
    QTest::newRow("resolution") << "Resolution" << -1 << "You have not selected a Resolution.";
    QTest::newRow("speed") << "RipSpeed" << -1 << "You have not selected a Speed.";
    QTest::newRow("black ink") << "RipBlack" << -1 << "You have not selected a Black Ink.";
    QTest::newRow("dither") << "DitherType" << -1 << "You have not selected a Dither Algorithm.";
    QTest::newRow("curve 1") << "Curve1" << -1 << "You have not selected Curve1.";
    QTest::newRow("curve 2") << "Curve2" << -1 << "You have not selected Curve2.";
    QTest::newRow("calibration without default curve 1")
        << "Curve1Default" << -1
        << "The printing model has no default Curve1, which calibration prints need.";
    QTest::newRow("calibration with default curve 2 past its list")
        << "Curve2Default" << 5
        << "The printing model has no default Curve2, which calibration prints need.";
}

void TestPrintRequest::refusal()
{
    QFETCH(QString, option);
    QFETCH(int, index);
    QFETCH(QString, message);

    TPrintRequest r = workedExampleRequest();
    if (option == QLatin1String("MediaType"))
        r.MediaTypeIndex = index;
    else if (option == QLatin1String("PaperFeed"))
        r.PaperFeedIndex = index;
    else if (option == QLatin1String("PaperSize"))
        r.PaperSizeIndex = index;
    else if (option == QLatin1String("Resolution"))
        r.ResolutionIndex = index;
    else if (option == QLatin1String("RipSpeed"))
        r.RipSpeedIndex = index;
    else if (option == QLatin1String("RipBlack"))
        r.RipBlackIndex = index;
    else if (option == QLatin1String("DitherType"))
        r.DitherTypeIndex = index;
    else if (option == QLatin1String("Curve1"))
        r.Curve1Index = index;
    else if (option == QLatin1String("Curve2"))
        r.Curve2Index = index;
    else if (option == QLatin1String("Curve1Default"))
        r.Model.Curve1Default = index, r.CalibrationMode = true;
    else if (option == QLatin1String("Curve2Default"))
        r.Model.Curve2Default = index, r.CalibrationMode = true;

    QString raised;
    try {
        buildPrintArguments(r);
    } catch (const ZorError &error) {
        raised = error.message();
    }
    QCOMPARE(raised, message);
}

void TestPrintRequest::disabledOptionsNeedNoSelection()
{
    // Options the model does not have are left out, so an empty box is no reason to refuse;
    // nor are the curve boxes in calibration mode, whose defaults are sent instead.
    TPrintRequest r = workedExampleRequest();
    r.PaperFeedEnabled = false;
    r.PaperFeedIndex = -1;
    r.RipSpeedEnabled = false;
    r.RipSpeedIndex = -1;
    r.RipBlackEnabled = false;
    r.RipBlackIndex = -1;
    r.CalibrationMode = true;
    r.Curve1Index = -1;
    r.Curve2Index = -1;
    const TPrintArguments a = buildPrintArguments(r);
    QVERIFY(!a.InkforgeParameters.contains(QLatin1String("RipSpeed=")));
    QVERIFY(!a.InkforgeParameters.contains(QLatin1String("RipBlack=")));
    QVERIFY(!a.RastermillParameters.contains(QLatin1String("InputSlot=")));
    QVERIFY(a.InkforgeParameters.contains(QLatin1String(" ripCurve1=Neutral ripCurve2=Selenium ")));
}

QTEST_GUILESS_MAIN(TestPrintRequest)
#include "tst_printrequest.moc"
