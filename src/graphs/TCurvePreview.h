#pragma once

#include <QDialog>
#include <QList>
#include <QPointF>

class QChartView;
class QLineSeries;
class QPushButton;

// "Curve Preview": plots a typed point list as one line. Created hidden at start-up and
// kept until exit; shown modally.
class TCurvePreview : public QDialog
{
    Q_OBJECT

public:
    explicit TCurvePreview(QWidget *parent = nullptr);

    // Each pair is (input, output), both 0 to 100; the line replaces the last one and runs
    // in ascending input order whatever the order of the pairs.
    void PlotPoints(const QList<QPointF> &pairs);
    // PlotPoints, then the dialog modally.
    void PreviewPoints(const QList<QPointF> &pairs);

    QChartView *CurvePlot = nullptr;
    QLineSeries *PointPlot = nullptr;
    QPushButton *OKBtn = nullptr;
};
