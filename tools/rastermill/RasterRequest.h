#pragma once

#include "RequestModel.h"
#include "ToolArguments.h"

#include <QString>
#include <QStringList>

#include <optional>

// Rastermill's arguments: gui 0 0 <copies> "<parameters>" "<image path>", the parameters
//   PPD=<model>.ppd PRINTER=<model> MediaType=<kw> [<feed key>=<kw>] Pagesize=<kw or custom>
//   (position=center | topmargin=<in> leftmargin=<in>) (scale-to-fit=yes | scale-percent=<n>)
//   (portrait=yes | Landscape=yes) Resolution=<kw> ColorModel=<ZorRIP|ZorCal>
struct RasterRequest
{
    JobPrefix prefix;
    RequestModel model;
    PageChoice page;
    bool landscape = false;
    bool centred = true;
    double top = 0;  // inches from the top edge of the page as oriented
    double left = 0; // inches from its left edge
    bool scaleToFit = false;
    int scalePercent = 100;
    QString resolution;
    int dpi = 0; // of the page raster
    QString colorModel;
    QString imagePath;
};

constexpr int MaxRasterDpi = 150;
constexpr int MinScalePercent = 1;
constexpr int MaxScalePercent = 1600;

// Every problem gets its own error line; nothing is returned when there was one.
std::optional<RasterRequest> parseRasterRequest(const QStringList &args, Diagnostics &diagnostics);

// The raster resolution for a resolution keyword: the smaller of its numbers
// ("1440x720dpi" gives 720), at most MaxRasterDpi; MaxRasterDpi when it has none.
int rasterDpi(const QString &resolution);
