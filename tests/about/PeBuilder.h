#pragma once

// Builds small Windows executable images with a version resource, byte for byte, so the
// version reader can be tested against files whose every field is known.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <cstdint>

namespace pe {

struct Image
{
    bool pe32Plus = false;
    bool dll = false;
    bool withResources = true;
    bool withVersion = true;
    bool withTranslation = true;
    std::uint16_t language = 0x0409;
    std::uint16_t codePage = 0x04E4;
    // The string table's name; empty: language and code page in upper-case hexadecimal, as
    // resource compilers write it.
    QString tableName;
    QList<QPair<QString, QString>> strings;
    std::uint32_t fileVersionMs = 0x00020008;
    std::uint32_t fileVersionLs = 0x00000001;
    std::uint32_t flagsMask = 0x3F;
    std::uint32_t flags = 0;
    std::uint32_t fileType = 1;
    std::uint32_t fileSubtype = 0;
};

inline void put16(QByteArray &bytes, qsizetype at, std::uint32_t value)
{
    if (bytes.size() < at + 2)
        bytes.resize(at + 2, '\0');
    bytes[at] = char(value & 0xFF);
    bytes[at + 1] = char((value >> 8) & 0xFF);
}

inline void put32(QByteArray &bytes, qsizetype at, std::uint32_t value)
{
    put16(bytes, at, value & 0xFFFF);
    put16(bytes, at + 2, value >> 16);
}

inline void padTo4(QByteArray &bytes)
{
    while (bytes.size() % 4)
        bytes.append('\0');
}

inline QByteArray utf16z(const QString &text)
{
    QByteArray bytes;
    for (QChar c : text)
        put16(bytes, bytes.size(), c.unicode());
    put16(bytes, bytes.size(), 0);
    return bytes;
}

// One version block: length, value length (in characters for text), type, key, value and
// the children, each aligned to four bytes.
inline QByteArray block(const QString &key, const QByteArray &value, bool text,
                        const QList<QByteArray> &children = {})
{
    QByteArray bytes(6, '\0');
    bytes += utf16z(key);
    padTo4(bytes);
    bytes += value;
    for (const QByteArray &child : children) {
        padTo4(bytes);
        bytes += child;
    }
    put16(bytes, 0, std::uint32_t(bytes.size()));
    put16(bytes, 2, std::uint32_t(text ? value.size() / 2 : value.size()));
    put16(bytes, 4, text ? 1 : 0);
    return bytes;
}

inline QByteArray fixedFileInfo(const Image &image)
{
    QByteArray info;
    put32(info, 0, 0xFEEF04BD);
    put32(info, 4, 0x00010000);
    put32(info, 8, image.fileVersionMs);
    put32(info, 12, image.fileVersionLs);
    put32(info, 16, image.fileVersionMs);
    put32(info, 20, image.fileVersionLs);
    put32(info, 24, image.flagsMask);
    put32(info, 28, image.flags);
    put32(info, 32, 0x00040004);
    put32(info, 36, image.fileType);
    put32(info, 40, image.fileSubtype);
    put32(info, 44, 0);
    put32(info, 48, 0);
    return info;
}

inline QByteArray versionInfo(const Image &image)
{
    QList<QByteArray> strings;
    for (const auto &[key, value] : image.strings)
        strings.append(block(key, utf16z(value), true));
    const QString table = image.tableName.isEmpty()
                              ? QString::asprintf("%04X%04X", image.language, image.codePage)
                              : image.tableName;
    QList<QByteArray> children = {
        block(QStringLiteral("StringFileInfo"), {}, true, {block(table, {}, true, strings)})};
    if (image.withTranslation) {
        QByteArray translation;
        put16(translation, 0, image.language);
        put16(translation, 2, image.codePage);
        children.append(block(QStringLiteral("VarFileInfo"), {}, true,
                              {block(QStringLiteral("Translation"), translation, false)}));
    }
    return block(QStringLiteral("VS_VERSION_INFO"), fixedFileInfo(image), false, children);
}

constexpr std::uint32_t kSectionRva = 0x1000;
constexpr qsizetype kSectionFileOffset = 0x200;

// A resource tree: type 16 → name 1 → language → the version data.
inline QByteArray resourceSection(const Image &image)
{
    QByteArray tree;
    const auto directory = [&tree](qsizetype at, std::uint32_t id, std::uint32_t target) {
        put16(tree, at + 12, 0);
        put16(tree, at + 14, 1);
        put32(tree, at + 16, id);
        put32(tree, at + 20, target);
    };
    const std::uint32_t versionType = image.withVersion ? 16 : 3; // 3: an icon instead
    directory(0x00, versionType, 0x80000000 | 0x18);
    directory(0x18, 1, 0x80000000 | 0x30);
    directory(0x30, image.language, 0x48);
    const QByteArray data = versionInfo(image);
    put32(tree, 0x48, kSectionRva + 0x58);
    put32(tree, 0x4C, std::uint32_t(data.size()));
    put32(tree, 0x50, 0);
    put32(tree, 0x54, 0);
    tree += data;
    padTo4(tree);
    return tree;
}

inline QByteArray build(const Image &image)
{
    QByteArray file(kSectionFileOffset, '\0');
    file[0] = 'M';
    file[1] = 'Z';
    const qsizetype pe = 0x80;
    put32(file, 0x3C, pe);
    file[pe] = 'P';
    file[pe + 1] = 'E';
    const qsizetype coff = pe + 4;
    const std::uint16_t optionalSize = image.pe32Plus ? 240 : 224;
    put16(file, coff, image.pe32Plus ? 0x8664 : 0x014C);
    put16(file, coff + 2, 1);
    put16(file, coff + 16, optionalSize);
    put16(file, coff + 18, image.dll ? 0x2102 : 0x0102);
    const qsizetype optional = coff + 20;
    put16(file, optional, image.pe32Plus ? 0x20B : 0x10B);
    const qsizetype directories = optional + (image.pe32Plus ? 112 : 96);
    put32(file, optional + (image.pe32Plus ? 108 : 92), 16);

    const QByteArray section = image.withResources ? resourceSection(image) : QByteArray(16, '\0');
    if (image.withResources) {
        put32(file, directories + 16, kSectionRva);
        put32(file, directories + 20, std::uint32_t(section.size()));
    }
    const qsizetype table = optional + optionalSize;
    const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    for (int i = 0; i < 8; ++i)
        file[table + i] = name[i];
    put32(file, table + 8, std::uint32_t(section.size()));
    put32(file, table + 12, kSectionRva);
    put32(file, table + 16, std::uint32_t(section.size()));
    put32(file, table + 20, std::uint32_t(kSectionFileOffset));
    put32(file, table + 36, 0x40000040);
    file.resize(kSectionFileOffset, '\0');
    file += section;
    return file;
}

// The twelve keys with a value each, as a typical tool carries them.
inline QList<QPair<QString, QString>> allStrings()
{
    return {{"CompanyName", "Zorlane Imaging"},
            {"FileDescription", "Zorlane raster mill"},
            {"FileVersion", "2, 8, 0, 1"},
            {"InternalName", "Rastermill"},
            {"LegalCopyright", "Copyright (c) 2026 Zorlane"},
            {"LegalTrademarks", "Zorlane is a mark of its makers"},
            {"OriginalFilename", "Rastermill.exe"},
            {"ProductName", "Zorlane"},
            {"ProductVersion", "2.8"},
            {"Comments", "monochrome ink-jet printing"},
            {"SpecialBuild", "wide carriage"},
            {"PrivateBuild", "built on the lab machine"}};
}

} // namespace pe
