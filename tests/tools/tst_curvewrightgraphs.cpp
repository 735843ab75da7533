#include "CurveFileReader.h"
#include "CurvewrightRun.h"

#include <QTest>

// What the front end's graphs window reads of a Curvewright run: the new curve file and the
// graph output, with and without linearization.
class TestCurvewrightGraphs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_install.setUp()); }
    void graphsReadTheRun_data();
    void graphsReadTheRun();

private:
    CurvewrightInstall m_install;
};

void TestCurvewrightGraphs::graphsReadTheRun_data()
{
    QTest::addColumn<QByteArray>("description");
    QTest::addColumn<bool>("linearized");
    const QByteArray base = "PRINTER=ZorlR2400\r\nGRAY_INK_1=K\r\nGRAY_VAL_1=100\r\n"
                            "GRAY_INK_2=LK\r\nGRAY_VAL_2=40\r\n";
    QTest::newRow("plain") << base << false;
    QTest::newRow("linearized") << base + "LINEARIZE=\"98 80 52 30 12 4 \"\r\n" << true;
    QTest::newRow("linearized by density") << base + "LINEARIZE=\"0,05 0,9 1,4 1,8 \"\r\n" << true;
}

void TestCurvewrightGraphs::graphsReadTheRun()
{
    QFETCH(QByteArray, description);
    QFETCH(bool, linearized);
    const QString path = m_install.filePath(QStringLiteral("Curvewright/Graphs.zidf"));
    QVERIFY(m_install.write(QStringLiteral("Curvewright/Graphs.zidf"), description));
    const ToolRun run = m_install.run(path);
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    QVERIFY(m_install.write(QStringLiteral("graphs.out"), run.out));

    const CurveGraphs graphs =
        readCurveGraphs(m_install.filePath(QStringLiteral("Zorlane/ZorlR2400/Graphs.zorl")),
                        m_install.filePath(QStringLiteral("graphs.out")));
    QCOMPARE(graphs.linearizationFound, linearized);
    QCOMPARE(graphs.shownInkCount(), 2);
    QCOMPARE(graphs.inkPoints[size_t(InkSeries::Black)].size(), CurveLevels);
    if (!linearized)
        return;
    QCOMPARE(graphs.density.size(), CurveLevels);
    QCOMPARE(graphs.density.first(), QPointF(0, 0));
    QCOMPARE(graphs.density.last().x(), 100.0);
    for (qsizetype i = 1; i < graphs.density.size(); ++i)
        QVERIFY(graphs.density[i].y() >= graphs.density[i - 1].y());
    // The measurements came out too dark in the midtones: the correction runs below the
    // straight line there.
    QVERIFY(graphs.density[128].y() < 50.0);
}

QTEST_MAIN(TestCurvewrightGraphs)
#include "tst_curvewrightgraphs.moc"
