#include "FixedChart.h"

#include <QAbstractSeries>
#include <QChart>
#include <QChartView>
#include <QValueAxis>

QChartView *fixedChartView(const QString &name, QWidget *parent)
{
    auto *chart = new QChart;
    chart->setObjectName(name);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundVisible(true);
    auto *view = new QChartView(chart, parent);
    view->setObjectName(name);
    view->setRubberBand(QChartView::NoRubberBand);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

QValueAxis *fixedAxis(double minimum, double maximum, double step)
{
    auto *axis = new QValueAxis;
    axis->setRange(minimum, maximum);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    axis->setMinorTickCount(0);
    axis->setLabelFormat(QStringLiteral("%.0f"));
    return axis;
}

void addOnAxes(QChart *chart, QAbstractSeries *series, QValueAxis *bottom, QValueAxis *left)
{
    chart->addSeries(series);
    if (!chart->axes(Qt::Horizontal).contains(bottom))
        chart->addAxis(bottom, Qt::AlignBottom);
    if (!chart->axes(Qt::Vertical).contains(left))
        chart->addAxis(left, Qt::AlignLeft);
    series->attachAxis(bottom);
    series->attachAxis(left);
}
