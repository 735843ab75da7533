#include "PpdModel.h"

#include <QList>

#include <cmath>

namespace {

constexpr qsizetype MaxOptionsPerGroup = 4096;

bool isInkTokenChar(QChar c)
{
    return c == QLatin1Char('%') || c == QLatin1Char('*') || c == QLatin1Char('.') ||
           c == QLatin1Char('_') || (c.unicode() < 128 && c.isLetterOrNumber());
}

// Runs of token characters, upper-cased, separated by blanks, commas or equals signs; the
// list ends at the first position that starts no token.
QStringList inkTokens(const QString &line)
{
    QStringList tokens;
    qsizetype i = 0;
    while (i < line.size()) {
        const qsizetype start = i;
        while (i < line.size() && isInkTokenChar(line.at(i)))
            ++i;
        if (i == start)
            break;
        tokens.append(line.mid(start, i - start).toUpper());
        while (i < line.size() &&
               (line.at(i) == QLatin1Char(' ') || line.at(i) == QLatin1Char(',') ||
                line.at(i) == QLatin1Char('=')))
            ++i;
    }
    return tokens;
}

// The main keyword of a "*Keyword ..." line: up to the first blank, tab or colon.
QString mainKeyword(const QString &line)
{
    qsizetype end = 1;
    while (end < line.size() && line.at(end) != QLatin1Char(' ') &&
           line.at(end) != QLatin1Char('\t') && line.at(end) != QLatin1Char(':'))
        ++end;
    return line.mid(1, end - 1);
}

// The option name after the main keyword: up to the translation's slash or the colon.
QString optionName(const QString &line, qsizetype keywordEnd)
{
    qsizetype end = keywordEnd;
    while (end < line.size() && line.at(end) != QLatin1Char('/') &&
           line.at(end) != QLatin1Char(':'))
        ++end;
    return line.mid(keywordEnd, end - keywordEnd).trimmed();
}

// The value after the first colon, without surrounding blanks and quotes.
QString lineValue(const QString &line)
{
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return {};
    QString value = line.mid(colon + 1).trimmed();
    if (value.startsWith(QLatin1Char('"')))
        value.remove(0, 1);
    if (value.endsWith(QLatin1Char('"')))
        value.chop(1);
    return value.trimmed();
}

QList<double> numbers(const QString &text)
{
    QList<double> result;
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &word : words) {
        bool ok = false;
        const double v = word.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return {};
        result.append(v);
    }
    return result;
}

} // namespace

QStringList expandInkSet(const QStringList &tokens)
{
    if (tokens.isEmpty())
        return {};
    const QString &set = tokens.first();
    if (set == QLatin1String("CMYK"))
        return {"K", "C", "M", "Y"};
    if (set == QLatin1String("PHOTOCMYK"))
        return {"K", "C", "M", "Y", "LC", "LM"};
    if (set == QLatin1String("PHOTOCMYK7"))
        return {"K", "C", "M", "Y", "LC", "LM", "LK"};
    if (set == QLatin1String("PHOTOCMYK8"))
        return {"MK", "C", "M", "Y", "R", "B", "PK", "GL"};
    return tokens;
}

std::optional<PpdModel> PpdModel::parse(const QByteArray &content)
{
    if (content.size() > MaxFileBytes)
        return std::nullopt;
    PpdModel model;
    bool inksRead = false;
    QString group; // upper-cased main keyword of the open group, or empty
    double maxMediaWidth = -1, maxMediaLength = -1;
    double paramMaxWidth = -1, paramMaxLength = -1;

    const QList<QByteArray> lines = content.split('\n');
    for (const QByteArray &raw : lines) {
        QString line = QString::fromLatin1(raw);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!line.startsWith(QLatin1Char('*')))
            continue;
        if (line.startsWith(QLatin1String("*%"))) {
            if (!inksRead) {
                const QStringList tokens = inkTokens(line);
                if (!tokens.isEmpty() && tokens.first() == QLatin1String("*%INKS")) {
                    model.m_inks = expandInkSet(tokens.mid(1));
                    inksRead = true;
                }
            }
            continue;
        }
        const QString keyword = mainKeyword(line);
        const QString upper = keyword.toUpper();
        const qsizetype keywordEnd = 1 + keyword.size();

        if (upper == QLatin1String("OPENUI")) {
            const QString rest = line.mid(keywordEnd).trimmed();
            if (rest.startsWith(QLatin1Char('*'))) {
                qsizetype end = 1;
                while (end < rest.size() && rest.at(end) != QLatin1Char('/') &&
                       rest.at(end) != QLatin1Char(':') && rest.at(end) != QLatin1Char(' '))
                    ++end;
                group = rest.mid(1, end - 1).toUpper();
                if (!group.isEmpty())
                    model.m_groups.insert(group, {});
            }
        } else if (upper == QLatin1String("CLOSEUI")) {
            group.clear();
        } else if (!group.isEmpty() && upper == group) {
            const QString name = optionName(line, keywordEnd);
            QStringList &options = model.m_groups[group];
            if (!name.isEmpty() && options.size() < MaxOptionsPerGroup && !options.contains(name))
                options.append(name);
        } else if (upper == QLatin1String("PAPERDIMENSION")) {
            const QList<double> v = numbers(lineValue(line));
            if (v.size() == 2)
                model.m_papers.insert(optionName(line, keywordEnd), {v[0], v[1]});
        } else if (upper == QLatin1String("IMAGEABLEAREA")) {
            const QList<double> v = numbers(lineValue(line));
            if (v.size() == 4)
                model.m_areas.insert(optionName(line, keywordEnd), {v[0], v[1], v[2], v[3]});
        } else if (upper == QLatin1String("HWMARGINS")) {
            const QList<double> v = numbers(lineValue(line));
            if (v.size() == 4)
                model.m_hwMargins = {v[0], v[1], v[2], v[3]};
        } else if (upper == QLatin1String("CUSTOMPAGESIZE")) {
            model.m_customPageSize =
                optionName(line, keywordEnd).compare(QLatin1String("True"), Qt::CaseInsensitive) ==
                0;
        } else if (upper == QLatin1String("MAXMEDIAWIDTH") ||
                   upper == QLatin1String("MAXMEDIAHEIGHT")) {
            const QList<double> v = numbers(lineValue(line));
            if (v.size() == 1)
                (upper == QLatin1String("MAXMEDIAWIDTH") ? maxMediaWidth : maxMediaLength) = v[0];
        } else if (upper == QLatin1String("PARAMCUSTOMPAGESIZE")) {
            const QString which = optionName(line, keywordEnd).toUpper();
            const QStringList words = lineValue(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (words.size() == 4 &&
                words.at(1).compare(QLatin1String("points"), Qt::CaseInsensitive) == 0) {
                const QList<double> v = numbers(words.at(2) + QLatin1Char(' ') + words.at(3));
                if (v.size() == 2 && which == QLatin1String("WIDTH")) {
                    model.m_minWidth = v[0];
                    paramMaxWidth = v[1];
                } else if (v.size() == 2 && which == QLatin1String("HEIGHT")) {
                    model.m_minLength = v[0];
                    paramMaxLength = v[1];
                }
            }
        }
    }
    // Both limits bound a custom size where both are given.
    const auto limit = [](double a, double b) {
        if (a < 0)
            return std::max(b, 0.0);
        if (b < 0)
            return a;
        return std::min(a, b);
    };
    model.m_maxWidth = limit(maxMediaWidth, paramMaxWidth);
    model.m_maxLength = limit(maxMediaLength, paramMaxLength);
    return model;
}

bool PpdModel::hasGroup(const QString &mainKeyword) const
{
    return m_groups.contains(mainKeyword.toUpper());
}

QStringList PpdModel::options(const QString &mainKeyword) const
{
    return m_groups.value(mainKeyword.toUpper());
}

std::optional<PpdPaper> PpdModel::paperDimension(const QString &pageSize) const
{
    const auto it = m_papers.constFind(pageSize);
    if (it == m_papers.constEnd())
        return std::nullopt;
    return *it;
}

std::optional<PpdArea> PpdModel::imageableArea(const QString &pageSize) const
{
    const auto it = m_areas.constFind(pageSize);
    if (it == m_areas.constEnd())
        return std::nullopt;
    return *it;
}
