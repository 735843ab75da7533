// The version-resource reader on arbitrary bytes: every read must stay inside the buffer
// and every input must give a result. Seeds in seeds/pe/ are written by
// tests/about/pe_seeds.
#include "TFileInfo.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const TFileVersionInfo info = readVersionResource(bytes);
    // Only an executable image carries version information.
    if (!isWindowsExecutable(bytes) && (!info.FileVersion.isEmpty() || info.FileKind != 0))
        __builtin_trap();
    return 0;
}
