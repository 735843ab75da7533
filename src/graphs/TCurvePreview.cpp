#include "TCurvePreview.h"

#include "FixedChart.h"

#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QLegend>
#include <QLineSeries>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

TCurvePreview::TCurvePreview(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TCurvePreview"));
    setWindowTitle(QStringLiteral("Curve Preview"));
    setSizeGripEnabled(true);

    CurvePlot = fixedChartView(QStringLiteral("CurvePlot"), this);
    QChart *chart = CurvePlot->chart();
    chart->setTitle(QStringLiteral("Curve Plot"));
    chart->legend()->hide();
    PointPlot = new QLineSeries;
    PointPlot->setObjectName(QStringLiteral("PointPlot"));
    PointPlot->setName(QStringLiteral("PointPlot"));
    PointPlot->setPen(QPen(Qt::red, 2));
    addOnAxes(chart, PointPlot, fixedAxis(0, 100, 10), fixedAxis(0, 100, 10));

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(OKBtn, QDialogButtonBox::AcceptRole);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(CurvePlot);
    layout->addWidget(buttons);
    resize(520, 460);
}

void TCurvePreview::PlotPoints(const QList<QPointF> &pairs)
{
    QList<QPointF> points = pairs;
    std::stable_sort(points.begin(), points.end(),
                     [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
    PointPlot->replace(points);
}

void TCurvePreview::PreviewPoints(const QList<QPointF> &pairs)
{
    PlotPoints(pairs);
    exec();
}
