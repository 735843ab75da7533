// The image probe and the preview decoder on any bytes, with the window's preview size.

#include "FuzzInput.h"

#include "TiffDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzFile(QStringLiteral("image.tif"), data, size);
    const TTiffDecodeResult probed = probeTiff(path);
    const TTiffDecodeResult decoded = decodeTiff(path, QSize(528, 528));
    // The probe promises what the decoder can do; the decoder may still meet a damaged
    // compressed stream.
    if (decoded.ok && (!probed.ok || probed.facts != decoded.facts))
        __builtin_trap();
    if (decoded.ok && decoded.preview.isNull())
        __builtin_trap();
    return 0;
}
