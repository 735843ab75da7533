#include "PageRaster.h"

#include "Diagnostics.h"
#include "RasterRequest.h"
#include "TiffRows.h"

#include <algorithm>
#include <cmath>

namespace {

// A page of 44 x 17 inches at 150 dpi holds 17 million pixels; far more is no page.
constexpr int64_t MaxPagePixels = int64_t(256) * 1024 * 1024;
// Beyond this an image is nonsense, whatever part of it lands on the page.
constexpr double MaxImagePixels = 1e9;

int64_t toPixels(double inches, int dpi)
{
    return std::llround(inches * dpi);
}

} // namespace

std::optional<RasterLayout> layOut(const RasterRequest &request, uint32_t imageWidth,
                                   uint32_t imageHeight, double xPerInch, double yPerInch,
                                   Diagnostics &diagnostics)
{
    const PageChoice &page = request.page;
    RasterLayout layout;
    layout.dpi = request.dpi;
    layout.landscape = request.landscape;
    layout.paperWidth = toPixels(page.width, layout.dpi);
    layout.paperLength = toPixels(page.length, layout.dpi);
    if (layout.paperWidth < 1 || layout.paperLength < 1 ||
        layout.paperWidth > MaxPagePixels / layout.paperLength) {
        diagnostics.error(QStringLiteral("page %1 x %2 in cannot be rasterised")
                              .arg(page.width)
                              .arg(page.length));
        return std::nullopt;
    }
    layout.printLeft = toPixels(page.marginLeft, layout.dpi);
    layout.printTop = toPixels(page.marginTop, layout.dpi);
    layout.printRight = layout.paperWidth - toPixels(page.marginRight, layout.dpi);
    layout.printBottom = layout.paperLength - toPixels(page.marginBottom, layout.dpi);
    if (layout.printLeft >= layout.printRight || layout.printTop >= layout.printBottom) {
        diagnostics.error(QStringLiteral("page %1 has no printable area").arg(page.keyword));
        return std::nullopt;
    }

    // The page and its unprintable margins as oriented (landscape: the paper turned a
    // quarter clockwise, so its left margin becomes the top one).
    const double width = request.landscape ? page.length : page.width;
    const double length = request.landscape ? page.width : page.length;
    const double minLeft = request.landscape ? page.marginBottom : page.marginLeft;
    const double minRight = request.landscape ? page.marginTop : page.marginRight;
    const double minTop = request.landscape ? page.marginLeft : page.marginTop;
    const double minBottom = request.landscape ? page.marginRight : page.marginBottom;

    const double naturalWidth = imageWidth / xPerInch;
    const double naturalHeight = imageHeight / yPerInch;
    layout.scalePercent = request.scalePercent;
    if (request.scaleToFit) {
        const double fit = std::min((width - minLeft - minRight) / naturalWidth,
                                    (length - minTop - minBottom) / naturalHeight);
        layout.scalePercent = int(
            std::clamp(std::floor(100.0 * fit), double(MinScalePercent), double(MaxScalePercent)));
    }
    const double printedWidth = naturalWidth * layout.scalePercent / 100.0;
    const double printedHeight = naturalHeight * layout.scalePercent / 100.0;
    if (printedWidth * layout.dpi > MaxImagePixels || printedHeight * layout.dpi > MaxImagePixels) {
        diagnostics.error(QStringLiteral("the image would print %1 x %2 in; that is no print")
                              .arg(printedWidth, 0, 'g', 6)
                              .arg(printedHeight, 0, 'g', 6));
        return std::nullopt;
    }
    const double left = request.centred ? (width - printedWidth) / 2 : request.left;
    const double top = request.centred ? (length - printedHeight) / 2 : request.top;
    layout.imageX = toPixels(left, layout.dpi);
    layout.imageY = toPixels(top, layout.dpi);
    layout.imageWidth = std::max<int64_t>(1, toPixels(printedWidth, layout.dpi));
    layout.imageHeight = std::max<int64_t>(1, toPixels(printedHeight, layout.dpi));

    if (left < minLeft - 1e-9 || top < minTop - 1e-9 ||
        left + printedWidth > width - minRight + 1e-9 ||
        top + printedHeight > length - minBottom + 1e-9)
        diagnostics.warning(QStringLiteral("the image (%1 x %2 in at %3 %) runs past the printable "
                                           "area of the page; that part is not printed")
                                .arg(printedWidth, 0, 'g', 6)
                                .arg(printedHeight, 0, 'g', 6)
                                .arg(layout.scalePercent));
    return layout;
}

std::optional<std::vector<uint16_t>> renderPage(TiffRows &image, const RasterLayout &layout,
                                                Diagnostics &diagnostics)
{
    std::vector<uint16_t> page(size_t(layout.paperWidth * layout.paperLength), 65535);

    // The visible part of the image in raster pixels, relative to its top left corner.
    const int64_t dx0 = std::max<int64_t>(0, -layout.imageX);
    const int64_t dx1 = std::min(layout.imageWidth, layout.orientedWidth() - layout.imageX);
    const int64_t dy0 = std::max<int64_t>(0, -layout.imageY);
    const int64_t dy1 = std::min(layout.imageHeight, layout.orientedHeight() - layout.imageY);
    if (dx0 >= dx1 || dy0 >= dy1)
        return page;

    // Raster pixel d covers source pixels [first(d), end(d)): at least one.
    const int64_t sw = image.width(), sh = image.height();
    const auto firstColumn = [&](int64_t dx) { return dx * sw / layout.imageWidth; };
    const auto endColumn = [&](int64_t dx) {
        return std::min(sw, std::max(firstColumn(dx) + 1, (dx + 1) * sw / layout.imageWidth));
    };
    const int64_t sx0 = firstColumn(dx0), sx1 = endColumn(dx1 - 1);
    std::vector<uint64_t> columnSums(size_t(sx1 - sx0));
    std::vector<uint64_t> prefix(columnSums.size() + 1);

    for (int64_t dy = dy0; dy < dy1; ++dy) {
        const int64_t sy0 = dy * sh / layout.imageHeight;
        const int64_t sy1 = std::min(sh, std::max(sy0 + 1, (dy + 1) * sh / layout.imageHeight));
        std::fill(columnSums.begin(), columnSums.end(), 0);
        for (int64_t sy = sy0; sy < sy1; ++sy) {
            QString error;
            const uint16_t *row = image.greyRow(uint32_t(sy), error);
            if (!row) {
                diagnostics.error(QStringLiteral("cannot read the image: %1").arg(error));
                return std::nullopt;
            }
            for (int64_t sx = sx0; sx < sx1; ++sx)
                columnSums[size_t(sx - sx0)] += row[sx];
        }
        for (size_t i = 0; i < columnSums.size(); ++i)
            prefix[i + 1] = prefix[i] + columnSums[i];

        const int64_t yo = layout.imageY + dy;
        for (int64_t dx = dx0; dx < dx1; ++dx) {
            const int64_t c0 = firstColumn(dx), c1 = endColumn(dx);
            const uint64_t count = uint64_t((c1 - c0) * (sy1 - sy0));
            const uint64_t sum = prefix[size_t(c1 - sx0)] - prefix[size_t(c0 - sx0)];
            const int64_t xo = layout.imageX + dx;
            const int64_t xp = layout.landscape ? yo : xo;
            const int64_t yp = layout.landscape ? layout.paperLength - 1 - xo : yo;
            if (xp < layout.printLeft || xp >= layout.printRight || yp < layout.printTop ||
                yp >= layout.printBottom)
                continue;
            page[size_t(yp * layout.paperWidth + xp)] = uint16_t((sum + count / 2) / count);
        }
    }
    return page;
}
