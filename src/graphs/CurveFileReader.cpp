#include "CurveFileReader.h"

#include "ZorError.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <charconv>

namespace {

// Larger than any curve file or graph output with all its comments; keeps a wrong file
// (or a device that never ends) from filling the memory.
constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;
// Enough of a bad value to recognise it in a message box.
constexpr qsizetype MaxQuotedChars = 64;
// Full scale of the ink amounts on the graphs' 0-100 axes.
constexpr double FullAmount = 65575.0;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmedBlanks(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

QString quoted(QByteArrayView text)
{
    const QString all = QString::fromUtf8(text);
    return all.size() <= MaxQuotedChars ? all : all.left(MaxQuotedChars) + QStringLiteral("...");
}

// The lines of a text one at a time, "\n" or "\r\n" ended, with their numbers from 1.
class LineCursor
{
public:
    // A byte order mark left by an editor is no part of the first line.
    explicit LineCursor(const QByteArray &text) : m_text(text)
    {
        if (m_text.startsWith("\xEF\xBB\xBF"))
            m_pos = 3;
    }

    bool next(QByteArrayView &line)
    {
        if (m_pos > m_text.size() || (m_pos == m_text.size() && m_number > 0))
            return false;
        qsizetype end = m_text.indexOf('\n', m_pos);
        if (end < 0)
            end = m_text.size();
        line = m_text.sliced(m_pos, end - m_pos);
        if (line.endsWith('\r'))
            line.chop(1);
        m_pos = end + 1;
        ++m_number;
        return true;
    }

    int number() const { return m_number; }

private:
    QByteArrayView m_text;
    qsizetype m_pos = 0;
    int m_number = 0;
};

// A whole decimal integer, blanks around it allowed, as the tools write them.
int integerValue(QByteArrayView text)
{
    QByteArrayView digits = trimmedBlanks(text);
    if (digits.size() > 1 && digits.front() == '+' && digits.at(1) >= '0' && digits.at(1) <= '9')
        digits = digits.sliced(1);
    int value = 0;
    const char *end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value, 10);
    if (digits.isEmpty() || error != std::errc() || stop != end)
        throw ZorError(QStringLiteral("'%1' is not a valid integer value").arg(quoted(text)));
    return value;
}

[[noreturn]] void lineError(int number, const QString &fileName, const QString &problem)
{
    throw ZorError(QStringLiteral("Line %1 of \"%2\" %3.").arg(number).arg(fileName, problem));
}

// Empty lines and comments may stand anywhere between the values.
bool isSkipped(QByteArrayView line)
{
    return trimmedBlanks(line).isEmpty() || line.front() == '#';
}

QPointF graphPoint(int level, int amount)
{
    return {level / 255.0 * 100.0, amount / FullAmount * 100.0};
}

struct ChannelName
{
    const char *name;
    char code;
};

// Tried in this order at each place of the list; a longer name also takes the separator
// after it.
constexpr ChannelName LongChannelNames[] = {{"MK", 'K'}, {"LC", 'c'}, {"LM", 'm'}, {"LK", 'k'},
                                            {"PK", 'P'}, {"GL", 'g'}, {"LLK", 'l'}};

std::optional<InkSeries> seriesOfCode(char code)
{
    switch (code) {
    case 'C':
        return InkSeries::Cyan;
    case 'M':
        return InkSeries::Magenta;
    case 'Y':
        return InkSeries::Yellow;
    case 'K':
        return InkSeries::Black;
    case 'c':
        return InkSeries::LtCyan;
    case 'm':
        return InkSeries::LtMagenta;
    case 'k':
        return InkSeries::LtBlack;
    case 'g':
        return InkSeries::Gloss;
    case 'R':
        return InkSeries::Red;
    case 'B':
        return InkSeries::Blue;
    case 'P':
        return InkSeries::PhotoBlack;
    case 'l':
        return InkSeries::LtLtBlack;
    case 'G':
        return InkSeries::Green;
    default:
        return std::nullopt;
    }
}

// Single letters that name a channel themselves; any other character makes a channel
// that is read but has no series.
bool isShortChannelName(char c)
{
    return QByteArrayView("KCMYRBG").contains(c);
}

CurveChannel channelAt(QByteArrayView list, qsizetype &pos)
{
    CurveChannel channel;
    for (const ChannelName &entry : LongChannelNames) {
        const QByteArrayView name(entry.name);
        if (list.sliced(pos).startsWith(name)) {
            pos += name.size() + 1;
            channel.code = entry.code;
            channel.series = seriesOfCode(entry.code);
            return channel;
        }
    }
    channel.code = list.at(pos++);
    if (isShortChannelName(channel.code))
        channel.series = seriesOfCode(channel.code);
    return channel;
}

QList<CurveChannel> channelsOfList(QByteArrayView list, const QString &fileName)
{
    QList<CurveChannel> channels;
    qsizetype pos = 0;
    while (pos < list.size()) {
        const char c = list.at(pos);
        if (c == ',' || isBlank(c)) {
            ++pos;
            continue;
        }
        channels.append(channelAt(list, pos));
        if (channels.size() > MaxCurveChannels)
            lineError(1, fileName,
                      QStringLiteral("lists more than %1 ink channels").arg(MaxCurveChannels));
    }
    return channels;
}

// Line 1: two comment characters, blanks, a word, blanks, the channel list.
QList<CurveChannel> channelsOfHeader(QByteArrayView header, const QString &fileName)
{
    qsizetype pos = 2;
    while (pos < header.size() && isBlank(header.at(pos)))
        ++pos;
    const qsizetype wordStart = pos;
    while (pos < header.size() && !isBlank(header.at(pos)))
        ++pos;
    const bool hasWord = pos > wordStart;
    while (pos < header.size() && isBlank(header.at(pos)))
        ++pos;
    const QList<CurveChannel> channels =
        hasWord ? channelsOfList(header.sliced(pos), fileName) : QList<CurveChannel>();
    if (channels.isEmpty())
        lineError(1, fileName,
                  QStringLiteral("is not a curve file header: it needs two comment "
                                 "characters, a word and the list of ink channels"));
    return channels;
}

QByteArray readLimitedFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw cannotOpenFile(file);
    QByteArray bytes = file.read(MaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw cannotReadFile(file);
    if (bytes.size() > MaxFileBytes)
        throw ZorError(QStringLiteral("File \"%1\" is larger than %2 MB; it is not a curve "
                                      "file or a graph output file.")
                           .arg(path)
                           .arg(MaxFileBytes / (1024 * 1024)));
    return bytes;
}

} // namespace

const std::array<QString, InkSeriesCount> &inkSeriesTitles()
{
    static const std::array<QString, InkSeriesCount> titles = {
        QStringLiteral("Cyan"),    QStringLiteral("Magenta"),     QStringLiteral("Yellow"),
        QStringLiteral("Black"),   QStringLiteral("LtCyan"),      QStringLiteral("LtMagenta"),
        QStringLiteral("LtBlack"), QStringLiteral("Gloss"),       QStringLiteral("Red"),
        QStringLiteral("Blue"),    QStringLiteral("Photo Black"), QStringLiteral("Lt LtBlack"),
        QStringLiteral("Green")};
    return titles;
}

int CurveGraphs::shownInkCount() const
{
    return int(std::count(inkShown.begin(), inkShown.end(), true));
}

QList<CurveChannel> readCurveChannels(const QByteArray &text, const QString &fileName)
{
    LineCursor lines(text);
    QByteArrayView line;
    lines.next(line);
    QList<CurveChannel> channels = channelsOfHeader(line, fileName);
    qsizetype current = 0;
    while (lines.next(line)) {
        if (isSkipped(line))
            continue;
        const int amount = integerValue(line);
        if (current == channels.size())
            lineError(lines.number(), fileName,
                      QStringLiteral("holds a value after the %1 values of each listed channel")
                          .arg(CurveLevels));
        CurveChannel &channel = channels[current];
        channel.points.append(graphPoint(int(channel.points.size()), amount));
        channel.amountSum += amount;
        if (channel.points.size() == CurveLevels)
            ++current;
    }
    return channels;
}

Linearization readLinearization(const QByteArray &text, const QString &fileName)
{
    Linearization result;
    LineCursor lines(text);
    QByteArrayView line;
    while (lines.next(line)) {
        if (!result.found) {
            result.found = line.startsWith("LINEARIZE_CURVE");
            continue;
        }
        if (isSkipped(line))
            break;
        QList<QByteArrayView> numbers;
        for (qsizetype pos = 0; pos < line.size();) {
            while (pos < line.size() && isBlank(line.at(pos)))
                ++pos;
            const qsizetype start = pos;
            while (pos < line.size() && !isBlank(line.at(pos)))
                ++pos;
            if (pos > start)
                numbers.append(line.sliced(start, pos - start));
        }
        if (numbers.size() != 2)
            lineError(lines.number(), fileName,
                      QStringLiteral("does not hold two numbers, an input level and an output "
                                     "amount"));
        result.points.append(graphPoint(integerValue(numbers[0]), integerValue(numbers[1])));
    }
    return result;
}

CurveGraphs readCurveGraphs(const QString &curveFile, const QString &graphOutputFile)
{
    CurveGraphs graphs;
    graphs.caption = QStringLiteral("Graphs for ") + QFileInfo(curveFile).fileName();
    if (!graphOutputFile.isEmpty()) {
        Linearization linearization = readLinearization(readLimitedFile(graphOutputFile),
                                                        QFileInfo(graphOutputFile).fileName());
        graphs.linearizationFound = linearization.found;
        graphs.density = std::move(linearization.points);
    }
    const QList<CurveChannel> channels =
        readCurveChannels(readLimitedFile(curveFile), QFileInfo(curveFile).fileName());
    // Two names of one series (K and MK) share its line; an all-zero one adds nothing.
    for (const CurveChannel &channel : channels) {
        if (!channel.series || !channel.drawn())
            continue;
        const auto index = size_t(*channel.series);
        graphs.inkShown[index] = true;
        graphs.inkPoints[index] += channel.points;
    }
    return graphs;
}
