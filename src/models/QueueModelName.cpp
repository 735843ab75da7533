#include "QueueModelName.h"

namespace {

bool isDecimalDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

QString modelNameFromQueue(const QString &queueName)
{
    qsizetype start = 0;
    while (start < queueName.size() && !isDecimalDigit(queueName.at(start)))
        ++start;
    // A small r before the digits is taken too; the code below accepts only a capital R.
    if (start > 0 && queueName.at(start - 1).toUpper() == QLatin1Char('R'))
        --start;
    const QStringView rest = QStringView(queueName).mid(start);
    qsizetype end = rest.startsWith(QLatin1Char('R')) ? 1 : 0;
    while (end < rest.size() && isDecimalDigit(rest.at(end)))
        ++end;
    return QStringLiteral("Zorl") + rest.left(end).toString();
}
