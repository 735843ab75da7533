#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>

// Inkforge run as the front end runs it, on rasters the test writes, in a small
// installation of the test's own whose curves are known exactly, and in the demo one.
class TestInkforge : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void answersVersion();
    void blendsTheTwoCurves_data();
    void blendsTheTwoCurves();
    void builtInCurveIsNeutralBlack();
    void rampGivesInkThatNeverFalls_data();
    void rampGivesInkThatNeverFalls();
    void gammaMovesTheMidtones();
    void limitActsOnTheShadowsOnly();
    void calibrationDrivesTheInksStraight();
    void headerDescribesTheData();
    void demoModelPrintsWithItsInks();
    void groupsTheModelLacksOnlyWarn();
    void rejectsBadArguments_data();
    void rejectsBadArguments();
    void rejectsDamagedRasters_data();
    void rejectsDamagedRasters();
    void rejectsDamagedCurveFiles_data();
    void rejectsDamagedCurveFiles();
    void randomRastersNeverCrash();

private:
    ToolRun forge(const QString &parameters, const QByteArray &raster,
                  const QStringList &prefix = {"gui", "0", "0", "1"}) const;
    void writeCurve(const QString &name, const QByteArray &content) const;

    QTemporaryDir m_install;
};

namespace {

// Curve channels of the test model, by ink: non-decreasing, so their blends are too.
uint16_t dark(const QString &ink, int level)
{
    if (ink == QLatin1String("K"))
        return uint16_t(level * 257);
    if (ink == QLatin1String("LK"))
        return uint16_t(std::min(65535, level * 512));
    return 0;
}

uint16_t light(const QString &ink, int level)
{
    if (ink == QLatin1String("K"))
        return uint16_t(level * 100);
    if (ink == QLatin1String("LK"))
        return uint16_t(level * 200);
    return uint16_t(level * 50);
}

const QStringList TestInks = {"K", "LK", "C"};

QByteArray curveFile(const QStringList &order,
                     const std::function<uint16_t(const QString &, int)> &f)
{
    QByteArray text = "# ZORLANE " + order.join(u',').toLatin1() + "\n# test curve\n";
    for (const QString &ink : order) {
        text += "# " + ink.toLatin1() + "\n\n";
        for (int level = 0; level < 256; ++level)
            text += QByteArray::number(f(ink, level)) + '\n';
    }
    return text;
}

QString params(const QString &changes = {})
{
    QString text = QStringLiteral("PPD=Test.ppd PRINTER=Test Pagesize=Letter Resolution=720dpi "
                                  "ColorModel=ZorRIP ripCurve1=Dark ripCurve2=Light ripBlend=100 "
                                  "stpDither=Ordered ripGamma=0 ripLimit=0");
    // "key=value" pairs in changes replace the key's item; "-key" removes it.
    for (const QString &change : changes.split(u' ', Qt::SkipEmptyParts)) {
        const QString key = change.startsWith(u'-') ? change.mid(1) : change.section(u'=', 0, 0);
        const QRegularExpression item(
            QStringLiteral("(^| )%1=\\S*").arg(QRegularExpression::escape(key)));
        if (change.startsWith(u'-'))
            text.remove(item);
        else if (text.contains(item))
            text.replace(item, QStringLiteral("\\1") + change);
        else
            text += u' ' + change;
    }
    return text.trimmed();
}

// One row of the 256 curve levels, paper white first: grey 65535 - 257 x is level x.
QByteArray levelRamp(const QByteArray &comment = {})
{
    std::vector<uint16_t> samples;
    for (int level = 0; level < 256; ++level)
        samples.push_back(uint16_t(65535 - 257 * level));
    return makePgm(256, 1, samples, comment);
}

// A finer ramp, paper white to full black, between the levels as well.
QByteArray fineRamp(int width)
{
    std::vector<uint16_t> samples;
    for (int x = 0; x < width; ++x)
        samples.push_back(uint16_t(65535 - std::lround(x * 65535.0 / (width - 1))));
    return makePgm(width, 1, samples);
}

} // namespace

void TestInkforge::initTestCase()
{
    QVERIFY(m_install.isValid());
    QVERIFY2(QFile::exists(QStringLiteral(INKFORGE_PATH)), INKFORGE_PATH);
    QDir root(m_install.path());
    QVERIFY(root.mkpath(QStringLiteral("ppd")));
    QVERIFY(root.mkpath(QStringLiteral("Zorlane/Test")));
    QFile ppd(root.filePath(QStringLiteral("ppd/Test.ppd")));
    QVERIFY(ppd.open(QIODevice::WriteOnly));
    ppd.write("*PPD-Adobe: \"4.3\"\n"
              "*%INKS K,LK,C\n"
              "*OpenUI *PageSize/Page Size: PickOne\n"
              "*DefaultPageSize: Letter\n"
              "*PageSize Letter/Letter: \"\"\n"
              "*CloseUI: *PageSize\n"
              "*PaperDimension Letter/Letter: \"612 792\"\n"
              "*ImageableArea Letter/Letter: \"9 9 603 783\"\n"
              "*OpenUI *Resolution/Resolution: PickOne\n"
              "*Resolution 720dpi/720 dpi: \"\"\n"
              "*CloseUI: *Resolution\n"
              "*OpenUI *StpDither/Dither: PickOne\n"
              "*StpDither Ordered/Ordered: \"\"\n"
              "*CloseUI: *StpDither\n"
              "*OpenUI *RipCurve1/Curve 1: PickOne\n"
              "*RipCurve1 ZorNeutral/Built-in Neutral: \"\"\n"
              "*CloseUI: *RipCurve1\n"
              "*OpenUI *RipCurve2/Curve 2: PickOne\n"
              "*RipCurve2 ZorNeutral/Built-in Neutral: \"\"\n"
              "*CloseUI: *RipCurve2\n");
    ppd.close();
    writeCurve(QStringLiteral("Dark"), curveFile(TestInks, dark));
    // Another channel order: the curve is laid onto the inks by name.
    writeCurve(QStringLiteral("Light"), curveFile({"C", "K", "LK"}, light));
}

void TestInkforge::writeCurve(const QString &name, const QByteArray &content) const
{
    QFile file(m_install.filePath(QStringLiteral("Zorlane/Test/%1.zorl").arg(name)));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

ToolRun TestInkforge::forge(const QString &parameters, const QByteArray &raster,
                            const QStringList &prefix) const
{
    return runTool(QStringLiteral(INKFORGE_PATH), prefix + QStringList{parameters},
                   m_install.path(), raster);
}

void TestInkforge::answersVersion()
{
    const ToolRun run = runTool(QStringLiteral(INKFORGE_PATH), {"--version"}, m_install.path());
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    const QString first = QString::fromUtf8(run.out).section(QLatin1Char('\n'), 0, 0);
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d+, \\d+, \\d+, \\d+$")).match(first).hasMatch(),
             qPrintable(first));
}

void TestInkforge::blendsTheTwoCurves_data()
{
    QTest::addColumn<QString>("changes");
    QTest::addColumn<double>("share"); // of curve 1

    QTest::newRow("all curve 1") << "ripBlend=100" << 1.0;
    QTest::newRow("all curve 2") << "ripBlend=0" << 0.0;
    QTest::newRow("a quarter curve 1") << "ripBlend=25" << 0.25;
    QTest::newRow("decimal comma") << "ripBlend=62,5" << 0.625;
    QTest::newRow("curve named in another case")
        << "ripCurve1=dark ripCurve2=LIGHT ripBlend=40" << 0.4;
}

void TestInkforge::blendsTheTwoCurves()
{
    QFETCH(QString, changes);
    QFETCH(double, share);
    const ToolRun run = forge(params(changes), levelRamp());
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    const auto data = parsePrinterData(run.out);
    QVERIFY(data);
    QCOMPARE(data->channels, TestInks);
    for (int c = 0; c < TestInks.size(); ++c)
        for (int level = 0; level < 256; ++level) {
            const double wanted =
                share * dark(TestInks[c], level) + (1 - share) * light(TestInks[c], level);
            QVERIFY2(std::abs(data->ink(c, level, 0) - wanted) <= 1,
                     qPrintable(QStringLiteral("%1 at level %2: %3, expected %4")
                                    .arg(TestInks[c])
                                    .arg(level)
                                    .arg(data->ink(c, level, 0))
                                    .arg(wanted)));
        }
}

void TestInkforge::builtInCurveIsNeutralBlack()
{
    const ToolRun run =
        forge(params("ripCurve1=ZorNeutral ripCurve2=ZorNeutral ripBlend=70"), levelRamp());
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    const auto data = parsePrinterData(run.out);
    QVERIFY(data);
    for (int level = 0; level < 256; ++level) {
        QCOMPARE(data->ink(0, level, 0), uint16_t(level * 257));
        QCOMPARE(data->ink(1, level, 0), uint16_t(0));
        QCOMPARE(data->ink(2, level, 0), uint16_t(0));
    }
}

void TestInkforge::rampGivesInkThatNeverFalls_data()
{
    QTest::addColumn<QString>("changes");
    QTest::newRow("plain") << "ripBlend=50";
    QTest::newRow("gamma 15") << "ripBlend=50 ripGamma=15";
    QTest::newRow("gamma m15") << "ripBlend=50 ripGamma=m15";
    QTest::newRow("limit 50") << "ripBlend=30 ripLimit=50";
    QTest::newRow("limit m50") << "ripBlend=30 ripLimit=m50";
    QTest::newRow("gamma m7, limit m20") << "ripBlend=80 ripGamma=m7 ripLimit=m20";
    QTest::newRow("gamma 9, limit 33") << "ripBlend=0 ripGamma=9 ripLimit=33";
}

void TestInkforge::rampGivesInkThatNeverFalls()
{
    QFETCH(QString, changes);
    const int width = 1500;
    const ToolRun run = forge(params(changes), fineRamp(width));
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    const auto data = parsePrinterData(run.out);
    QVERIFY(data);
    for (int c = 0; c < data->channels.size(); ++c) {
        QCOMPARE(data->ink(c, 0, 0), uint16_t(0)); // paper white takes no ink
        for (int x = 1; x < width; ++x)
            QVERIFY2(data->ink(c, x, 0) >= data->ink(c, x - 1, 0),
                     qPrintable(QStringLiteral("%1 falls at %2").arg(data->channels[c]).arg(x)));
    }
    QVERIFY(data->ink(0, width - 1, 0) > data->ink(0, width / 2, 0));
}

void TestInkforge::gammaMovesTheMidtones()
{
    QMap<int, uint16_t> mid, end;
    for (const QString gamma : {"m15", "0", "15"}) {
        const ToolRun run = forge(params("ripGamma=" + gamma), levelRamp());
        QVERIFY2(run.succeeded(), qPrintable(run.describe()));
        const auto data = parsePrinterData(run.out);
        QVERIFY(data);
        const int g = gamma.startsWith(u'm') ? -gamma.mid(1).toInt() : gamma.toInt();
        mid[g] = data->ink(0, 128, 0);
        end[g] = data->ink(0, 255, 0);
        QCOMPARE(data->ink(0, 0, 0), uint16_t(0));
        // Darkness d gives the curve at level 255 d ^ (2 ^ (-gamma / 15)).
        const double level = 255 * std::pow(64 / 255.0, std::exp2(-g / 15.0));
        QVERIFY(std::abs(data->ink(0, 64, 0) - level * 257) <= 1);
    }
    QVERIFY(mid[-15] < mid[0]);
    QVERIFY(mid[0] < mid[15]);
    QCOMPARE(end[-15], uint16_t(65535));
    QCOMPARE(end[15], uint16_t(65535));
}

void TestInkforge::limitActsOnTheShadowsOnly()
{
    std::optional<PrinterData> plain, less, more;
    for (const QString limit : {"0", "m50", "50"}) {
        const ToolRun run = forge(params("ripLimit=" + limit), levelRamp());
        QVERIFY2(run.succeeded(), qPrintable(run.describe()));
        (limit == "0" ? plain : limit == "m50" ? less : more) = parsePrinterData(run.out);
    }
    QVERIFY(plain && less && more);
    for (int level = 0; level <= 127; ++level) {
        QCOMPARE(less->ink(0, level, 0), plain->ink(0, level, 0));
        QCOMPARE(more->ink(0, level, 0), plain->ink(0, level, 0));
    }
    // Half the limit away, full black stops three quarters up the curve...
    QVERIFY(std::abs(less->ink(0, 255, 0) - 0.75 * 65535) <= 1);
    QVERIFY(less->ink(0, 200, 0) < plain->ink(0, 200, 0));
    // ...and half as much again reaches the curve's end before full black.
    QVERIFY(more->ink(0, 200, 0) > plain->ink(0, 200, 0));
    QCOMPARE(more->ink(0, 230, 0), uint16_t(65535));
}

void TestInkforge::calibrationDrivesTheInksStraight()
{
    const ToolRun run = forge(params("ColorModel=ZorCal ripBlend=30"), levelRamp());
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    const auto data = parsePrinterData(run.out);
    QVERIFY(data);
    QCOMPARE(data->header.value("ColorModel"), QStringLiteral("ZorCal"));
    for (int c = 0; c < data->channels.size(); ++c)
        for (int level = 0; level < 256; ++level)
            QCOMPARE(data->ink(c, level, 0), uint16_t(level * 257));
}

void TestInkforge::headerDescribesTheData()
{
    std::vector<uint16_t> samples(5 * 3, 30000);
    const ToolRun run = forge(params("ripBlend=60 ripGamma=m4 ripLimit=5"),
                              makePgm(5, 3, samples, "resolution 150 dpi"), {"gui", "0", "0", "3"});
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    const auto data = parsePrinterData(run.out);
    QVERIFY(data);
    const QStringList order = {
        "Model",      "Copies",   "PageSize", "Resolution", "Dither",
        "ColorModel", "Curve1",   "Curve2",   "Blend",      "Gamma",
        "Limit",      "Channels", "Width",    "Height",     "RasterResolution",
        "Layout",     "DataBytes"};
    QCOMPARE(data->keys, order);
    QCOMPARE(data->header.value("Model"), QStringLiteral("Test"));
    QCOMPARE(data->header.value("Copies"), QStringLiteral("3"));
    QCOMPARE(data->header.value("Curve1"), QStringLiteral("Dark"));
    QCOMPARE(data->header.value("Blend"), QStringLiteral("60"));
    QCOMPARE(data->header.value("Gamma"), QStringLiteral("-4"));
    QCOMPARE(data->header.value("Limit"), QStringLiteral("5"));
    QCOMPARE(data->width, 5);
    QCOMPARE(data->height, 3);
    QCOMPARE(data->header.value("RasterResolution"), QStringLiteral("150"));
    QCOMPARE(data->header.value("DataBytes").toLongLong(), qint64(data->data.size()));
    // Every pixel the same grey, every row the same.
    for (int c = 0; c < 3; ++c)
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                QCOMPARE(data->ink(c, x, y), data->ink(c, 0, 0));
}

void TestInkforge::demoModelPrintsWithItsInks()
{
    QFile warm(QStringLiteral(DIRIDU_DEMO_INSTALL "/Zorlane/ZorlR2400/Warm.zorl"));
    QVERIFY(warm.open(QIODevice::ReadOnly));
    QList<int> values;
    for (const QByteArray &line : warm.readAll().split('\n'))
        if (!line.trimmed().isEmpty() && !line.startsWith('#'))
            values.append(line.trimmed().toInt());
    QCOMPARE(values.size(), 8 * 256);

    const QString parameters = QStringLiteral(
        "PPD=ZorlR2400.ppd PRINTER=ZorlR2400 MediaType=Luster InputSlot=Sheet Pagesize=Letter "
        "Resolution=1440x720dpi RipSpeed=Uni ColorModel=ZorRIP ripCurve1=Warm ripCurve2=ZorNeutral "
        "ripBlend=100 stpDither=Ordered RipBlack=PK ripGamma=0 ripLimit=0");
    const ToolRun run = runTool(QStringLiteral(INKFORGE_PATH), {"gui", "0", "0", "1", parameters},
                                QStringLiteral(DIRIDU_DEMO_INSTALL), levelRamp());
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    QVERIFY2(run.err.isEmpty(), run.err.constData());
    const auto data = parsePrinterData(run.out);
    QVERIFY(data);
    QCOMPARE(data->channels, QStringList({"K", "C", "M", "Y", "LC", "LM", "LK", "LLK"}));
    QCOMPARE(data->header.value("InputSlot"), QStringLiteral("Sheet"));
    QCOMPARE(data->header.value("Speed"), QStringLiteral("Uni"));
    QCOMPARE(data->header.value("Black"), QStringLiteral("PK"));
    for (int c = 0; c < 8; ++c)
        for (int level = 0; level < 256; ++level)
            QCOMPARE(int(data->ink(c, level, 0)), values[c * 256 + level]);
}

void TestInkforge::groupsTheModelLacksOnlyWarn()
{
    // The front end sends a previous model's media for a model without media types.
    const ToolRun run = forge(params("MediaType=Luster RipSpeed=Uni"), levelRamp());
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    QCOMPARE(run.errLines().size(), 2);
    for (const QString &line : run.errLines())
        QVERIFY2(line.startsWith(QLatin1String("Warning: ")), qPrintable(line));
}

void TestInkforge::rejectsBadArguments_data()
{
    QTest::addColumn<QStringList>("prefix");
    QTest::addColumn<QString>("parameters");
    QTest::addColumn<QString>("message");

    const QStringList gui = {"gui", "0", "0", "1"};
    QTest::newRow("unknown curve") << gui << params("ripCurve2=Sepia") << "Zorlane/Test/Sepia.zorl";
    QTest::newRow("curve outside the folder")
        << gui << params("ripCurve1=../Test/Dark") << "ripCurve1";
    QTest::newRow("blend above 100") << gui << params("ripBlend=101") << "ripBlend=101";
    QTest::newRow("blend below 0") << gui << params("ripBlend=-1") << "ripBlend=-1";
    QTest::newRow("blend not a number") << gui << params("ripBlend=half") << "ripBlend=half";
    QTest::newRow("gamma m16") << gui << params("ripGamma=m16") << "ripGamma=m16";
    QTest::newRow("gamma 16") << gui << params("ripGamma=16") << "ripGamma=16";
    QTest::newRow("gamma with a minus") << gui << params("ripGamma=-3") << "ripGamma=-3";
    QTest::newRow("limit 51") << gui << params("ripLimit=51") << "ripLimit=51";
    QTest::newRow("limit m51") << gui << params("ripLimit=m51") << "ripLimit=m51";
    QTest::newRow("unknown dither") << gui << params("stpDither=Random") << "stpDither=Random";
    QTest::newRow("unknown resolution")
        << gui << params("Resolution=300dpi") << "Resolution=300dpi";
    QTest::newRow("unknown page size") << gui << params("Pagesize=A4") << "Pagesize=A4";
    QTest::newRow("custom size on a model without")
        << gui << params("Pagesize=Custom.5x7in") << "no custom page size";
    QTest::newRow("unknown colour model") << gui << params("ColorModel=CMYK") << "ColorModel=CMYK";
    QTest::newRow("no second curve") << gui << params("-ripCurve2") << "ripCurve2";
    QTest::newRow("no dither") << gui << params("-stpDither") << "stpDither";
    QTest::newRow("no gamma") << gui << params("-ripGamma") << "ripGamma";
    QTest::newRow("unknown model")
        << gui << params("PPD=Other.ppd PRINTER=Other") << "ppd/Other.ppd";
    QTest::newRow("copies 0") << QStringList{"gui", "0", "0", "0"} << params() << "copy count";
    QTest::newRow("prefix missing") << QStringList() << params() << "prefix";
    QTest::newRow("an image path too") << gui << params() + "\" \"/tmp/pier.tif"
                                       << "got 2 arguments";
}

void TestInkforge::rejectsBadArguments()
{
    QFETCH(QStringList, prefix);
    QFETCH(QString, parameters);
    QFETCH(QString, message);
    QStringList args = prefix;
    // A row may carry a further argument after a quote pair, as a command line would.
    args += parameters.split(QStringLiteral("\" \""));
    const ToolRun run = runTool(QStringLiteral(INKFORGE_PATH), args, m_install.path(), levelRamp());
    QVERIFY2(run.failedCleanly(), qPrintable(run.describe()));
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.errorLines().join(u'\n').contains(message), qPrintable(run.describe()));
}

void TestInkforge::rejectsDamagedRasters_data()
{
    QTest::addColumn<QByteArray>("raster");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing") << QByteArray() << "no page raster";
    QTest::newRow("ASCII PGM") << QByteArray("P2 2 1 255 0 255\n") << "P5";
    QTest::newRow("PPM") << QByteArray("P6 1 1 255\nabc") << "P5";
    QTest::newRow("no width") << QByteArray("P5\n") << "header";
    QTest::newRow("zero width") << QByteArray("P5 0 10 255\n") << "size";
    QTest::newRow("far too wide") << QByteArray("P5 2000000 1 255\n") << "size";
    QTest::newRow("number too long") << QByteArray("P5 99999999999 1 255\n") << "too long";
    QTest::newRow("maxval too large") << QByteArray("P5 1 1 70000\nab") << "maxval";
    QTest::newRow("maxval zero") << QByteArray("P5 1 1 0\na") << "maxval";
    QTest::newRow("comment without end") << QByteArray("P5 # resolution 150 dpi") << "header";
    QTest::newRow("rows missing") << QByteArray("P5 10 10 65535\n") + QByteArray(50, 'x')
                                  << "ends after 2 of 10 rows";
}

void TestInkforge::rejectsDamagedRasters()
{
    QFETCH(QByteArray, raster);
    QFETCH(QString, message);
    const ToolRun run = forge(params(), raster);
    QVERIFY2(run.failedCleanly(), qPrintable(run.describe()));
    QVERIFY2(run.errorLines().join(u'\n').contains(message), qPrintable(run.describe()));
}

void TestInkforge::rejectsDamagedCurveFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");

    const QByteArray good = curveFile(TestInks, dark);
    QTest::newRow("empty") << QByteArray() << "channels";
    QTest::newRow("no channel list") << QByteArray("# ZORLANE\n1\n2\n") << "channels";
    QTest::newRow("nine channels")
        << QByteArray("# ZORLANE K,C,M,Y,LC,LM,LK,LLK,GL\n") << "more than 8";
    QTest::newRow("a channel name of digits") << QByteArray("# ZORLANE K,12\n") << "\"12\"";
    QTest::newRow("values missing") << good.left(good.size() / 2) << "768 needed";
    QTest::newRow("amount too large")
        << QByteArray(good).replace("\n257\n", "\n70000\n") << "70000";
    QTest::newRow("negative amount") << QByteArray(good).replace("\n257\n", "\n-5\n") << "-5";
    QTest::newRow("not a number") << QByteArray(good).replace("\n257\n", "\n25x\n") << "25x";
    QTest::newRow("too large a file") << QByteArray(2 * 1024 * 1024, '#') << "larger than";
    QByteArray noise(4000, '\0');
    QRandomGenerator random(5);
    for (char &c : noise)
        c = char(random.bounded(256));
    QTest::newRow("noise") << noise << "Broken.zorl";
}

void TestInkforge::rejectsDamagedCurveFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    writeCurve(QStringLiteral("Broken"), content);
    const ToolRun run = forge(params("ripCurve2=Broken"), levelRamp());
    QVERIFY2(run.failedCleanly(), qPrintable(run.describe()));
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.errorLines().join(u'\n').contains(message), qPrintable(run.describe()));
}

void TestInkforge::randomRastersNeverCrash()
{
    QRandomGenerator random(99);
    for (int i = 0; i < 40; ++i) {
        QByteArray raster = i % 2 ? QByteArray("P5 ") : QByteArray();
        const int size = int(random.bounded(300));
        for (int b = 0; b < size; ++b)
            raster.append(
                char(i % 4 == 1 ? "0123456789 #\n"[random.bounded(13)] : random.bounded(256)));
        const ToolRun run = forge(params(), raster);
        QVERIFY2(run.succeeded() || run.failedCleanly(),
                 qPrintable(QStringLiteral("raster %1: %2").arg(i).arg(run.describe())));
    }
}

QTEST_GUILESS_MAIN(TestInkforge)
#include "tst_inkforge.moc"
