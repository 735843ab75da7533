#include "InkDescription.h"

#include "PpdLoader.h"
#include "ZorError.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <optional>

const std::array<KnownInk, 14> &KnownInks()
{
    static const std::array<KnownInk, 14> inks{{
        {QStringLiteral("K"), QStringLiteral("Black (K)")},
        {QStringLiteral("C"), QStringLiteral("Cyan (C)")},
        {QStringLiteral("M"), QStringLiteral("Magenta (M)")},
        {QStringLiteral("Y"), QStringLiteral("Yellow (Y)")},
        {QStringLiteral("LC"), QStringLiteral("Light Cyan (LC)")},
        {QStringLiteral("LM"), QStringLiteral("Light Magenta (LM)")},
        {QStringLiteral("LK"), QStringLiteral("Light Black (LK)")},
        {QStringLiteral("R"), QStringLiteral("Red (R)")},
        {QStringLiteral("B"), QStringLiteral("Blue (B)")},
        {QStringLiteral("G"), QStringLiteral("Green")},
        {QStringLiteral("PK"), QStringLiteral("Photo Black (PK)")},
        {QStringLiteral("GL"), QStringLiteral("Gloss (GL)")},
        {QStringLiteral("LLK"), QStringLiteral("Light Light Black (LLK)")},
        {QStringLiteral("MK"), QStringLiteral("Matte Black (MK)")},
    }};
    return inks;
}

QString inkDisplayName(const QString &ink)
{
    for (const KnownInk &known : KnownInks()) {
        if (known.ink == ink)
            return known.displayName;
    }
    return {};
}

const QStringList &inkUseNames()
{
    static const QStringList names{QStringLiteral("Not Used"),        QStringLiteral("Gray Ink"),
                                   QStringLiteral("Toner"),           QStringLiteral("Toner 2"),
                                   QStringLiteral("Copy curve from"), QStringLiteral("Load Curve")};
    return names;
}

int InkDescription::slotOf(const QString &ink) const
{
    for (int k = 0; k < inkCount; ++k) {
        if (inkSlots[size_t(k)].ink == ink)
            return k;
    }
    return -1;
}

void setUpInkSlots(InkDescription &description, const QStringList &inks)
{
    const int count = int(std::min<qsizetype>(inks.size(), MaxInkSlots));
    for (int k = 0; k < MaxInkSlots; ++k) {
        InkSlot &slot = description.inkSlots[size_t(k)];
        if (k >= count || slot.ink != inks[k])
            slot.use = InkUse::NotUsed;
        if (k < count)
            slot.ink = inks[k];
    }
    description.inkCount = count;
}

InkDescription newInkDescription(const QString &printer, const QStringList &inks,
                                 const QString &defaultInkLimit)
{
    InkDescription description;
    description.printer = printer;
    description.defaultInkLimit = defaultInkLimit;
    description.boostK = QStringLiteral("100");
    setUpInkSlots(description, inks);
    description.inkSlots[0].use = InkUse::GrayInk;
    description.inkSlots[0].density = QStringLiteral("100");
    const CurveShape shape{QStringLiteral("10"), QStringLiteral("10"), {}, QStringLiteral("1"), {}};
    description.gray = shape;
    description.toner = shape;
    description.toner2 = shape;
    return description;
}

// ---- Ink sets ---------------------------------------------------------------------------

namespace {

bool isInkSetTokenChar(char c)
{
    return c == '%' || c == '*' || c == '.' || c == '_' || (c >= '0' && c <= '9') ||
           (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

QString modelRefusal(const QString &model, const QString &problem)
{
    return QStringLiteral("The printing model \"%1\" cannot be used for curve creation: %2.")
        .arg(model, problem);
}

void checkInkSet(const QStringList &inks, const QString &model)
{
    if (inks.isEmpty())
        throw ZorError(modelRefusal(model, QStringLiteral("its *%INKS line names no ink")));
    if (inks.size() > MaxInkSlots)
        throw ZorError(modelRefusal(model, QStringLiteral("it has %1 inks, at most %2 are possible")
                                               .arg(inks.size())
                                               .arg(MaxInkSlots)));
    for (qsizetype i = 0; i < inks.size(); ++i) {
        if (inkDisplayName(inks[i]).isEmpty())
            throw ZorError(modelRefusal(
                model, QStringLiteral("its ink \"%1\" is not a known ink").arg(inks[i])));
        if (inks.indexOf(inks[i]) < i)
            throw ZorError(
                modelRefusal(model, QStringLiteral("it lists the ink \"%1\" twice").arg(inks[i])));
    }
}

} // namespace

QString curveNameOf(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QStringList inkSetLineTokens(const QByteArray &line)
{
    QStringList tokens;
    qsizetype pos = 0;
    while (pos < line.size()) {
        const qsizetype start = pos;
        while (pos < line.size() && isInkSetTokenChar(line[pos]))
            ++pos;
        if (pos == start)
            break;
        tokens.append(QString::fromLatin1(line.mid(start, pos - start)).toUpper());
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == ',' || line[pos] == '='))
            ++pos;
    }
    return tokens;
}

QStringList inkSetOfTokens(const QStringList &tokens)
{
    if (tokens.isEmpty())
        return {};
    const QString &name = tokens.first();
    if (name == QLatin1String("CMYK"))
        return {"K", "C", "M", "Y"};
    if (name == QLatin1String("PHOTOCMYK"))
        return {"K", "C", "M", "Y", "LC", "LM"};
    if (name == QLatin1String("PHOTOCMYK7"))
        return {"K", "C", "M", "Y", "LC", "LM", "LK"};
    if (name == QLatin1String("PHOTOCMYK8"))
        return {"MK", "C", "M", "Y", "R", "B", "PK", "GL"};
    return tokens;
}

QStringList inkSetFromPpd(const QByteArray &ppdText, const QString &model)
{
    qsizetype start = 0;
    while (start < ppdText.size()) {
        qsizetype end = start;
        while (end < ppdText.size() && ppdText[end] != '\n' && ppdText[end] != '\r')
            ++end;
        QStringList tokens = inkSetLineTokens(ppdText.mid(start, end - start));
        if (!tokens.isEmpty() && tokens.first() == QLatin1String("*%INKS")) {
            tokens.removeFirst();
            const QStringList inks = inkSetOfTokens(tokens);
            checkInkSet(inks, model);
            return inks;
        }
        start = end + 1;
    }
    throw ZorError(modelRefusal(model, QStringLiteral("its PPD file has no *%INKS line")));
}

QStringList readModelInkSet(const QString &installFolder, const QString &model)
{
    QFile file(ppdFilePath(installFolder, model));
    if (!file.open(QIODevice::ReadOnly))
        throw cannotOpenFile(file);
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw cannotReadFile(file);
    return inkSetFromPpd(text, model);
}

// ---- Reading ----------------------------------------------------------------------------

namespace {

constexpr int ErrorLimit = 10;

bool isKeywordChar(QChar c)
{
    const char16_t u = c.unicode();
    return u == '#' || u == ',' || u == '.' || u == '_' || (u >= '0' && u <= '9') ||
           (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

// The keyword characters from pos on; pos ends after them.
QString keywordRun(const QString &text, qsizetype &pos)
{
    const qsizetype start = pos;
    while (pos < text.size() && isKeywordChar(text[pos]))
        ++pos;
    return text.mid(start, pos - start);
}

void skipBlanksAndEquals(const QString &text, qsizetype &pos)
{
    while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'='))
        ++pos;
}

// The file's lines; CR LF, LF and a lone CR each end a line.
class LineSource
{
public:
    explicit LineSource(const QByteArray &text) : m_text(text) {}

    std::optional<QString> next()
    {
        if (m_pos >= m_text.size())
            return std::nullopt;
        qsizetype end = m_pos;
        while (end < m_text.size() && m_text[end] != '\n' && m_text[end] != '\r')
            ++end;
        const QString line = QString::fromLatin1(m_text.mid(m_pos, end - m_pos));
        if (end < m_text.size() && m_text[end] == '\r' && end + 1 < m_text.size() &&
            m_text[end + 1] == '\n')
            ++end;
        m_pos = end + 1;
        ++m_lineNumber;
        return line;
    }
    int lineNumber() const { return m_lineNumber; }

private:
    const QByteArray &m_text;
    qsizetype m_pos = 0;
    int m_lineNumber = 0;
};

struct PartPair
{
    QString Ink;
    QString Val;
};
using PartList = std::array<PartPair, MaxInkSlots>;

enum class LineOutcome { Read, ErrorLine, Stop };

class DescriptionReader
{
public:
    DescriptionReader(InkDescription &description, const QStringList &models,
                      const InkSetLookup &inkSetOf, const QLocale &locale)
        : m_d(description), m_models(models), m_inkSetOf(inkSetOf), m_locale(locale)
    {
    }

    InkDescriptionLoad read(const QByteArray &text);

private:
    LineOutcome readLine(const QString &line);
    LineOutcome readExactKey(const QString &key, const QString &value, bool &known);
    LineOutcome readInkKey(const QString &prefix, const QString &ink, const QString &value,
                           bool &known);
    LineOutcome readEntryKey(const QString &prefix, const QString &suffix, const QString &value,
                             bool &known);
    void readPrinter(const QString &value);
    void readLinearization(const QString &value);
    QString slotInk(const QString &ink) const;
    void applyPartLists();
    void applyNeutralizer(const QStringList &inks);

    InkDescription &m_d;
    const QStringList &m_models;
    const InkSetLookup &m_inkSetOf;
    const QLocale &m_locale;
    std::optional<LineSource> m_lines;
    PartList m_gray, m_toner, m_toner2, m_unused;
    bool m_printerFound = false;
    QString m_printerNamed;
    QString m_curveName;
    bool m_neutralizer = false;
    bool m_neutralizer2 = false;
};

// The ink of the current slots that a file's ink name means: the name itself, or MK for K
// on a model without K. Empty when there is no such slot.
QString DescriptionReader::slotInk(const QString &ink) const
{
    if (m_d.slotOf(ink) >= 0)
        return ink;
    if (ink == QLatin1String("K") && m_d.slotOf(QStringLiteral("MK")) >= 0)
        return QStringLiteral("MK");
    return {};
}

void DescriptionReader::readPrinter(const QString &value)
{
    m_printerNamed = value;
    if (!m_models.contains(value))
        return;
    m_printerFound = true;
    m_d.printer = value;
    setUpInkSlots(m_d, m_inkSetOf(value));
}

// Number tokens, one per box; a closing quote (or any character outside the keyword set)
// stops them and clears the boxes left. A value without a closing quote continues on the
// next lines of the file.
void DescriptionReader::readLinearization(const QString &value)
{
    QString text = value.mid(1);
    qsizetype pos = 0;
    bool stopped = false;
    for (QString &box : m_d.linearization) {
        while (!stopped && pos >= text.size()) {
            const std::optional<QString> next = m_lines->next();
            stopped = !next;
            if (next) {
                text = *next;
                pos = 0;
            }
        }
        if (stopped) {
            box.clear();
            continue;
        }
        QString token = keywordRun(text, pos);
        if (token.isEmpty())
            stopped = true;
        token.replace(u',', m_locale.decimalPoint()).replace(u'.', m_locale.decimalPoint());
        box = token;
        skipBlanksAndEquals(text, pos);
    }
}

// Keys that are written for the other tools and mean nothing to the editor; the counts
// follow from the lists.
bool isIgnoredKey(const QString &key)
{
    static const QStringList ignored{
        QStringLiteral("CURVE_NAME"),         QStringLiteral("CALIBRATION"),
        QStringLiteral("GRAPH_CURVE"),        QStringLiteral("N_OF_INKS"),
        QStringLiteral("N_OF_GRAY_PARTS"),    QStringLiteral("N_OF_TONER_PARTS"),
        QStringLiteral("N_OF_TONER_2_PARTS"), QStringLiteral("N_OF_UNUSED")};
    return ignored.contains(key);
}

LineOutcome DescriptionReader::readExactKey(const QString &key, const QString &value, bool &known)
{
    known = true;
    if (key == QLatin1String("CURVE_NAME"))
        m_curveName = value;
    if (isIgnoredKey(key))
        return LineOutcome::Read;
    if (key == QLatin1String("#NOTES"))
        m_d.notes.append(value);
    else if (key == QLatin1String("PRINTER"))
        readPrinter(value);
    else if (key == QLatin1String("DEFAULT_INK_LIMIT"))
        m_d.defaultInkLimit = value;
    else if (key == QLatin1String("BOOST_K") || key == QLatin1String("BOOST"))
        m_d.boostK = value;
    else if (key == QLatin1String("UC_NEUTRALIZER") || key == QLatin1String("UC_NEUTRALIZER2")) {
        if (m_d.inkCount < 7)
            return LineOutcome::ErrorLine;
        (key.endsWith(u'2') ? m_neutralizer2 : m_neutralizer) = value == QLatin1String("YES");
    } else if (key == QLatin1String("LINEARIZE"))
        readLinearization(value);
    else {
        const std::array<std::pair<const char *, CurveShape *>, 3> groups{
            {{"GRAY_", &m_d.gray}, {"TONER_2_", &m_d.toner2}, {"TONER_", &m_d.toner}}};
        for (const auto &[prefix, shape] : groups) {
            if (!key.startsWith(QLatin1String(prefix)))
                continue;
            const QString field = key.mid(qsizetype(qstrlen(prefix)));
            QString *target = field == QLatin1String("HIGHLIGHT") ? &shape->highlight
                              : field == QLatin1String("SHADOW")  ? &shape->shadow
                              : field == QLatin1String("GAMMA")   ? &shape->gamma
                              : field == QLatin1String("CURVE")   ? &shape->curve
                              : field == QLatin1String("OVERLAP") && shape == &m_d.gray
                                  ? &shape->overlap
                                  : nullptr;
            if (target) {
                *target = value;
                return LineOutcome::Read;
            }
        }
        known = false;
    }
    return LineOutcome::Read;
}

LineOutcome DescriptionReader::readInkKey(const QString &prefix, const QString &ink,
                                          const QString &value, bool &known)
{
    known = prefix == QLatin1String("LIMIT_") || prefix == QLatin1String("COPY_CURVE_") ||
            prefix == QLatin1String("CURVE_");
    if (!known)
        return LineOutcome::Read;
    const int slotIndex = m_d.slotOf(slotInk(ink));
    if (slotIndex < 0)
        return LineOutcome::ErrorLine;
    InkSlot &slot = m_d.inkSlots[size_t(slotIndex)];
    if (prefix == QLatin1String("LIMIT_")) {
        slot.limit = value;
    } else if (prefix == QLatin1String("COPY_CURVE_")) {
        slot.use = InkUse::CopyCurveFrom;
        // A source the slots do not have is kept as written; the editor shows none then.
        const QString source = slotInk(value);
        slot.copySource = source.isEmpty() ? value : source;
    } else {
        slot.use = InkUse::LoadCurve;
        const bool pointList = value.startsWith(u'"');
        slot.curveSource = pointList ? CurveSource::PointList : CurveSource::FileName;
        slot.curveData = !pointList ? value
                         : value.size() >= 2 && value.endsWith(u'"')
                             ? value.mid(1, value.size() - 2)
                             : value.mid(1);
    }
    return LineOutcome::Read;
}

LineOutcome DescriptionReader::readEntryKey(const QString &prefix, const QString &suffix,
                                            const QString &value, bool &known)
{
    struct Family
    {
        const char *prefix;
        PartList *list;
        bool isInk;
    };
    const std::array<Family, 7> families{{{"GRAY_INK_", &m_gray, true},
                                          {"TONER_INK_", &m_toner, true},
                                          {"TONER_2_INK_", &m_toner2, true},
                                          {"UNUSED_INK_", &m_unused, true},
                                          {"GRAY_VAL_", &m_gray, false},
                                          {"TONER_VAL_", &m_toner, false},
                                          {"TONER_2_VAL_", &m_toner2, false}}};
    const auto family = std::find_if(families.begin(), families.end(), [&](const Family &f) {
        return prefix == QLatin1String(f.prefix);
    });
    known = family != families.end();
    if (!known)
        return LineOutcome::Read;
    if (suffix.isEmpty() || suffix.back() < u'0' || suffix.back() > u'9')
        return LineOutcome::Stop;
    if (suffix.size() != 1 || suffix[0] < u'1' || suffix[0] > u'8')
        return LineOutcome::ErrorLine;
    PartPair &entry = (*family->list)[size_t(suffix[0].unicode() - '1')];
    if (!family->isInk) {
        entry.Val = value;
        return LineOutcome::Read;
    }
    if (value.isEmpty()) {
        entry.Ink.clear();
        return LineOutcome::Read;
    }
    const QString ink = slotInk(value);
    if (ink.isEmpty())
        return LineOutcome::ErrorLine;
    entry.Ink = ink;
    return LineOutcome::Read;
}

LineOutcome DescriptionReader::readLine(const QString &line)
{
    qsizetype pos = 0;
    const QString keyword = keywordRun(line, pos);
    if (keyword.isEmpty())
        return LineOutcome::Read;
    skipBlanksAndEquals(line, pos);
    const QString value = line.mid(pos);
    const QString key = keyword.toUpper();
    bool known = false;
    LineOutcome outcome = readExactKey(key, value, known);
    if (known)
        return outcome;
    if (key.startsWith(u'#'))
        return LineOutcome::Read;
    const qsizetype cut = key.lastIndexOf(u'_') + 1;
    if (cut > 0) {
        const QString prefix = key.left(cut);
        const QString suffix = keyword.mid(cut);
        outcome = readInkKey(prefix, suffix, value, known);
        if (!known)
            outcome = readEntryKey(prefix, suffix, value, known);
        if (known)
            return outcome;
    }
    return LineOutcome::ErrorLine;
}

void DescriptionReader::applyPartLists()
{
    const std::array<std::pair<const PartList *, InkUse>, 4> order{{{&m_unused, InkUse::NotUsed},
                                                                    {&m_gray, InkUse::GrayInk},
                                                                    {&m_toner, InkUse::Toner},
                                                                    {&m_toner2, InkUse::Toner2}}};
    for (size_t entry = 0; entry < MaxInkSlots; ++entry) {
        for (const auto &[list, use] : order) {
            const PartPair &pair = (*list)[entry];
            if (pair.Ink.isEmpty())
                continue;
            for (int k = 0; k < m_d.inkCount; ++k) {
                InkSlot &slot = m_d.inkSlots[size_t(k)];
                if (slot.ink != pair.Ink)
                    continue;
                slot.use = use;
                slot.density = use == InkUse::NotUsed ? QString() : pair.Val;
            }
        }
    }
}

// The light inks print no curve of their own: each copies the light black's curve, or is
// left out when its limit is 0. Without a light black slot there is nothing to copy from,
// and the slots stay as they are.
void DescriptionReader::applyNeutralizer(const QStringList &inks)
{
    if (m_d.slotOf(QStringLiteral("LK")) < 0)
        return;
    for (const QString &ink : inks) {
        const int k = m_d.slotOf(ink);
        if (k < 0)
            continue;
        InkSlot &slot = m_d.inkSlots[size_t(k)];
        if (slot.limit == QLatin1String("0")) {
            slot.use = InkUse::NotUsed;
        } else {
            slot.use = InkUse::CopyCurveFrom;
            slot.copySource = QStringLiteral("LK");
        }
    }
}

QString errorLine(int lineNumber, const QString &line)
{
    return QStringLiteral("Error in Ink Description at Line: %1 -> \"%2\"")
        .arg(lineNumber)
        .arg(line);
}

InkDescriptionLoad DescriptionReader::read(const QByteArray &text)
{
    InkDescriptionLoad load;
    m_d.notes.clear();
    m_lines.emplace(text);
    while (const std::optional<QString> line = m_lines->next()) {
        const LineOutcome outcome = readLine(*line);
        if (outcome == LineOutcome::ErrorLine)
            load.errors.append(errorLine(m_lines->lineNumber(), *line));
        if (outcome == LineOutcome::Stop || load.errors.size() >= ErrorLimit) {
            load.errors.append(load.errors.size() < ErrorLimit
                                   ? QStringLiteral("Error in Ink Description at Line: %1")
                                         .arg(m_lines->lineNumber())
                                   : QStringLiteral("Too many errors in Ink Description"));
            load.stoppedEarly = true;
            break;
        }
    }
    applyPartLists();
    if (m_neutralizer)
        applyNeutralizer({QStringLiteral("LC"), QStringLiteral("LM"), QStringLiteral("Y")});
    if (m_neutralizer2)
        applyNeutralizer({QStringLiteral("C"), QStringLiteral("M")});
    load.unchanged = m_printerFound && !m_neutralizer && !m_neutralizer2;
    load.printerNamed = m_printerNamed;
    load.curveName = m_curveName;
    return load;
}

} // namespace

InkDescriptionLoad readInkDescription(const QByteArray &text, InkDescription &description,
                                      const QStringList &models, const InkSetLookup &inkSetOf,
                                      const QLocale &locale)
{
    return DescriptionReader(description, models, inkSetOf, locale).read(text);
}

InkDescriptionLoad readInkDescriptionFile(const QString &path, InkDescription &description,
                                          const QStringList &models, const InkSetLookup &inkSetOf,
                                          const QLocale &locale)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw cannotOpenFile(file);
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw cannotReadFile(file);
    return readInkDescription(text, description, models, inkSetOf, locale);
}

// ---- Writing ----------------------------------------------------------------------------

namespace {

struct InkPair
{
    QString Ink;
    float Val = 0;
};

class DescriptionWriter
{
public:
    DescriptionWriter(const InkDescription &description, const QLocale &locale)
        : m_d(description), m_locale(locale)
    {
        m_locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    }

    QByteArray write(const QString &fileName);

private:
    void line(const QString &text) { m_text += text.toLatin1() + "\r\n"; }
    void entry(const QString &key, const QString &value) { line(key + u'=' + value); }
    void writeSlotLimits();
    void writePartGroup(const QString &prefix, InkUse use);
    void writeShape(const QString &prefix, const CurveShape &shape, bool withOverlap);
    void writeUnused();
    void writeSlotCurves();
    void writeLinearization();
    float densityValue(const QString &density) const;
    QString formatValue(float value) const;

    const InkDescription &m_d;
    QLocale m_locale;
    QByteArray m_text;
};

// The density as a number; -1 for text that is no finite number.
float DescriptionWriter::densityValue(const QString &density) const
{
    bool ok = false;
    const double value = m_locale.toDouble(density, &ok);
    if (!ok || !std::isfinite(float(value)))
        return -1;
    return float(value);
}

// Rounded to 4 decimals, shortest form; empty for a density that did not parse.
QString DescriptionWriter::formatValue(float value) const
{
    if (value < 0)
        return {};
    const double scaled = double(value) * 10000.0;
    const double rounded = std::round(scaled) / 10000.0;
    return m_locale.toString(rounded, 'g', 15);
}

void DescriptionWriter::writeSlotLimits()
{
    for (int k = 0; k < m_d.inkCount; ++k)
        entry(QStringLiteral("LIMIT_") + m_d.inkSlots[size_t(k)].ink,
              m_d.inkSlots[size_t(k)].limit);
}

void DescriptionWriter::writePartGroup(const QString &prefix, InkUse use)
{
    QList<InkPair> parts;
    for (int k = 0; k < m_d.inkCount; ++k) {
        const InkSlot &slot = m_d.inkSlots[size_t(k)];
        // Every density below 0 is written empty, so all of them sort as one value:
        // otherwise the order would depend on numbers the file no longer holds, and a
        // saved description would not read back to the same text.
        if (slot.use == use)
            parts.append({slot.ink, std::max(densityValue(slot.density), -1.0f)});
    }
    std::stable_sort(parts.begin(), parts.end(),
                     [](const InkPair &a, const InkPair &b) { return a.Val > b.Val; });
    entry(QStringLiteral("N_OF_%1_PARTS").arg(prefix), QString::number(parts.size()));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        entry(QStringLiteral("%1_INK_%2").arg(prefix).arg(i + 1), parts[i].Ink);
        entry(QStringLiteral("%1_VAL_%2").arg(prefix).arg(i + 1), formatValue(parts[i].Val));
    }
}

void DescriptionWriter::writeShape(const QString &prefix, const CurveShape &shape, bool withOverlap)
{
    entry(prefix + QStringLiteral("_HIGHLIGHT"), shape.highlight);
    entry(prefix + QStringLiteral("_SHADOW"), shape.shadow);
    if (withOverlap)
        entry(prefix + QStringLiteral("_OVERLAP"), shape.overlap);
    entry(prefix + QStringLiteral("_GAMMA"), shape.gamma);
    entry(prefix + QStringLiteral("_CURVE"), shape.curve);
}

void DescriptionWriter::writeUnused()
{
    QStringList unused;
    for (int k = 0; k < m_d.inkCount; ++k) {
        if (m_d.inkSlots[size_t(k)].use == InkUse::NotUsed)
            unused.append(m_d.inkSlots[size_t(k)].ink);
    }
    entry(QStringLiteral("N_OF_UNUSED"), QString::number(unused.size()));
    for (qsizetype i = 0; i < unused.size(); ++i)
        entry(QStringLiteral("UNUSED_INK_%1").arg(i + 1), unused[i]);
}

void DescriptionWriter::writeSlotCurves()
{
    for (int k = 0; k < m_d.inkCount; ++k) {
        const InkSlot &slot = m_d.inkSlots[size_t(k)];
        if (slot.use == InkUse::CopyCurveFrom)
            entry(QStringLiteral("COPY_CURVE_") + slot.ink, slot.copySource);
        else if (slot.use == InkUse::LoadCurve && slot.curveSource == CurveSource::PointList)
            entry(QStringLiteral("CURVE_") + slot.ink, u'"' + slot.curveData + u'"');
        else if (slot.use == InkUse::LoadCurve)
            entry(QStringLiteral("CURVE_") + slot.ink, slot.curveData);
    }
}

void DescriptionWriter::writeLinearization()
{
    if (m_d.linearization[0].isEmpty())
        return;
    QString values;
    for (const QString &value : m_d.linearization) {
        if (!value.isEmpty())
            values += value + u' ';
    }
    entry(QStringLiteral("LINEARIZE"), u'"' + values + u'"');
}

QByteArray DescriptionWriter::write(const QString &fileName)
{
    for (const QString &note : m_d.notes) {
        // A note never holds a line break of its own: that would start another entry.
        for (const QString &noteLine : note.split(QRegularExpression(QStringLiteral("\r\n|\r|\n"))))
            line(QStringLiteral("#Notes ") + noteLine);
    }
    entry(QStringLiteral("PRINTER"), m_d.printer);
    entry(QStringLiteral("CURVE_NAME"), curveNameOf(fileName));
    entry(QStringLiteral("GRAPH_CURVE"), QStringLiteral("YES"));
    entry(QStringLiteral("N_OF_INKS"), QString::number(m_d.inkCount));
    entry(QStringLiteral("DEFAULT_INK_LIMIT"), m_d.defaultInkLimit);
    entry(QStringLiteral("BOOST_K"), m_d.boostK);
    writeSlotLimits();
    writePartGroup(QStringLiteral("GRAY"), InkUse::GrayInk);
    writeShape(QStringLiteral("GRAY"), m_d.gray, true);
    writePartGroup(QStringLiteral("TONER"), InkUse::Toner);
    writeShape(QStringLiteral("TONER"), m_d.toner, false);
    writePartGroup(QStringLiteral("TONER_2"), InkUse::Toner2);
    writeShape(QStringLiteral("TONER_2"), m_d.toner2, false);
    writeUnused();
    writeSlotCurves();
    writeLinearization();
    return m_text;
}

} // namespace

QByteArray inkDescriptionText(const InkDescription &description, const QString &fileName,
                              const QLocale &locale)
{
    return DescriptionWriter(description, locale).write(fileName);
}

void writeInkDescriptionFile(const InkDescription &description, const QString &path,
                             const QLocale &locale)
{
    const QByteArray text = inkDescriptionText(description, path, locale);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw ZorError(
            QStringLiteral("Cannot write file \"%1\". %2").arg(path, file.errorString()));
}
