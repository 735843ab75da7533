#include "TFileInfo.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QMimeDatabase>

#include <optional>

namespace {

// The bytes of a file are untrusted: every read goes through these bounds checks.
class Bytes
{
public:
    explicit Bytes(QByteArrayView data) : m_data(data) {}

    qsizetype size() const { return m_data.size(); }
    bool contains(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= std::uint64_t(m_data.size()) &&
               length <= std::uint64_t(m_data.size()) - offset;
    }
    std::optional<std::uint16_t> u16(std::uint64_t offset) const
    {
        if (!contains(offset, 2))
            return std::nullopt;
        return std::uint16_t(byte(offset) | byte(offset + 1) << 8);
    }
    std::optional<std::uint32_t> u32(std::uint64_t offset) const
    {
        if (!contains(offset, 4))
            return std::nullopt;
        return std::uint32_t(byte(offset)) | std::uint32_t(byte(offset + 1)) << 8 |
               std::uint32_t(byte(offset + 2)) << 16 | std::uint32_t(byte(offset + 3)) << 24;
    }
    QByteArrayView slice(std::uint64_t offset, std::uint64_t length) const
    {
        return contains(offset, length) ? m_data.sliced(qsizetype(offset), qsizetype(length))
                                        : QByteArrayView();
    }

private:
    std::uint8_t byte(std::uint64_t offset) const
    {
        return std::uint8_t(m_data[qsizetype(offset)]);
    }
    QByteArrayView m_data;
};

constexpr std::uint32_t kPeSignature = 0x00004550; // "PE\0\0"
constexpr std::uint16_t kPe32Magic = 0x10b;
constexpr std::uint16_t kPe32PlusMagic = 0x20b;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kVersionResourceType = 16;
constexpr std::uint32_t kSubdirectoryFlag = 0x80000000;
constexpr std::uint32_t kNamedEntryFlag = 0x80000000;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr std::uint32_t kFixedInfoSize = 52;
// Version blocks nest four deep in practice (root, string file info, table, string); the
// limit only keeps hostile files from recursing far.
constexpr int kMostBlockDepth = 8;

struct Section
{
    std::uint32_t virtualAddress = 0;
    std::uint32_t virtualSize = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawOffset = 0;
};

// The parts of the headers that locate the resources.
struct ImageHeaders
{
    std::uint32_t resourceRva = 0;
    QList<Section> sections;
};

std::optional<ImageHeaders> readHeaders(const Bytes &file)
{
    if (file.u16(0) != std::uint16_t(0x5A4D)) // "MZ"
        return std::nullopt;
    const std::optional<std::uint32_t> peOffset = file.u32(0x3C);
    if (!peOffset || file.u32(*peOffset) != kPeSignature)
        return std::nullopt;
    const std::uint64_t coff = std::uint64_t(*peOffset) + 4;
    const std::optional<std::uint16_t> sectionCount = file.u16(coff + 2);
    const std::optional<std::uint16_t> optionalSize = file.u16(coff + 16);
    const std::uint64_t optional = coff + 20;
    const std::optional<std::uint16_t> magic = file.u16(optional);
    if (!sectionCount || !optionalSize || (magic != kPe32Magic && magic != kPe32PlusMagic))
        return std::nullopt;

    ImageHeaders headers;
    const bool plus = magic == kPe32PlusMagic;
    const std::uint64_t directoryCountAt = optional + (plus ? 108 : 92);
    const std::uint64_t directories = optional + (plus ? 112 : 96);
    const std::uint32_t directoryCount = file.u32(directoryCountAt).value_or(0);
    const std::uint64_t resourceEntry = directories + 8 * kResourceDirectoryIndex;
    if (directoryCount > kResourceDirectoryIndex && resourceEntry + 8 <= optional + *optionalSize)
        headers.resourceRva = file.u32(resourceEntry).value_or(0);

    const std::uint64_t table = optional + *optionalSize;
    for (std::uint16_t i = 0; i < *sectionCount && file.contains(table + 40 * i, 40); ++i) {
        const std::uint64_t at = table + 40 * i;
        headers.sections.append(
            {*file.u32(at + 12), *file.u32(at + 8), *file.u32(at + 16), *file.u32(at + 20)});
    }
    return headers;
}

// The file offset of a relative virtual address, when a section holds it in the file.
std::optional<std::uint64_t> fileOffsetOf(const ImageHeaders &headers, std::uint32_t rva)
{
    for (const Section &section : headers.sections) {
        const std::uint64_t start = section.virtualAddress;
        const std::uint64_t extent = std::max(section.virtualSize, section.rawSize);
        if (rva >= start && rva < start + extent) {
            const std::uint64_t intoSection = rva - start;
            if (intoSection >= section.rawSize)
                return std::nullopt;
            return std::uint64_t(section.rawOffset) + intoSection;
        }
    }
    return std::nullopt;
}

struct DirectoryEntry
{
    std::uint32_t name = 0;
    std::uint32_t target = 0;
};

// The entries of one resource directory at offset within the resource data.
QList<DirectoryEntry> directoryEntries(const Bytes &resources, std::uint64_t offset)
{
    QList<DirectoryEntry> entries;
    const std::optional<std::uint16_t> named = resources.u16(offset + 12);
    const std::optional<std::uint16_t> ids = resources.u16(offset + 14);
    if (!named || !ids)
        return entries;
    const int count = *named + *ids;
    for (int i = 0; i < count; ++i) {
        const std::uint64_t at = offset + 16 + 8 * std::uint64_t(i);
        if (!resources.contains(at, 8))
            break;
        entries.append({*resources.u32(at), *resources.u32(at + 4)});
    }
    return entries;
}

std::optional<std::uint64_t> subdirectory(const DirectoryEntry &entry)
{
    if (!(entry.target & kSubdirectoryFlag))
        return std::nullopt;
    return entry.target & ~kSubdirectoryFlag;
}

// The version resource's bytes: type 16, its first name, that name's first language.
QByteArrayView versionResource(const Bytes &file)
{
    const std::optional<ImageHeaders> headers = readHeaders(file);
    if (!headers || headers->resourceRva == 0)
        return {};
    const std::optional<std::uint64_t> base = fileOffsetOf(*headers, headers->resourceRva);
    if (!base || *base >= std::uint64_t(file.size()))
        return {};
    // Offsets inside the resource tree are relative to its start.
    const Bytes resources(file.slice(*base, std::uint64_t(file.size()) - *base));

    std::optional<std::uint64_t> names;
    for (const DirectoryEntry &entry : directoryEntries(resources, 0)) {
        if (!(entry.name & kNamedEntryFlag) && entry.name == kVersionResourceType) {
            names = subdirectory(entry);
            break;
        }
    }
    if (!names)
        return {};
    const QList<DirectoryEntry> nameEntries = directoryEntries(resources, *names);
    if (nameEntries.isEmpty())
        return {};
    const std::optional<std::uint64_t> languages = subdirectory(nameEntries.first());
    if (!languages)
        return {};
    const QList<DirectoryEntry> languageEntries = directoryEntries(resources, *languages);
    if (languageEntries.isEmpty() || subdirectory(languageEntries.first()))
        return {};
    const std::uint64_t dataEntry = languageEntries.first().target;
    const std::optional<std::uint32_t> dataRva = resources.u32(dataEntry);
    const std::optional<std::uint32_t> dataSize = resources.u32(dataEntry + 4);
    if (!dataRva || !dataSize)
        return {};
    const std::optional<std::uint64_t> data = fileOffsetOf(*headers, *dataRva);
    if (!data || *data >= std::uint64_t(file.size()))
        return {};
    return file.slice(*data,
                      std::min<std::uint64_t>(*dataSize, std::uint64_t(file.size()) - *data));
}

// One node of the version information tree: a key, its value and the nodes below it.
struct VersionBlock
{
    QString key;
    QByteArrayView value;
    bool textValue = false;
    QList<VersionBlock> children;
};

std::uint64_t alignedTo4(std::uint64_t offset)
{
    return (offset + 3) & ~std::uint64_t(3);
}

// The NUL-terminated UTF-16 text at offset, ending at end at the latest; next is set past it.
QString utf16Text(const Bytes &data, std::uint64_t offset, std::uint64_t end, std::uint64_t &next)
{
    QString text;
    std::uint64_t at = offset;
    for (; at + 2 <= end; at += 2) {
        const std::uint16_t unit = *data.u16(at);
        if (unit == 0) {
            next = at + 2;
            return text;
        }
        text.append(QChar(unit));
    }
    next = end;
    return text;
}

// The block at offset, which ends at end at the latest; nullopt when no block fits there.
std::optional<VersionBlock> readBlock(const Bytes &data, std::uint64_t offset, std::uint64_t end,
                                      int depth, std::uint64_t &next)
{
    const std::optional<std::uint16_t> length = data.u16(offset);
    const std::optional<std::uint16_t> valueLength = data.u16(offset + 2);
    const std::optional<std::uint16_t> type = data.u16(offset + 4);
    if (!length || !valueLength || !type || *length < 6 || depth > kMostBlockDepth)
        return std::nullopt;
    const std::uint64_t blockEnd = std::min(offset + *length, end);
    next = alignedTo4(offset + *length);

    VersionBlock block;
    std::uint64_t afterKey = blockEnd;
    block.key = utf16Text(data, offset + 6, blockEnd, afterKey);
    block.textValue = *type == 1;
    const std::uint64_t valueStart = std::min(alignedTo4(afterKey), blockEnd);
    const std::uint64_t valueBytes = std::min<std::uint64_t>(
        block.textValue ? 2 * std::uint64_t(*valueLength) : *valueLength, blockEnd - valueStart);
    block.value = data.slice(valueStart, valueBytes);

    std::uint64_t child = alignedTo4(valueStart + valueBytes);
    while (child < blockEnd) {
        std::uint64_t afterChild = blockEnd;
        const std::optional<VersionBlock> node =
            readBlock(data, child, blockEnd, depth + 1, afterChild);
        if (!node)
            break;
        block.children.append(*node);
        child = afterChild;
    }
    return block;
}

// The block a path such as "\StringFileInfo\040904e4\FileVersion" names; keys are compared
// without regard to letter case, as the system's own query does.
const VersionBlock *findBlock(const VersionBlock &root, const QString &path)
{
    const VersionBlock *block = &root;
    for (const QString &key : path.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        const VersionBlock *found = nullptr;
        for (const VersionBlock &child : block->children) {
            if (child.key.compare(key, Qt::CaseInsensitive) == 0) {
                found = &child;
                break;
            }
        }
        if (!found)
            return nullptr;
        block = found;
    }
    return block;
}

QString textValue(const VersionBlock &block)
{
    const Bytes value(block.value);
    std::uint64_t next = 0;
    return utf16Text(value, 0, std::uint64_t(value.size()), next);
}

// The string keys and their fields, in the order of the record.
struct StringKey
{
    const char *key;
    QString TFileVersionInfo::*field;
};
const StringKey kStringKeys[] = {
    {"CompanyName", &TFileVersionInfo::CompanyName},
    {"FileDescription", &TFileVersionInfo::FileDescription},
    {"FileVersion", &TFileVersionInfo::FileVersion},
    {"InternalName", &TFileVersionInfo::InternalName},
    {"LegalCopyRight", &TFileVersionInfo::LegalCopyRight},
    {"LegalTradeMarks", &TFileVersionInfo::LegalTradeMarks},
    {"OriginalFileName", &TFileVersionInfo::OriginalFileName},
    {"ProductName", &TFileVersionInfo::ProductName},
    {"ProductVersion", &TFileVersionInfo::ProductVersion},
    {"Comments", &TFileVersionInfo::Comments},
    {"SpecialBuild", &TFileVersionInfo::SpecialBuild},
    {"PrivateBuild", &TFileVersionInfo::PrivateBuild},
};

void readStrings(const VersionBlock &root, TFileVersionInfo &info)
{
    const VersionBlock *translation = findBlock(root, QStringLiteral("\\VarFileInfo\\Translation"));
    if (!translation)
        return;
    const Bytes table(translation->value);
    const std::optional<std::uint16_t> language = table.u16(0);
    const std::optional<std::uint16_t> codePage = table.u16(2);
    if (!language || !codePage)
        return;
    for (const StringKey &key : kStringKeys) {
        const QString path =
            QString::asprintf("\\StringFileInfo\\%.4x%.4x\\%s", *language, *codePage, key.key);
        if (const VersionBlock *value = findBlock(root, path))
            info.*key.field = textValue(*value);
    }
}

void readFixedInfo(const VersionBlock &root, TFileVersionInfo &info)
{
    const Bytes fixed(root.value);
    if (fixed.size() < qsizetype(kFixedInfoSize) || fixed.u32(0) != kFixedInfoSignature)
        return;
    const std::uint32_t set = *fixed.u32(24) & *fixed.u32(28);
    info.IsDebug = set & 0x1;
    info.IsPrerelease = set & 0x2;
    info.IsPatched = set & 0x4;
    info.IsPrivateBuild = set & 0x8;
    info.IsSpecialBuild = set & 0x10;
    info.IsInfoInferred = set & 0x20;
    info.FileKind = fileKindCode(*fixed.u32(36), *fixed.u32(40));
}

// Files larger than this are no program of the installation; they are not read at all.
constexpr qint64 kLargestFileRead = qint64(512) * 1024 * 1024;

} // namespace

std::uint8_t fileKindCode(std::uint32_t fileType, std::uint32_t fileSubtype)
{
    enum : std::uint32_t { App = 1, Dll = 2, Driver = 3, Font = 4, VirtualDevice = 5, Static = 7 };
    switch (fileType) {
    case App:
        return 1;
    case Dll:
        return 2;
    case Static:
        return 3;
    case VirtualDevice:
        return 19;
    case Driver:
        switch (fileSubtype) {
        case 0:
            return 4;
        case 10:
            return 5;
        case 1:
            return 6;
        case 2:
            return 7;
        case 3:
            return 8;
        case 4:
            return 9;
        case 5:
            return 10;
        case 6:
            return 11;
        case 7:
        case 8:
            return 12;
        case 9:
            return 14;
        default:
            return 0;
        }
    case Font:
        switch (fileSubtype) {
        case 0:
            return 15;
        case 1:
            return 16;
        case 2:
            return 17;
        case 3:
            return 18;
        default:
            return 0;
        }
    default:
        return 0;
    }
}

bool isWindowsExecutable(QByteArrayView bytes)
{
    return readHeaders(Bytes(bytes)).has_value();
}

TFileVersionInfo readVersionResource(QByteArrayView bytes)
{
    TFileVersionInfo info;
    const Bytes resource(versionResource(Bytes(bytes)));
    std::uint64_t next = 0;
    const std::optional<VersionBlock> root =
        readBlock(resource, 0, std::uint64_t(resource.size()), 0, next);
    if (!root)
        return info;
    readStrings(*root, info);
    readFixedInfo(*root, info);
    return info;
}

namespace {

// Calls use with the file's bytes, mapped when the system allows it.
template <typename Use> void withFileBytes(const QString &path, Use use)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestFileRead)
        return;
    if (file.size() == 0) {
        use(QByteArrayView());
        return;
    }
    if (uchar *mapped = file.map(0, file.size())) {
        use(QByteArrayView(mapped, file.size()));
        file.unmap(mapped);
        return;
    }
    const QByteArray contents = file.readAll();
    use(QByteArrayView(contents));
}

} // namespace

bool TFileInfo::isExecutable() const
{
    bool executable = false;
    withFileBytes(m_path, [&](QByteArrayView bytes) { executable = isWindowsExecutable(bytes); });
    return executable;
}

TFileVersionInfo TFileInfo::read() const
{
    TFileVersionInfo info;
    withFileBytes(m_path, [&](QByteArrayView bytes) { info = readVersionResource(bytes); });
    if (QFileInfo(m_path).isFile())
        info.TypeName = QMimeDatabase().mimeTypeForFile(m_path).comment().left(80);
    return info;
}
