#include "CurveMethod.h"

#include <QTest>

#include <cmath>

// The method's pieces on numbers: the monotone interpolation, the linearization correction
// and the gray inks' spread.
class TestCurveMethod : public QObject
{
    Q_OBJECT

private slots:
    void interpolationNeverOvershoots_data();
    void interpolationNeverOvershoots();
    void correctionInvertsTheResponse_data();
    void correctionInvertsTheResponse();
    void grayInksFollowTheirDensity_data();
    void grayInksFollowTheirDensity();
    void shapesStayMonotone_data();
    void shapesStayMonotone();
};

namespace {

double position(int level)
{
    return level / 255.0;
}

CurvePlan grayPlan(const std::vector<std::pair<QString, double>> &grays)
{
    CurvePlan plan;
    for (const auto &[ink, density] : grays) {
        ChannelPlan channel;
        channel.ink = ink;
        channel.use = InkUse::GrayInk;
        channel.density = density;
        plan.channels.push_back(channel);
    }
    return plan;
}

// The first level at which the channel reaches its full amount.
int fullAt(const ::CurveChannel &channel)
{
    return int(std::find(channel.begin(), channel.end(), channel[255]) - channel.begin());
}

} // namespace

void TestCurveMethod::interpolationNeverOvershoots_data()
{
    QTest::addColumn<QList<QPointF>>("points");
    QTest::newRow("flat between rises") << QList<QPointF>{{0, 0}, {0.2, 0.5}, {0.6, 0.5}, {1, 1}};
    QTest::newRow("sharp step") << QList<QPointF>{{0, 0}, {0.49, 0.01}, {0.51, 0.99}, {1, 1}};
    QTest::newRow("one point") << QList<QPointF>{{0.3, 0.4}};
    QTest::newRow("falling output") << QList<QPointF>{{0, 0}, {0.4, 0.6}, {0.8, 0.2}, {1, 0.9}};
}

void TestCurveMethod::interpolationNeverOvershoots()
{
    QFETCH(QList<QPointF>, points);
    bool raised = false;
    const CurveFraction curve =
        monotoneCurveThrough(std::vector<QPointF>(points.begin(), points.end()), &raised);
    QVERIFY(std::is_sorted(curve.begin(), curve.end()));
    double highest = 0;
    for (const QPointF &p : points)
        highest = std::max(highest, p.y());
    QVERIFY(*std::max_element(curve.begin(), curve.end()) <= highest + 1e-12);
    bool falls = false;
    for (qsizetype i = 1; i < points.size(); ++i)
        falls = falls || points[i].y() < points[i - 1].y();
    QCOMPARE(raised, falls);
    // A flat stretch between two equal outputs stays flat.
    for (qsizetype i = 0; i + 1 < points.size(); ++i) {
        if (points[i].y() != points[i + 1].y())
            continue;
        for (int level = 0; level < CurveLevels; ++level) {
            if (position(level) >= points[i].x() && position(level) <= points[i + 1].x())
                QCOMPARE(curve[size_t(level)], points[i].y());
        }
    }
}

void TestCurveMethod::correctionInvertsTheResponse_data()
{
    QTest::addColumn<double>("exponent"); // the print's response: x^exponent
    QTest::addColumn<bool>("asLightness");
    QTest::newRow("too dark, density") << 0.5 << false;
    QTest::newRow("too dark, lightness") << 0.5 << true;
    QTest::newRow("too light, lightness") << 2.0 << true;
    QTest::newRow("straight") << 1.0 << false;
}

void TestCurveMethod::correctionInvertsTheResponse()
{
    QFETCH(double, exponent);
    QFETCH(bool, asLightness);
    std::vector<double> measured;
    for (int j = 0; j < LinearizationValueCount; ++j) {
        const double response = std::pow(j / 54.0, exponent);
        measured.push_back(asLightness ? 96.0 - 92.0 * response : 3.0 + 90.0 * response);
    }
    const std::optional<CurveFraction> correction = linearizationCorrection(measured);
    QVERIFY(correction);
    QVERIFY(std::is_sorted(correction->begin(), correction->end()));
    // Printing the corrected input gives the wanted tone; between the 55 steps the response
    // is taken as straight, which a steep response near paper white does not quite follow.
    for (int level = 30; level < CurveLevels; level += 15) {
        const double printed = std::pow((*correction)[size_t(level)], exponent);
        QVERIFY2(std::abs(printed - position(level)) < 0.02, qPrintable(QString::number(level)));
    }
    QVERIFY(!linearizationCorrection({50, 50, 50}));
    QVERIFY(!linearizationCorrection({50}));
}

void TestCurveMethod::grayInksFollowTheirDensity_data()
{
    QTest::addColumn<double>("overlap");
    QTest::newRow("no overlap") << 0.0;
    QTest::newRow("default") << 50.0;
    QTest::newRow("wide") << 300.0;
}

void TestCurveMethod::grayInksFollowTheirDensity()
{
    QFETCH(double, overlap);
    // Slot order is not density order.
    CurvePlan plan = grayPlan({{"LK", 40}, {"K", 100}, {"LLK", 10}});
    plan.gray.overlap = overlap;
    const BuiltCurve built = buildCurve(plan);
    const ::CurveChannel &lk = built.channels[0], &k = built.channels[1], &llk = built.channels[2];
    QVERIFY(fullAt(llk) < fullAt(lk));
    QVERIFY(fullAt(lk) < fullAt(k));
    QCOMPARE(fullAt(k), 255);
    // A lighter ink is full where its density puts it, relative to the darkest ink.
    QVERIFY(std::abs(fullAt(lk) - 0.4 * 255) <= 1);
    QVERIFY(std::abs(fullAt(llk) - 0.1 * 255) <= 1);
    // The darker ink starts before the lighter one is full, the more the wider the overlap.
    const int kStarts =
        int(std::find_if(k.begin(), k.end(), [](quint16 v) { return v > 0; }) - k.begin());
    if (overlap == 0)
        QVERIFY(kStarts >= fullAt(lk));
    else
        QVERIFY(kStarts < fullAt(lk));
}

void TestCurveMethod::shapesStayMonotone_data()
{
    QTest::addColumn<double>("highlight");
    QTest::addColumn<double>("shadow");
    QTest::addColumn<double>("gamma");
    QTest::newRow("steepest") << 0.0 << 0.0 << 0.1;
    QTest::newRow("softest") << 300.0 << 300.0 << 10.0;
    QTest::newRow("mixed") << 0.0 << 300.0 << 1.7;
}

void TestCurveMethod::shapesStayMonotone()
{
    QFETCH(double, highlight);
    QFETCH(double, shadow);
    QFETCH(double, gamma);
    CurvePlan plan = grayPlan({{"K", 100}, {"LK", 30}});
    plan.gray = ToneShape{highlight, shadow, 50, gamma, std::nullopt};
    ChannelPlan toner;
    toner.ink = QStringLiteral("Y");
    toner.use = InkUse::Toner;
    toner.density = 40;
    plan.channels.push_back(toner);
    plan.toner = plan.gray;
    const BuiltCurve built = buildCurve(plan);
    for (const ::CurveChannel &channel : built.channels) {
        QVERIFY(std::is_sorted(channel.begin(), channel.end()));
        QCOMPARE(int(channel[0]), 0);
    }
    QCOMPARE(int(built.channels[2][255]), int(std::lround(0.4 * 65535)));
}

QTEST_GUILESS_MAIN(TestCurveMethod)
#include "tst_curvemethod.moc"
