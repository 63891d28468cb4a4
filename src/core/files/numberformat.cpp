#include "core/files/numberformat.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace {

constexpr double powers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
static_assert(std::size(powers) > NumberPattern::maxDigits);

// True when value × 10^decimals lies exactly halfway between two integers. The product and its
// rounding error (exact through fma) together are the exact product: either the product itself
// ends in .5, or it is a whole number (as every large product is) and the error ends in .5.
bool isExactTie(double value, int decimals) {
    const double scale = powers[decimals];
    const double product = value * scale;
    const double error = std::fma(value, scale, -product);
    const double fraction = product - std::trunc(product);
    if (fraction != 0)
        return error == 0 && std::fabs(fraction) == 0.5;
    return std::fabs(error - std::trunc(error)) == 0.5;
}

// value × 10^decimals rounded to a whole number, halves away from zero, where the product
// leaves room for a fraction (below 2^52); none for larger products. The product is rounded
// itself, but its fraction is exact there and lies at least one unit of its last place from an
// exact half unless it is one; then the product's error (exact through fma) says on which side
// of the half the exact value lies.
std::optional<std::uint64_t> roundedScaled(double value, int decimals) {
    const double scale = powers[decimals];
    const double product = value * scale;
    if (!(product < 4503599627370496.0)) // 2^52
        return std::nullopt;
    const auto whole = std::uint64_t(product);
    const double fraction = product - double(whole);
    const bool up = fraction > 0.5 || (fraction == 0.5 && std::fma(value, scale, -product) >= 0);
    return whole + (up ? 1 : 0);
}

// Writes `scaled` / 10^decimals at `first` with `separator` as the point and at least one
// integer digit; returns the end.
char *fixedPoint(char *first, char *end, std::uint64_t scaled, int decimals, char separator) {
    const auto unit = std::uint64_t(powers[decimals]);
    char *point = std::to_chars(first, end, scaled / unit).ptr;
    if (decimals == 0)
        return point;
    // unit + the decimals is a 1 followed by exactly `decimals` digits, their leading zeros
    // included: the 1 lands where the separator goes.
    char *last = std::to_chars(point, end, unit + scaled % unit).ptr;
    *point = separator;
    return last;
}

// Adds one unit in the last place to the digits [first, last), which may hold a decimal point;
// returns the new first digit, one place earlier when the carry runs out in front.
char *incremented(char *first, char *last) {
    for (char *c = last; c != first;) {
        --c;
        if (*c == '.')
            continue;
        if (*c != '9') {
            ++*c;
            return first;
        }
        *c = '0';
    }
    *--first = '1';
    return first;
}

} // namespace

FormattedNumber::FormattedNumber(double value, NumberPattern pattern, char separator) {
    const auto named = [&](std::string_view name) {
        std::copy(name.begin(), name.end(), m_text.begin());
        m_end = name.size();
    };
    if (!std::isfinite(value)) {
        named(std::isnan(value) ? "NaN" : value < 0 ? "-Inf" : "Inf");
        return;
    }

    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(value);
    const int decimals = pattern.decimals;

    // The digits start after room for a sign, a carry and the zeros the pattern may ask for.
    const std::size_t start = 2 + NumberPattern::maxDigits;
    char *first = m_text.data() + start;
    char *const end = m_text.data() + room;
    char *last;
    bool allZero = true;
    std::size_t integerDigits = 0;
    if (const std::optional<std::uint64_t> scaled = roundedScaled(magnitude, decimals)) {
        last = fixedPoint(first, end, *scaled, decimals, separator);
        allZero = *scaled == 0;
        integerDigits = std::size_t(last - first) - std::size_t(decimals > 0 ? decimals + 1 : 0);
    } else {
        if (isExactTie(magnitude, decimals)) {
            // std::to_chars rounds a tie to even. With one decimal more the tie is written
            // exactly, ending in 5: dropping it and counting up goes away from zero instead.
            last = std::to_chars(first, end, magnitude, std::chars_format::fixed, decimals + 1).ptr;
            last -= decimals == 0 ? 2 : 1;
            first = incremented(first, last);
        } else {
            // A large value, correctly rounded from its exact binary value.
            last = std::to_chars(first, end, magnitude, std::chars_format::fixed, decimals).ptr;
        }
        integerDigits = std::size_t(last - first);
        for (char *c = first; c != last; ++c) {
            if (*c == '.') {
                *c = separator;
                integerDigits = std::size_t(c - first);
            } else if (*c != '0') {
                allZero = false;
            }
        }
    }
    m_begin = std::size_t(first - m_text.data());
    m_end = std::size_t(last - m_text.data());
    while (integerDigits < std::size_t(pattern.integerDigits)) {
        m_text[--m_begin] = '0';
        ++integerDigits;
    }
    if (negative && !allZero)
        m_text[--m_begin] = '-';
}

QString numberText(double value, NumberPattern pattern, QChar decimalSeparator) {
    QString text;
    appendNumberText(text, value, pattern, decimalSeparator);
    return text;
}

void appendNumberText(QString &text, double value, NumberPattern pattern, QChar decimalSeparator) {
    const std::string_view bytes = FormattedNumber(value, pattern, '.').bytes();
    text.append(QLatin1StringView(bytes.data(), qsizetype(bytes.size())));
    if (pattern.decimals > 0 && std::isfinite(value))
        text[text.size() - pattern.decimals - 1] = decimalSeparator;
}

QString formatNumber(double value, QStringView pattern, QChar decimalSeparator) {
    return numberText(value, NumberPattern(pattern), decimalSeparator);
}

QString formatNumber(double value, QStringView pattern) {
    return formatNumber(value, pattern, localeDecimalSeparator());
}

QChar localeDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.at(0);
}

namespace {

// A text that is only a plain decimal number of at most 15 digits ("24", "-1.6", "0.75"), as
// nearly every value of a file is, read without building a text for from_chars: its digits
// make an integer below 2^53 and 10^decimals is exact, so their quotient, rounded once by the
// division, is the double nearest the number, which is what from_chars gives too.
std::optional<double> shortPlainNumber(QStringView text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    std::uint64_t digits = 0;
    int count = 0, decimals = 0;
    bool point = false;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            if (++count > NumberPattern::maxDigits)
                return std::nullopt;
            digits = digits * 10 + std::uint64_t(c - u'0');
            decimals += point ? 1 : 0;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return std::nullopt; // a blank, an exponent or anything else: the full rule
        }
    }
    if (count == 0)
        return std::nullopt;
    const double value = double(digits) / powers[decimals];
    return negative ? -value : value;
}

} // namespace

std::optional<double> plainDecimal(QStringView text) {
    return shortPlainNumber(text);
}

double leadingNumber(QStringView text) {
    if (const std::optional<double> plain = shortPlainNumber(text))
        return *plain;
    std::string s;
    s.reserve(size_t(text.size()));
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() &&
               (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r'))
            ++i;
    };
    auto digitAt = [&] { return i < text.size() && text[i] >= u'0' && text[i] <= u'9'; };

    skipBlanks();
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    bool anyDigit = false;
    bool point = false;
    for (;;) {
        skipBlanks();
        if (digitAt()) {
            s += char(text[i++].unicode());
            anyDigit = true;
        } else if (!point && i < text.size() && text[i] == u'.') {
            s += '.';
            point = true;
            ++i;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return 0.0;
    skipBlanks();
    if (i < text.size() &&
        (text[i] == u'E' || text[i] == u'e' || text[i] == u'D' || text[i] == u'd')) {
        std::string exponent = "e";
        ++i;
        skipBlanks();
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            exponent += char(text[i++].unicode());
        bool expDigit = false;
        for (;;) {
            skipBlanks();
            if (!digitAt())
                break;
            exponent += char(text[i++].unicode());
            expDigit = true;
        }
        if (expDigit)
            s += exponent;
    }
    // from_chars reads with a point whatever the user's regional settings say, as the file is
    // written; a value beyond a double's range is infinite (too large) or zero (too small).
    double value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error == std::errc::result_out_of_range) {
        const bool tiny = s.find("e-") != std::string::npos;
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}
