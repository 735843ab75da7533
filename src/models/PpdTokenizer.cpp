#include "PpdTokenizer.h"

#include <array>

namespace {

constexpr std::array<QStringView, PpdKeywordCount> keywordList = {
    u"*CustomPageSize", u"*OpenUI",    u"*CloseUI",        u"*PageSize",    u"*MaxMediaWidth",
    u"*MaxMediaHeight", u"*HWMargins", u"*StpDither",      u"*Resolution",  u"*InputSlot",
    u"*RipCurve1",      u"*RipCurve2", u"*PaperDimension", u"*MediaType",   u"*ImageableArea",
    u"*RipFeed",        u"*RipBlack",  u"*RipSpeed",       u"*FileVersion", u"*ParamCustomPageSize",
    u"*Product",        u"True",
};

constexpr qsizetype longestKeyword = 20; // "*ParamCustomPageSize"

char16_t asciiUpper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - (u'a' - u'A')) : c;
}

bool equalsIgnoringAsciiCase(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiUpper(a[i].unicode()) != asciiUpper(b[i].unicode()))
            return false;
    }
    return true;
}

// The tokenizer's steps on the unconsumed part of a line, with the positions counted from
// 1 as the format's description counts them. consumed receives how many characters the
// line loses at its front.
PpdToken cutToken(QStringView line, QStringView delimiters, qsizetype &consumed)
{
    const qsizetype length = line.size();
    // Past either end the line reads as a NUL; only an empty line ever looks there, and the
    // loop conditions stop at once.
    const auto at = [&](qsizetype p) { return (p >= 1 && p <= length) ? line[p - 1] : QChar(); };
    const bool tabSplits = delimiters.contains(u' ');
    const auto isDelimiter = [&](QChar c) {
        return delimiters.contains(c) || (tabSplits && c == u'\t');
    };

    qsizetype i = 1;
    while ((at(i) == u' ' || at(i) == u'\t') && i < length)
        ++i;
    qsizetype j = i;
    if (j < length && at(j) == u'"') {
        ++i;
        ++j;
        while (j < length && at(j) != u'"')
            ++j;
    } else {
        while (!isDelimiter(at(j)) && j < length)
            ++j;
    }

    consumed = qMin(j, length);
    PpdToken token;
    token.text = line.mid(i - 1, j - i).toString();
    token.keyword = ppdKeywordIndex(token.text);
    token.end = at(j);
    return token;
}

} // namespace

QString ppdKeywordText(PpdKeyword keyword)
{
    const int index = int(keyword);
    return (index >= 0 && index < PpdKeywordCount) ? keywordList[index].toString() : QString();
}

PpdKeyword ppdKeywordIndex(QStringView token)
{
    if (token.size() > longestKeyword)
        return PpdKeyword::None;
    for (int i = 0; i < PpdKeywordCount; ++i) {
        if (equalsIgnoringAsciiCase(token, keywordList[i]))
            return PpdKeyword(i);
    }
    return PpdKeyword::None;
}

QString ppdUpper(QStringView text)
{
    QString result(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        result[i] = QChar(asciiUpper(text[i].unicode()));
    return result;
}

PpdToken NextToken(QString &line, QStringView delimiters)
{
    qsizetype consumed = 0;
    PpdToken token = cutToken(line, delimiters, consumed);
    line.remove(0, consumed);
    return token;
}

PpdToken PpdLine::NextToken(QStringView delimiters)
{
    qsizetype consumed = 0;
    PpdToken token = cutToken(rest(), delimiters, consumed);
    m_pos += consumed;
    return token;
}

PpdOptionName PpdLine::NextOptionName()
{
    PpdOptionName option;
    const PpdToken name = NextToken(PpdDelimiters::N);
    option.name = name.text;
    if (name.end == u'/')
        option.translation = NextToken(PpdDelimiters::T).text;
    return option;
}
