#include "numberformat.h"

#include <QLocale>

#include <charconv>
#include <cmath>

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
