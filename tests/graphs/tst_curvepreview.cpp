#include "TCurvePreview.h"

#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QLineSeries>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QValueAxis>

class TestCurvePreview : public QObject
{
    Q_OBJECT

private slots:
    void designedDialog();
    void pointsInAscendingInput_data();
    void pointsInAscendingInput();
    void secondPreviewShowsOnlyItsPoints();
    void okClosesTheModalDialog();
};

void TestCurvePreview::designedDialog()
{
    TCurvePreview preview;
    QCOMPARE(preview.windowTitle(), QStringLiteral("Curve Preview"));
    QChart *chart = preview.CurvePlot->chart();
    QCOMPARE(chart->title(), QStringLiteral("Curve Plot"));
    QVERIFY(!chart->legend()->isVisible());
    QCOMPARE(chart->series().size(), 1);
    QCOMPARE(chart->series().first(), preview.PointPlot);
    QCOMPARE(preview.PointPlot->name(), QStringLiteral("PointPlot"));
    QCOMPARE(preview.PointPlot->pen().color(), QColor(Qt::red));
    QVERIFY(!preview.PointPlot->pointsVisible());
    for (Qt::Orientation orientation : {Qt::Horizontal, Qt::Vertical}) {
        auto *axis = qobject_cast<QValueAxis *>(chart->axes(orientation).value(0));
        QVERIFY(axis);
        QCOMPARE(axis->min(), 0.0);
        QCOMPARE(axis->max(), 100.0);
    }
    QCOMPARE(preview.findChild<QPushButton *>("OKBtn"), preview.OKBtn);
    QCOMPARE(preview.OKBtn->text(), QStringLiteral("OK"));
}

void TestCurvePreview::pointsInAscendingInput_data()
{
    QTest::addColumn<QList<QPointF>>("pairs");
    QTest::addColumn<QList<QPointF>>("line");
    QTest::newRow("in order") << QList<QPointF>{{0, 0}, {50, 40}, {100, 100}}
                              << QList<QPointF>{{0, 0}, {50, 40}, {100, 100}};
    QTest::newRow("out of order") << QList<QPointF>{{100, 100}, {0, 0}, {25, 10}, {50, 40}}
                                  << QList<QPointF>{{0, 0}, {25, 10}, {50, 40}, {100, 100}};
    QTest::newRow("equal inputs keep their order")
        << QList<QPointF>{{60, 5}, {20, 1}, {60, 7}} << QList<QPointF>{{20, 1}, {60, 5}, {60, 7}};
    QTest::newRow("empty") << QList<QPointF>() << QList<QPointF>();
}

void TestCurvePreview::pointsInAscendingInput()
{
    QFETCH(QList<QPointF>, pairs);
    QFETCH(QList<QPointF>, line);
    TCurvePreview preview;
    preview.PlotPoints(pairs);
    QCOMPARE(preview.PointPlot->points(), line);
}

void TestCurvePreview::secondPreviewShowsOnlyItsPoints()
{
    TCurvePreview preview;
    preview.PlotPoints({{0, 0}, {30, 20}, {60, 50}, {100, 100}});
    preview.PlotPoints({{10, 90}, {0, 100}});
    QCOMPARE(preview.PointPlot->points(), (QList<QPointF>{{0, 100}, {10, 90}}));
}

void TestCurvePreview::okClosesTheModalDialog()
{
    TCurvePreview preview;
    bool wasModal = false;
    QTimer::singleShot(0, &preview, [&] {
        wasModal = preview.isVisible() && preview.isModal();
        QTest::mouseClick(preview.OKBtn, Qt::LeftButton);
    });
    preview.PreviewPoints({{100, 100}, {0, 0}});
    QVERIFY(wasModal);
    QVERIFY(!preview.isVisible());
    QCOMPARE(preview.PointPlot->points(), (QList<QPointF>{{0, 0}, {100, 100}}));
}

QTEST_MAIN(TestCurvePreview)
#include "tst_curvepreview.moc"
