#include "CurveText.h"
#include "Dialogs.h"
#include "TZorGraphs.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

using namespace curvetext;

namespace {

QStringList visibleSeries(const TZorGraphs &graphs)
{
    QStringList names;
    for (QAbstractSeries *series : graphs.InkCurvesChart->chart()->series())
        if (series->isVisible())
            names.append(series->name());
    return names;
}

QValueAxis *axis(QChartView *view, Qt::Orientation orientation)
{
    const auto axes = view->chart()->axes(orientation);
    return axes.size() == 1 ? qobject_cast<QValueAxis *>(axes.first()) : nullptr;
}

bool tabShown(const TZorGraphs &graphs, QWidget *page)
{
    return graphs.Graphs->isTabVisible(graphs.Graphs->indexOf(page));
}

// A curve file and a graph output in a temporary folder.
struct Files
{
    QTemporaryDir dir;
    QString curve(const QString &name, const QByteArray &text) const
    {
        return write(dir.filePath(name), text);
    }
};

} // namespace

class TestZorGraphs : public QObject
{
    Q_OBJECT

private slots:
    void designedWindow();
    void inkSeriesInOrderWithTheirPens();
    void fillShowsTheDrawnChannels_data();
    void fillShowsTheDrawnChannels();
    void legendMarkersFollowTheSeries();
    void everyDrawnPointIsOnTheChart_data();
    void everyDrawnPointIsOnTheChart();
    void linearizationTab_data();
    void linearizationTab();
    void laterFillReplacesEverySeries();
    void failedFillLeavesTheWindowAsItWas_data();
    void failedFillLeavesTheWindowAsItWas();
    void openWindowComesToTheFront();
    void chartsFollowTheWindowSize();
};

void TestZorGraphs::designedWindow()
{
    TZorGraphs graphs;
    QCOMPARE(graphs.windowTitle(), QStringLiteral("Graph of Curve "));
    QCOMPARE(graphs.findChild<QTabWidget *>("Graphs"), graphs.Graphs);
    QCOMPARE(graphs.Graphs->count(), 2);
    QCOMPARE(graphs.Graphs->tabText(0), QStringLiteral("Linearization"));
    QCOMPARE(graphs.Graphs->widget(0)->objectName(), QStringLiteral("Linearization"));
    QCOMPARE(graphs.Graphs->tabText(1), QStringLiteral("Ink Curves"));
    QCOMPARE(graphs.Graphs->widget(1)->objectName(), QStringLiteral("InkCurves"));
    QCOMPARE(graphs.findChild<QChartView *>("InkCurvesChart"), graphs.InkCurvesChart);

    for (QChartView *view : {graphs.LinearizationChart, graphs.InkCurvesChart}) {
        QChart *chart = view->chart();
        QCOMPARE(view->rubberBand(), QChartView::NoRubberBand);
        QVERIFY(chart->title().isEmpty());
        QVERIFY(chart->isPlotAreaBackgroundVisible());
        QCOMPARE(chart->plotAreaBackgroundBrush().color(), QColor(Qt::white));
        for (Qt::Orientation orientation : {Qt::Horizontal, Qt::Vertical}) {
            QValueAxis *scale = axis(view, orientation);
            QVERIFY(scale);
            QCOMPARE(scale->min(), 0.0);
            QCOMPARE(scale->max(), 100.0);
            QCOMPARE(scale->minorTickCount(), 0);
            QCOMPARE(scale->tickInterval(), 10.0);
        }
    }

    QVERIFY(!graphs.LinearizationChart->chart()->legend()->isVisible());
    const auto densitySeries = graphs.LinearizationChart->chart()->series();
    QCOMPARE(densitySeries.size(), 1);
    auto *density = qobject_cast<QAreaSeries *>(densitySeries.first());
    QVERIFY(density);
    QCOMPARE(density->name(), QStringLiteral("Density"));
    QCOMPARE(density->brush().color(), QColor(Qt::black));
    QCOMPARE(density->brush().style(), Qt::SolidPattern);
}

void TestZorGraphs::inkSeriesInOrderWithTheirPens()
{
    struct Expected
    {
        const char *title;
        QColor colour;
        int width;
        Qt::PenStyle style;
    };
    const Expected expected[] = {
        {"Cyan", QColor(0, 128, 255), 3, Qt::SolidLine},
        {"Magenta", QColor(255, 0, 128), 2, Qt::SolidLine},
        {"Yellow", QColor(255, 255, 0), 3, Qt::DotLine},
        {"Black", QColor(0, 0, 0), 2, Qt::SolidLine},
        {"LtCyan", QColor(128, 255, 255), 3, Qt::SolidLine},
        {"LtMagenta", QColor(255, 128, 255), 2, Qt::DashDotDotLine},
        {"LtBlack", QColor(133, 133, 133), 2, Qt::SolidLine},
        {"Gloss", QColor(128, 128, 0), 2, Qt::SolidLine},
        {"Red", QColor(255, 0, 0), 2, Qt::SolidLine},
        {"Blue", QColor(0, 0, 255), 2, Qt::SolidLine},
        {"Photo Black", QColor(0, 0, 0), 2, Qt::SolidLine},
        {"Lt LtBlack", QColor(207, 207, 207), 2, Qt::SolidLine},
        {"Green", QColor(0, 128, 0), 2, Qt::SolidLine},
    };
    TZorGraphs graphs;
    const auto series = graphs.InkCurvesChart->chart()->series();
    QCOMPARE(series.size(), 13);
    QLegend *legend = graphs.InkCurvesChart->chart()->legend();
    for (int i = 0; i < 13; ++i) {
        auto *line = qobject_cast<QLineSeries *>(series[i]);
        QVERIFY(line);
        QCOMPARE(line, graphs.InkLines[size_t(i)]);
        QCOMPARE(line->name(), QLatin1String(expected[i].title));
        QCOMPARE(line->pen().color(), expected[i].colour);
        QCOMPARE(line->pen().width(), expected[i].width);
        QCOMPARE(line->pen().style(), expected[i].style);
        QVERIFY(!line->pointsVisible());
    }
    QCOMPARE(legend->markers(graphs.InkLines[size_t(InkSeries::LtBlack)]).first()->brush().color(),
             QColor(192, 192, 192));
    QCOMPARE(
        legend->markers(graphs.InkLines[size_t(InkSeries::LtLtBlack)]).first()->brush().color(),
        QColor(221, 221, 221));
}

void TestZorGraphs::fillShowsTheDrawnChannels_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("eight with one all zero")
        << curve("K,C,M,Y,LC,LM,LK,LLK", {ramp(60000), ramp(100), ramp(200), zeros(), ramp(400),
                                          ramp(500), ramp(600), ramp(700)})
        << QStringList{"Cyan", "Magenta", "Black", "LtCyan", "LtMagenta", "LtBlack", "Lt LtBlack"};
    QTest::newRow("only one drawn") << curve("K,C", {ramp(60000), zeros()}) << QStringList{"Black"};
    QTest::newRow("matte black") << curve("MK,PK", {ramp(60000), ramp(100)})
                                 << QStringList{"Black", "Photo Black"};
}

void TestZorGraphs::fillShowsTheDrawnChannels()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, shown);
    Files files;
    TZorGraphs graphs;
    graphs.CurveFile = files.curve("Toned.zorl", text);
    graphs.DrawGraphs();
    QCOMPARE(visibleSeries(graphs), shown);
    QCOMPARE(graphs.InkCurvesChart->chart()->legend()->isVisible(), shown.size() > 1);
    QCOMPARE(graphs.windowTitle(), QStringLiteral("Graphs for Toned.zorl"));
    const QLineSeries *black = graphs.InkLines[size_t(InkSeries::Black)];
    QCOMPARE(black->count(), 256);
    QCOMPARE(black->at(255).x(), 100.0);
    QCOMPARE(black->at(255).y(), 60000 / 65575.0 * 100.0);
}

// Only the series that are on have a legend entry.
void TestZorGraphs::legendMarkersFollowTheSeries()
{
    Files files;
    TZorGraphs graphs;
    graphs.CurveFile = files.curve("A.zorl", curve("K,C,M", {ramp(9), zeros(), ramp(7)}));
    QVERIFY(graphs.ShowGraphs());
    QVERIFY(QTest::qWaitForWindowExposed(&graphs));
    QLegend *legend = graphs.InkCurvesChart->chart()->legend();
    QStringList entries;
    for (QLegendMarker *marker : legend->markers())
        if (marker->isVisible())
            entries.append(marker->label());
    QCOMPARE(entries, (QStringList{"Magenta", "Black"}));
}

void TestZorGraphs::everyDrawnPointIsOnTheChart_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("full range") << curve("K", {ramp(65535)});
    QTest::newRow("toning ink below 1 %") << curve("K,R", {ramp(65535), ramp(500)});
    QTest::newRow("paper white at level 0") << curve("C", {ramp(3000)});
}

// A line the legend names can be seen: none of its points lies outside the axes.
void TestZorGraphs::everyDrawnPointIsOnTheChart()
{
    QFETCH(QByteArray, text);
    Files files;
    TZorGraphs graphs;
    graphs.CurveFile = files.curve("A.zorl", text);
    graphs.DrawGraphs();
    const QValueAxis *bottom = axis(graphs.InkCurvesChart, Qt::Horizontal);
    const QValueAxis *left = axis(graphs.InkCurvesChart, Qt::Vertical);
    for (const QLineSeries *series : graphs.InkLines) {
        if (!series->isVisible())
            continue;
        for (const QPointF &point : series->points()) {
            QVERIFY2(point.x() >= bottom->min() && point.x() <= bottom->max(),
                     qPrintable(series->name()));
            QVERIFY2(point.y() >= left->min() && point.y() <= left->max(),
                     qPrintable(QStringLiteral("%1 at %2").arg(series->name()).arg(point.y())));
        }
    }
}

void TestZorGraphs::linearizationTab_data()
{
    QTest::addColumn<QByteArray>("output"); // empty: no graph output file
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("points");
    QTest::newRow("from the main window") << QByteArray() << false << 0;
    QTest::newRow("without the marker") << QByteArray("report only\n") << false << 0;
    QTest::newRow("with the marker")
        << QByteArray("report\nLINEARIZE_CURVE\n0 0\n128 30000\n255 65535\n\n") << true << 3;
}

void TestZorGraphs::linearizationTab()
{
    QFETCH(QByteArray, output);
    QFETCH(bool, shown);
    QFETCH(int, points);
    Files files;
    TZorGraphs graphs;
    graphs.CurveFile = files.curve("A.zorl", curve("K", {ramp(9)}));
    if (!output.isEmpty())
        graphs.GraphOutputFile = files.curve("A.out", output);
    graphs.DrawGraphs();
    QCOMPARE(tabShown(graphs, graphs.Linearization), shown);
    QVERIFY(tabShown(graphs, graphs.InkCurves));
    QCOMPARE(graphs.Graphs->currentWidget(), shown ? graphs.Linearization : graphs.InkCurves);
    QCOMPARE(graphs.Density->upperSeries()->count(), points);
    if (points > 0)
        QCOMPARE(graphs.Density->upperSeries()->at(2), QPointF(100, 65535 / 65575.0 * 100.0));
}

// Curve1's graph and then Curve2's in the same open window: only Curve2's lines remain.
void TestZorGraphs::laterFillReplacesEverySeries()
{
    Files files;
    TZorGraphs graphs;
    graphs.CurveFile = files.curve("First.zorl", curve("K,C", {ramp(60000), ramp(3000)}));
    graphs.GraphOutputFile = files.curve("First.out", "LINEARIZE_CURVE\n0 0\n255 60000\n");
    QVERIFY(graphs.ShowGraphs());

    graphs.CurveFile = files.curve("Second.zorl", curve("M", {ramp(100)}));
    graphs.GraphOutputFile.clear();
    QVERIFY(graphs.ShowGraphs());
    QCOMPARE(graphs.windowTitle(), QStringLiteral("Graphs for Second.zorl"));
    QCOMPARE(visibleSeries(graphs), QStringList{"Magenta"});
    QCOMPARE(graphs.InkLines[size_t(InkSeries::Black)]->count(), 0);
    QCOMPARE(graphs.InkLines[size_t(InkSeries::Cyan)]->count(), 0);
    QCOMPARE(graphs.InkLines[size_t(InkSeries::Magenta)]->count(), 256);
    QCOMPARE(graphs.Density->upperSeries()->count(), 0);
    QVERIFY(!tabShown(graphs, graphs.Linearization));
    QVERIFY(!graphs.InkCurvesChart->chart()->legend()->isVisible());
}

void TestZorGraphs::failedFillLeavesTheWindowAsItWas_data()
{
    QTest::addColumn<QString>("curveName");
    QTest::addColumn<QByteArray>("curveText"); // empty: the file is not there
    QTest::addColumn<QByteArray>("outputText");
    QTest::addColumn<QString>("error");
    QTest::newRow("value not an integer") << "Bad.zorl" << QByteArray("# ZORLANE M\n1\nx1\n")
                                          << QByteArray() << "'x1' is not a valid integer value";
    QTest::newRow("missing curve file") << "Gone.zorl" << QByteArray() << QByteArray()
                                        << "Cannot open file \"%1/Gone.zorl\". No such file or "
                                           "directory";
    QTest::newRow("bad graph output")
        << "Good.zorl" << curve("M", {ramp(1)}) << QByteArray("LINEARIZE_CURVE\n7\n")
        << "Line 2 of \"Good.out\" does not hold two numbers, an input level and an output "
           "amount.";
}

void TestZorGraphs::failedFillLeavesTheWindowAsItWas()
{
    QFETCH(QString, curveName);
    QFETCH(QByteArray, curveText);
    QFETCH(QByteArray, outputText);
    QFETCH(QString, error);
    ScopedRecordingDialogs dialogs;
    Files files;

    // Closed: a failure does not show it.
    TZorGraphs graphs;
    graphs.CurveFile =
        curveText.isEmpty() ? files.dir.filePath(curveName) : files.curve(curveName, curveText);
    if (!outputText.isEmpty())
        graphs.GraphOutputFile = files.curve("Good.out", outputText);
    QVERIFY(!graphs.ShowGraphs());
    QVERIFY(!graphs.isVisible());
    QCOMPARE(graphs.windowTitle(), QStringLiteral("Graph of Curve "));
    QCOMPARE(dialogs.shown().size(), 1);
    QCOMPARE(dialogs.shown().first().kind, RecordingDialogs::Kind::ApplicationError);
    QCOMPARE(dialogs.shown().first().text,
             error.contains(u'%') ? error.arg(files.dir.path()) : error);

    // Open: it keeps what it showed.
    const QString failing = graphs.CurveFile;
    const QString failingOutput = graphs.GraphOutputFile;
    graphs.CurveFile = files.curve("Shown.zorl", curve("K,C", {ramp(60000), ramp(3000)}));
    graphs.GraphOutputFile = files.curve("Shown.out", "LINEARIZE_CURVE\n0 0\n255 60000\n");
    QVERIFY(graphs.ShowGraphs());
    graphs.CurveFile = failing;
    graphs.GraphOutputFile = failingOutput;
    QVERIFY(!graphs.ShowGraphs());
    QVERIFY(graphs.isVisible());
    QCOMPARE(graphs.windowTitle(), QStringLiteral("Graphs for Shown.zorl"));
    QCOMPARE(visibleSeries(graphs), (QStringList{"Cyan", "Black"}));
    QCOMPARE(graphs.InkLines[size_t(InkSeries::Black)]->count(), 256);
    QCOMPARE(graphs.InkLines[size_t(InkSeries::Magenta)]->count(), 0);
    QCOMPARE(graphs.Density->upperSeries()->count(), 2);
    QVERIFY(tabShown(graphs, graphs.Linearization));
    QVERIFY(graphs.InkCurvesChart->chart()->legend()->isVisible());
    QCOMPARE(dialogs.shown().size(), 2);
}

void TestZorGraphs::openWindowComesToTheFront()
{
    Files files;
    TZorGraphs graphs;
    graphs.CurveFile = files.curve("A.zorl", curve("K", {ramp(9)}));
    QVERIFY(graphs.ShowGraphs());
    QVERIFY(QTest::qWaitForWindowExposed(&graphs));
    graphs.showMinimized();
    QTRY_VERIFY(graphs.isMinimized());
    QVERIFY(graphs.ShowGraphs());
    QTRY_VERIFY(!graphs.isMinimized());
    QVERIFY(graphs.isVisible());
    QVERIFY(!graphs.isModal());
}

void TestZorGraphs::chartsFollowTheWindowSize()
{
    Files files;
    TZorGraphs graphs;
    graphs.CurveFile = files.curve("A.zorl", curve("K", {ramp(9)}));
    QVERIFY(graphs.ShowGraphs());
    QVERIFY(QTest::qWaitForWindowExposed(&graphs));
    QVERIFY(graphs.minimumWidth() < graphs.maximumWidth());
    QVERIFY(graphs.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    const QSize before = graphs.InkCurvesChart->size();
    graphs.resize(graphs.size() + QSize(300, 200));
    QTRY_COMPARE(graphs.InkCurvesChart->size(), before + QSize(300, 200));
    QTRY_COMPARE(graphs.InkCurvesChart->chart()->size(), QSizeF(before + QSize(300, 200)));
}

QTEST_MAIN(TestZorGraphs)
#include "tst_zorgraphs.moc"
