#pragma once

#include "TImageFacts.h"

// The facts of a probed 8-bit image; by default 3000 x 2400 pixels at 300 per inch.
inline TImageFacts photo(int width = 3000, int height = 2400, double resolution = 300,
                         int unit = 2)
{
    TImageFacts facts;
    facts.Loaded = true;
    facts.Width = width;
    facts.Height = height;
    facts.XResolution = resolution;
    facts.YResolution = resolution;
    facts.ResolutionUnit = unit;
    facts.PixelLayout = TPixelLayout::Bits8;
    return facts;
}
