#pragma once

#include <QList>
#include <QLocale>
#include <QPointF>
#include <QString>
#include <QStringView>

#include <variant>

// The point list of an ink's curve as the curve dialog's rows hold it: up to 50 rows of
// input and output, each a box text. A row counts as a point when its input is not empty.

struct PointRow
{
    QString input;
    QString output;

    bool operator==(const PointRow &) const = default;
};

constexpr int kPointRowCount = 50;

// "input;output " for every point, in row order: what an ink description keeps.
QString pointListText(const QList<PointRow> &rows);

// "input;output\t" for every point, in row order: what Copy Points puts on the clipboard.
QString pointClipboardText(const QList<PointRow> &rows);

// The rows a text fills: its numbers in order go input, output, input, ... into rowCount
// rows; rows the text does not reach are empty and numbers past the last row are dropped.
QList<PointRow> pointRowsFromText(QStringView text, QChar decimalPoint,
                                  int rowCount = kPointRowCount);

// A box text that is not a decimal number of the locale.
struct NotAFloat
{
    QString text;
};

// The points of the rows read as decimal numbers of the locale, or the first text that is
// not one.
std::variant<QList<QPointF>, NotAFloat> pointsOfRows(const QList<PointRow> &rows,
                                                     const QLocale &locale = QLocale());

// The conversion error shown for a box text that is not a number.
QString notAFloatMessage(const NotAFloat &failure);
