#include "TImageFacts.h"

#include <cmath>

TImageFacts TImageFacts::failed()
{
    TImageFacts facts;
    facts.Loaded = true;
    facts.Width = 0;
    facts.Height = 0;
    facts.BitsPerSample = 0;
    facts.ExtraSamples = 0;
    facts.ResolutionUnit = 0;
    facts.XResolution = 0.0;
    facts.YResolution = 0.0;
    facts.PixelLayout = TPixelLayout::Device;
    return facts;
}

TPixelLayout pixelLayoutForDepth(qint64 depth)
{
    switch (depth) {
    case 1:
        return TPixelLayout::Bits1;
    case 4:
        return TPixelLayout::Bits4;
    case 8:
        return TPixelLayout::Bits8;
    case 16:
        return TPixelLayout::Bits16;
    case 24:
    case 48:
        return TPixelLayout::Bits24;
    case 32:
    case 64:
        return TPixelLayout::Bits32;
    default:
        // Depths without a class of their own (0, 2, 12, 96, negative after a lying
        // ExtraSamples, ...) are printed as custom, which the program does not support.
        return depth == 0 ? TPixelLayout::Device : TPixelLayout::Custom;
    }
}

TPixelLayout pixelLayoutFor(qint64 samplesPerPixel, qint64 extraSamples, qint64 bitsPerSample)
{
    return pixelLayoutForDepth((samplesPerPixel - extraSamples) * bitsPerSample);
}

bool isSupportedLayout(TPixelLayout layout)
{
    const auto ordinal = quint32(layout);
    return ordinal < 32 && (SupportedPixelLayouts >> ordinal & 1u) != 0;
}

TImageValidation validateImageFacts(const TImageFacts &facts)
{
    TImageValidation v;
    const auto usable = [](double r) { return std::isfinite(r) && r > 0.0; };
    if (usable(facts.XResolution)) {
        v.EffectiveResolutionX = facts.XResolution;
    } else {
        v.EffectiveResolutionX = 72.0;
        v.TagsInvalid = true;
    }
    if (usable(facts.YResolution)) {
        v.EffectiveResolutionY = facts.YResolution;
    } else {
        v.EffectiveResolutionY = 72.0;
        v.TagsInvalid = true;
    }
    // TIFF knows no unit beyond centimetres; a larger code is as unusable as none.
    const qint64 unit = qint64(facts.ResolutionUnit) - 2;
    if (unit < 0 || unit > 1) {
        v.TagsInvalid = true;
        v.ResolutionInCm = false;
    } else {
        v.ResolutionInCm = unit == 1;
    }
    v.FormatSupported = isSupportedLayout(facts.PixelLayout);
    return v;
}

QStringList imageWarnings(const TImageValidation &validation)
{
    QStringList warnings;
    if (validation.TagsInvalid)
        warnings << InvalidTagsWarning;
    if (!validation.FormatSupported)
        warnings << FormatNotSupportedWarning;
    return warnings;
}
