#include "reportnumber.h"

#include "numberformat.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr double powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
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
    if (decimals >= int(std::size(powers)) || pattern.integerDigits != 1)
        return throughFormatNumber(out, value, pattern.text, separator);
    const double magnitude = std::fabs(value);
    const double scale = powers[decimals];
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
