#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <unordered_map>
#include <vector>

// The text forms of the settings file's value types. They take the decimal separator as a
// parameter so that every locale's rules can be checked in one process; IniFile passes
// QLocale::system().decimalPoint().
namespace IniValue {

// Decimal integer: optional leading blanks, an optional sign, digits and nothing after them;
// the value must fit an int. Anything else ("", "abc", "12abc", "0x10", "5 ") is not an integer.
std::optional<int> toInteger(QStringView text);

// Boolean: read as an integer, where a leading "0x" or "0X" reads the rest as hexadecimal
// (up to 32 bits); non-zero is true. Text that is not an integer gives no value.
std::optional<bool> toBoolean(QStringView text);

// Real with the given decimal separator: optional blanks around, an optional sign, digits with
// at most one separator (at least one digit), an optional exponent "e"/"E" with optional sign.
// No grouping, no other separator, no "inf" or "nan"; a result out of range gives no value.
std::optional<double> toReal(QStringView text, QStringView decimalPoint);

// General decimal form: up to 15 significant digits, trailing zeros dropped, exponent form
// ("1e+20", "1e-05") only when the decimal exponent is below -4 or at least 15.
QString fromReal(double value, QStringView decimalPoint);

} // namespace IniValue

// Diridu.ini with the semantics of the Windows private-profile functions.
//
// The file is read once, when the object is made; reads and writes then work on that copy in
// memory, and save() writes the whole file back at once. A batch of writes (the settings at
// exit, the keys of one preset) is one IniFile, a few calls and one save(); a later batch
// makes a new IniFile, so it sees what the previous one wrote.
//
// Lines: "[name]" starts a section (the name runs to the last "]" of the line); "key=value"
// is a key of the current section (the key runs to the first "="). Section and key names are
// trimmed of blanks and matched without regard to letter case (ASCII names byte by byte, other
// names case-folded; an ASCII name never matches a non-ASCII one); with several sections (or
// keys) of one name, reads and writes use the first. A value is the text after the first "=",
// trimmed of blanks, with one pair of enclosing double or single quotes removed. Lines before
// the first section, comments (";"), blank lines, a "[" without "]", lines without "=" or with
// an empty key are kept byte for byte but are no keys. Blanks are space, tab, CR, VT and FF.
//
// Writing: an existing key gets its new value in place (its name keeps its letter case); a new
// key goes after the last key line of its section (after the header when there is none), so
// comments and blank lines before the next section stay there; a new section goes at the end
// of the file, after one blank line. A value that would not read back the same (blanks at
// either end, enclosed in matching quotes) is written inside double quotes, which the reading
// removes. Line breaks inside a value become blanks.
//
// The file: read and written in the system's 8-bit encoding; lines end in CR LF when written
// and in LF or CR LF when read; a UTF-8 byte order mark is kept and skipped. A file larger than
// MaxFileSize is refused. save() writes to a temporary file in the same folder and renames it
// over the old one, so a failed write leaves the old file as it was.
class IniFile
{
public:
    // Files above this are refused rather than loaded; a real settings file is a few KB.
    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

    // Reads the file. A missing file is an empty one. A path that exists but cannot be read
    // (not a regular file, no permission) also reads as empty, and save() then refuses to
    // replace it. Throws ZorError when the file exceeds MaxFileSize.
    explicit IniFile(const QString &path);
    IniFile(IniFile &&) = default;
    IniFile &operator=(IniFile &&) = default;
    IniFile(const IniFile &) = delete;
    IniFile &operator=(const IniFile &) = delete;

    const QString &path() const { return m_path; }

    // Reading; a missing section or key gives the default.
    QString readString(const QString &section, const QString &key,
                       const QString &defaultValue = QString()) const;
    // Throws ZorError, naming the section and key, when the text is not an integer.
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    // Text that is not an integer gives the default.
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;
    // System decimal separator; text that is not a number gives the default.
    double readReal(const QString &section, const QString &key, double defaultValue) const;

    // Key names of the section in file order (empty for a missing section).
    QStringList keys(const QString &section) const;
    // Section names in file order, as written in their headers.
    QStringList sections() const;
    bool sectionHasKeys(const QString &section) const;

    // Writing, in memory until save(). Names that cannot be stored so that they read back
    // (see isValidSectionName, isValidKeyName) throw ZorError.
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    void writeBool(const QString &section, const QString &key, bool value);
    void writeReal(const QString &section, const QString &key, double value);
    // Removes every section of that name with all its lines.
    void eraseSection(const QString &section);
    // Removes the key from every section of that name.
    void deleteKey(const QString &section, const QString &key);

    // Writes the file atomically when something was changed since it was read or last saved
    // (a key written with the value it already has, or erasing what is not there, is no
    // change; an untouched file keeps its bytes, LF line ends included). Throws
    // ZorError("Unable to write to <path>") when it cannot; the old file then stays intact.
    void save();

    // A section name must not be empty after trimming nor hold a line break.
    static bool isValidSectionName(const QString &name);
    // A key name must also hold no "=" and not start with ";" or "[".
    static bool isValidKeyName(const QString &name);

    // For the settings recovery: copies the file to path + ".bak" (Diridu.ini.bak), replacing
    // an older copy, then deletes the file whether or not the copy could be made. Returns
    // whether the copy was made (false also when there was no file).
    static bool backUpAndRemove(const QString &path);

private:
    enum class Kind : quint8 { Other, Section, Key };
    struct Line
    {
        // The line without its end; refers into m_buffer until the line is changed. Other
        // lines that follow each other share one entry, their original line ends inside.
        QByteArray raw;
        qint32 nameBegin = 0; // trimmed section or key name within raw
        qint32 nameEnd = 0;
        qint32 valueBegin = 0; // after the "=" of a key line
        Kind kind = Kind::Other;
    };
    struct Section
    {
        Line header;
        std::vector<Line> lines; // up to the next header
    };
    struct Name;

    void parse();
    const Section *findSection(const Name &section) const;
    Section *findSection(const Name &section);
    void addToIndex(qsizetype position) const;
    static qsizetype findKey(const Section &section, const Name &key);
    std::optional<QByteArray> readValue(const QString &section, const QString &key) const;
    QByteArray serialize() const;
    bool lastLineIsBlank() const;

    QString m_path;
    QByteArray m_buffer;          // the file as read; never changed, since lines point into it
    QByteArray m_onDisk;          // what the file holds now, as far as this object knows
    std::vector<Line> m_preamble; // lines before the first section
    std::vector<Section> m_sections;
    // The first section of each name by the hash of its case-folded name; built on demand.
    mutable std::unordered_multimap<size_t, qsizetype> m_index;
    mutable bool m_indexed = false;
    bool m_unreadable = false;
    bool m_modified = false;
};
