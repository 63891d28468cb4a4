// The one number formatter of the report and the grid, against a reference that rounds the exact
// decimal expansion of each value by hand.
#include "core/files/numberformat.h"

#include <QRandomGenerator>

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr const char16_t *patterns[] = {u"#0",    u"##0",     u"###0",   u"#0.0",  u"###0.0",
                                        u"#0.00", u"###0.00", u"#0.000", u"0.0000"};

// The value's exact decimal digits (every double has a finite expansion, which
// std::to_chars writes in full and with a point in every locale), rounded by hand: a next digit of
// 5 or more rounds the magnitude up, which is away from zero for an exact half as well.
QString reference(double value, int decimals, QChar separator) {
    if (!std::isfinite(value))
        return std::isnan(value) ? QStringLiteral("NaN") : value < 0 ? "-Inf" : "Inf";
    // A double of at least 2^-17 has at most 69 binary, and so decimal, places.
    const int places = std::fabs(value) >= 1e-5 ? 120 : 1100;
    std::vector<char> exact(1500);
    char *end = std::to_chars(exact.data(), exact.data() + exact.size(), std::fabs(value),
                              std::chars_format::fixed, places)
                    .ptr;
    std::string digits(exact.data(), end);
    const std::size_t point = digits.find('.');
    std::string kept = digits.substr(0, point) + digits.substr(point + 1, std::size_t(decimals));
    if (digits[point + 1 + std::size_t(decimals)] >= '5') {
        std::size_t i = kept.size();
        while (i > 0 && kept[i - 1] == '9')
            kept[--i] = '0';
        if (i == 0)
            kept.insert(kept.begin(), '1');
        else
            ++kept[i - 1];
    }
    QString text = QString::fromStdString(kept);
    if (decimals > 0)
        text.insert(text.size() - decimals, separator);
    if (std::signbit(value) && kept.find_first_not_of('0') != std::string::npos)
        text.prepend(u'-');
    return text;
}

std::vector<double> interestingValues() {
    std::vector<double> values{0.0,
                               -0.0,
                               0.5,
                               1.5,
                               2.5,
                               -2.5,
                               0.125,
                               0.375,
                               -0.125,
                               0.05,
                               0.005,
                               0.0005,
                               0.00005,
                               -0.004,
                               -0.0049,
                               -0.00005,
                               1.005,
                               2.675,
                               1e6,
                               9.995,
                               99.995,
                               999999.5,
                               0.1238418720000002,
                               4503599627370495.5,
                               4503599627370496.0,
                               4503599627370497.0,
                               1e15 + 0.5,
                               1e17,
                               -1e17,
                               1e300,
                               -1e300,
                               1.7976931348623157e308,
                               5e-324,
                               -5e-324,
                               2.2250738585072014e-308};
    // Exact ties at every decimal the patterns have, and their neighbours.
    for (int decimals = 0; decimals <= 4; ++decimals)
        for (int k = 0; k < 200; ++k) {
            const double tie = (k + 0.5) / std::pow(10.0, decimals);
            values.push_back(tie);
            values.push_back(-tie);
            values.push_back(std::nextafter(tie, 0.0));
            values.push_back(std::nextafter(tie, 1e9));
        }
    QRandomGenerator random(20261207);
    for (int i = 0; i < 60000; ++i) {
        const double magnitude = std::pow(10.0, random.bounded(-6.0) + random.bounded(22.0));
        values.push_back((random.bounded(2) ? -1 : 1) * random.bounded(1.0) * magnitude);
    }
    // Dyadic values close to the print boundaries are where a rounded product goes wrong.
    for (int i = 0; i < 20000; ++i)
        values.push_back(double(random.bounded(1 << 30)) / 1024.0);
    return values;
}

TEST(NumberFormatter, RoundsTheExactValueWithHalvesAwayFromZeroForEveryPattern) {
    const std::vector<double> values = interestingValues();
    int mismatches = 0;
    for (const char16_t *text : patterns) {
        const NumberPattern pattern{QStringView(text)};
        for (const QChar separator : {QChar(u'.'), QChar(u',')})
            for (const double value : values) {
                if (separator == u',' && std::fabs(value) < 1e-3)
                    continue; // the separator is placed alike; spare the slow expansions
                const QString expected = reference(value, pattern.decimals, separator);
                const QString grid = numberText(value, pattern, separator);
                const std::string_view bytes =
                    FormattedNumber(value, pattern, char(separator.unicode())).bytes();
                const QString report = QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
                const QString general = formatNumber(value, QStringView(text), separator);
                if ((grid != expected || report != expected || general != expected) &&
                    ++mismatches <= 10)
                    ADD_FAILURE() << QString::fromUtf16(text).toStdString() << " "
                                  << QString::number(value, 'g', 17).toStdString() << ": "
                                  << expected.toStdString() << " / grid " << grid.toStdString()
                                  << " / report " << report.toStdString() << " / "
                                  << general.toStdString();
            }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(NumberFormatter, ASwedishSeparatorComesOutAsACommaAndNeverAsMinusZero) {
    EXPECT_EQ(numberText(-0.004, u"#0.00", u','), "0,00");
    EXPECT_EQ(numberText(-1234.5, u"#0", u','), "-1235");
    EXPECT_EQ(numberText(1000000, u"#0.00", u','), "1000000,00");
    EXPECT_EQ(numberText(0.123841872, u"0.0000", u','), "0,1238");
    EXPECT_EQ(numberText(-HUGE_VAL, u"#0.00", u','), "-Inf");
}

TEST(NumberFormatter, TheLargestNumbersAndLongestPatternsFitTheirText) {
    const double largest = 1.7976931348623157e308;
    EXPECT_EQ(formatNumber(-largest, u"#0.000000000000000", u'.').size(), 1 + 309 + 1 + 15);
    EXPECT_EQ(formatNumber(1, u"00000000000000000000.0000000000000000000", u'.'),
              "000000000000001.000000000000000")
        << "a pattern asks for at most 15 digits on either side";
}

} // namespace
