#include "NumberField.h"

namespace NumberRanges {

const NumberRange &percent()
{
    static const NumberRange range{0, 100, QStringLiteral("0"), QStringLiteral("100")};
    return range;
}

const NumberRange &density()
{
    static const NumberRange range{1, 100, QStringLiteral("1"), QStringLiteral("100")};
    return range;
}

const NumberRange &shape()
{
    static const NumberRange range{0, 300, QStringLiteral("0"), QStringLiteral("300")};
    return range;
}

const NumberRange &gamma()
{
    static const NumberRange range{0.1, 10, QStringLiteral("0.1"), QStringLiteral("10")};
    return range;
}

} // namespace NumberRanges

CheckedField checkedFieldText(const QString &text, const NumberRange &range, const QLocale &locale)
{
    if (text.isEmpty())
        return {text, false};
    const std::optional<double> value = boxNumber(text, locale);
    if (!value)
        return {QString(), true};
    if (*value < range.minimum)
        return {range.belowText, true};
    if (*value > range.maximum)
        return {range.aboveText, true};
    return {text, false};
}

namespace {

// Exponents, "inf" and "nan" read as numbers but do not survive a trip through a pasted
// text, whose numbers are runs of signs, digits and separators.
bool hasOnlyPlainNumberCharacters(const QString &text, const QLocale &locale)
{
    const QString decimalPoint = locale.decimalPoint();
    for (const QChar c : text) {
        if (!c.isDigit() && c != u'+' && c != u'-' && !c.isSpace() && !decimalPoint.contains(c))
            return false;
    }
    return true;
}

} // namespace

std::optional<double> boxNumber(const QString &text, const QLocale &locale)
{
    if (!hasOnlyPlainNumberCharacters(text, locale))
        return std::nullopt;
    // A box holds one decimal number; "1,000" in an English locale is not one.
    QLocale strict = locale;
    strict.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = strict.toDouble(text.trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

namespace {

bool isNumberCharacter(QChar c)
{
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u',' || c == u'.';
}

} // namespace

QStringList numbersInText(QStringView text, QChar decimalPoint)
{
    QStringList numbers;
    qsizetype i = 0;
    while (i < text.size()) {
        while (i < text.size() && !isNumberCharacter(text[i]))
            ++i;
        if (i == text.size())
            break;
        QString number;
        for (; i < text.size() && isNumberCharacter(text[i]); ++i)
            number += (text[i] == u',' || text[i] == u'.') ? decimalPoint : text[i];
        numbers.append(number);
    }
    return numbers;
}
