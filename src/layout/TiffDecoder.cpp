#include "TiffDecoder.h"

#include "PreviewReducer.h"

#include <QFile>

#include <tiffio.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Decoding in parallel bands pays off from this much pixel data on, and is left alone
// when a strip or a row of tiles is so large that one per thread would cost much memory.
constexpr quint64 ParallelMinBytes = quint64(16) << 20;
constexpr quint64 ParallelMaxBufferBytes = quint64(8) << 20;
constexpr unsigned MaxParts = 4;

// Row sampling of huge compressed images: a target row spanning at least twice this
// many source rows averages one row out of every k, at least this many of them.
constexpr int MinRowsPerTargetRow = 16;

// Uncompressed strips are read straight from the file in runs of about this size, so a
// file of thousands of one-row strips costs a few reads instead of one per strip.
constexpr quint64 RawChunkBytes = quint64(4) << 20;

// How much a strip of each compression can expand at most; a strip whose decoded size
// its stored bytes cannot reach is a lie of the header (LZW: one 12-bit code stands for
// at most 4096 bytes; Deflate stays under 1032:1; PackBits under 64:1).
quint64 expansionLimit(quint16 compression)
{
    switch (compression) {
    case COMPRESSION_NONE:
        return 1;
    case COMPRESSION_PACKBITS:
        return 64;
    case COMPRESSION_DEFLATE:
    case COMPRESSION_ADOBE_DEFLATE:
        return 1100;
    default:
        return 4096;
    }
}

bool readAt(int fd, quint64 offset, void *buffer, size_t size)
{
    auto *out = static_cast<char *>(buffer);
    while (size > 0) {
        const ssize_t n = ::pread(fd, out, size, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        out += n;
        offset += quint64(n);
        size -= size_t(n);
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// The fact tags, read from the first directory as they stand in the file: libtiff fills
// in defaults for absent tags, keeps resolutions as single floats, drops resolution
// units it does not know and repairs ExtraSamples, none of which the facts may do.

struct FactTags
{
    qint64 bitsPerSample = 0;
    qint64 samplesPerPixel = 0;
    qint64 extraSamples = 0; // the number of values
    qint64 resolutionUnit = 0;
    double xResolution = 0.0;
    double yResolution = 0.0;
    // Not a fact: how many strips or tiles the size tags call for (0 when they do not
    // say). libtiff allocates its tables for that many before anything can be checked.
    double striles = 0.0;
};

class DirectoryReader
{
public:
    DirectoryReader(int fd, quint64 fileSize) : m_fd(fd), m_fileSize(fileSize) {}

    QString read(FactTags &tags);

private:
    struct Entry
    {
        bool present = false;
        quint16 type = 0;
        quint64 count = 0;
        uchar value[8] = {};
    };

    quint16 u16(const uchar *p) const
    {
        return m_bigEndian ? quint16(p[0] << 8 | p[1]) : quint16(p[1] << 8 | p[0]);
    }
    quint32 u32(const uchar *p) const
    {
        return m_bigEndian ? quint32(u16(p)) << 16 | u16(p + 2)
                           : quint32(u16(p + 2)) << 16 | u16(p);
    }
    quint64 u64(const uchar *p) const
    {
        return m_bigEndian ? quint64(u32(p)) << 32 | u32(p + 4)
                           : quint64(u32(p + 4)) << 32 | u32(p);
    }
    QString firstValue(const Entry &entry, double &value) const;
    QString countStriles(FactTags &tags, const Entry &width, const Entry &length,
                         const Entry &rowsPerStrip, const Entry &planar, const Entry &tileWidth,
                         const Entry &tileLength) const;

    int m_fd;
    quint64 m_fileSize;
    bool m_bigEndian = false;
    bool m_bigTiff = false;
};

QString DirectoryReader::read(FactTags &tags)
{
    uchar header[16] = {};
    if (m_fileSize < 8 || !readAt(m_fd, 0, header, size_t(std::min<quint64>(16, m_fileSize))))
        return QStringLiteral("not a TIFF file");
    if (header[0] == 'M' && header[1] == 'M')
        m_bigEndian = true;
    else if (!(header[0] == 'I' && header[1] == 'I'))
        return QStringLiteral("not a TIFF file");
    const quint16 magic = u16(header + 2);
    quint64 directory = 0;
    if (magic == 42) {
        directory = u32(header + 4);
    } else if (magic == 43 && m_fileSize >= 16 && u16(header + 4) == 8) {
        m_bigTiff = true;
        directory = u64(header + 8);
    } else {
        return QStringLiteral("not a TIFF file");
    }

    const quint64 countSize = m_bigTiff ? 8 : 2;
    const quint64 entrySize = m_bigTiff ? 20 : 12;
    if (directory > m_fileSize || m_fileSize - directory < countSize)
        return QStringLiteral("the first directory lies outside the file");
    uchar countBytes[8] = {};
    if (!readAt(m_fd, directory, countBytes, size_t(countSize)))
        return QStringLiteral("cannot read the first directory");
    const quint64 count = m_bigTiff ? u64(countBytes) : u16(countBytes);
    if (count == 0 || count > 65535 || (m_fileSize - directory - countSize) / entrySize < count)
        return QStringLiteral("the first directory lies outside the file");
    std::vector<uchar> entries(size_t(count * entrySize));
    if (!readAt(m_fd, directory + countSize, entries.data(), entries.size()))
        return QStringLiteral("cannot read the first directory");

    Entry bits, samples, extra, unit, xres, yres;
    Entry width, length, rowsPerStrip, planar, tileWidth, tileLength;
    for (quint64 i = 0; i < count; ++i) {
        const uchar *p = entries.data() + i * entrySize;
        Entry *wanted = nullptr;
        switch (u16(p)) {
        case 256:
            wanted = &width;
            break;
        case 257:
            wanted = &length;
            break;
        case 258:
            wanted = &bits;
            break;
        case 278:
            wanted = &rowsPerStrip;
            break;
        case 284:
            wanted = &planar;
            break;
        case 322:
            wanted = &tileWidth;
            break;
        case 323:
            wanted = &tileLength;
            break;
        case 277:
            wanted = &samples;
            break;
        case 282:
            wanted = &xres;
            break;
        case 283:
            wanted = &yres;
            break;
        case 296:
            wanted = &unit;
            break;
        case 338:
            wanted = &extra;
            break;
        default:
            break;
        }
        if (!wanted || wanted->present) // a repeated tag: the first one counts
            continue;
        wanted->present = true;
        wanted->type = u16(p + 2);
        wanted->count = m_bigTiff ? u64(p + 4) : u32(p + 4);
        std::memcpy(wanted->value, p + (m_bigTiff ? 12 : 8), m_bigTiff ? 8 : 4);
    }

    double value = 0.0;
    // A rational tag may hold 0/0: not a number reads as 0, like a missing value.
    const auto toInt = [](double v) {
        return std::isnan(v)  ? 0
               : v >= 9.0e18  ? std::numeric_limits<qint64>::max()
               : v <= -9.0e18 ? std::numeric_limits<qint64>::min()
                              : qint64(v);
    };
    QString error;
    if (!(error = firstValue(bits, value)).isEmpty())
        return error;
    tags.bitsPerSample = toInt(value);
    if (!(error = firstValue(samples, value)).isEmpty())
        return error;
    tags.samplesPerPixel = toInt(value);
    if (!(error = firstValue(unit, value)).isEmpty())
        return error;
    tags.resolutionUnit = toInt(value);
    if (!(error = firstValue(xres, tags.xResolution)).isEmpty())
        return error;
    if (!(error = firstValue(yres, tags.yResolution)).isEmpty())
        return error;
    tags.extraSamples = extra.present ? qint64(std::min<quint64>(extra.count, INT32_MAX)) : 0;
    return countStriles(tags, width, length, rowsPerStrip, planar, tileWidth, tileLength);
}

QString DirectoryReader::countStriles(FactTags &tags, const Entry &width, const Entry &length,
                                      const Entry &rowsPerStrip, const Entry &planar,
                                      const Entry &tileWidth, const Entry &tileLength) const
{
    double w = 0, h = 0, rows = 0, config = 0, tw = 0, tl = 0;
    for (const auto &[entry, value] : {std::pair{&width, &w},
                                       {&length, &h},
                                       {&rowsPerStrip, &rows},
                                       {&planar, &config},
                                       {&tileWidth, &tw},
                                       {&tileLength, &tl}})
        if (const QString error = firstValue(*entry, *value); !error.isEmpty())
            return error;
    if (!(w >= 1 && h >= 1))
        return {}; // libtiff refuses the image
    const double planes =
        config == PLANARCONFIG_SEPARATE ? std::max(1.0, tags.samplesPerPixel * 1.0) : 1;
    if (tw >= 1 && tl >= 1)
        tags.striles = std::ceil(w / std::floor(tw)) * std::ceil(h / std::floor(tl)) * planes;
    else
        tags.striles = std::ceil(h / (rows >= 1 ? std::min(std::floor(rows), h) : h)) * planes;
    return {};
}

QString DirectoryReader::firstValue(const Entry &entry, double &value) const
{
    value = 0.0;
    static constexpr quint64 typeSizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4,
                                            8, 4, 8, 4, 0, 0, 8, 8, 8};
    const quint64 size = entry.type < std::size(typeSizes) ? typeSizes[entry.type] : 0;
    if (!entry.present || entry.count == 0 || size == 0) // absent, empty or of an unknown type
        return {};
    const quint64 inlineSize = m_bigTiff ? 8 : 4;
    uchar data[8] = {};
    if (entry.count <= inlineSize / size) {
        std::memcpy(data, entry.value, size_t(size));
    } else {
        const quint64 offset = m_bigTiff ? u64(entry.value) : u32(entry.value);
        if (offset > m_fileSize || m_fileSize - offset < size)
            return QStringLiteral("a tag's value lies outside the file");
        if (!readAt(m_fd, offset, data, size_t(size)))
            return QStringLiteral("cannot read a tag's value");
    }
    switch (entry.type) {
    case TIFF_BYTE:
    case TIFF_UNDEFINED:
    case TIFF_ASCII:
        value = data[0];
        break;
    case TIFF_SBYTE:
        value = qint8(data[0]);
        break;
    case TIFF_SHORT:
        value = u16(data);
        break;
    case TIFF_SSHORT:
        value = qint16(u16(data));
        break;
    case TIFF_LONG:
    case TIFF_IFD:
        value = u32(data);
        break;
    case TIFF_SLONG:
        value = qint32(u32(data));
        break;
    case TIFF_LONG8:
    case TIFF_IFD8:
        value = double(u64(data));
        break;
    case TIFF_SLONG8:
        value = double(qint64(u64(data)));
        break;
    case TIFF_RATIONAL:
    case TIFF_SRATIONAL: {
        const quint32 numerator = u32(data);
        const quint32 denominator = u32(data + 4);
        if (denominator == 0)
            return QStringLiteral("a rational tag has a zero denominator");
        value = entry.type == TIFF_RATIONAL
                    ? double(numerator) / double(denominator)
                    : double(qint32(numerator)) / double(qint32(denominator));
        break;
    }
    case TIFF_FLOAT: {
        const quint32 bits = u32(data);
        float f;
        std::memcpy(&f, &bits, 4);
        value = f;
        break;
    }
    case TIFF_DOUBLE: {
        const quint64 bits = u64(data);
        std::memcpy(&value, &bits, 8);
        break;
    }
    default:
        break;
    }
    return {};
}

// Every strip or tile beyond the first needs an offset of at least four bytes in a table
// of the file; more of them than that are a damaged table (which libtiff would fill in
// with copies of one entry), and libtiff would allocate its tables for all of them.
QString checkStrileCount(quint64 fileSize, double striles)
{
    if (striles > 1 && striles > double(fileSize / 4))
        return QStringLiteral("the file is too small for its strip tables");
    return {};
}

// ---------------------------------------------------------------------------------------
// libtiff, opened on our own descriptor, silent, without memory mapping: a mapped file
// would count every page it touched against the program's memory.

struct Messages
{
    QStringList errors;
};

int collectError(TIFF *, void *user, const char *module, const char *format, va_list args)
{
    auto *messages = static_cast<Messages *>(user);
    if (messages && messages->errors.size() < 16) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        QString line = QString::fromUtf8(text);
        if (module && *module)
            line.prepend(QString::fromUtf8(module) + QStringLiteral(": "));
        messages->errors << line;
    }
    return 1; // handled: libtiff's default handler must not print
}

int dropWarning(TIFF *, void *, const char *, const char *, va_list)
{
    return 1;
}

class OpenTiff
{
public:
    OpenTiff() = default;
    OpenTiff(const OpenTiff &) = delete;
    OpenTiff &operator=(const OpenTiff &) = delete;
    ~OpenTiff()
    {
        if (tif)
            TIFFClose(tif); // closes fd as well
        else if (fd >= 0)
            ::close(fd);
    }

    QString open(const QString &path, const TTiffOptions &options)
    {
        const QByteArray name = QFile::encodeName(path);
        // Non-blocking, so that a FIFO given as an image cannot hang the open.
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            return QStringLiteral("cannot open the file");
        struct stat info;
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
            return QStringLiteral("not a regular file");
        fileSize = quint64(info.st_size);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);

        if (const QString error = DirectoryReader(fd, fileSize).read(tags); !error.isEmpty())
            return error;
        if (const QString error = checkStrileCount(fileSize, tags.striles); !error.isEmpty())
            return error;

        TIFFOpenOptions *tiffOptions = TIFFOpenOptionsAlloc();
        TIFFOpenOptionsSetErrorHandlerExtR(tiffOptions, collectError, &messages);
        TIFFOpenOptionsSetWarningHandlerExtR(tiffOptions, dropWarning, nullptr);
        TIFFOpenOptionsSetMaxSingleMemAlloc(tiffOptions, tmsize_t(options.maxBufferBytes));
        tif = TIFFFdOpenExt(fd, name.constData(), "rm", tiffOptions);
        TIFFOpenOptionsFree(tiffOptions);
        if (!tif)
            return lastError(QStringLiteral("libtiff cannot read the file"));
        return {};
    }

    QString lastError(const QString &fallback) const
    {
        return messages.errors.isEmpty() ? fallback : messages.errors.constLast();
    }

    int fd = -1;
    quint64 fileSize = 0;
    TIFF *tif = nullptr;
    FactTags tags;
    Messages messages;
};

// ---------------------------------------------------------------------------------------
// What the decoder makes of the first image, once it has checked that it can.

struct Plan
{
    quint32 width = 0;
    quint32 height = 0;
    quint16 bitsPerSample = 0;
    quint16 samplesPerPixel = 0;
    quint16 photometric = 0;
    quint16 compression = 0;
    bool planar = false;
    bool palette = false;
    bool invert = false;
    int channels = 1;     // shown: 1 grey, 3 colour
    int stride = 1;       // sums per pixel in the reducer
    int planes = 1;       // planes read: 1, or 3 for planar RGB
    quint64 rowBytes = 0; // one row of one plane
    bool tiled = false;
    quint32 rowsPerStrip = 0; // strips
    quint32 stripsPerPlane = 0;
    quint32 tileWidth = 0; // tiles
    quint32 tileLength = 0;
    quint32 tilesAcross = 0;
    quint32 tilesDown = 0;
    quint64 tileRowBytes = 0;
    quint64 tileBytes = 0;
    bool rawStrips = false; // uncompressed strips read straight from the file
    bool swapped = false;   // raw 16-bit samples in the other byte order
    std::vector<uchar> colourMap[3];
};

quint64 ceilDiv(quint64 a, quint64 b)
{
    return a / b + (a % b != 0);
}

// Checks one strip or tile: inside the file, and able to hold its decoded size. Adds its
// stored bytes to storedBytes.
QString checkStrile(const OpenTiff &file, const Plan &plan, quint32 index, quint64 decoded,
                    quint64 &storedBytes)
{
    int error = 0;
    const quint64 offset = TIFFGetStrileOffsetWithErr(file.tif, index, &error);
    const quint64 bytes = TIFFGetStrileByteCountWithErr(file.tif, index, &error);
    if (error)
        return QStringLiteral("the strip tables are damaged");
    if (bytes == 0 || offset > file.fileSize || file.fileSize - offset < bytes)
        return QStringLiteral("a strip lies outside the file");
    if (plan.compression == COMPRESSION_NONE) {
        if (bytes < decoded)
            return QStringLiteral("a strip is shorter than its rows");
    } else if (decoded / expansionLimit(plan.compression) > bytes + 64) {
        return QStringLiteral("a strip is too short for its rows");
    }
    storedBytes += bytes;
    return {};
}

// A file can claim a huge image in a few bytes by pointing many strips or tiles at the
// same bytes; decoding it would then cost many times what the file holds. Strips that
// follow each other never add up to more than the file; some sharing is tolerated
// (writers may store one blank tile for many).
QString checkStoredBytes(const OpenTiff &file, quint64 storedBytes)
{
    if (storedBytes / 2 > file.fileSize)
        return QStringLiteral("the strips share their bytes");
    return {};
}

QString makePlan(OpenTiff &file, const TTiffOptions &options, Plan &plan)
{
    TIFF *tif = file.tif;
    quint32 width = 0, height = 0;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height))
        return QStringLiteral("the image has no size");
    if (width == 0 || height == 0 || width > quint32(INT32_MAX) || height > quint32(INT32_MAX))
        return QStringLiteral("the image size is out of range");
    plan.width = width;
    plan.height = height;

    quint16 sampleFormat = SAMPLEFORMAT_UINT, planarConfig = PLANARCONFIG_CONTIG;
    quint16 fillOrder = FILLORDER_MSB2LSB;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &plan.bitsPerSample);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &plan.samplesPerPixel);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &plan.compression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &sampleFormat);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planarConfig);
    TIFFGetFieldDefaulted(tif, TIFFTAG_FILLORDER, &fillOrder);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &plan.photometric))
        return QStringLiteral("the image has no photometric interpretation");

    switch (plan.compression) {
    case COMPRESSION_NONE:
    case COMPRESSION_LZW:
    case COMPRESSION_DEFLATE:
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_PACKBITS:
        if (TIFFIsCODECConfigured(plan.compression))
            break;
        [[fallthrough]];
    default:
        return QStringLiteral("compression %1 is not supported").arg(plan.compression);
    }
    if (sampleFormat != SAMPLEFORMAT_UINT && sampleFormat != SAMPLEFORMAT_VOID)
        return QStringLiteral("only unsigned integer samples are supported");
    if (plan.samplesPerPixel == 0)
        return QStringLiteral("the image has no samples");

    plan.planar = planarConfig == PLANARCONFIG_SEPARATE && plan.samplesPerPixel > 1;
    const quint16 bits = plan.bitsPerSample;
    const quint16 spp = plan.samplesPerPixel;
    const int samplesInRow = plan.planar ? 1 : spp;
    switch (plan.photometric) {
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_MINISBLACK:
        if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16)
            return QStringLiteral("%1-bit grey is not supported").arg(bits);
        if (bits < 8 && samplesInRow > 1)
            return QStringLiteral("packed grey with extra samples is not supported");
        plan.invert = plan.photometric == PHOTOMETRIC_MINISWHITE;
        plan.channels = 1;
        plan.stride = samplesInRow;
        plan.planes = 1;
        break;
    case PHOTOMETRIC_RGB:
        if (bits != 8 && bits != 16)
            return QStringLiteral("%1-bit RGB is not supported").arg(bits);
        if (spp < 3)
            return QStringLiteral("RGB with fewer than three samples");
        plan.channels = 3;
        plan.stride = plan.planar ? 3 : spp;
        plan.planes = plan.planar ? 3 : 1;
        break;
    case PHOTOMETRIC_PALETTE: {
        if (bits != 1 && bits != 2 && bits != 4 && bits != 8)
            return QStringLiteral("%1-bit palette is not supported").arg(bits);
        if (samplesInRow > 1)
            return QStringLiteral("a palette image with extra samples is not supported");
        quint16 *map[3] = {};
        if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &map[0], &map[1], &map[2]))
            return QStringLiteral("the palette image has no colour map");
        const size_t entries = size_t(1) << bits;
        // Some writers store the map in 8 bits instead of 16.
        bool eightBit = true;
        for (int c = 0; c < 3; ++c)
            for (size_t i = 0; i < entries; ++i)
                eightBit = eightBit && map[c][i] < 256;
        for (int c = 0; c < 3; ++c) {
            plan.colourMap[c].resize(entries);
            for (size_t i = 0; i < entries; ++i)
                plan.colourMap[c][i] =
                    uchar(eightBit ? map[c][i] : (quint32(map[c][i]) * 255 + 32767) / 65535);
        }
        plan.palette = true;
        plan.channels = 3;
        plan.stride = 3;
        plan.planes = 1;
        break;
    }
    default:
        return QStringLiteral("photometric interpretation %1 is not supported")
            .arg(plan.photometric);
    }
    if (quint64(width) * quint64(plan.stride) > quint64(options.maxRowSamples))
        return QStringLiteral("the image is too wide");
    plan.rowBytes = ceilDiv(quint64(width) * quint64(samplesInRow) * bits, 8);

    const quint64 maxBuffer = quint64(options.maxBufferBytes);
    const quint32 planeCount = plan.planar ? spp : 1;
    plan.tiled = TIFFIsTiled(tif);
    if (plan.tiled) {
        if (!TIFFGetField(tif, TIFFTAG_TILEWIDTH, &plan.tileWidth) ||
            !TIFFGetField(tif, TIFFTAG_TILELENGTH, &plan.tileLength) || plan.tileWidth == 0 ||
            plan.tileLength == 0)
            return QStringLiteral("the tile size is missing");
        if (quint64(plan.tileWidth) * samplesInRow * bits % 8 != 0)
            return QStringLiteral("tiles that do not end on a byte are not supported");
        plan.tilesAcross = quint32(ceilDiv(width, plan.tileWidth));
        plan.tilesDown = quint32(ceilDiv(height, plan.tileLength));
        plan.tileRowBytes = quint64(plan.tileWidth) * samplesInRow * bits / 8;
        plan.tileBytes = plan.tileRowBytes * plan.tileLength;
        if (plan.tileBytes > maxBuffer || plan.tileBytes * plan.tilesAcross > maxBuffer)
            return QStringLiteral("a row of tiles is too large");
        if (quint64(TIFFNumberOfTiles(tif)) !=
            quint64(plan.tilesAcross) * plan.tilesDown * planeCount)
            return QStringLiteral("the tile tables do not match the image");
        if (const QString error = checkStrileCount(file.fileSize, TIFFNumberOfTiles(tif));
            !error.isEmpty())
            return error;
        quint64 storedBytes = 0;
        for (int p = 0; p < plan.planes; ++p)
            for (quint32 ty = 0; ty < plan.tilesDown; ++ty)
                for (quint32 tx = 0; tx < plan.tilesAcross; ++tx) {
                    const quint32 tile = TIFFComputeTile(tif, tx * plan.tileWidth,
                                                         ty * plan.tileLength, 0, quint16(p));
                    const QString error =
                        checkStrile(file, plan, tile, plan.tileBytes, storedBytes);
                    if (!error.isEmpty())
                        return error;
                }
        if (const QString error = checkStoredBytes(file, storedBytes); !error.isEmpty())
            return error;
    } else {
        quint32 rowsPerStrip = 0;
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
        if (rowsPerStrip == 0)
            return QStringLiteral("RowsPerStrip is zero");
        plan.rowsPerStrip = std::min(rowsPerStrip, height);
        plan.stripsPerPlane = quint32(ceilDiv(height, plan.rowsPerStrip));
        if (plan.rowBytes * plan.rowsPerStrip > maxBuffer)
            return QStringLiteral("a strip is too large");
        if (quint64(TIFFNumberOfStrips(tif)) != quint64(plan.stripsPerPlane) * planeCount)
            return QStringLiteral("the strip tables do not match the image");
        if (const QString error = checkStrileCount(file.fileSize, TIFFNumberOfStrips(tif));
            !error.isEmpty())
            return error;
        quint64 storedBytes = 0;
        for (int p = 0; p < plan.planes; ++p)
            for (quint32 k = 0; k < plan.stripsPerPlane; ++k) {
                const quint64 rows =
                    std::min<quint64>(plan.rowsPerStrip, height - quint64(k) * plan.rowsPerStrip);
                const QString error = checkStrile(file, plan, quint32(p) * plan.stripsPerPlane + k,
                                                  plan.rowBytes * rows, storedBytes);
                if (!error.isEmpty())
                    return error;
            }
        if (const QString error = checkStoredBytes(file, storedBytes); !error.isEmpty())
            return error;
        // libtiff reverses the bits of every byte of a file filled LSB first; such
        // rare files go through it.
        plan.rawStrips = plan.compression == COMPRESSION_NONE && fillOrder == FILLORDER_MSB2LSB;
        plan.swapped = plan.rawStrips && bits == 16 && TIFFIsByteSwapped(tif);
    }
    return {};
}

TImageFacts factsOf(const OpenTiff &file, const Plan &plan)
{
    const FactTags &t = file.tags;
    const auto clamp32 = [](qint64 v) {
        return qint32(std::clamp<qint64>(v, INT32_MIN, INT32_MAX));
    };
    TImageFacts facts;
    facts.Loaded = true;
    facts.Width = qint32(plan.width);
    facts.Height = qint32(plan.height);
    facts.BitsPerSample = qint16(std::clamp<qint64>(t.bitsPerSample, INT16_MIN, INT16_MAX));
    facts.ExtraSamples = clamp32(t.extraSamples);
    facts.ResolutionUnit = clamp32(t.resolutionUnit);
    facts.XResolution = t.xResolution;
    facts.YResolution = t.yResolution;
    facts.PixelLayout = pixelLayoutFor(t.samplesPerPixel, t.extraSamples, t.bitsPerSample);
    return facts;
}

// ---------------------------------------------------------------------------------------
// The pass over the pixel data.

class PixelReader
{
public:
    PixelReader(OpenTiff &file, const Plan &plan, PreviewReducer &reducer)
        : m_file(file), m_plan(plan), m_reducer(reducer)
    {
    }

    QString run() { return m_plan.tiled ? readTiles() : readStrips(); }

private:
    QString readStrips();
    QString readTiles();
    QString readError(const QString &fallback) const;
    const uchar *rawStrip(int plane, quint32 strip, quint64 bytes);
    bool wantsAny(quint64 y0, quint64 y1) const;
    void addRow(quint32 *sums, int plane, const uchar *row);

    OpenTiff &m_file;
    const Plan &m_plan;
    PreviewReducer &m_reducer;
    std::vector<uchar> m_buffers[3]; // per plane: a strip, or a row of tiles
    std::vector<uchar> m_rows[3];    // per plane: one row put together from tiles
    std::vector<uchar> m_unpacked;   // one row of 1, 2 or 4-bit samples, a byte each
    quint64 m_chunkStart[3] = {};    // file offset of what m_buffers holds (raw strips)
    quint64 m_chunkBytes[3] = {};
};

bool PixelReader::wantsAny(quint64 y0, quint64 y1) const
{
    for (quint64 y = y0; y < y1; ++y)
        if (m_reducer.wantsRow(int(y)))
            return true;
    return false;
}

QString PixelReader::readError(const QString &fallback) const
{
    return m_file.lastError(fallback);
}

// The bytes of an uncompressed strip, from a run of neighbouring strips read at once.
const uchar *PixelReader::rawStrip(int plane, quint32 strip, quint64 bytes)
{
    TIFF *tif = m_file.tif;
    const quint64 offset = TIFFGetStrileOffset(tif, strip);
    std::vector<uchar> &chunk = m_buffers[plane];
    if (offset >= m_chunkStart[plane] && offset - m_chunkStart[plane] <= m_chunkBytes[plane] &&
        m_chunkBytes[plane] - (offset - m_chunkStart[plane]) >= bytes)
        return chunk.data() + (offset - m_chunkStart[plane]);

    // Take in the following strips of this plane while they follow in the file.
    quint64 end = offset + bytes;
    const quint32 last = quint32(plane + 1) * m_plan.stripsPerPlane;
    for (quint32 next = strip + 1; next < last; ++next) {
        const quint64 at = TIFFGetStrileOffset(tif, next);
        const quint64 rows = std::min<quint64>(
            m_plan.rowsPerStrip,
            m_plan.height - quint64(next % m_plan.stripsPerPlane) * m_plan.rowsPerStrip);
        const quint64 nextEnd = at + m_plan.rowBytes * rows;
        if (at < end || at - end > 65536 || nextEnd - offset > RawChunkBytes)
            break;
        end = nextEnd;
    }
    if (chunk.size() < end - offset)
        chunk.resize(size_t(end - offset));
    m_chunkStart[plane] = offset;
    m_chunkBytes[plane] = 0;
    if (!readAt(m_file.fd, offset, chunk.data(), size_t(end - offset)))
        return nullptr;
    m_chunkBytes[plane] = end - offset;
    return chunk.data();
}

void PixelReader::addRow(quint32 *sums, int plane, const uchar *row)
{
    const Plan &p = m_plan;
    const qsizetype width = qsizetype(p.width);
    const uchar *samples = row;
    if (p.bitsPerSample < 8) {
        const int bits = p.bitsPerSample;
        const int mask = (1 << bits) - 1;
        m_unpacked.resize(size_t(width));
        uchar *out = m_unpacked.data();
        for (qsizetype x = 0; x < width; ++x) {
            const qsizetype bit = x * bits;
            out[x] = uchar(row[bit >> 3] >> (8 - bits - int(bit & 7)) & mask);
        }
        samples = out;
    }
    if (p.palette) {
        const uchar *r = p.colourMap[0].data();
        const uchar *g = p.colourMap[1].data();
        const uchar *b = p.colourMap[2].data();
        for (qsizetype x = 0; x < width; ++x) {
            const uchar i = samples[x];
            sums[3 * x] += r[i];
            sums[3 * x + 1] += g[i];
            sums[3 * x + 2] += b[i];
        }
    } else if (p.planar) {
        if (p.bitsPerSample == 16)
            PreviewReducer::add16Strided(sums + plane, p.stride, samples, width, p.swapped);
        else
            PreviewReducer::add8Strided(sums + plane, p.stride, samples, width);
    } else if (p.bitsPerSample == 16) {
        PreviewReducer::add16(sums, samples, width * p.stride, p.swapped);
    } else {
        PreviewReducer::add8(sums, samples, p.bitsPerSample < 8 ? width : width * p.stride);
    }
}

QString PixelReader::readStrips()
{
    const Plan &p = m_plan;
    if (!p.rawStrips)
        for (int plane = 0; plane < p.planes; ++plane)
            m_buffers[plane].resize(size_t(p.rowBytes * p.rowsPerStrip));
    const quint32 firstStrip = quint32(quint64(m_reducer.firstSourceRow()) / p.rowsPerStrip);
    const quint32 endStrip = quint32(std::min<quint64>(
        p.stripsPerPlane, ceilDiv(quint64(m_reducer.endSourceRow()), p.rowsPerStrip)));
    for (quint32 k = firstStrip; k < endStrip; ++k) {
        const quint64 y0 = quint64(k) * p.rowsPerStrip;
        const quint64 y1 = std::min<quint64>(p.height, y0 + p.rowsPerStrip);
        if (!wantsAny(y0, y1))
            continue;
        const quint64 bytes = p.rowBytes * (y1 - y0);
        const uchar *data[3] = {};
        for (int plane = 0; plane < p.planes; ++plane) {
            const quint32 strip = quint32(plane) * p.stripsPerPlane + k;
            if (p.rawStrips) {
                data[plane] = rawStrip(plane, strip, bytes);
                if (!data[plane])
                    return QStringLiteral("cannot read strip %1").arg(strip);
            } else {
                const qsizetype errors = m_file.messages.errors.size();
                const tmsize_t n = TIFFReadEncodedStrip(m_file.tif, strip, m_buffers[plane].data(),
                                                        tmsize_t(bytes));
                if (n < 0 || quint64(n) != bytes || m_file.messages.errors.size() != errors)
                    return readError(QStringLiteral("cannot decode strip %1").arg(strip));
                data[plane] = m_buffers[plane].data();
            }
        }
        for (quint64 y = y0; y < y1; ++y) {
            if (!m_reducer.wantsRow(int(y)))
                continue;
            quint32 *sums = m_reducer.beginRow(int(y));
            for (int plane = 0; plane < p.planes; ++plane)
                addRow(sums, plane, data[plane] + (y - y0) * p.rowBytes);
        }
    }
    return {};
}

QString PixelReader::readTiles()
{
    const Plan &p = m_plan;
    for (int plane = 0; plane < p.planes; ++plane) {
        m_buffers[plane].resize(size_t(p.tileBytes * p.tilesAcross));
        m_rows[plane].resize(size_t(p.tileRowBytes * p.tilesAcross));
    }
    const quint32 firstTileRow = quint32(quint64(m_reducer.firstSourceRow()) / p.tileLength);
    const quint32 endTileRow = quint32(
        std::min<quint64>(p.tilesDown, ceilDiv(quint64(m_reducer.endSourceRow()), p.tileLength)));
    for (quint32 ty = firstTileRow; ty < endTileRow; ++ty) {
        const quint64 y0 = quint64(ty) * p.tileLength;
        const quint64 y1 = std::min<quint64>(p.height, y0 + p.tileLength);
        if (!wantsAny(y0, y1))
            continue;
        for (int plane = 0; plane < p.planes; ++plane)
            for (quint32 tx = 0; tx < p.tilesAcross; ++tx) {
                const quint32 tile =
                    TIFFComputeTile(m_file.tif, tx * p.tileWidth, quint32(y0), 0, quint16(plane));
                const qsizetype errors = m_file.messages.errors.size();
                const tmsize_t n = TIFFReadEncodedTile(m_file.tif, tile,
                                                       m_buffers[plane].data() + tx * p.tileBytes,
                                                       tmsize_t(p.tileBytes));
                if (n < 0 || quint64(n) != p.tileBytes || m_file.messages.errors.size() != errors)
                    return readError(QStringLiteral("cannot decode tile %1").arg(tile));
            }
        for (quint64 y = y0; y < y1; ++y) {
            if (!m_reducer.wantsRow(int(y)))
                continue;
            quint32 *sums = m_reducer.beginRow(int(y));
            for (int plane = 0; plane < p.planes; ++plane) {
                // The row's pieces from the tiles side by side; the last tile's part
                // beyond the image is left out.
                uchar *row = m_rows[plane].data();
                const uchar *tiles = m_buffers[plane].data() + (y - y0) * p.tileRowBytes;
                for (quint32 tx = 0; tx < p.tilesAcross; ++tx) {
                    const quint64 start = tx * p.tileRowBytes;
                    const quint64 length = std::min(p.tileRowBytes, p.rowBytes - start);
                    std::memcpy(row + start, tiles + tx * p.tileBytes, size_t(length));
                }
                addRow(sums, plane, row);
            }
        }
    }
    return {};
}

// Large images are split into bands of target rows, each read by its own thread
// through its own libtiff handle: decoding compressed strips is what opening a large
// scan costs, and it parallelises perfectly.
int partsFor(const Plan &plan, const QSize &target)
{
    const unsigned cores = std::thread::hardware_concurrency();
    if (cores < 2 || target.height() < 8)
        return 1;
    const quint64 bytes = plan.rowBytes * plan.planes * plan.height;
    const quint64 bufferBytes = plan.tiled ? plan.tileBytes * plan.tilesAcross * plan.planes
                                           : plan.rowBytes * plan.rowsPerStrip * plan.planes;
    const quint64 bands = plan.tiled ? plan.tilesDown : plan.stripsPerPlane;
    if (bytes < ParallelMinBytes || bufferBytes > ParallelMaxBufferBytes || bands < 16)
        return 1;
    return int(std::min<unsigned>(cores, MaxParts));
}

// One band of the preview: its own file handle, plan and reducer.
struct Part
{
    OpenTiff file;
    Plan plan;
    std::unique_ptr<PreviewReducer> reducer;
    QString error;

    void read()
    {
        try {
            error = PixelReader(file, plan, *reducer).run();
        } catch (const std::bad_alloc &) {
            error = QStringLiteral("out of memory");
        }
    }
};

TTiffDecodeResult failure(const QString &error)
{
    TTiffDecodeResult result;
    result.ok = false;
    result.error = error;
    result.facts = TImageFacts::failed();
    return result;
}

TTiffDecodeResult decodeParts(const QString &path, const QSize &maxPreviewSize,
                              const TTiffOptions &options)
{
    std::vector<std::unique_ptr<Part>> parts;
    parts.push_back(std::make_unique<Part>());
    Part &first = *parts.front();
    QString error = first.file.open(path, options);
    if (error.isEmpty())
        error = makePlan(first.file, options, first.plan);
    if (!error.isEmpty())
        return failure(error);

    const Plan &plan = first.plan;
    const QSize target = previewSizeFor(QSize(int(plan.width), int(plan.height)), maxPreviewSize);
    const quint32 maxValue =
        plan.palette ? 255u : (plan.bitsPerSample == 16 ? 65535u : (1u << plan.bitsPerSample) - 1);
    const int count = partsFor(plan, target);
    for (int i = 1; i < count; ++i) {
        parts.push_back(std::make_unique<Part>());
        Part &part = *parts.back();
        error = part.file.open(path, options);
        if (error.isEmpty())
            error = makePlan(part.file, options, part.plan);
        if (error.isEmpty() && (part.plan.width != plan.width || part.plan.height != plan.height))
            error = QStringLiteral("the file changed while it was read");
        if (!error.isEmpty())
            return failure(error);
    }
    for (int i = 0; i < count; ++i) {
        Part &part = *parts[size_t(i)];
        part.reducer =
            std::make_unique<PreviewReducer>(int(plan.width), int(plan.height), target,
                                             plan.channels, plan.stride, maxValue, plan.invert);
        part.reducer->setTargetRows(i * target.height() / count, (i + 1) * target.height() / count);
        // Decoding is what a huge compressed image costs; a target row spanning dozens
        // of source rows is then averaged over a third of them or so, taken from as few
        // strips or rows of tiles as hold them.
        if (plan.compression != COMPRESSION_NONE && options.rowSamplingFromBytes >= 0 &&
            plan.rowBytes * plan.planes * plan.height >= quint64(options.rowSamplingFromBytes))
            part.reducer->setRowSampling(MinRowsPerTargetRow,
                                         int(plan.tiled ? plan.tileLength : plan.rowsPerStrip));
    }

    std::vector<std::thread> threads;
    std::vector<Part *> here{&first}; // read on this thread
    for (int i = 1; i < count; ++i) {
        try {
            threads.emplace_back(&Part::read, parts[size_t(i)].get());
        } catch (const std::system_error &) { // no thread to be had: read it here
            here.push_back(parts[size_t(i)].get());
        }
    }
    for (Part *part : here)
        part->read();
    for (std::thread &thread : threads)
        thread.join();
    for (const auto &part : parts)
        if (!part->error.isEmpty())
            return failure(part->error);

    QImage preview = first.reducer->finish();
    for (int i = 1; i < count; ++i) {
        const QImage band = parts[size_t(i)]->reducer->finish();
        for (int y = i * target.height() / count; y < (i + 1) * target.height() / count; ++y)
            std::memcpy(preview.scanLine(y), band.constScanLine(y), size_t(band.bytesPerLine()));
    }
    TTiffDecodeResult result;
    result.ok = true;
    result.facts = factsOf(first.file, plan);
    result.preview = preview;
    return result;
}

} // namespace

QSize previewSizeFor(const QSize &imageSize, const QSize &maxSize)
{
    const qint64 w = std::max(imageSize.width(), 1);
    const qint64 h = std::max(imageSize.height(), 1);
    const qint64 mw = std::max(maxSize.width(), 1);
    const qint64 mh = std::max(maxSize.height(), 1);
    if (w <= mw && h <= mh)
        return QSize(int(w), int(h));
    // Limited by the side that overruns more: w / mw against h / mh.
    if (w * mh >= h * mw)
        return QSize(int(mw), int(std::clamp<qint64>((2 * h * mw + w) / (2 * w), 1, mh)));
    return QSize(int(std::clamp<qint64>((2 * w * mh + h) / (2 * h), 1, mw)), int(mh));
}

TTiffDecodeResult probeTiff(const QString &path, const TTiffOptions &options)
{
    try {
        OpenTiff file;
        QString error = file.open(path, options);
        if (error.isEmpty()) {
            Plan plan;
            error = makePlan(file, options, plan);
            if (error.isEmpty()) {
                TTiffDecodeResult result;
                result.ok = true;
                result.facts = factsOf(file, plan);
                return result;
            }
        }
        return failure(error);
    } catch (const std::bad_alloc &) {
        return failure(QStringLiteral("out of memory"));
    }
}

TTiffDecodeResult decodeTiff(const QString &path, const QSize &maxPreviewSize,
                             const TTiffOptions &options)
{
    try {
        return decodeParts(path, maxPreviewSize, options);
    } catch (const std::bad_alloc &) {
        return failure(QStringLiteral("out of memory"));
    }
}
