#pragma once

// TIFF files for the decoder tests: written through libtiff in any layout it can write,
// or put together byte by byte when a test needs tags libtiff would not write (missing
// or lying ones). Plus the reference preview: a plain box average over a whole picture
// held in memory, to compare the streaming decoder with.

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QSize>
#include <QString>

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <vector>

struct TestTiffLayout
{
    quint32 width = 40;
    quint32 height = 30;
    quint16 bits = 8;
    quint16 samples = 1; // including extra samples
    quint16 extraSamples = 0;
    quint16 photometric = PHOTOMETRIC_MINISBLACK;
    quint16 compression = COMPRESSION_NONE;
    quint16 predictor = PREDICTOR_NONE;
    bool planar = false;
    bool tiled = false;
    quint32 tileWidth = 16;
    quint32 tileLength = 16;
    quint32 rowsPerStrip = 7;
    bool bigEndian = false;
    bool resolution = true;
    double xResolution = 300;
    double yResolution = 300;
    quint16 resolutionUnit = RESUNIT_INCH;
};

// Sample s of pixel (x, y) as stored: 0 .. 2^bits - 1, or a palette index.
using TestSamples = std::function<quint32(quint32 x, quint32 y, int s)>;

// The 8-bit colour map entry c (0 red, 1 green, 2 blue) of index i in palette tests.
inline int testPaletteEntry(int c, quint32 i)
{
    return int((i * (37u + 50u * quint32(c)) + 11u * quint32(c)) % 256u);
}

inline bool writeTestTiff(const QString &path, const TestTiffLayout &l, const TestSamples &sample)
{
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), l.bigEndian ? "wb" : "wl");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, l.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, l.height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, l.bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, l.samples);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, l.photometric);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, l.planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, l.compression);
    if (l.predictor != PREDICTOR_NONE)
        TIFFSetField(tif, TIFFTAG_PREDICTOR, l.predictor);
    if (l.extraSamples > 0) {
        std::vector<quint16> kinds(l.extraSamples, EXTRASAMPLE_UNASSALPHA);
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, l.extraSamples, kinds.data());
    }
    if (l.resolution) {
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, float(l.xResolution));
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, float(l.yResolution));
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, l.resolutionUnit);
    }
    if (l.photometric == PHOTOMETRIC_PALETTE) {
        const size_t n = size_t(1) << l.bits;
        std::vector<quint16> map[3];
        for (int c = 0; c < 3; ++c)
            for (size_t i = 0; i < n; ++i)
                map[c].push_back(quint16(testPaletteEntry(c, quint32(i)) * 257));
        TIFFSetField(tif, TIFFTAG_COLORMAP, map[0].data(), map[1].data(), map[2].data());
    }
    if (l.tiled) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, l.tileWidth);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, l.tileLength);
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, l.rowsPerStrip);
    }

    const int inRow = l.planar ? 1 : l.samples;
    const int planes = l.planar ? l.samples : 1;
    // Packs samples [x0, x0 + n) of row y of plane p, MSB first, into out.
    const auto pack = [&](uchar *out, quint32 x0, quint32 n, quint32 y, int p) {
        quint64 bit = 0;
        for (quint32 x = x0; x < x0 + n; ++x)
            for (int s = 0; s < inRow; ++s) {
                const quint32 v = sample(x, y, l.planar ? p : s);
                if (l.bits == 16) {
                    const quint16 w = quint16(v);
                    std::memcpy(out + bit / 8, &w, 2); // native order: libtiff swaps on writing
                    bit += 16;
                } else {
                    for (int b = l.bits - 1; b >= 0; --b, ++bit)
                        if (v >> b & 1)
                            out[bit / 8] |= uchar(0x80 >> (bit % 8));
                }
            }
    };
    bool ok = true;
    if (l.tiled) {
        const tmsize_t size = TIFFTileSize(tif);
        const quint64 rowBytes = (quint64(l.tileWidth) * inRow * l.bits + 7) / 8;
        std::vector<uchar> tile(static_cast<size_t>(size));
        for (int p = 0; p < planes && ok; ++p)
            for (quint32 ty = 0; ty < l.height && ok; ty += l.tileLength)
                for (quint32 tx = 0; tx < l.width && ok; tx += l.tileWidth) {
                    std::fill(tile.begin(), tile.end(), 0);
                    for (quint32 y = ty; y < std::min(l.height, ty + l.tileLength); ++y)
                        pack(tile.data() + (y - ty) * rowBytes, tx,
                             std::min(l.tileWidth, l.width - tx), y, p);
                    ok = TIFFWriteTile(tif, tile.data(), tx, ty, 0, quint16(p)) == size;
                }
    } else {
        std::vector<uchar> row(size_t(TIFFScanlineSize(tif)));
        for (int p = 0; p < planes && ok; ++p)
            for (quint32 y = 0; y < l.height && ok; ++y) {
                std::fill(row.begin(), row.end(), 0);
                pack(row.data(), 0, l.width, y, p);
                ok = TIFFWriteScanline(tif, row.data(), y, quint16(p)) == 1;
            }
    }
    TIFFClose(tif);
    return ok;
}

// The preview the decoder should make: each target pixel the mean of the source pixels
// in its box (columns floor(t * w / tw) up to the next bound, rows likewise), scaled to
// 8 bits with rounding, inverted for MinIsWhite, palette indices looked up first.
inline QImage referencePreview(const TestTiffLayout &l, const TestSamples &sample, QSize target)
{
    const bool colour = l.photometric == PHOTOMETRIC_RGB || l.photometric == PHOTOMETRIC_PALETTE;
    const int channels = colour ? 3 : 1;
    const quint64 maxValue = l.photometric == PHOTOMETRIC_PALETTE ? 255 : (1ull << l.bits) - 1;
    QImage image(target, colour ? QImage::Format_RGB32 : QImage::Format_Grayscale8);
    const qint64 tw = target.width(), th = target.height();
    for (qint64 ty = 0; ty < th; ++ty)
        for (qint64 tx = 0; tx < tw; ++tx) {
            const quint32 x0 = quint32(tx * l.width / tw), x1 = quint32((tx + 1) * l.width / tw);
            const quint32 y0 = quint32(ty * l.height / th), y1 = quint32((ty + 1) * l.height / th);
            int out[3] = {};
            for (int c = 0; c < channels; ++c) {
                quint64 sum = 0;
                for (quint32 y = y0; y < y1; ++y)
                    for (quint32 x = x0; x < x1; ++x)
                        sum += l.photometric == PHOTOMETRIC_PALETTE
                                   ? quint64(testPaletteEntry(c, sample(x, y, 0)))
                                   : sample(x, y, c);
                const quint64 count = quint64(x1 - x0) * (y1 - y0) * maxValue;
                const int v = int((sum * 510 + count) / (2 * count));
                out[c] = l.photometric == PHOTOMETRIC_MINISWHITE ? 255 - v : v;
            }
            if (colour)
                image.setPixel(int(tx), int(ty), qRgb(out[0], out[1], out[2]));
            else
                image.scanLine(int(ty))[tx] = uchar(out[0]);
        }
    return image;
}

// A classic TIFF put together entry by entry: header, the one directory at offset 8,
// the values that do not fit their entries, then the pixel data. Entries are written
// in tag order; values are given as numbers and written in the file's byte order.
class TiffBuilder
{
public:
    explicit TiffBuilder(bool bigEndian = false) : m_bigEndian(bigEndian) {}

    void set(quint16 tag, quint16 type, std::vector<quint64> values, bool dataOffsets = false)
    {
        m_entries[tag] = Entry{type, std::move(values), dataOffsets, std::nullopt};
    }
    void setShort(quint16 tag, std::vector<quint64> values) { set(tag, TIFF_SHORT, values); }
    void setLong(quint16 tag, std::vector<quint64> values) { set(tag, TIFF_LONG, values); }
    void setRational(quint16 tag, quint64 numerator, quint64 denominator)
    {
        set(tag, TIFF_RATIONAL, {numerator, denominator});
    }
    // Offsets into the pixel data, turned into file offsets.
    void setDataOffsets(quint16 tag, std::vector<quint64> offsets)
    {
        set(tag, TIFF_LONG, offsets, true);
    }
    // An entry whose count says more than the values given (a lying table).
    void setClaimedCount(quint16 tag, quint32 count) { m_entries[tag].claimedCount = count; }
    void remove(quint16 tag) { m_entries.erase(tag); }
    QByteArray &data() { return m_data; }

    QByteArray build() const
    {
        const quint32 directorySize = quint32(2 + 12 * m_entries.size() + 4);
        quint32 valuesSize = 0;
        for (const auto &[tag, e] : m_entries)
            if (byteSize(e) > 4)
                valuesSize += (byteSize(e) + 1) & ~1u;
        const quint32 dataStart = 8 + directorySize + valuesSize;

        QByteArray out;
        out += m_bigEndian ? "MM" : "II";
        put(out, 42, 2);
        put(out, 8, 4);
        put(out, m_entries.size(), 2);
        QByteArray values;
        for (const auto &[tag, e] : m_entries) {
            QByteArray bytes;
            for (quint64 v : e.values)
                put(bytes, e.dataOffsets ? v + dataStart : v,
                    typeSize(e.type) == 8 ? 4 : typeSize(e.type));
            put(out, tag, 2);
            put(out, e.type, 2);
            put(out, e.claimedCount ? *e.claimedCount : count(e), 4);
            if (byteSize(e) > 4) {
                put(out, 8 + directorySize + values.size(), 4);
                values += bytes;
                if (values.size() % 2)
                    values += '\0';
            } else {
                bytes.resize(4, '\0');
                out += bytes;
            }
        }
        put(out, 0, 4);
        return out + values + m_data;
    }

    bool writeTo(const QString &path) const
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(build()) >= 0;
    }

private:
    struct Entry
    {
        quint16 type = TIFF_SHORT;
        std::vector<quint64> values;
        bool dataOffsets = false;
        std::optional<quint32> claimedCount;
    };
    static quint32 typeSize(quint16 type)
    {
        switch (type) {
        case TIFF_SHORT:
        case TIFF_SSHORT:
            return 2;
        case TIFF_LONG:
        case TIFF_SLONG:
            return 4;
        case TIFF_RATIONAL:
        case TIFF_SRATIONAL:
            return 8;
        default:
            return 1;
        }
    }
    static quint32 count(const Entry &e)
    {
        return typeSize(e.type) == 8 ? quint32(e.values.size() / 2) : quint32(e.values.size());
    }
    static quint32 byteSize(const Entry &e) { return count(e) * typeSize(e.type); }
    void put(QByteArray &out, quint64 v, int bytes) const
    {
        for (int i = 0; i < bytes; ++i) {
            const int shift = 8 * (m_bigEndian ? bytes - 1 - i : i);
            out += char(v >> shift & 0xFF);
        }
    }

    bool m_bigEndian;
    std::map<quint16, Entry> m_entries;
    QByteArray m_data;
};

// An 8-bit grey image of w x h pixels in one uncompressed strip, pixel (x, y) = value.
inline TiffBuilder greyBuilder(quint32 w, quint32 h,
                               const std::function<uchar(quint32, quint32)> &value,
                               bool bigEndian = false)
{
    TiffBuilder b(bigEndian);
    b.setLong(256, {w});
    b.setLong(257, {h});
    b.setShort(258, {8});
    b.setShort(259, {COMPRESSION_NONE});
    b.setShort(262, {PHOTOMETRIC_MINISBLACK});
    b.setDataOffsets(273, {0});
    b.setShort(277, {1});
    b.setLong(278, {h});
    b.setLong(279, {quint64(w) * h});
    b.setRational(282, 300, 1);
    b.setRational(283, 300, 1);
    b.setShort(296, {RESUNIT_INCH});
    for (quint32 y = 0; y < h; ++y)
        for (quint32 x = 0; x < w; ++x)
            b.data() += char(value(x, y));
    return b;
}
