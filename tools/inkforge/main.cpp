// Inkforge: turns the page raster from standard input into printer data on standard
// output through the two curves of the printing model, their blend, gamma and limit.
//
//   Inkforge gui 0 0 <copies> "<parameters>"
//   Inkforge --version
//
// Printer data: a text header, one "Key: value" line each, closed by an empty line, then
// the ink amounts:
//
//   ZORPRN 1
//   Model: <model>            Copies: <n>          PageSize: <keyword>
//   MediaType, the paper-feed key, Resolution, Speed, Black (when given), Dither,
//   ColorModel, Curve1, Curve2, Blend, Gamma, Limit
//   Channels: <ink>,<ink>,... Width: <pixels>      Height: <rows>
//   RasterResolution: <dpi>   (when the raster says)
//   Layout: rows of channel lines, 16-bit big-endian
//   DataBytes: <Height x channels x Width x 2>
//
// Each raster row becomes one line of Width amounts (0 to 65535) per channel, channels in
// the listed order, so the data streams through with one row in memory.

#include "Diagnostics.h"
#include "InkMapping.h"
#include "InkRequest.h"
#include "PgmStream.h"

#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifndef ZOR_FILE_VERSION
#error "ZOR_FILE_VERSION is set by the build"
#endif

namespace {

int failAfterDraining(int code)
{
    drainStandardInput();
    return code;
}

QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    }
    return text;
}

bool writeBytes(const void *data, size_t size)
{
    return std::fwrite(data, 1, size, stdout) == size;
}

} // namespace

int main(int argc, char **argv)
{
    if (answerVersionRequest(argc, argv, ZOR_FILE_VERSION, "Inkforge"))
        return 0;
    prepareBinaryStreams();
    Diagnostics diagnostics;

    const QStringList args = toolArguments(argc, argv);
    const auto request = parseInkRequest(args, diagnostics);
    if (!request)
        return failAfterDraining(2);

    PgmStream raster(stdin);
    QString error;
    const auto header = raster.readHeader(error);
    if (!header) {
        diagnostics.error(error == QLatin1String("empty")
                              ? QStringLiteral("no page raster on standard input")
                              : QStringLiteral("the page raster on standard input: %1").arg(error));
        return failAfterDraining(1);
    }

    const auto tables = inkTables(request->curve1Values, request->curve2Values,
                                  request->adjustments, header->maxValue);
    const size_t channels = tables.size();
    const qint64 dataBytes = qint64(header->height) * qint64(channels) * header->width * 2;

    QString text = QStringLiteral("ZORPRN 1\n");
    for (const auto &[key, value] : request->facts)
        text += key + QStringLiteral(": ") + oneLine(value) + QLatin1Char('\n');
    text += QStringLiteral("Width: %1\nHeight: %2\n").arg(header->width).arg(header->height);
    if (header->dpi > 0)
        text += QStringLiteral("RasterResolution: %1\n").arg(header->dpi);
    text += QStringLiteral("Layout: rows of channel lines, 16-bit big-endian\n"
                           "DataBytes: %1\n\n")
                .arg(dataBytes);
    const QByteArray headerBytes = text.toUtf8();
    bool ok = writeBytes(headerBytes.constData(), size_t(headerBytes.size()));

    std::vector<uint16_t> samples;
    std::vector<unsigned char> line(size_t(header->width) * 2 * channels);
    for (int y = 0; ok && y < header->height; ++y) {
        if (!raster.readRow(samples)) {
            diagnostics.error(QStringLiteral("the page raster ends after %1 of %2 rows")
                                  .arg(y)
                                  .arg(header->height));
            return failAfterDraining(1);
        }
        unsigned char *out = line.data();
        for (size_t c = 0; c < channels; ++c) {
            const uint16_t *table = tables[c].data();
            for (uint16_t sample : samples) {
                const uint16_t ink = table[sample];
                *out++ = static_cast<unsigned char>(ink >> 8);
                *out++ = static_cast<unsigned char>(ink & 0xff);
            }
        }
        ok = writeBytes(line.data(), line.size());
    }
    ok = ok && std::fflush(stdout) == 0;
    if (!ok) {
        diagnostics.error(QStringLiteral("cannot write the printer data: %1")
                              .arg(QString::fromLocal8Bit(std::strerror(errno))));
        return failAfterDraining(1);
    }
    if (std::fgetc(stdin) != EOF)
        diagnostics.warning(QStringLiteral("data after the page raster ignored"));
    return failAfterDraining(0);
}
