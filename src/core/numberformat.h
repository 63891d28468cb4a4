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

// The quick writer. The report and the grid write several hundred numbers per calculation.
// These write exactly the text of formatNumber, but straight into a byte buffer instead of a
// string of its own each: a calculation then takes microseconds, not tenths of a millisecond.
// Values beyond what a valuation produces go through formatNumber itself.

// Room a number needs in the buffer of writeNumber: the largest double has 309 integer digits,
// and a short number may be written with a few bytes of slack after it.
inline constexpr int numberBufferSize = 400;

// One of the program's number patterns, such as u"###0.00", read once where it is written in
// the code rather than at every number.
struct NumberPattern {
    consteval NumberPattern(const char16_t *pattern) : text(pattern) {
        bool afterPoint = false;
        for (const char16_t *c = pattern; *c; ++c) {
            if (*c == u'.')
                afterPoint = true;
            else if (afterPoint)
                ++decimals;
            else if (*c == u'0')
                ++integerDigits;
        }
    }
    const char16_t *text;
    int integerDigits = 0; // zeros before the point: digits always shown
    int decimals = 0;
};

// Writes formatNumber(value, pattern, separator) as single-byte characters at `out` and returns
// the end; `separator` is the byte that stands for the decimal separator. `value` must be
// finite.
char *writeNumber(char *out, double value, const NumberPattern &pattern, char separator);

// formatNumber(value, pattern, separator) for a grid cell.
QString numberText(double value, const NumberPattern &pattern, QChar separator);
