#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

typedef struct tiff TIFF;

// Reads a TIFF image one band of rows at a time (a strip, or a row of tiles) and hands
// out its rows as grey, 0 black to 65535 white. Memory holds one band, never the image.
// Grey, palette and RGB images of 1 to 16 bits per sample, in strips or tiles, either
// planar layout, with whatever compression libtiff decodes.
class TiffRows
{
public:
    ~TiffRows();

    // Nothing, with the reason in error, when the file cannot be read or its pixel layout
    // is not one of the above.
    static std::unique_ptr<TiffRows> open(const QString &path, QString &error);

    uint32_t width() const { return m_width; }
    uint32_t height() const { return m_height; }
    // Pixels per inch; 72 when the file gives none or nonsense, converted from per
    // centimetre when the file says so.
    double xPerInch() const { return m_xPerInch; }
    double yPerInch() const { return m_yPerInch; }

    // Row y as grey. Rows must be asked for in non-decreasing order; asking for the same
    // row again is free. Null, with the reason in error, when the data cannot be decoded.
    const uint16_t *greyRow(uint32_t y, QString &error);

private:
    TiffRows() = default;
    bool describe(QString &error);
    bool loadBand(uint32_t band, QString &error);
    uint32_t sample(const uint8_t *row, uint32_t index) const;
    void convertRow(uint32_t rowInBand);

    TIFF *m_tiff = nullptr;
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    double m_xPerInch = 72;
    double m_yPerInch = 72;
    uint16_t m_bits = 8;
    uint16_t m_samples = 1;
    uint16_t m_photometric = 1;
    bool m_separate = false;
    bool m_tiled = false;
    uint32_t m_bandRows = 0; // rows per strip or tile
    uint32_t m_tileWidth = 0;
    uint64_t m_stride = 0;        // bytes of one row of one plane in the band
    std::vector<uint8_t> m_band;  // planes one after another, m_bandRows rows each
    std::vector<uint8_t> m_chunk; // one tile while a band is put together
    int64_t m_loadedBand = -1;
    std::vector<uint16_t> m_grey;
    int64_t m_greyRow = -1;
    std::vector<uint16_t> m_palette[3];
};
