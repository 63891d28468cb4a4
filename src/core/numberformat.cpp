#include "numberformat.h"

#include <QLocale>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

struct Pattern {
    int integerDigits = 1;
    int decimals = 0;
};

Pattern parse(QStringView pattern) {
    Pattern p;
    p.integerDigits = 0;
    bool afterPoint = false;
    for (const QChar c : pattern) {
        if (c == u'.')
            afterPoint = true;
        else if (afterPoint)
            ++p.decimals;
        else if (c == u'0')
            ++p.integerDigits;
    }
    return p;
}

// True when `scaled` = value × 10^decimals lies exactly halfway between two integers. The
// residual of the product, exact through fma, tells a true tie from a rounded product.
bool isExactTie(double value, int decimals) {
    static constexpr double powers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const double scale = powers[decimals];
    const double product = value * scale;
    const double residual = std::fma(value, scale, -product);
    return residual == 0.0 && std::fabs(product - std::trunc(product)) == 0.5;
}

} // namespace

QString formatNumber(double value, QStringView pattern, QChar decimalSeparator) {
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Inf") : QStringLiteral("Inf");

    const Pattern p = parse(pattern);
    const bool negative = std::signbit(value);
    double magnitude = std::fabs(value);
    if (p.decimals <= 15 && isExactTie(magnitude, p.decimals))
        magnitude = std::nextafter(magnitude, HUGE_VAL);

    char buf[400];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::fixed, p.decimals);
    QString digits = QString::fromLatin1(buf, res.ptr - buf);

    qsizetype point = digits.indexOf(u'.');
    if (point < 0)
        point = digits.size();
    if (point < p.integerDigits) {
        digits.prepend(QString(p.integerDigits - point, u'0'));
        point = p.integerDigits;
    }
    if (point < digits.size())
        digits[point] = decimalSeparator;

    bool allZero = true;
    for (const QChar c : digits)
        if (c.isDigit() && c != u'0')
            allZero = false;
    if (negative && !allZero)
        digits.prepend(u'-');
    return digits;
}

QString formatNumber(double value, QStringView pattern) {
    return formatNumber(value, pattern, localeDecimalSeparator());
}

QChar localeDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.at(0);
}

namespace {

constexpr double quickPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
// Below 2^52 a double has a fractional part to look at, so the rounding can be decided exactly.
constexpr double exactLimit = 4503599627370496.0;
constexpr int quickRoom = 32;

// Two digits at a time: "00", "01", ..., "99".
constexpr auto digitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[2 * i] = char('0' + i / 10);
        pairs[2 * i + 1] = char('0' + i % 10);
    }
    return pairs;
}();

// Writes the digits of n backwards before `end`, at least `minDigits` of them; returns the
// first.
char *digitsBefore(char *end, std::uint64_t n, int minDigits) {
    char *d = end;
    while (n >= 100) {
        const std::uint64_t pair = n % 100;
        n /= 100;
        d -= 2;
        std::memcpy(d, &digitPairs[2 * pair], 2);
    }
    if (n >= 10) {
        d -= 2;
        std::memcpy(d, &digitPairs[2 * n], 2);
    } else {
        *--d = char('0' + n);
    }
    while (end - d < minDigits)
        *--d = '0';
    return d;
}

char *throughFormatNumber(char *out, double value, const char16_t *pattern, char separator) {
    const QString text = formatNumber(value, QStringView(pattern), QChar(u'.'));
    for (const QChar c : text)
        *out++ = c == u'.' ? separator : char(c.unicode());
    return out;
}

} // namespace

char *writeNumber(char *out, double value, const NumberPattern &pattern, char separator) {
    const int decimals = pattern.decimals;
    if (decimals >= int(std::size(quickPowers)) || pattern.integerDigits != 1)
        return throughFormatNumber(out, value, pattern.text, separator);
    const double magnitude = std::fabs(value);
    const double scale = quickPowers[decimals];
    const double scaled = magnitude * scale;
    if (!(scaled < exactLimit))
        return throughFormatNumber(out, value, pattern.text, separator);

    // Round the exact product half away from zero. The product was rounded itself; only when it
    // lies exactly halfway does its rounding error (exact through fma) decide the direction.
    const std::uint64_t whole = std::uint64_t(scaled);
    const double fraction = scaled - double(whole); // exact below 2^52
    const bool up = fraction > 0.5 || (fraction == 0.5 && std::fma(magnitude, scale, -scaled) >= 0);
    const std::uint64_t n = whole + (up ? 1 : 0);

    // The digits end halfway into the buffer, so that a fixed-size copy, which the compiler
    // turns into two moves, can take them whatever their number (at most 18 characters here).
    char digits[2 * quickRoom];
    char *const end = digits + quickRoom;
    char *d;
    if (decimals == 0) {
        d = digitsBefore(end, n, 1);
    } else {
        // Constant divisors, which the compiler turns into multiplications.
        std::uint64_t unit;
        switch (decimals) {
        case 1:
            unit = 10;
            break;
        case 2:
            unit = 100;
            break;
        case 3:
            unit = 1000;
            break;
        case 4:
            unit = 10000;
            break;
        default:
            unit = std::uint64_t(scale);
            break;
        }
        char *point = digitsBefore(end, n % unit, decimals) - 1;
        *point = separator;
        d = digitsBefore(point, n / unit, 1);
    }
    if (std::signbit(value) && n != 0)
        *--d = '-';
    std::memcpy(out, d, quickRoom);
    return out + (end - d);
}

QString numberText(double value, const NumberPattern &pattern, QChar separator) {
    char buffer[numberBufferSize];
    const qsizetype length = writeNumber(buffer, value, pattern, '.') - buffer;
    QString text = QString::fromLatin1(buffer, length);
    if (pattern.decimals > 0)
        text[length - pattern.decimals - 1] = separator;
    return text;
}
