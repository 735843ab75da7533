#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The checks of the curve creation windows' numeric boxes, as plain text functions: a box
// holds what the user typed, and is corrected only when it is left or Enter is pressed.

struct NumberRange
{
    double minimum;
    double maximum;
    QString belowText; // what a number below the range becomes
    QString aboveText; // what a number above the range becomes
};

namespace NumberRanges {
// Ink limits, black boost, linearization values and curve points.
const NumberRange &percent();
// Densities.
const NumberRange &density();
// Highlight, shadow and overlap.
const NumberRange &shape();
const NumberRange &gamma();
} // namespace NumberRanges

struct CheckedField
{
    QString text;
    bool corrected = false; // text differs from the box's: the user hears two beeps
};

// A box's text read as one decimal number of the locale (blanks around it allowed, group
// separators not); nullopt when it is not one.
std::optional<double> boxNumber(const QString &text, const QLocale &locale = QLocale());

// A box's text after its check: a number (in locale) outside the range becomes the nearer
// bound's text, a non-number is cleared. An empty box stays as it is.
CheckedField checkedFieldText(const QString &text, const NumberRange &range,
                              const QLocale &locale = QLocale());

// The numbers of a pasted text in order: every character other than "+,-.0123456789" is
// skipped, and each run of those characters is one number, with "," and "." turned into
// decimalPoint. Nothing else about a run is checked; the boxes' checks do that.
QStringList numbersInText(QStringView text, QChar decimalPoint);
