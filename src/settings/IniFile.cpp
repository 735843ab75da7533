#include "IniFile.h"

#include "ZorError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool isBlank(QChar c)
{
    return c.unicode() < 0x80 && isBlank(char(c.unicode()));
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

QString trimBlanks(const QString &text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    return text.mid(b, e - b);
}

bool isQuote(char c)
{
    return c == '"' || c == '\'';
}

qsizetype skipBlanks(QStringView text, qsizetype i)
{
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return i;
}

// Digits from i on, as an unsigned value; stops growing past `limit` so that any length of
// digits is safe. Returns the index after the digits.
qsizetype readDigits(QStringView text, qsizetype i, int base, quint64 limit, quint64 &value,
                     bool &overflow)
{
    value = 0;
    overflow = false;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            break;
        if (!overflow) {
            value = value * base + digit;
            overflow = value > limit;
        }
    }
    return i;
}

std::optional<int> decimalInteger(QStringView text)
{
    qsizetype i = skipBlanks(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    const quint64 limit = negative ? quint64(std::numeric_limits<int>::max()) + 1
                                   : quint64(std::numeric_limits<int>::max());
    quint64 value;
    bool overflow;
    const qsizetype end = readDigits(text, i, 10, limit, value, overflow);
    if (end == i || end != text.size() || overflow)
        return std::nullopt;
    return negative ? int(-qint64(value)) : int(value);
}

} // namespace

namespace IniValue {

std::optional<int> toInteger(QStringView text)
{
    return decimalInteger(text);
}

std::optional<bool> toBoolean(QStringView text)
{
    const qsizetype i = skipBlanks(text, 0);
    if (text.size() - i > 2 && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        quint64 value;
        bool overflow;
        const qsizetype end = readDigits(text, i + 2, 16, 0xFFFFFFFFu, value, overflow);
        if (end == i + 2 || end != text.size() || overflow)
            return std::nullopt;
        return value != 0;
    }
    if (const auto value = decimalInteger(text))
        return *value != 0;
    return std::nullopt;
}

std::optional<double> toReal(QStringView text, QStringView decimalPoint)
{
    if (decimalPoint.isEmpty())
        decimalPoint = u".";
    qsizetype end = text.size();
    while (end > 0 && isBlank(text[end - 1]))
        --end;
    text = text.first(end);
    qsizetype i = skipBlanks(text, 0);

    // Checked here rather than left to a converter, so that only the given separator counts.
    QByteArray plain;
    plain.reserve(text.size() - i + 1);
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        plain += char(text[i++].unicode());
    int digits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i, ++digits)
        plain += char(text[i].unicode());
    if (text.sliced(i).startsWith(decimalPoint)) {
        plain += '.';
        for (i += decimalPoint.size(); i < text.size() && isDigit(text[i]); ++i, ++digits)
            plain += char(text[i].unicode());
    }
    if (digits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        plain += 'e';
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            plain += char(text[i++].unicode());
        const qsizetype exponentStart = i;
        for (; i < text.size() && isDigit(text[i]); ++i)
            plain += char(text[i].unicode());
        if (i == exponentStart)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString fromReal(double value, QStringView decimalPoint)
{
    if (value == 0)
        value = 0; // no "-0"
    QString text = QString::number(value, 'g', 15);
    const qsizetype point = text.indexOf(u'.');
    if (point >= 0)
        text.replace(point, 1,
                     decimalPoint.isEmpty() ? QStringLiteral(".") : decimalPoint.toString());
    return text;
}

} // namespace IniValue

// A section or key name as asked for: trimmed, with its bytes for the common case of a plain
// ASCII name, which is then compared byte by byte without decoding the file's names.
namespace {

bool isAscii(const char *name, qsizetype length)
{
    return std::all_of(name, name + length, [](char c) { return uchar(c) < 0x80; });
}

// Names match without regard to letter case: plain ASCII names byte by byte, others case-folded
// after decoding. An ASCII name never matches a non-ASCII one, which keeps the hash below
// consistent with the comparison.
bool sameName(const char *a, qsizetype aLength, bool aAscii, const char *b, qsizetype bLength)
{
    if (aAscii != isAscii(b, bLength))
        return false;
    if (!aAscii)
        return QString::fromLocal8Bit(a, aLength)
                   .compare(QString::fromLocal8Bit(b, bLength), Qt::CaseInsensitive) == 0;
    if (aLength != bLength)
        return false;
    for (qsizetype i = 0; i < aLength; ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

size_t nameHash(const char *name, qsizetype length, bool ascii)
{
    if (!ascii)
        return qHash(QString::fromLocal8Bit(name, length).toCaseFolded()) ^ 0x5bd1e995u;
    size_t hash = 14695981039346656037u; // FNV-1a
    for (qsizetype i = 0; i < length; ++i)
        hash = (hash ^ uchar(asciiLower(name[i]))) * 1099511628211u;
    return hash;
}

const char *nameOf(const QByteArray &raw, qint32 begin)
{
    return raw.constData() + begin;
}

} // namespace

// A section or key name as asked for: trimmed, in the file's encoding.
struct IniFile::Name
{
    explicit Name(const QString &name)
        : text(trimBlanks(name)), bytes(text.toLocal8Bit()),
          ascii(isAscii(bytes.constData(), bytes.size())),
          hash(nameHash(bytes.constData(), bytes.size(), ascii))
    {
    }

    bool matches(const Line &line) const
    {
        return sameName(bytes.constData(), bytes.size(), ascii, nameOf(line.raw, line.nameBegin),
                        line.nameEnd - line.nameBegin);
    }

    QString text;
    QByteArray bytes;
    bool ascii;
    size_t hash;
};

IniFile::IniFile(const QString &path) : m_path(path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return;
    // A FIFO or device would block or never end; a folder cannot be read.
    if (!info.isFile()) {
        m_unreadable = true;
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_unreadable = true;
        return;
    }
    QByteArray data = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        m_unreadable = true;
        return;
    }
    if (data.size() > MaxFileSize)
        throw ZorError(QStringLiteral("%1 is too large for a settings file")
                           .arg(QDir::toNativeSeparators(path)));
    m_buffer = std::move(data);
    m_onDisk = m_buffer;
    parse();
}

void IniFile::parse()
{
    const char *d = m_buffer.constData();
    const qsizetype n = m_buffer.size();
    // An editor's byte order mark is not part of the first line's text, but it is kept.
    qsizetype skip = (n >= 3 && std::memcmp(d, "\xEF\xBB\xBF", 3) == 0) ? 3 : 0;
    qsizetype runBegin = -1;
    qsizetype runEnd = 0;
    const auto lines = [this]() -> std::vector<Line> & {
        return m_sections.empty() ? m_preamble : m_sections.back().lines;
    };
    const auto flushRun = [&] {
        if (runBegin >= 0) {
            Line line;
            line.raw = QByteArray::fromRawData(d + runBegin, runEnd - runBegin);
            lines().push_back(std::move(line));
            runBegin = -1;
        }
    };

    // Every section needs a line and a "[": reserving for that bound spares the moves of a
    // growing vector when there are very many.
    m_sections.reserve(size_t(std::min(std::count(d, d + n, '['), std::count(d, d + n, '\n') + 1)));

    qsizetype pos = 0;
    while (pos < n) {
        const void *newline = std::memchr(d + pos, '\n', size_t(n - pos));
        const qsizetype end = newline ? static_cast<const char *>(newline) - d : n;
        qsizetype contentEnd = end;
        if (contentEnd > pos && d[contentEnd - 1] == '\r')
            --contentEnd;

        Line line;
        qsizetype i = pos + skip;
        skip = 0;
        while (i < contentEnd && isBlank(d[i]))
            ++i;
        if (i < contentEnd && d[i] == '[') {
            qsizetype close = contentEnd - 1;
            while (close > i && d[close] != ']')
                --close;
            if (close > i) {
                qsizetype b = i + 1;
                qsizetype e = close;
                while (b < e && isBlank(d[b]))
                    ++b;
                while (e > b && isBlank(d[e - 1]))
                    --e;
                line.kind = Kind::Section;
                line.nameBegin = qint32(b - pos);
                line.nameEnd = qint32(e - pos);
            }
        } else if (i < contentEnd && d[i] != ';') {
            if (const void *eq = std::memchr(d + i, '=', size_t(contentEnd - i))) {
                const qsizetype equals = static_cast<const char *>(eq) - d;
                qsizetype e = equals;
                while (e > i && isBlank(d[e - 1]))
                    --e;
                if (e > i) {
                    line.kind = Kind::Key;
                    line.nameBegin = qint32(i - pos);
                    line.nameEnd = qint32(e - pos);
                    line.valueBegin = qint32(equals + 1 - pos);
                }
            }
        }

        if (line.kind == Kind::Other) {
            // Kept with its CR so that a run is cut into the same lines when written.
            if (runBegin < 0)
                runBegin = pos;
            runEnd = end;
        } else {
            flushRun();
            line.raw = QByteArray::fromRawData(d + pos, contentEnd - pos);
            if (line.kind == Kind::Section)
                m_sections.push_back(Section{std::move(line), {}});
            else
                lines().push_back(std::move(line));
        }
        pos = newline ? end + 1 : n;
    }
    flushRun();
}

const IniFile::Section *IniFile::findSection(const Name &section) const
{
    // Thousands of sections must not make each look-up a walk through all of them.
    if (!m_indexed) {
        m_index.clear();
        m_index.reserve(m_sections.size());
        for (qsizetype i = 0; i < qsizetype(m_sections.size()); ++i)
            addToIndex(i);
        m_indexed = true;
    }
    const auto [first, last] = m_index.equal_range(section.hash);
    for (auto it = first; it != last; ++it) {
        if (section.matches(m_sections[it->second].header))
            return &m_sections[it->second];
    }
    return nullptr;
}

void IniFile::addToIndex(qsizetype position) const
{
    const Line &header = m_sections[position].header;
    const char *name = nameOf(header.raw, header.nameBegin);
    const qsizetype length = header.nameEnd - header.nameBegin;
    const bool ascii = isAscii(name, length);
    const size_t hash = nameHash(name, length, ascii);
    // Only the first section of a name is found.
    const auto [first, last] = m_index.equal_range(hash);
    for (auto it = first; it != last; ++it) {
        const Line &other = m_sections[it->second].header;
        if (sameName(name, length, ascii, nameOf(other.raw, other.nameBegin),
                     other.nameEnd - other.nameBegin))
            return;
    }
    m_index.emplace(hash, position);
}

IniFile::Section *IniFile::findSection(const Name &section)
{
    return const_cast<Section *>(std::as_const(*this).findSection(section));
}

qsizetype IniFile::findKey(const Section &section, const Name &key)
{
    for (qsizetype i = 0; i < qsizetype(section.lines.size()); ++i) {
        const Line &line = section.lines[i];
        if (line.kind == Kind::Key && key.matches(line))
            return i;
    }
    return -1;
}

std::optional<QByteArray> IniFile::readValue(const QString &section, const QString &key) const
{
    const Section *found = findSection(Name(section));
    if (!found)
        return std::nullopt;
    const qsizetype index = findKey(*found, Name(key));
    if (index < 0)
        return std::nullopt;
    const Line &line = found->lines[index];
    const char *d = line.raw.constData();
    qsizetype b = line.valueBegin;
    qsizetype e = line.raw.size();
    while (b < e && isBlank(d[b]))
        ++b;
    while (e > b && isBlank(d[e - 1]))
        --e;
    if (e - b >= 2 && isQuote(d[b]) && d[e - 1] == d[b]) {
        ++b;
        --e;
    }
    return QByteArray(d + b, e - b);
}

QString IniFile::readString(const QString &section, const QString &key,
                            const QString &defaultValue) const
{
    const auto value = readValue(section, key);
    return value ? QString::fromLocal8Bit(*value) : defaultValue;
}

int IniFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    const auto value = readValue(section, key);
    if (!value)
        return defaultValue;
    const QString text = QString::fromLocal8Bit(*value);
    if (const auto number = IniValue::toInteger(text))
        return *number;
    // A damaged file may hold anything; the message shows only the start of it.
    const QString shown = text.size() > 40 ? text.left(40) + QStringLiteral("...") : text;
    throw ZorError(
        QStringLiteral("\"%1\" is not a valid integer for %2 in section [%3] of %4")
            .arg(shown, trimBlanks(key), trimBlanks(section), QDir::toNativeSeparators(m_path)));
}

bool IniFile::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    const auto value = readValue(section, key);
    if (!value)
        return defaultValue;
    return IniValue::toBoolean(QString::fromLocal8Bit(*value)).value_or(defaultValue);
}

double IniFile::readReal(const QString &section, const QString &key, double defaultValue) const
{
    const auto value = readValue(section, key);
    if (!value)
        return defaultValue;
    return IniValue::toReal(QString::fromLocal8Bit(*value), QLocale::system().decimalPoint())
        .value_or(defaultValue);
}

QStringList IniFile::keys(const QString &section) const
{
    QStringList result;
    if (const Section *found = findSection(Name(section))) {
        for (const Line &line : found->lines) {
            if (line.kind == Kind::Key)
                result += QString::fromLocal8Bit(line.raw.constData() + line.nameBegin,
                                                 line.nameEnd - line.nameBegin);
        }
    }
    return result;
}

QStringList IniFile::sections() const
{
    QStringList result;
    result.reserve(qsizetype(m_sections.size()));
    for (const Section &section : m_sections) {
        const Line &header = section.header;
        result += QString::fromLocal8Bit(header.raw.constData() + header.nameBegin,
                                         header.nameEnd - header.nameBegin);
    }
    return result;
}

bool IniFile::sectionHasKeys(const QString &section) const
{
    const Section *found = findSection(Name(section));
    return found && std::any_of(found->lines.cbegin(), found->lines.cend(),
                                [](const Line &line) { return line.kind == Kind::Key; });
}

bool IniFile::lastLineIsBlank() const
{
    const std::vector<Line> &lines = m_sections.empty() ? m_preamble : m_sections.back().lines;
    if (lines.empty() || lines.back().kind != Kind::Other)
        return false;
    const QByteArray &raw = lines.back().raw;
    for (qsizetype i = raw.size() - 1; i >= 0 && raw[i] != '\n'; --i) {
        if (!isBlank(raw[i]))
            return false;
    }
    return true;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    if (!isValidSectionName(section))
        throw ZorError(QStringLiteral("\"%1\" cannot be used as a section name in %2")
                           .arg(section, QDir::toNativeSeparators(m_path)));
    if (!isValidKeyName(key))
        throw ZorError(QStringLiteral("\"%1\" cannot be used as a key name in %2")
                           .arg(key, QDir::toNativeSeparators(m_path)));

    QString text = value;
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    const bool quote = !text.isEmpty() && (isBlank(text.front()) || isBlank(text.back()) ||
                                           (text.size() >= 2 && text.front() == text.back() &&
                                            (text.front() == u'"' || text.front() == u'\'')));
    if (quote)
        text = u'"' + text + u'"';
    const QByteArray valueBytes = text.toLocal8Bit();

    const Name sectionName(section);
    const Name keyName(key);
    Section *target = findSection(sectionName);
    if (!target) {
        if (!(m_sections.empty() && m_preamble.empty()) && !lastLineIsBlank())
            (m_sections.empty() ? m_preamble : m_sections.back().lines).push_back(Line{});
        Line header;
        header.raw = '[' + sectionName.bytes + ']';
        header.kind = Kind::Section;
        header.nameBegin = 1;
        header.nameEnd = qint32(1 + sectionName.bytes.size());
        target = &m_sections.emplace_back(Section{std::move(header), {}});
        if (m_indexed)
            addToIndex(qsizetype(m_sections.size()) - 1);
        m_modified = true;
    }

    std::vector<Line> &lines = target->lines;
    const qsizetype existing = findKey(*target, keyName);
    if (existing >= 0) {
        Line &line = lines[existing];
        const QByteArray name = line.raw.mid(line.nameBegin, line.nameEnd - line.nameBegin);
        QByteArray raw = name + '=' + valueBytes;
        if (raw == line.raw)
            return;
        line.raw = std::move(raw);
        line.nameBegin = 0;
        line.nameEnd = qint32(name.size());
        line.valueBegin = line.nameEnd + 1;
        m_modified = true;
        return;
    }

    qsizetype at = qsizetype(lines.size());
    while (at > 0 && lines[at - 1].kind != Kind::Key)
        --at;
    Line line;
    line.raw = keyName.bytes + '=' + valueBytes;
    line.kind = Kind::Key;
    line.nameEnd = qint32(keyName.bytes.size());
    line.valueBegin = line.nameEnd + 1;
    lines.insert(lines.begin() + at, std::move(line));
    m_modified = true;
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::writeReal(const QString &section, const QString &key, double value)
{
    writeString(section, key, IniValue::fromReal(value, QLocale::system().decimalPoint()));
}

void IniFile::eraseSection(const QString &section)
{
    const Name name(section);
    if (std::erase_if(m_sections, [&](const Section &s) { return name.matches(s.header); }) > 0) {
        m_modified = true;
        m_indexed = false;
    }
}

void IniFile::deleteKey(const QString &section, const QString &key)
{
    const Name sectionName(section);
    const Name keyName(key);
    for (Section &s : m_sections) {
        if (!sectionName.matches(s.header))
            continue;
        if (std::erase_if(s.lines, [&](const Line &line) {
                return line.kind == Kind::Key && keyName.matches(line);
            }) > 0)
            m_modified = true;
    }
}

namespace {

void appendLine(QByteArray &out, const QByteArray &raw, bool several)
{
    if (!several) {
        out += raw;
        out += "\r\n";
        return;
    }
    // A run of other lines, each with its own LF or CR LF end inside.
    const char *d = raw.constData();
    const qsizetype n = raw.size();
    qsizetype pos = 0;
    while (true) {
        const void *newline = std::memchr(d + pos, '\n', size_t(n - pos));
        const qsizetype end = newline ? static_cast<const char *>(newline) - d : n;
        qsizetype contentEnd = end;
        if (contentEnd > pos && d[contentEnd - 1] == '\r')
            --contentEnd;
        out.append(d + pos, contentEnd - pos);
        out += "\r\n";
        if (!newline)
            break;
        pos = end + 1;
    }
}

} // namespace

QByteArray IniFile::serialize() const
{
    QByteArray out;
    out.reserve(m_buffer.size() + m_buffer.size() / 8 + 1024);
    for (const Line &line : m_preamble)
        appendLine(out, line.raw, line.kind == Kind::Other);
    for (const Section &section : m_sections) {
        appendLine(out, section.header.raw, false);
        for (const Line &line : section.lines)
            appendLine(out, line.raw, line.kind == Kind::Other);
    }
    return out;
}

void IniFile::save()
{
    const QString unable = QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(m_path);
    if (m_unreadable)
        throw ZorError(unable);
    if (!m_modified)
        return;
    const QByteArray content = serialize();
    if (content == m_onDisk)
        return;
    // Unbuffered: a buffered QSaveFile (Qt 6.4) commits a file cut short by a full disk.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(content) != content.size() || !file.commit())
        throw ZorError(unable);
    m_onDisk = content;
    m_modified = false;
}

bool IniFile::isValidSectionName(const QString &name)
{
    return !trimBlanks(name).isEmpty() && !name.contains(u'\n') && !name.contains(u'\r');
}

bool IniFile::isValidKeyName(const QString &name)
{
    const QString trimmed = trimBlanks(name);
    return isValidSectionName(name) && !trimmed.contains(u'=') && !trimmed.startsWith(u';') &&
           !trimmed.startsWith(u'[');
}

bool IniFile::backUpAndRemove(const QString &path)
{
    bool copied = false;
    if (QFileInfo(path).isFile()) {
        QFile in(path);
        QSaveFile out(path + QStringLiteral(".bak"));
        if (in.open(QIODevice::ReadOnly) &&
            out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            // Streamed, since a damaged file may be of any size.
            QByteArray chunk(64 * 1024, Qt::Uninitialized);
            bool ok = true;
            while (ok) {
                const qint64 n = in.read(chunk.data(), chunk.size());
                if (n <= 0) {
                    ok = n == 0;
                    break;
                }
                ok = out.write(chunk.constData(), n) == n;
            }
            copied = ok && out.commit();
        }
    }
    // The recovery must start from defaults even without a copy.
    QFile::remove(path);
    return copied;
}
