#pragma once

#include <QString>

class QAbstractSeries;
class QChart;
class QChartView;
class QValueAxis;
class QWidget;

// The charts of the curve windows: plain 2-D line charts over fixed axes, without zoom,
// panning or animation, on a white plot area.

// A view with its empty chart, named name.
QChartView *fixedChartView(const QString &name, QWidget *parent);

// An axis from minimum to maximum with a labelled tick at every multiple of step and no
// minor ticks.
QValueAxis *fixedAxis(double minimum, double maximum, double step);

// Adds series to chart over its bottom and left axes.
void addOnAxes(QChart *chart, QAbstractSeries *series, QValueAxis *bottom, QValueAxis *left);
