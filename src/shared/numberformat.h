#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

// Writes numbers with the program's digit patterns ("#0", "##0", "###0", "#0.0", "###0.0",
// "#0.00", "###0.00", "#0.000", "0.0000"): rounded to the pattern's decimals, at least as many
// integer digits as the pattern has zeros before the point, no digit grouping and a plain "-"
// before a negative number.
//
// Rounding: the exact binary value is rounded to the nearest printable value; a value exactly
// halfway between two (such as 2.5 to "#0" or 0.125 to "#0.00") goes away from zero, as a
// forest owner rounds by hand. A negative value that rounds to zero is written without its
// minus sign, so "-0" never appears. Infinity and NaN are written as they are named, so that
// they cannot pass for a number.
QString formatNumber(double value, QStringView pattern, QChar decimalSeparator);

// The same with the decimal separator of the user's regional settings (the default QLocale);
// only the separator is taken from the locale, never its minus sign or grouping.
QString formatNumber(double value, QStringView pattern);

// The decimal separator of the user's regional settings.
QChar localeDecimalSeparator();
