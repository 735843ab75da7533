#include "CurveFile.h"
#include "CurvewrightRun.h"
#include "InkDescription.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <cmath>

// Curvewright run as the front end runs it, on the demo descriptions and on descriptions
// the test writes, in an installation of the test's own.
class TestCurvewright : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void answersVersion();
    void demoHasDescriptions();
    void demoDescriptionsAreTheEditorsText_data();
    void demoDescriptionsAreTheEditorsText();
    void makesSoundCurves_data();
    void makesSoundCurves();
    void refusesWhatItCannotUse_data();
    void refusesWhatItCannotUse();
    void pointListRunsThroughItsPoints_data();
    void pointListRunsThroughItsPoints();
    void loadsCurveFileBesideDescription();
    void blackBoostHoldsBackK_data();
    void blackBoostHoldsBackK();
    void limitsScaleTheirInk_data();
    void limitsScaleTheirInk();
    void copyFollowsItsSource();
    void linearizationLightensTooDarkPrint();
    void graphOutputOnlyWithLinearization();
    void replacesCurveOfOtherLetterCase();
    void curveIsNamedAfterTheFile_data();
    void curveIsNamedAfterTheFile();

private:
    InkDescription newDescription(const QString &model) const;
    // Writes description to Curvewright/<name>.zidf, runs the tool and reads the curve.
    ToolRun make(const InkDescription &description, const QString &name,
                 std::optional<InkCurve> &curve) const;
    std::optional<InkCurve> readCurve(const QString &model, const QString &name) const;

    CurvewrightInstall m_install;
};

namespace {

const QLocale Plain = QLocale::c();

// The amount an ink's limit allows, as the tool rounds it.
int limitAmount(double percent)
{
    return int(std::lround(percent / 100.0 * 65535.0));
}

double limitOf(const InkDescription &d, int slot)
{
    const QString own = d.inkSlots[size_t(slot)].limit.trimmed();
    const QString text = own.isEmpty() ? d.defaultInkLimit.trimmed() : own;
    return text.isEmpty() ? 100.0 : text.toDouble();
}

bool nonDecreasing(const CurveChannel &channel)
{
    return std::is_sorted(channel.begin(), channel.end());
}

// The channels a model's description makes, checked against what the description asks.
void verifyCurve(const InkCurve &curve, const InkDescription &d)
{
    QStringList inks;
    for (int k = 0; k < d.inkCount; ++k)
        inks.append(d.inkSlots[size_t(k)].ink);
    QCOMPARE(curve.channels, inks);
    QCOMPARE(curve.values.size(), size_t(d.inkCount));
    for (int k = 0; k < d.inkCount; ++k) {
        const CurveChannel &channel = curve.values[size_t(k)];
        const QString ink = inks[k];
        QVERIFY2(nonDecreasing(channel), qPrintable(ink));
        QVERIFY2(*std::max_element(channel.begin(), channel.end()) <= limitAmount(limitOf(d, k)),
                 qPrintable(ink));
        if (d.inkSlots[size_t(k)].use == InkUse::NotUsed)
            QVERIFY2(std::all_of(channel.begin(), channel.end(), [](quint16 v) { return v == 0; }),
                     qPrintable(ink));
        else if (d.inkSlots[size_t(k)].use == InkUse::GrayInk && limitOf(d, k) > 0)
            QVERIFY2(channel[0] == 0 && channel[255] == limitAmount(limitOf(d, k)),
                     qPrintable(ink));
    }
}

QByteArray minimalDescription(const QByteArray &model, const QByteArray &extra)
{
    return "PRINTER=" + model + "\r\nGRAY_INK_1=K\r\nGRAY_VAL_1=100\r\n" + extra;
}

const CurveChannel &channelOf(const InkCurve &curve, const QString &ink)
{
    return curve.values[size_t(curve.channels.indexOf(ink))];
}

} // namespace

void TestCurvewright::initTestCase()
{
    QVERIFY2(QFile::exists(QStringLiteral(CURVEWRIGHT_PATH)), CURVEWRIGHT_PATH);
    QVERIFY(m_install.setUp());
    // A model without a curve folder, and one whose PPD names no ink set.
    QFile ppd(m_install.filePath(QStringLiteral("ppd/Zorl1160.ppd")));
    QVERIFY(ppd.open(QIODevice::ReadOnly));
    const QByteArray text = ppd.readAll();
    QVERIFY(m_install.write(QStringLiteral("ppd/Orphan.ppd"), text));
    QByteArray withoutInks = text;
    withoutInks.replace("*%INKS", "*%NOINKS");
    QVERIFY(m_install.write(QStringLiteral("ppd/NoInks.ppd"), withoutInks));
    QVERIFY(QDir(m_install.path()).mkpath(QStringLiteral("Zorlane/NoInks")));
}

InkDescription TestCurvewright::newDescription(const QString &model) const
{
    return newInkDescription(model, readModelInkSet(m_install.path() + u'/', model),
                             QStringLiteral("100"));
}

std::optional<InkCurve> TestCurvewright::readCurve(const QString &model, const QString &name) const
{
    QFile file(m_install.filePath(QStringLiteral("Zorlane/%1/%2.zorl").arg(model, name)));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QString error, warning;
    auto curve = parseCurveFile(file.readAll(), error, warning);
    if (!error.isEmpty() || !warning.isEmpty())
        qWarning() << error << warning;
    return curve;
}

ToolRun TestCurvewright::make(const InkDescription &description, const QString &name,
                              std::optional<InkCurve> &curve) const
{
    const QString path = m_install.filePath(QStringLiteral("Curvewright/%1.zidf").arg(name));
    writeInkDescriptionFile(description, path, Plain);
    const ToolRun run = m_install.run(path);
    curve = readCurve(description.printer, name);
    return run;
}

void TestCurvewright::answersVersion()
{
    const ToolRun run = runTool(QStringLiteral(CURVEWRIGHT_PATH), {"--version"}, m_install.path());
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    const QStringList lines = QString::fromUtf8(run.out).split(u'\n');
    QVERIFY(QRegularExpression(QStringLiteral("^\\d+, \\d+, \\d+, \\d+$"))
                .match(lines.first())
                .hasMatch());
    QVERIFY(lines.value(1).contains(QLatin1String("Curvewright")));
}

void TestCurvewright::demoHasDescriptions()
{
    QStringList models;
    const QDir folder(m_install.filePath(QStringLiteral("Curvewright")));
    for (const QString &name : folder.entryList({QStringLiteral("*.zidf")})) {
        InkDescription d;
        readInkDescriptionFile(
            folder.filePath(name), d, m_install.models(),
            [&](const QString &m) { return readModelInkSet(m_install.path() + u'/', m); }, Plain);
        models.append(d.printer);
    }
    models.removeDuplicates();
    QVERIFY2(models.size() >= 3, qPrintable(models.join(u' ')));
}

void TestCurvewright::demoDescriptionsAreTheEditorsText_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : QDir(QStringLiteral(DIRIDU_DEMO_INSTALL "/Curvewright"))
                                   .entryList({QStringLiteral("*.zidf")}))
        QTest::newRow(qPrintable(name)) << name;
}

void TestCurvewright::demoDescriptionsAreTheEditorsText()
{
    QFETCH(QString, name);
    const QString path = m_install.filePath(QStringLiteral("Curvewright/") + name);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    InkDescription d;
    const InkDescriptionLoad load = readInkDescription(
        text, d, m_install.models(),
        [&](const QString &m) { return readModelInkSet(m_install.path() + u'/', m); }, Plain);
    QVERIFY2(load.errors.isEmpty(), qPrintable(load.errors.join(u'\n')));
    QVERIFY(load.unchanged);
    QCOMPARE(inkDescriptionText(d, path, Plain), text);
}

void TestCurvewright::makesSoundCurves_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("descriptionFile"); // empty: one the test writes
    for (const QString &name : QDir(QStringLiteral(DIRIDU_DEMO_INSTALL "/Curvewright"))
                                   .entryList({QStringLiteral("*.zidf")}))
        QTest::newRow(qPrintable(QStringLiteral("demo ") + name)) << QString() << name;
    for (const QString &model :
         QDir(QStringLiteral(DIRIDU_DEMO_INSTALL "/ppd")).entryList({QStringLiteral("*.ppd")}))
        QTest::newRow(qPrintable(model)) << QFileInfo(model).completeBaseName() << QString();
}

void TestCurvewright::makesSoundCurves()
{
    QFETCH(QString, model);
    QFETCH(QString, descriptionFile);
    InkDescription d;
    QString name = QFileInfo(descriptionFile).completeBaseName();
    QString path = m_install.filePath(QStringLiteral("Curvewright/") + descriptionFile);
    if (descriptionFile.isEmpty()) {
        // Every gray ink the model has, darkest first by slot order of the known blacks, the
        // first colour as toner, the second as toner 2, the rest unused.
        d = newDescription(model);
        const QStringList grays = {"K", "MK", "PK", "LK", "LLK"};
        const QStringList densities = {"100", "100", "95", "40", "15"};
        int colours = 0;
        for (int k = 0; k < d.inkCount; ++k) {
            InkSlot &slot = d.inkSlots[size_t(k)];
            const qsizetype gray = grays.indexOf(slot.ink);
            slot.use = gray >= 0 ? InkUse::GrayInk : InkUse::NotUsed;
            slot.density = gray >= 0 ? densities[gray] : QString();
            if (gray < 0 && colours < 2) {
                slot.use = colours++ == 0 ? InkUse::Toner : InkUse::Toner2;
                slot.density = QStringLiteral("30");
                slot.limit = QStringLiteral("10");
            }
        }
        d.defaultInkLimit = QStringLiteral("90");
        name = QStringLiteral("Sound ") + model;
        path = m_install.filePath(QStringLiteral("Curvewright/%1.zidf").arg(name));
        writeInkDescriptionFile(d, path, Plain);
    } else {
        readInkDescriptionFile(
            path, d, m_install.models(),
            [&](const QString &m) { return readModelInkSet(m_install.path() + u'/', m); }, Plain);
    }
    const ToolRun run = m_install.run(path);
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    QVERIFY2(run.err.contains("Gray inks"), run.err.constData());
    const auto curve = readCurve(d.printer, name);
    QVERIFY(curve);
    verifyCurve(*curve, d);
}

void TestCurvewright::refusesWhatItCannotUse_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content"); // nothing written when empty
    QTest::addColumn<QString>("message");    // part of an ERROR line

    QByteArray binary(4096, 0);
    QRandomGenerator random(7);
    for (char &c : binary)
        c = char(random.bounded(256));
    const QByteArray cmyk = "Zorl1160";
    QTest::newRow("missing file") << "Curvewright/None.zidf" << QByteArray() << "cannot read";
    QTest::newRow("folder as file") << "Curvewright" << QByteArray() << "cannot read";
    QTest::newRow("binary") << "Curvewright/Binary.zidf" << binary << "";
    QTest::newRow("huge") << "Curvewright/Huge.zidf" << QByteArray(2 * 1024 * 1024, 'A')
                          << "larger than";
    QTest::newRow("no printer") << "Curvewright/NoPrinter.zidf"
                                << QByteArray("GRAY_INK_1=K\r\nGRAY_VAL_1=100\r\n") << "no PRINTER";
    QTest::newRow("unknown printer")
        << "Curvewright/Unknown.zidf" << minimalDescription("NoSuchModel", "") << "NoSuchModel";
    QTest::newRow("no curve folder")
        << "Curvewright/Orphan.zidf" << minimalDescription("Orphan", "") << "Zorlane/Orphan/";
    QTest::newRow("no ink set") << "Curvewright/NoInks.zidf" << minimalDescription("NoInks", "")
                                << "*%INKS";
    QTest::newRow("unknown key") << "Curvewright/Key.zidf"
                                 << minimalDescription(cmyk, "GRAY_GAMA=2\r\n") << "GRAY_GAMA";
    QTest::newRow("ink of another model")
        << "Curvewright/Ink.zidf" << minimalDescription(cmyk, "LIMIT_LC=50\r\n") << "LIMIT_LC";
    QTest::newRow("curve file missing")
        << "Curvewright/Missing.zidf" << minimalDescription(cmyk, "CURVE_C=nowhere.zorl\r\n")
        << "nowhere.zorl";
    QTest::newRow("curve file damaged")
        << "Curvewright/Damaged.zidf" << minimalDescription(cmyk, "CURVE_C=Damaged.zorl\r\n")
        << "Damaged.zorl";
    QTest::newRow("copy loop") << "Curvewright/Loop.zidf"
                               << minimalDescription(cmyk, "COPY_CURVE_C=M\r\nCOPY_CURVE_M=C\r\n")
                               << "loop";
    QTest::newRow("copy of unknown ink")
        << "Curvewright/Copy.zidf" << minimalDescription(cmyk, "COPY_CURVE_C=LK\r\n") << "LK";
    QTest::newRow("gray without density")
        << "Curvewright/Density.zidf" << minimalDescription(cmyk, "GRAY_INK_2=C\r\n")
        << "without density";
    QTest::newRow("not a number") << "Curvewright/Gamma.zidf"
                                  << minimalDescription(cmyk, "GRAY_GAMMA=abc\r\n") << "abc";
    QTest::newRow("bad point list")
        << "Curvewright/Points.zidf" << minimalDescription(cmyk, "CURVE_C=\"0;0 50\"\r\n")
        << "point list";
    QTest::newRow("bad linearization")
        << "Curvewright/Lin.zidf" << minimalDescription(cmyk, "LINEARIZE=\"10 2a \"\r\n")
        << "LINEARIZE";
}

void TestCurvewright::refusesWhatItCannotUse()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QVERIFY(m_install.write(QStringLiteral("Curvewright/Damaged.zorl"), "# ZORLANE K\n1\n2\n"));
    if (!content.isEmpty())
        QVERIFY(m_install.write(file, content));
    const QStringList before = m_install.curveFiles();
    const ToolRun run = m_install.run(m_install.filePath(file));
    QVERIFY2(run.failedCleanly(), qPrintable(run.describe()));
    QVERIFY2(run.errorLines().join(u'\n').contains(message), qPrintable(run.describe()));
    QCOMPARE(m_install.curveFiles(), before);
    QVERIFY(!QFile::exists(m_install.filePath(QStringLiteral("Escape.zorl"))));
}

void TestCurvewright::pointListRunsThroughItsPoints_data()
{
    QTest::addColumn<QString>("points");
    // Inputs at multiples of 20 lie exactly on levels (20 % of 255 is level 51).
    QTest::newRow("straight") << "0;0 100;100 ";
    QTest::newRow("s-shaped") << "0;0 20;10 40;30 60;70 80;90 100;100 ";
    QTest::newRow("flat middle") << "0;0 20;50 60;50 100;100 ";
    QTest::newRow("steep step") << "0;0 40;2 60;98 100;100 ";
    QTest::newRow("unsorted, late start") << "100;80 20;10 60;40 ";
}

void TestCurvewright::pointListRunsThroughItsPoints()
{
    QFETCH(QString, points);
    InkDescription d = newDescription(QStringLiteral("Zorl1160"));
    d.inkSlots[0].use = InkUse::LoadCurve;
    d.inkSlots[0].curveSource = CurveSource::PointList;
    d.inkSlots[0].curveData = points;
    std::optional<InkCurve> curve;
    const ToolRun run = make(d, QStringLiteral("Points"), curve);
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    QVERIFY(curve);
    const CurveChannel &k = channelOf(*curve, QStringLiteral("K"));
    QVERIFY(nonDecreasing(k));

    QList<QPair<int, int>> known; // level, amount
    const QStringList pairs = points.split(u' ', Qt::SkipEmptyParts);
    for (const QString &pair : pairs)
        known.append({pair.section(u';', 0, 0).toInt() * 255 / 100,
                      limitAmount(pair.section(u';', 1, 1).toDouble())});
    std::sort(known.begin(), known.end());
    for (const auto &[level, amount] : std::as_const(known))
        QVERIFY2(std::abs(k[size_t(level)] - amount) <= 1, qPrintable(QString::number(level)));
    // Between two points the curve stays between their outputs; flat outside them.
    for (qsizetype i = 0; i + 1 < known.size(); ++i) {
        for (int level = known[i].first; level <= known[i + 1].first; ++level)
            QVERIFY(k[size_t(level)] + 1 >= known[i].second &&
                    k[size_t(level)] <= known[i + 1].second + 1);
    }
    QCOMPARE(int(k[0]), int(k[size_t(known.first().first)]));
    QCOMPARE(int(k[255]), int(k[size_t(known.last().first)]));
}

void TestCurvewright::loadsCurveFileBesideDescription()
{
    QByteArray file = "# ZORLANE C,K\n";
    for (int ink = 0; ink < 2; ++ink) {
        for (int level = 0; level < 256; ++level)
            file += QByteArray::number(ink == 0 ? 100 : level * level) + '\n';
    }
    QVERIFY(m_install.write(QStringLiteral("Curvewright/Square.zorl"), file));
    InkDescription d = newDescription(QStringLiteral("Zorl1160"));
    d.inkSlots[0].use = InkUse::LoadCurve;
    d.inkSlots[0].curveSource = CurveSource::FileName;
    d.inkSlots[0].curveData = QStringLiteral("SQUARE.ZORL"); // written on a Windows machine
    std::optional<InkCurve> curve;
    const ToolRun run = make(d, QStringLiteral("Loaded"), curve);
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    QVERIFY(curve);
    for (int level = 0; level < 256; ++level)
        QCOMPARE(int(channelOf(*curve, QStringLiteral("K"))[size_t(level)]), level * level);
}

void TestCurvewright::blackBoostHoldsBackK_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("black");
    QTest::addColumn<QString>("gray");
    QTest::newRow("K") << "ZorlR2400"
                       << "K"
                       << "LK";
    QTest::newRow("matte black, model without K") << "ZorlR1800"
                                                  << "MK"
                                                  << "PK";
}

void TestCurvewright::blackBoostHoldsBackK()
{
    QFETCH(QString, model);
    QFETCH(QString, black);
    QFETCH(QString, gray);
    InkDescription d = newDescription(model);
    d.inkSlots[size_t(d.slotOf(gray))].use = InkUse::GrayInk;
    d.inkSlots[size_t(d.slotOf(gray))].density = QStringLiteral("40");
    QList<std::optional<InkCurve>> curves;
    for (const QString boost : {"100", "50", "0"}) {
        d.boostK = boost;
        std::optional<InkCurve> curve;
        const ToolRun run = make(d, QStringLiteral("Boost ") + boost, curve);
        QVERIFY2(run.succeeded(), qPrintable(run.describe()));
        QVERIFY(curve);
        curves.append(curve);
    }
    const CurveChannel &full = channelOf(*curves[0], black);
    const CurveChannel &half = channelOf(*curves[1], black);
    const CurveChannel &none = channelOf(*curves[2], black);
    QVERIFY(nonDecreasing(half));
    QCOMPARE(half[255], full[255]);
    QVERIFY(half[192] < full[192]);
    for (int level = 0; level < 256; ++level)
        QVERIFY(half[size_t(level)] <= full[size_t(level)]);
    QVERIFY(std::all_of(none.begin(), none.end(), [](quint16 v) { return v == 0; }));
    QCOMPARE(channelOf(*curves[1], gray), channelOf(*curves[0], gray));
}

void TestCurvewright::limitsScaleTheirInk_data()
{
    QTest::addColumn<QString>("ownLimit");     // of K
    QTest::addColumn<QString>("defaultLimit"); // for LK, whose limit is empty
    QTest::newRow("own limit") << "60"
                               << "";
    QTest::newRow("default limit") << ""
                                   << "70";
    QTest::newRow("both") << "35"
                          << "55";
    QTest::newRow("zero") << "0"
                          << "100";
}

void TestCurvewright::limitsScaleTheirInk()
{
    QFETCH(QString, ownLimit);
    QFETCH(QString, defaultLimit);
    InkDescription d = newDescription(QStringLiteral("ZorlR2400"));
    InkSlot &lk = d.inkSlots[size_t(d.slotOf(QStringLiteral("LK")))];
    lk.use = InkUse::GrayInk;
    lk.density = QStringLiteral("40");
    std::optional<InkCurve> unlimited;
    QVERIFY(make(d, QStringLiteral("Unlimited"), unlimited).succeeded());
    d.inkSlots[0].limit = ownLimit;
    d.defaultInkLimit = defaultLimit;
    std::optional<InkCurve> limited;
    const ToolRun run = make(d, QStringLiteral("Limited"), limited);
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    QVERIFY(limited && unlimited);
    verifyCurve(*limited, d);
    const double kLimit = limitOf(d, 0), lkLimit = limitOf(d, d.slotOf(QStringLiteral("LK")));
    for (const auto &[ink, limit] :
         {std::pair{QStringLiteral("K"), kLimit}, {QStringLiteral("LK"), lkLimit}}) {
        const CurveChannel &before = channelOf(*unlimited, ink);
        const CurveChannel &after = channelOf(*limited, ink);
        QCOMPARE(int(after[255]), limitAmount(limit));
        for (int level = 0; level < 256; ++level)
            QVERIFY(std::abs(after[size_t(level)] - before[size_t(level)] * limit / 100.0) <= 1.0);
    }
}

void TestCurvewright::copyFollowsItsSource()
{
    InkDescription d = newDescription(QStringLiteral("ZorlR2400"));
    for (const char *ink : {"LC", "LM"}) {
        InkSlot &slot = d.inkSlots[size_t(d.slotOf(QLatin1String(ink)))];
        slot.use = InkUse::CopyCurveFrom;
        slot.copySource = QStringLiteral("K");
    }
    d.inkSlots[size_t(d.slotOf(QStringLiteral("LM")))].limit = QStringLiteral("50");
    d.inkSlots[0].limit = QStringLiteral("80");
    d.defaultInkLimit = QStringLiteral("80");
    std::optional<InkCurve> curve;
    const ToolRun run = make(d, QStringLiteral("Copies"), curve);
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    QVERIFY(run.err.contains("LC copies K; LM copies K"));
    QVERIFY(curve);
    verifyCurve(*curve, d);
    const CurveChannel &k = channelOf(*curve, QStringLiteral("K"));
    QCOMPARE(channelOf(*curve, QStringLiteral("LC")), k);
    const CurveChannel &lm = channelOf(*curve, QStringLiteral("LM"));
    for (int level = 0; level < 256; ++level)
        QVERIFY(std::abs(lm[size_t(level)] - k[size_t(level)] * 50.0 / 80.0) <= 1.0);
}

void TestCurvewright::linearizationLightensTooDarkPrint()
{
    InkDescription d = newDescription(QStringLiteral("Zorl1160"));
    std::optional<InkCurve> plain;
    QVERIFY(make(d, QStringLiteral("Plain"), plain).succeeded());
    // Lightness of a print whose midtones came out too dark.
    for (int j = 0; j < LinearizationValueCount; ++j)
        d.linearization[size_t(j)] = QString::number(100.0 - 100.0 * std::sqrt(j / 54.0), 'f', 2);
    std::optional<InkCurve> corrected;
    const ToolRun run = make(d, QStringLiteral("Corrected"), corrected);
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    QVERIFY(plain && corrected);
    verifyCurve(*corrected, d);
    const CurveChannel &before = channelOf(*plain, QStringLiteral("K"));
    const CurveChannel &after = channelOf(*corrected, QStringLiteral("K"));
    QCOMPARE(after[0], before[0]);
    QCOMPARE(after[255], before[255]);
    for (int level : {32, 64, 128, 192})
        QVERIFY(after[size_t(level)] < before[size_t(level)]);
}

void TestCurvewright::graphOutputOnlyWithLinearization()
{
    InkDescription d = newDescription(QStringLiteral("Zorl2200"));
    std::optional<InkCurve> curve;
    ToolRun run = make(d, QStringLiteral("Graphs"), curve);
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    QVERIFY(!run.out.contains("LINEARIZE_CURVE"));
    d.linearization[0] = QStringLiteral("5");
    d.linearization[1] = QStringLiteral("60");
    d.linearization[2] = QStringLiteral("90");
    run = make(d, QStringLiteral("Graphs"), curve);
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    const QList<QByteArray> lines = run.out.split('\n');
    const qsizetype marker = lines.indexOf("LINEARIZE_CURVE");
    QVERIFY(marker >= 0);
    QCOMPARE(lines.mid(marker + 1, 256).size(), 256);
    QCOMPARE(lines[marker + 1], QByteArray("0 0"));
    QCOMPARE(lines[marker + 256], QByteArray("255 65535"));
}

void TestCurvewright::replacesCurveOfOtherLetterCase()
{
    QVERIFY(m_install.write(QStringLiteral("Zorlane/Zorl1160/case test.zorl"), "old"));
    InkDescription d = newDescription(QStringLiteral("Zorl1160"));
    std::optional<InkCurve> curve;
    const ToolRun run = make(d, QStringLiteral("Case Test"), curve);
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    QVERIFY(!curve); // not under the new spelling
    QVERIFY(readCurve(QStringLiteral("Zorl1160"), QStringLiteral("case test")));
}

void TestCurvewright::curveIsNamedAfterTheFile_data()
{
    QTest::addColumn<QByteArray>("curveNameLine");
    QTest::newRow("another description's name") << QByteArray("CURVE_NAME=Other Name\r\n");
    QTest::newRow("a path out of the folder") << QByteArray("CURVE_NAME=../../Escape\r\n");
}

// The front end looks for the curve under the description's file name; a stale CURVE_NAME
// (a copied or renamed file) must neither hide the curve nor replace another one.
void TestCurvewright::curveIsNamedAfterTheFile()
{
    QFETCH(QByteArray, curveNameLine);
    QVERIFY(m_install.write(QStringLiteral("Curvewright/Named.zidf"),
                            minimalDescription("Zorl1160", curveNameLine)));
    const ToolRun run = m_install.run(m_install.filePath(QStringLiteral("Curvewright/Named.zidf")));
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    QVERIFY(run.err.contains("Warning: CURVE_NAME="));
    QVERIFY(readCurve(QStringLiteral("Zorl1160"), QStringLiteral("Named")));
    QCOMPARE(QDir(m_install.filePath(QStringLiteral("Zorlane/Zorl1160")))
                 .entryList({QStringLiteral("Other*"), QStringLiteral("Escape*")}),
             QStringList());
    QVERIFY(!QFileInfo::exists(m_install.filePath(QStringLiteral("Escape.zorl"))));
}

QTEST_GUILESS_MAIN(TestCurvewright)
#include "tst_curvewright.moc"
