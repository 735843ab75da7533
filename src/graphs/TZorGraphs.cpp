#include "TZorGraphs.h"

#include "Dialogs.h"
#include "FixedChart.h"
#include "ZorError.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {

struct InkStyle
{
    QColor line;
    int width;
    Qt::PenStyle pen;
    QColor legend; // invalid: the line colour
};

// In the order of InkSeries.
const std::array<InkStyle, InkSeriesCount> &inkStyles()
{
    static const std::array<InkStyle, InkSeriesCount> styles = {{
        {QColor(0, 128, 255), 3, Qt::SolidLine, {}},                      // Cyan
        {QColor(255, 0, 128), 2, Qt::SolidLine, {}},                      // Magenta
        {QColor(255, 255, 0), 3, Qt::DotLine, {}},                        // Yellow
        {QColor(0, 0, 0), 2, Qt::SolidLine, {}},                          // Black
        {QColor(128, 255, 255), 3, Qt::SolidLine, {}},                    // LtCyan
        {QColor(255, 128, 255), 2, Qt::DashDotDotLine, {}},               // LtMagenta
        {QColor(133, 133, 133), 2, Qt::SolidLine, QColor(192, 192, 192)}, // LtBlack, silver
        {QColor(128, 128, 0), 2, Qt::SolidLine, {}},                      // Gloss, olive
        {QColor(255, 0, 0), 2, Qt::SolidLine, {}},                        // Red
        {QColor(0, 0, 255), 2, Qt::SolidLine, {}},                        // Blue
        {QColor(0, 0, 0), 2, Qt::SolidLine, {}},                          // Photo Black
        {QColor(207, 207, 207), 2, Qt::SolidLine, QColor(221, 221, 221)}, // Lt LtBlack
        {QColor(0, 128, 0), 2, Qt::SolidLine, {}},                        // Green
    }};
    return styles;
}

QWidget *page(QTabWidget *tabs, const char *name, const QString &title, QChartView *chart)
{
    auto *widget = new QWidget;
    widget->setObjectName(QLatin1String(name));
    auto *layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    chart->setParent(widget);
    layout->addWidget(chart);
    tabs->addTab(widget, title);
    return widget;
}

} // namespace

TZorGraphs::TZorGraphs(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TZorGraphs"));
    setWindowTitle(QStringLiteral("Graph of Curve "));
    // It stays open beside the main window, so it can be made as large as the screen.
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);
    Graphs = new QTabWidget(this);
    Graphs->setObjectName(QStringLiteral("Graphs"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Graphs);
    buildLinearizationPage();
    buildInkCurvesPage();
    resize(760, 540);
}

void TZorGraphs::buildLinearizationPage()
{
    LinearizationChart = fixedChartView(QStringLiteral("LinearizationChart"), nullptr);
    Linearization =
        page(Graphs, "Linearization", QStringLiteral("Linearization"), LinearizationChart);
    QChart *chart = LinearizationChart->chart();
    chart->legend()->hide();
    auto *upper = new QLineSeries(chart);
    Density = new QAreaSeries(upper);
    Density->setObjectName(QStringLiteral("Density"));
    Density->setName(QStringLiteral("Density"));
    Density->setBrush(Qt::black);
    Density->setPen(QPen(Qt::black));
    addOnAxes(chart, Density, fixedAxis(0, 100, 10), fixedAxis(0, 100, 10));
}

void TZorGraphs::buildInkCurvesPage()
{
    InkCurvesChart = fixedChartView(QStringLiteral("InkCurvesChart"), nullptr);
    InkCurves = page(Graphs, "InkCurves", QStringLiteral("Ink Curves"), InkCurvesChart);
    QChart *chart = InkCurvesChart->chart();
    chart->legend()->setAlignment(Qt::AlignRight);
    QValueAxis *bottom = fixedAxis(0, 100, 10);
    // From 0, not 1: toning inks often stay below 1 % and would vanish under the axis
    // while the legend still names them.
    QValueAxis *left = fixedAxis(0, 100, 10);
    for (int i = 0; i < InkSeriesCount; ++i) {
        const InkStyle &style = inkStyles()[size_t(i)];
        auto *series = new QLineSeries;
        series->setObjectName(inkSeriesTitles()[size_t(i)]);
        series->setName(inkSeriesTitles()[size_t(i)]);
        series->setPen(QPen(style.line, style.width, style.pen));
        addOnAxes(chart, series, bottom, left);
        if (style.legend.isValid()) {
            // The two light greys have a legend colour of their own.
            for (QLegendMarker *marker : chart->legend()->markers(series))
                marker->setBrush(style.legend);
        }
        InkLines[size_t(i)] = series;
    }
}

void TZorGraphs::DrawGraphs()
{
    applyGraphs(readCurveGraphs(CurveFile, GraphOutputFile));
}

// Every series is replaced, so an open window shows only the latest curve.
void TZorGraphs::applyGraphs(const CurveGraphs &graphs)
{
    setWindowTitle(graphs.caption);
    Density->upperSeries()->replace(graphs.density);
    const int linearizationTab = Graphs->indexOf(Linearization);
    Graphs->setTabVisible(linearizationTab, graphs.linearizationFound);
    Graphs->setCurrentWidget(graphs.linearizationFound ? Linearization : InkCurves);
    QLegend *legend = InkCurvesChart->chart()->legend();
    for (int i = 0; i < InkSeriesCount; ++i) {
        QLineSeries *series = InkLines[size_t(i)];
        series->replace(graphs.inkPoints[size_t(i)]);
        series->setVisible(graphs.inkShown[size_t(i)]);
        for (QLegendMarker *marker : legend->markers(series))
            marker->setVisible(series->isVisible());
    }
    legend->setVisible(graphs.legendVisible());
}

bool TZorGraphs::ShowGraphs()
{
    try {
        DrawGraphs();
    } catch (const ZorError &error) {
        Dialogs::instance().applicationError(error.message());
        return false;
    }
    bringToFront();
    return true;
}

void TZorGraphs::bringToFront()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}
