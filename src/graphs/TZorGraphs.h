#pragma once

#include "CurveFileReader.h"

#include <QDialog>

#include <array>

class QAreaSeries;
class QChartView;
class QLineSeries;
class QTabWidget;

// "Graph of Curve ": a curve file as one line per ink and, after a curve-creation run,
// Curvewright's linearization. Created hidden at start-up, not modal, kept until exit.
class TZorGraphs : public QDialog
{
    Q_OBJECT

public:
    explicit TZorGraphs(QWidget *parent = nullptr);

    // Set by the callers before each fill: the curve file, and Curvewright's graph output
    // (empty when the graphs are asked for from the main window).
    QString CurveFile;
    QString GraphOutputFile;

    // Reads both files into the charts and the caption. Throws ZorError when a file cannot
    // be read; the window then stays exactly as it was.
    void DrawGraphs();
    // Fills the window and brings it to the front, also when it is open already. A failure
    // goes to the application's error box and the window is not shown: false then.
    bool ShowGraphs();

    QTabWidget *Graphs = nullptr;
    QWidget *Linearization = nullptr;
    QWidget *InkCurves = nullptr;
    QChartView *LinearizationChart = nullptr;
    QChartView *InkCurvesChart = nullptr;
    QAreaSeries *Density = nullptr;
    std::array<QLineSeries *, InkSeriesCount> InkLines{};

private:
    void buildLinearizationPage();
    void buildInkCurvesPage();
    void applyGraphs(const CurveGraphs &graphs);
    void bringToFront();
};
