#include "PointList.h"

#include "NumberField.h"

namespace {

QString joinedPoints(const QList<PointRow> &rows, QChar separator)
{
    QString text;
    for (const PointRow &row : rows) {
        if (row.input.isEmpty())
            continue;
        text += row.input + u';' + row.output + separator;
    }
    return text;
}

} // namespace

QString pointListText(const QList<PointRow> &rows)
{
    return joinedPoints(rows, u' ');
}

QString pointClipboardText(const QList<PointRow> &rows)
{
    return joinedPoints(rows, u'\t');
}

QList<PointRow> pointRowsFromText(QStringView text, QChar decimalPoint, int rowCount)
{
    const QStringList numbers = numbersInText(text, decimalPoint);
    QList<PointRow> rows(rowCount);
    for (int i = 0; i < rowCount; ++i) {
        rows[i].input = numbers.value(2 * i);
        rows[i].output = numbers.value(2 * i + 1);
    }
    return rows;
}

std::variant<QList<QPointF>, NotAFloat> pointsOfRows(const QList<PointRow> &rows,
                                                     const QLocale &locale)
{
    QList<QPointF> points;
    for (const PointRow &row : rows) {
        if (row.input.isEmpty())
            continue;
        const std::optional<double> x = boxNumber(row.input, locale);
        if (!x)
            return NotAFloat{row.input};
        const std::optional<double> y = boxNumber(row.output, locale);
        if (!y)
            return NotAFloat{row.output};
        points.append({*x, *y});
    }
    return points;
}

QString notAFloatMessage(const NotAFloat &failure)
{
    return QStringLiteral("'%1' is not a valid floating point value").arg(failure.text);
}
