#pragma once

// Small TIFF files for the Rastermill tests, written through libtiff in the layouts the
// tool reads: grey, palette or RGB, 1 to 16 bits, strips or tiles, either planar layout.

#include <QFile>
#include <QString>

#include <tiffio.h>

#include <cstring>
#include <functional>
#include <vector>

struct ToolTiff
{
    uint32_t width = 40;
    uint32_t height = 20;
    uint16_t bits = 8;
    uint16_t samples = 1;
    uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    uint16_t compression = COMPRESSION_NONE;
    bool planar = false;
    bool tiled = false;
    uint32_t rowsPerStrip = 7;
    bool resolution = true;
    float xResolution = 300;
    float yResolution = 300;
    uint16_t resolutionUnit = RESUNIT_INCH;
    std::vector<uint16_t> palette[3]; // 16-bit entries, 2^bits each
};

// Sample s of pixel (x, y) as stored.
using ToolTiffSamples = std::function<uint32_t(uint32_t x, uint32_t y, int s)>;

inline bool writeToolTiff(const QString &path, const ToolTiff &t, const ToolTiffSamples &sample)
{
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, t.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, t.height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, t.bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, t.samples);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, t.photometric);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, t.planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, t.compression);
    if (t.resolution) {
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, t.xResolution);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, t.yResolution);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, t.resolutionUnit);
    }
    const int colours = t.photometric == PHOTOMETRIC_RGB ? 3 : 1;
    if (t.samples > colours) {
        const std::vector<uint16_t> kinds(size_t(t.samples - colours), EXTRASAMPLE_UNASSALPHA);
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, uint16_t(kinds.size()), kinds.data());
    }
    if (t.photometric == PHOTOMETRIC_PALETTE)
        TIFFSetField(tif, TIFFTAG_COLORMAP, t.palette[0].data(), t.palette[1].data(),
                     t.palette[2].data());
    if (t.tiled) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16u);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, 16u);
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, t.rowsPerStrip);
    }
    const int inRow = t.planar ? 1 : t.samples;
    const int planes = t.planar ? t.samples : 1;
    // Packs n samples from x0 of row y of plane p, most significant bit first.
    const auto pack = [&](uint8_t *out, uint32_t x0, uint32_t n, uint32_t y, int p) {
        uint64_t bit = 0;
        for (uint32_t x = x0; x < x0 + n; ++x)
            for (int s = 0; s < inRow; ++s) {
                const uint32_t v = sample(x, y, t.planar ? p : s);
                if (t.bits == 16) {
                    const uint16_t w = uint16_t(v);
                    std::memcpy(out + bit / 8, &w, 2); // native order; libtiff swaps as needed
                    bit += 16;
                } else {
                    for (int b = t.bits - 1; b >= 0; --b, ++bit)
                        if (v >> b & 1)
                            out[bit / 8] |= uint8_t(0x80 >> (bit % 8));
                }
            }
    };
    bool ok = true;
    if (t.tiled) {
        const tmsize_t size = TIFFTileSize(tif);
        const uint64_t rowBytes = (uint64_t(16) * inRow * t.bits + 7) / 8;
        std::vector<uint8_t> tile(static_cast<size_t>(size));
        for (int p = 0; p < planes && ok; ++p)
            for (uint32_t ty = 0; ty < t.height && ok; ty += 16)
                for (uint32_t tx = 0; tx < t.width && ok; tx += 16) {
                    std::fill(tile.begin(), tile.end(), 0);
                    for (uint32_t y = ty; y < std::min(t.height, ty + 16); ++y)
                        pack(tile.data() + (y - ty) * rowBytes, tx, std::min(16u, t.width - tx), y,
                             p);
                    ok = TIFFWriteTile(tif, tile.data(), tx, ty, 0, uint16_t(p)) == size;
                }
    } else {
        std::vector<uint8_t> row(size_t(TIFFScanlineSize(tif)));
        for (int p = 0; p < planes && ok; ++p)
            for (uint32_t y = 0; y < t.height && ok; ++y) {
                std::fill(row.begin(), row.end(), 0);
                pack(row.data(), 0, t.width, y, p);
                ok = TIFFWriteScanline(tif, row.data(), y, uint16_t(p)) == 1;
            }
    }
    TIFFClose(tif);
    return ok;
}
