#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

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

// One of the program's number patterns, such as u"###0.00", read once where it is written in
// the code rather than at every number.
struct NumberPattern {
    // Read where the pattern is written in the code, by the compiler.
    consteval NumberPattern(const char16_t *pattern) {
        bool afterPoint = false;
        for (const char16_t *c = pattern; *c; ++c)
            count(*c, afterPoint);
    }
    // Read at run time.
    explicit NumberPattern(QStringView pattern) {
        bool afterPoint = false;
        for (const QChar c : pattern)
            count(c.unicode(), afterPoint);
    }

    // The digits a pattern can ask for: more would only pad the text with zeros.
    static constexpr int maxDigits = 15;
    int integerDigits = 0; // zeros before the point: digits always shown
    int decimals = 0;

private:
    constexpr void count(char16_t c, bool &afterPoint) {
        if (c == u'.')
            afterPoint = true;
        else if (afterPoint)
            decimals = decimals < maxDigits ? decimals + 1 : decimals;
        else if (c == u'0')
            integerDigits = integerDigits < maxDigits ? integerDigits + 1 : integerDigits;
    }
};

// A number written with a pattern, held in single-byte characters: the report appends the
// bytes to its Windows-1252 text, the grid turns them into a cell's text. `separator` is the
// byte or character that stands for the decimal point.
class FormattedNumber {
public:
    FormattedNumber(double value, NumberPattern pattern, char separator);

    std::string_view bytes() const { return {m_text.data() + m_begin, m_end - m_begin}; }

private:
    // A sign, a carry, the 309 integer digits of the largest double, the point, the decimals
    // and one more while a tie is rounded.
    static constexpr std::size_t room = 2 + 309 + 1 + 2 * NumberPattern::maxDigits + 1;
    std::array<char, room> m_text;
    std::size_t m_begin = 0, m_end = 0;
};

QString formatNumber(double value, QStringView pattern, QChar decimalSeparator);
// The same with a pattern read beforehand, for the cells of a grid.
QString numberText(double value, NumberPattern pattern, QChar decimalSeparator);
// The same added to the end of `text`, for a file of many numbers.
void appendNumberText(QString &text, double value, NumberPattern pattern, QChar decimalSeparator);

// The same with the decimal separator of the user's regional settings (the default QLocale);
// only the separator is taken from the locale, never its minus sign or grouping.
QString formatNumber(double value, QStringView pattern);

// The decimal separator of the user's regional settings.
QChar localeDecimalSeparator();

// The leading-number rule by which every reader turns a value text into a number: blanks, tabs
// and line feeds anywhere are ignored; then an optional sign, digits with at most one ".", and
// an optional exponent (E or D, optional sign, digits) are taken up to the first other
// character. A text that does not begin with a number reads as 0, so "12,5" reads as 12
// whatever the user's regional settings. A number too large for a double reads as infinity.
double leadingNumber(QStringView text);
// The value of a text that is only a plain decimal number ("24", "-1.6", ".5") of at most 15
// digits, as leadingNumber reads it; nothing for any other text, which may still be a number.
std::optional<double> plainDecimal(QStringView text);
