#include "TiffRows.h"

#include <QFile>

#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// One band may be a whole uncompressed image in a single strip; beyond this the file is
// not worth the machine's memory.
constexpr uint64_t MaxBandBytes = uint64_t(1) << 30;
constexpr tmsize_t MaxLibtiffAllocation = tmsize_t(256) * 1024 * 1024;

int keepMessage(TIFF *, void *userData, const char *, const char *format, va_list args)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    *static_cast<QString *>(userData) = QString::fromLocal8Bit(text);
    return 1;
}

int ignoreMessage(TIFF *, void *, const char *, const char *, va_list)
{
    return 1;
}

// The last libtiff error, filled by its handler.
QString &libtiffError()
{
    static QString message;
    return message;
}

double perInch(float value, uint16_t unit)
{
    if (!std::isfinite(value) || value <= 0)
        return 72.0;
    return unit == RESUNIT_CENTIMETER ? double(value) * 2.54 : double(value);
}

} // namespace

TiffRows::~TiffRows()
{
    if (m_tiff)
        TIFFClose(m_tiff);
}

std::unique_ptr<TiffRows> TiffRows::open(const QString &path, QString &error)
{
    std::unique_ptr<TiffRows> rows(new TiffRows);
    TIFFOpenOptions *options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, MaxLibtiffAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options, keepMessage, &libtiffError());
    TIFFOpenOptionsSetWarningHandlerExtR(options, ignoreMessage, nullptr);
    libtiffError().clear();
    // "m": read the file rather than map it, so that a large image is not held in memory.
    rows->m_tiff = TIFFOpenExt(QFile::encodeName(path).constData(), "rm", options);
    TIFFOpenOptionsFree(options);
    if (!rows->m_tiff) {
        error = libtiffError().isEmpty() ? QStringLiteral("not a TIFF file") : libtiffError();
        return nullptr;
    }
    if (!rows->describe(error))
        return nullptr;
    return rows;
}

bool TiffRows::describe(QString &error)
{
    TIFF *tif = m_tiff;
    uint16_t sampleFormat = SAMPLEFORMAT_UINT, planar = PLANARCONFIG_CONTIG;
    uint16_t compression = COMPRESSION_NONE, unit = RESUNIT_INCH;
    float xRes = 0, yRes = 0;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &m_width) ||
        !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &m_height) || m_width == 0 || m_height == 0) {
        error = QStringLiteral("the image has no size");
        return false;
    }
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &m_bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &m_samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &sampleFormat);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &m_photometric))
        m_photometric = m_samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xRes) &&
        TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yRes)) {
        TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
        m_xPerInch = perInch(xRes, unit);
        m_yPerInch = perInch(yRes, unit);
    }

    const bool bitsOk = m_bits == 1 || m_bits == 2 || m_bits == 4 || m_bits == 8 || m_bits == 16;
    if (!bitsOk || (sampleFormat != SAMPLEFORMAT_UINT && sampleFormat != SAMPLEFORMAT_VOID)) {
        error = QStringLiteral("%1-bit samples of format %2 are not supported; use 1 to 16-bit "
                               "unsigned integers")
                    .arg(m_bits)
                    .arg(sampleFormat);
        return false;
    }
    const bool grey =
        m_photometric == PHOTOMETRIC_MINISBLACK || m_photometric == PHOTOMETRIC_MINISWHITE;
    const bool layoutOk =
        m_samples >= 1 && ((grey) || (m_photometric == PHOTOMETRIC_RGB && m_samples >= 3) ||
                           (m_photometric == PHOTOMETRIC_PALETTE && m_bits <= 8));
    if (!layoutOk) {
        error = QStringLiteral("photometric interpretation %1 with %2 samples per pixel is not "
                               "supported; use grey, palette or RGB")
                    .arg(m_photometric)
                    .arg(m_samples);
        return false;
    }
    if (!TIFFIsCODECConfigured(compression)) {
        error = QStringLiteral("compression %1 is not supported").arg(compression);
        return false;
    }
    if (m_photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *map[3] = {nullptr, nullptr, nullptr};
        if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &map[0], &map[1], &map[2])) {
            error = QStringLiteral("the palette image has no colour map");
            return false;
        }
        const size_t entries = size_t(1) << m_bits;
        bool eightBit = true; // some writers store 8-bit entries in the 16-bit map
        for (int c = 0; c < 3; ++c) {
            m_palette[c].assign(map[c], map[c] + entries);
            eightBit = eightBit && std::all_of(m_palette[c].begin(), m_palette[c].end(),
                                               [](uint16_t v) { return v < 256; });
        }
        if (eightBit) {
            for (auto &channel : m_palette)
                for (uint16_t &v : channel)
                    v = uint16_t(v * 257);
        }
    }

    m_separate = planar == PLANARCONFIG_SEPARATE && m_samples > 1;
    m_tiled = TIFFIsTiled(tif);
    const uint64_t planes = m_separate ? m_samples : 1;
    if (m_tiled) {
        uint32_t tileLength = 0;
        if (!TIFFGetField(tif, TIFFTAG_TILEWIDTH, &m_tileWidth) ||
            !TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileLength) || m_tileWidth == 0 ||
            tileLength == 0) {
            error = QStringLiteral("the tiled image has no tile size");
            return false;
        }
        m_bandRows = std::min(tileLength, m_height);
        const uint64_t across = (uint64_t(m_width) + m_tileWidth - 1) / m_tileWidth;
        const uint64_t tileRow = uint64_t(TIFFTileRowSize64(tif));
        if (tileRow == 0 || across > MaxBandBytes / tileRow) {
            error = QStringLiteral("the tiles are too large");
            return false;
        }
        m_stride = across * tileRow;
        const uint64_t tileBytes = uint64_t(TIFFTileSize64(tif));
        if (tileBytes == 0 || tileBytes > MaxBandBytes) {
            error = QStringLiteral("the tiles are too large");
            return false;
        }
        m_chunk.resize(size_t(tileBytes));
    } else {
        uint32_t rowsPerStrip = m_height;
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
        m_bandRows = std::clamp<uint32_t>(rowsPerStrip, 1, m_height);
        m_stride = uint64_t(TIFFScanlineSize64(tif));
        if (m_stride == 0) {
            error = QStringLiteral("the image rows have no size");
            return false;
        }
    }
    // The sample reader relies on every row of the band holding the whole width.
    const uint64_t samplesInRow = uint64_t(m_width) * (m_separate ? 1 : m_samples);
    if (m_stride < (samplesInRow * m_bits + 7) / 8) {
        error = QStringLiteral("the image rows are shorter than the image width");
        return false;
    }
    if (m_stride > MaxBandBytes / m_bandRows / planes) {
        error = QStringLiteral("the image strips are larger than %1 MB").arg(MaxBandBytes >> 20);
        return false;
    }
    m_band.resize(size_t(planes * m_bandRows * m_stride));
    m_grey.resize(m_width);
    return true;
}

bool TiffRows::loadBand(uint32_t band, QString &error)
{
    const uint32_t planes = m_separate ? m_samples : 1;
    const uint32_t firstRow = band * m_bandRows;
    const uint32_t rows = std::min(m_bandRows, m_height - firstRow);
    std::fill(m_band.begin(), m_band.end(), 0);
    libtiffError().clear();
    for (uint32_t p = 0; p < planes; ++p) {
        uint8_t *plane = m_band.data() + size_t(uint64_t(p) * m_bandRows * m_stride);
        if (!m_tiled) {
            const uint32_t strip = TIFFComputeStrip(m_tiff, firstRow, uint16_t(p));
            const tmsize_t wanted = tmsize_t(uint64_t(rows) * m_stride);
            if (TIFFReadEncodedStrip(m_tiff, strip, plane, wanted) < 0) {
                error =
                    QStringLiteral("strip %1 cannot be decoded: %2").arg(strip).arg(libtiffError());
                return false;
            }
            continue;
        }
        const uint64_t tileRow = uint64_t(TIFFTileRowSize64(m_tiff));
        for (uint32_t x = 0, column = 0; x < m_width; x += m_tileWidth, ++column) {
            const uint32_t tile = TIFFComputeTile(m_tiff, x, firstRow, 0, uint16_t(p));
            if (TIFFReadEncodedTile(m_tiff, tile, m_chunk.data(), tmsize_t(m_chunk.size())) < 0) {
                error =
                    QStringLiteral("tile %1 cannot be decoded: %2").arg(tile).arg(libtiffError());
                return false;
            }
            for (uint32_t r = 0; r < rows; ++r)
                std::memcpy(plane + r * m_stride + column * tileRow, m_chunk.data() + r * tileRow,
                            size_t(tileRow));
        }
    }
    m_loadedBand = band;
    return true;
}

uint32_t TiffRows::sample(const uint8_t *row, uint32_t index) const
{
    switch (m_bits) {
    case 8:
        return row[index];
    case 16: {
        uint16_t v;
        std::memcpy(&v, row + size_t(index) * 2, 2); // libtiff hands out native order
        return v;
    }
    default: {
        const uint64_t bit = uint64_t(index) * m_bits;
        const uint32_t shift = 8 - m_bits - uint32_t(bit % 8);
        return (row[bit / 8] >> shift) & ((1u << m_bits) - 1);
    }
    }
}

void TiffRows::convertRow(uint32_t rowInBand)
{
    const uint32_t maxValue = (1u << m_bits) - 1;
    const uint8_t *planes[3] = {nullptr, nullptr, nullptr};
    const int used = m_photometric == PHOTOMETRIC_RGB ? 3 : 1;
    for (int p = 0; p < used; ++p) {
        const size_t plane = m_separate ? size_t(p) : 0;
        planes[p] = m_band.data() + (plane * m_bandRows + rowInBand) * m_stride;
    }
    const uint32_t step = m_separate ? 1 : m_samples;
    const bool grey =
        m_photometric == PHOTOMETRIC_MINISBLACK || m_photometric == PHOTOMETRIC_MINISWHITE;
    if (grey && (m_bits == 8 || m_bits == 16)) {
        // The common photographs, without the general path's per-pixel decisions.
        const uint16_t invert = m_photometric == PHOTOMETRIC_MINISWHITE ? 65535 : 0;
        if (m_bits == 8) {
            for (uint32_t x = 0; x < m_width; ++x)
                m_grey[x] = uint16_t((planes[0][size_t(x) * step] * 257) ^ invert);
        } else {
            for (uint32_t x = 0; x < m_width; ++x) {
                uint16_t v;
                std::memcpy(&v, planes[0] + size_t(x) * step * 2, 2);
                m_grey[x] = uint16_t(v ^ invert);
            }
        }
        return;
    }
    const auto scaled = [maxValue](uint32_t v) {
        return uint32_t((uint64_t(v) * 65535 + maxValue / 2) / maxValue);
    };
    for (uint32_t x = 0; x < m_width; ++x) {
        uint32_t grey = 0;
        switch (m_photometric) {
        case PHOTOMETRIC_MINISBLACK:
            grey = scaled(sample(planes[0], x * step));
            break;
        case PHOTOMETRIC_MINISWHITE:
            grey = 65535 - scaled(sample(planes[0], x * step));
            break;
        case PHOTOMETRIC_PALETTE: {
            const uint32_t i =
                std::min<uint32_t>(sample(planes[0], x * step), uint32_t(m_palette[0].size() - 1));
            grey = (299 * m_palette[0][i] + 587 * m_palette[1][i] + 114 * m_palette[2][i] + 500) /
                   1000;
            break;
        }
        default: { // RGB
            const uint32_t r = scaled(sample(planes[0], m_separate ? x : x * step));
            const uint32_t g = scaled(sample(planes[1], m_separate ? x : x * step + 1));
            const uint32_t b = scaled(sample(planes[2], m_separate ? x : x * step + 2));
            grey = (299 * r + 587 * g + 114 * b + 500) / 1000;
            break;
        }
        }
        m_grey[x] = uint16_t(std::min<uint32_t>(grey, 65535));
    }
}

const uint16_t *TiffRows::greyRow(uint32_t y, QString &error)
{
    if (y >= m_height) {
        error = QStringLiteral("row %1 is outside the image").arg(y);
        return nullptr;
    }
    if (int64_t(y) == m_greyRow)
        return m_grey.data();
    const uint32_t band = y / m_bandRows;
    if (int64_t(band) != m_loadedBand && !loadBand(band, error))
        return nullptr;
    convertRow(y - band * m_bandRows);
    m_greyRow = y;
    return m_grey.data();
}
