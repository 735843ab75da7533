// Feeds any bytes to the curve file reader, both as a curve file and as Curvewright's graph
// output. Each read must end in a ZorError or a result within the file's limits.
#include "CurveFileReader.h"
#include "ZorError.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void checkChannels(const QList<CurveChannel> &channels)
{
    if (channels.isEmpty() || channels.size() > MaxCurveChannels)
        std::abort();
    for (const CurveChannel &channel : channels) {
        if (channel.points.size() > CurveLevels)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        checkChannels(readCurveChannels(text, QStringLiteral("fuzz.zorl")));
    } catch (const ZorError &) {
    }
    try {
        const Linearization linearization = readLinearization(text, QStringLiteral("fuzz.out"));
        if (!linearization.found && !linearization.points.isEmpty())
            std::abort();
    } catch (const ZorError &) {
    }
    return 0;
}
