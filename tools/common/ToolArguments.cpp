#include "ToolArguments.h"

#include "Diagnostics.h"

#include <QRegularExpression>

std::optional<JobPrefix> takeJobPrefix(const QStringList &args, qsizetype &next,
                                       Diagnostics &diagnostics)
{
    JobPrefix prefix;
    while (prefix.words.size() < 4 && next < args.size()) {
        const QStringList words = args.at(next).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty() || prefix.words.size() + words.size() > 4)
            break;
        prefix.words += words;
        ++next;
    }
    if (prefix.words.size() != 4) {
        diagnostics.error(QStringLiteral("the job prefix \"gui 0 0 <copies>\" is missing or "
                                         "incomplete"));
        return std::nullopt;
    }
    bool ok = true;
    if (prefix.words.at(0) != QLatin1String("gui")) {
        diagnostics.error(
            QStringLiteral("unknown job mode \"%1\"; expected gui").arg(prefix.words.at(0)));
        ok = false;
    }
    for (int i = 1; i <= 2; ++i) {
        if (!parseInteger(prefix.words.at(i))) {
            diagnostics.error(QStringLiteral("job prefix word %1 \"%2\" is not a number")
                                  .arg(i + 1)
                                  .arg(prefix.words.at(i)));
            ok = false;
        }
    }
    const auto copies = parseInteger(prefix.words.at(3));
    if (!copies || *copies < MinCopies || *copies > MaxCopies) {
        diagnostics.error(QStringLiteral("copy count \"%1\" is not a number from %2 to %3")
                              .arg(prefix.words.at(3))
                              .arg(MinCopies)
                              .arg(MaxCopies));
        ok = false;
    } else {
        prefix.copies = *copies;
    }
    if (!ok)
        return std::nullopt;
    return prefix;
}

std::optional<ParameterText> ParameterText::parse(const QString &text, Diagnostics &diagnostics)
{
    static const QRegularExpression keyStart(QStringLiteral("^[A-Za-z][A-Za-z0-9_.-]*="));
    ParameterText result;
    bool ok = true;
    const QStringList words = text.split(QLatin1Char(' '));
    for (const QString &word : words) {
        if (keyStart.match(word).hasMatch()) {
            const qsizetype eq = word.indexOf(QLatin1Char('='));
            const QString key = word.left(eq);
            if (result.has(key)) {
                diagnostics.error(QStringLiteral("parameter %1 is given twice").arg(key));
                ok = false;
            }
            result.m_items.append({key, word.mid(eq + 1)});
        } else if (!result.m_items.isEmpty()) {
            result.m_items.last().second += QLatin1Char(' ') + word;
        } else if (!word.isEmpty()) {
            diagnostics.error(QStringLiteral("parameter text does not start with key=value: "
                                             "\"%1\"")
                                  .arg(text.left(80)));
            return std::nullopt;
        }
    }
    if (result.m_items.isEmpty()) {
        diagnostics.error(QStringLiteral("parameter text is empty"));
        return std::nullopt;
    }
    for (auto &item : result.m_items)
        item.second = item.second.trimmed();
    if (!ok)
        return std::nullopt;
    return result;
}

bool ParameterText::has(const QString &key) const
{
    for (const auto &item : m_items) {
        if (item.first == key)
            return true;
    }
    return false;
}

QString ParameterText::value(const QString &key) const
{
    for (const auto &item : m_items) {
        if (item.first == key)
            return item.second;
    }
    return {};
}

QStringList ParameterText::keys() const
{
    QStringList result;
    for (const auto &item : m_items)
        result.append(item.first);
    return result;
}

std::optional<double> parseDecimal(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)$"));
    if (text.size() > 40 || !form.match(text).hasMatch())
        return std::nullopt;
    QString c = text;
    c.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = c.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<int> parseInteger(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^[+-]?\\d{1,9}$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    return text.toInt();
}

bool isPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(0));
}

std::optional<ToolRequestHead> takeRequestHead(const QStringList &args, qsizetype trailing,
                                               const QString &expected,
                                               Diagnostics &diagnostics)
{
    qsizetype next = 0;
    const auto prefix = takeJobPrefix(args, next, diagnostics);
    if (!prefix)
        return std::nullopt;
    if (args.size() - next != trailing + 1) {
        diagnostics.error(QStringLiteral("expected %1 after the job prefix, got %2 arguments")
                              .arg(expected)
                              .arg(args.size() - next));
        return std::nullopt;
    }
    const auto parameters = ParameterText::parse(args.at(next), diagnostics);
    if (!parameters)
        return std::nullopt;
    return ToolRequestHead{*prefix, *parameters, next + 1};
}

QStringList toolArguments(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    return args;
}
