// Rastermill: places a TIFF image on the page of a printing model and writes the page
// raster to standard output as a 16-bit PGM ("P5", maxval 65535, big-endian samples;
// 65535 paper white). Comment lines in the PGM header name the model, page and
// orientation and give the raster's resolution ("# resolution 150 dpi").
//
//   Rastermill gui 0 0 <copies> "<parameters>" "<image path>"
//   Rastermill --version
//
// The current folder is the install folder; the model file is ppd/<PPD=> in it. The
// raster is at most 150 dpi whatever the print resolution: it only has to carry the
// picture to Inkforge. ColorModel is checked but changes nothing here: a calibration
// target is placed like any other picture.

#include "Diagnostics.h"
#include "PageRaster.h"
#include "RasterRequest.h"
#include "TiffRows.h"

#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifndef ZOR_FILE_VERSION
#error "ZOR_FILE_VERSION is set by the build"
#endif

namespace {

bool writePgm(const RasterRequest &request, const RasterLayout &layout,
              const std::vector<uint16_t> &page, Diagnostics &diagnostics)
{
    const QByteArray header =
        QStringLiteral("P5\n# Zorlane page raster: model %1, page %2, %3\n"
                       "# resolution %4 dpi\n%5 %6\n65535\n")
            .arg(request.model.name, request.page.keyword,
                 request.landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"))
            .arg(layout.dpi)
            .arg(layout.paperWidth)
            .arg(layout.paperLength)
            .toUtf8();
    bool ok =
        std::fwrite(header.constData(), 1, size_t(header.size()), stdout) == size_t(header.size());
    std::vector<unsigned char> bytes(size_t(layout.paperWidth) * 2);
    for (int64_t y = 0; ok && y < layout.paperLength; ++y) {
        const uint16_t *row = page.data() + y * layout.paperWidth;
        for (int64_t x = 0; x < layout.paperWidth; ++x) {
            bytes[size_t(2 * x)] = static_cast<unsigned char>(row[x] >> 8);
            bytes[size_t(2 * x + 1)] = static_cast<unsigned char>(row[x] & 0xff);
        }
        ok = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
    }
    ok = ok && std::fflush(stdout) == 0;
    if (!ok)
        diagnostics.error(QStringLiteral("cannot write the page raster: %1")
                              .arg(QString::fromLocal8Bit(std::strerror(errno))));
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (answerVersionRequest(argc, argv, ZOR_FILE_VERSION, "Rastermill"))
        return 0;
    prepareBinaryStreams();
    Diagnostics diagnostics;

    const QStringList args = toolArguments(argc, argv);
    const auto request = parseRasterRequest(args, diagnostics);
    if (!request)
        return 2;

    if (!QFileInfo(request->imagePath).isFile()) {
        diagnostics.error(QStringLiteral("image %1 not found").arg(request->imagePath));
        return 1;
    }
    QString error;
    auto image = TiffRows::open(request->imagePath, error);
    if (!image) {
        diagnostics.error(
            QStringLiteral("cannot read image %1: %2").arg(request->imagePath, error));
        return 1;
    }
    const auto layout = layOut(*request, image->width(), image->height(), image->xPerInch(),
                               image->yPerInch(), diagnostics);
    if (!layout)
        return 1;
    const auto page = renderPage(*image, *layout, diagnostics);
    if (!page)
        return 1;
    return writePgm(*request, *layout, *page, diagnostics) ? 0 : 1;
}
