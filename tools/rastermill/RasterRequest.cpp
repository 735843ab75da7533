#include "RasterRequest.h"

#include "Diagnostics.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

const QStringList KnownKeys = {"PPD",           "PRINTER",   "MediaType",  "Pagesize",
                               "position",      "topmargin", "leftmargin", "scale-to-fit",
                               "scale-percent", "portrait",  "Landscape",  "Resolution",
                               "ColorModel"};

void requireOne(const ParameterText &p, const QString &a, const QString &b,
                Diagnostics &diagnostics)
{
    if (p.has(a) && p.has(b))
        diagnostics.error(QStringLiteral("parameters %1 and %2 exclude each other").arg(a, b));
    else if (!p.has(a) && !p.has(b))
        diagnostics.error(QStringLiteral("parameter %1 or %2 is missing").arg(a, b));
}

void requireYes(const ParameterText &p, const QString &key, const QString &fixed,
                Diagnostics &diagnostics)
{
    if (p.has(key) && p.value(key) != fixed)
        diagnostics.error(
            QStringLiteral("%1=%2: the only value is %3").arg(key, p.value(key), fixed));
}

std::optional<double> margin(const ParameterText &p, const QString &key, Diagnostics &diagnostics)
{
    const auto v = parseDecimal(p.value(key));
    if (!v || *v < 0) {
        diagnostics.error(QStringLiteral("%1=%2 is not a margin in inches").arg(key, p.value(key)));
        return std::nullopt;
    }
    return v;
}

} // namespace

int rasterDpi(const QString &resolution)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,6})(?:x(\\d{1,6}))?dpi$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto match = form.match(resolution);
    if (!match.hasMatch())
        return MaxRasterDpi;
    int dpi = match.captured(1).toInt();
    if (match.hasCaptured(2))
        dpi = std::min(dpi, match.captured(2).toInt());
    return dpi > 0 ? std::min(dpi, MaxRasterDpi) : MaxRasterDpi;
}

std::optional<RasterRequest> parseRasterRequest(const QStringList &args, Diagnostics &diagnostics)
{
    const auto head = takeRequestHead(
        args, 1, QStringLiteral("the parameter text and the image path"), diagnostics);
    if (!head)
        return std::nullopt;
    const ParameterText &p = head->parameters;
    auto model = loadRequestModel(p, diagnostics);
    if (!model)
        return std::nullopt;

    RasterRequest request;
    request.prefix = head->prefix;
    request.imagePath = args.at(head->next);
    if (request.imagePath.isEmpty())
        diagnostics.error(QStringLiteral("the image path is empty"));

    for (const QString &key :
         {QStringLiteral("Pagesize"), QStringLiteral("Resolution"), QStringLiteral("ColorModel")}) {
        if (!p.has(key))
            diagnostics.error(QStringLiteral("parameter %1 is missing").arg(key));
    }
    for (const QString &key : p.keys()) {
        if (KnownKeys.contains(key))
            continue;
        if (model->ppd.hasGroup(key)) // the paper feed: InputSlot, RipFeed
            checkOption(*model, key, p.value(key), key, diagnostics);
        else
            diagnostics.warning(QStringLiteral("unknown parameter %1 ignored").arg(key));
    }
    if (p.has(QStringLiteral("MediaType")))
        checkOption(*model, QStringLiteral("MediaType"), p.value(QStringLiteral("MediaType")),
                    QStringLiteral("MediaType"), diagnostics);

    if (p.has(QStringLiteral("Pagesize"))) {
        if (const auto page =
                resolvePageSize(*model, p.value(QStringLiteral("Pagesize")), diagnostics))
            request.page = *page;
    }
    if (p.has(QStringLiteral("Resolution"))) {
        request.resolution = p.value(QStringLiteral("Resolution"));
        checkOption(*model, QStringLiteral("Resolution"), request.resolution,
                    QStringLiteral("Resolution"), diagnostics);
        request.dpi = rasterDpi(request.resolution);
    }
    if (p.has(QStringLiteral("ColorModel"))) {
        request.colorModel = p.value(QStringLiteral("ColorModel"));
        if (request.colorModel != QLatin1String("ZorRIP") &&
            request.colorModel != QLatin1String("ZorCal"))
            diagnostics.error(QStringLiteral("ColorModel=%1 is neither ZorRIP nor ZorCal")
                                  .arg(request.colorModel));
    }

    // Placement: centred, or both margins.
    const bool position = p.has(QStringLiteral("position"));
    const bool margins = p.has(QStringLiteral("topmargin")) || p.has(QStringLiteral("leftmargin"));
    if (position && margins) {
        diagnostics.error(QStringLiteral("position=center excludes topmargin and leftmargin"));
    } else if (position) {
        requireYes(p, QStringLiteral("position"), QStringLiteral("center"), diagnostics);
    } else if (p.has(QStringLiteral("topmargin")) && p.has(QStringLiteral("leftmargin"))) {
        request.centred = false;
        request.top = margin(p, QStringLiteral("topmargin"), diagnostics).value_or(0);
        request.left = margin(p, QStringLiteral("leftmargin"), diagnostics).value_or(0);
    } else {
        diagnostics.error(QStringLiteral("placement missing: position=center, or topmargin and "
                                         "leftmargin"));
    }

    requireOne(p, QStringLiteral("scale-to-fit"), QStringLiteral("scale-percent"), diagnostics);
    requireYes(p, QStringLiteral("scale-to-fit"), QStringLiteral("yes"), diagnostics);
    request.scaleToFit = p.has(QStringLiteral("scale-to-fit"));
    if (p.has(QStringLiteral("scale-percent"))) {
        const auto percent = parseInteger(p.value(QStringLiteral("scale-percent")));
        if (!percent || *percent < MinScalePercent || *percent > MaxScalePercent)
            diagnostics.error(QStringLiteral("scale-percent=%1 is not a whole number from %2 to %3")
                                  .arg(p.value(QStringLiteral("scale-percent")))
                                  .arg(MinScalePercent)
                                  .arg(MaxScalePercent));
        else
            request.scalePercent = *percent;
    }

    requireOne(p, QStringLiteral("portrait"), QStringLiteral("Landscape"), diagnostics);
    requireYes(p, QStringLiteral("portrait"), QStringLiteral("yes"), diagnostics);
    requireYes(p, QStringLiteral("Landscape"), QStringLiteral("yes"), diagnostics);
    request.landscape = p.has(QStringLiteral("Landscape"));

    request.model = std::move(*model);
    if (diagnostics.hasErrors())
        return std::nullopt;
    return request;
}
