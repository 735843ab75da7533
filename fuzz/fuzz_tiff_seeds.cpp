// Writes the TIFF seed files of fuzz_tiff into the folder given: one small image of each
// kind the decoder reads (grey, palette and RGB of every depth, planar, with alpha) in
// every compression, in strips and in tiles, in both byte orders, written by the decoder
// tests' own writer.

#include "TestTiff.h"

#include <QDir>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_tiff_seeds <folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path()))
        return 1;
    TIFFSetWarningHandler(nullptr);

    struct Kind
    {
        const char *name;
        quint16 bits, samples, extra, photometric;
        bool planar;
    };
    const Kind kinds[] = {
        {"grey1", 1, 1, 0, PHOTOMETRIC_MINISWHITE, false},
        {"grey4", 4, 1, 0, PHOTOMETRIC_MINISBLACK, false},
        {"grey8", 8, 1, 0, PHOTOMETRIC_MINISBLACK, false},
        {"grey16", 16, 1, 0, PHOTOMETRIC_MINISBLACK, false},
        {"grey8-alpha-planar", 8, 2, 1, PHOTOMETRIC_MINISBLACK, true},
        {"palette4", 4, 1, 0, PHOTOMETRIC_PALETTE, false},
        {"rgb8", 8, 3, 0, PHOTOMETRIC_RGB, false},
        {"rgba16", 16, 4, 1, PHOTOMETRIC_RGB, false},
        {"rgb16-planar", 16, 3, 0, PHOTOMETRIC_RGB, true},
    };
    struct Codec
    {
        const char *name;
        quint16 compression;
        quint16 predictor;
    };
    const Codec codecs[] = {{"none", COMPRESSION_NONE, PREDICTOR_NONE},
                            {"lzw", COMPRESSION_LZW, PREDICTOR_HORIZONTAL},
                            {"deflate", COMPRESSION_ADOBE_DEFLATE, PREDICTOR_NONE},
                            {"packbits", COMPRESSION_PACKBITS, PREDICTOR_NONE}};
    const TestSamples sample = [](quint32 x, quint32 y, int s) {
        return quint32(x * 7 + y * 13 + quint32(s) * 29);
    };
    int written = 0;
    for (const Kind &k : kinds)
        for (const Codec &c : codecs)
            for (int tiled = 0; tiled < 2; ++tiled) {
                TestTiffLayout l;
                l.width = 21;
                l.height = 19;
                l.bits = k.bits;
                l.samples = k.samples;
                l.extraSamples = k.extra;
                l.photometric = k.photometric;
                l.planar = k.planar;
                l.compression = c.compression;
                l.predictor = k.bits >= 8 ? c.predictor : quint16(PREDICTOR_NONE);
                l.tiled = tiled;
                l.bigEndian = (written % 3) == 1;
                const QString name =
                    QStringLiteral("%1-%2-%3.tif")
                        .arg(QLatin1String(k.name), QLatin1String(c.name),
                             tiled ? QStringLiteral("tiles") : QStringLiteral("strips"));
                const TestSamples masked = [&](quint32 x, quint32 y, int s) {
                    const quint32 range = k.bits >= 16 ? 65536u : 1u << k.bits;
                    return sample(x, y, s) % range;
                };
                if (!writeTestTiff(folder.filePath(name), l, masked)) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
                    return 1;
                }
                ++written;
            }
    return 0;
}
