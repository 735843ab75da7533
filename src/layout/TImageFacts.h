#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Pixel layout class of a decoded image, in the order of the pixel-format enumeration.
enum class TPixelLayout : quint8 {
    Device = 0,
    Bits1,
    Bits4,
    Bits8,
    Bits15,
    Bits16,
    Bits24,
    Bits32,
    Custom,
};

// The layouts the program can print, as a bit set over the ordinals of TPixelLayout:
// 1, 4, 8, 16 and 24 bit.
inline constexpr quint32 SupportedPixelLayouts = 0x6E;

// What the program knows about the current image. The defaults are the values at
// start-up and after the image is cleared.
struct TImageFacts
{
    bool Loaded = false;       // probed since the last clearing, even when decoding failed
    qint32 Width = 1;          // ImageWidth (256)
    qint32 Height = 1;         // ImageLength (257)
    qint16 BitsPerSample = 8;  // BitsPerSample (258), its first value
    qint32 ExtraSamples = 0;   // the number of values of ExtraSamples (338)
    qint32 ResolutionUnit = 2; // ResolutionUnit (296): 2 inch, 3 centimetre, 0 absent
    double XResolution = 1.0;  // XResolution (282), pixels per unit, 0 absent
    double YResolution = 1.0;  // YResolution (283), likewise
    TPixelLayout PixelLayout = TPixelLayout::Bits8;

    // The facts of an image that was probed but could not be decoded: Loaded, the rest
    // zero and the layout Device.
    static TImageFacts failed();

    bool operator==(const TImageFacts &) const = default;
};

// The layout class of colour depth d = (samplesPerPixel - extraSamples) * bitsPerSample.
TPixelLayout pixelLayoutForDepth(qint64 depth);
TPixelLayout pixelLayoutFor(qint64 samplesPerPixel, qint64 extraSamples, qint64 bitsPerSample);
bool isSupportedLayout(TPixelLayout layout);

// The facts as the page layout uses them, computed afresh on every layout pass.
struct TImageValidation
{
    double EffectiveResolutionX =
        72.0; // pixels per unit; 72 when the tag is missing or not positive
    double EffectiveResolutionY = 72.0;
    bool ResolutionInCm = false;  // per centimetre (unit 3); otherwise per inch
    bool TagsInvalid = false;     // a resolution or its unit was missing or unusable
    bool FormatSupported = false; // PixelLayout is in SupportedPixelLayouts
};

TImageValidation validateImageFacts(const TImageFacts &facts);

// The two image warnings, in the order the layout pass lists them.
inline const QString InvalidTagsWarning = QStringLiteral("Invalid TIFF Tags in image");
inline const QString FormatNotSupportedWarning = QStringLiteral("TIFF format not supported");

// The image's own warnings, in list order (the fit warning is the page layout's).
QStringList imageWarnings(const TImageValidation &validation);
