// Writes the calibration target ChannelWedge.tif: a 16-bit greyscale page of
// 8 x 10 inches at 300 pixels per inch with no text on it.
//
//   channelwedge OUTPUT.tif
//
// From the top: an orientation mark in the top left corner, eight identical
// rows of 21 patches from 0 to 100 % ink in 5 % steps (one row per ink slot
// of the largest models), a smooth ramp from paper white to full black, and a
// fine wedge of 51 patches in 2 % steps. A thin frame marks the trim. Pixel
// value 65535 is paper white, 0 is full ink.

#include <tiffio.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int Width = 2400;
constexpr int Height = 3000;
constexpr double Dpi = 300.0;
constexpr std::uint16_t White = 65535;

constexpr int Left = 150;        // wedge area, inside the frame
constexpr int Right = 2250;      // exclusive
constexpr int FrameInset = 100;  // frame line position from the page edge
constexpr int FrameWidth = 3;

constexpr int ChannelRows = 8;
constexpr int RowTop = 240;
constexpr int RowHeight = 230;
constexpr int RowPitch = 260;
constexpr int CoarseSteps = 21;

constexpr int RampTop = RowTop + ChannelRows * RowPitch + 40;  // 2360
constexpr int RampHeight = 180;
constexpr int FineTop = RampTop + RampHeight + 50;             // 2590
constexpr int FineHeight = 200;
constexpr int FineSteps = 51;

std::uint16_t inkToValue(double ink)
{
    const double v = (1.0 - ink) * 65535.0 + 0.5;
    return static_cast<std::uint16_t>(v < 0 ? 0 : v > 65535 ? 65535 : v);
}

// Patch k of n patches spread over [Left, Right), edges rounded down so that
// the patches fill the area without gaps.
void drawWedge(std::vector<std::uint16_t> &row, int steps)
{
    const int span = Right - Left;
    for (int k = 0; k < steps; ++k) {
        const int x0 = Left + k * span / steps;
        const int x1 = Left + (k + 1) * span / steps;
        const std::uint16_t v = inkToValue(double(k) / (steps - 1));
        for (int x = x0; x < x1; ++x)
            row[std::size_t(x)] = v;
    }
}

void drawRamp(std::vector<std::uint16_t> &row)
{
    const int span = Right - Left - 1;
    for (int x = Left; x < Right; ++x)
        row[std::size_t(x)] = inkToValue(double(x - Left) / span);
}

void drawFrame(std::vector<std::uint16_t> &row, int y)
{
    const int top = FrameInset, bottom = Height - FrameInset - 1;
    const int left = FrameInset, right = Width - FrameInset - 1;
    if (y < top || y > bottom)
        return;
    if (y < top + FrameWidth || y > bottom - FrameWidth) {
        for (int x = left; x <= right; ++x)
            row[std::size_t(x)] = 0;
        return;
    }
    for (int i = 0; i < FrameWidth; ++i) {
        row[std::size_t(left + i)] = 0;
        row[std::size_t(right - i)] = 0;
    }
}

void fillRow(std::vector<std::uint16_t> &row, int y)
{
    std::fill(row.begin(), row.end(), White);
    drawFrame(row, y);
    if (y >= 150 && y < 190) {  // orientation mark: top left only
        for (int x = Left; x < Left + 40; ++x)
            row[std::size_t(x)] = 0;
    }
    if (y >= RowTop && y < RowTop + ChannelRows * RowPitch) {
        if ((y - RowTop) % RowPitch < RowHeight)
            drawWedge(row, CoarseSteps);
    } else if (y >= RampTop && y < RampTop + RampHeight) {
        drawRamp(row);
    } else if (y >= FineTop && y < FineTop + FineHeight) {
        drawWedge(row, FineSteps);
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: channelwedge OUTPUT.tif\n");
        return 2;
    }
    TIFF *tif = TIFFOpen(argv[1], "w");
    if (!tif) {
        std::fprintf(stderr, "ERROR: cannot create %s\n", argv[1]);
        return 1;
    }
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(Width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(Height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, std::uint16_t(16));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, std::uint16_t(1));
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    // Plain LZW without a predictor: the simplest form every strip reader takes.
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, std::uint32_t(16));
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, Dpi);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, Dpi);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_IMAGEDESCRIPTION, "Zorlane channel calibration wedge");

    std::vector<std::uint16_t> row(Width);
    for (int y = 0; y < Height; ++y) {
        fillRow(row, y);
        if (TIFFWriteScanline(tif, row.data(), std::uint32_t(y), 0) < 0) {
            std::fprintf(stderr, "ERROR: cannot write %s\n", argv[1]);
            TIFFClose(tif);
            std::remove(argv[1]);
            return 1;
        }
    }
    TIFFClose(tif);
    return 0;
}
