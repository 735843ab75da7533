#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class Diagnostics;
class TiffRows;
struct RasterRequest;

// Where the image lands. The page raster is always the paper as the printer feeds it
// (portrait); a landscape page is the paper turned a quarter clockwise, so its top edge is
// the paper's left edge and a point (x, y) of the landscape page lies at (y, L - x) on
// the paper of length L. Placement and margins are given on the page as oriented.
struct RasterLayout
{
    int dpi = 0;
    int64_t paperWidth = 0; // pixels of the portrait raster
    int64_t paperLength = 0;
    bool landscape = false;
    // The printable part of the paper, portrait pixels, right and bottom exclusive.
    int64_t printLeft = 0, printTop = 0, printRight = 0, printBottom = 0;
    // The image on the oriented page, pixels.
    int64_t imageX = 0, imageY = 0, imageWidth = 0, imageHeight = 0;
    int scalePercent = 100;

    int64_t orientedWidth() const { return landscape ? paperLength : paperWidth; }
    int64_t orientedHeight() const { return landscape ? paperWidth : paperLength; }
};

// Lays out an image of the given size and resolution as the request says: scale-to-fit
// takes the largest whole percentage that fits the printable area, as the front end does.
std::optional<RasterLayout> layOut(const RasterRequest &request, uint32_t imageWidth,
                                   uint32_t imageHeight, double xPerInch, double yPerInch,
                                   Diagnostics &diagnostics);

// The page raster: grey, 0 black to 65535 white, row by row. The image is resampled by
// averaging the source pixels under each raster pixel; what falls outside the printable
// area stays paper white. Reads the image once, from top to bottom.
std::optional<std::vector<uint16_t>> renderPage(TiffRows &image, const RasterLayout &layout,
                                                Diagnostics &diagnostics);
