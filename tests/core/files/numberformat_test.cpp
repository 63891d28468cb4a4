#include "core/files/numberformat.h"
#include "testsupport.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

namespace {
struct Case {
    double value;
    const char *pattern;
    const char *expected;
};
} // namespace

TEST(NumberPatterns, RoundToThePatternsDecimalsWithoutGrouping) {
    const Case cases[] = {
        {3.0, "###0.0", "3.0"},
        {0.03 * 100, "#0", "3"},
        {20.7812, "#0.00", "20.78"},
        {0.123841872, "0.0000", "0.1238"},
        {1000000, "#0.00", "1000000.00"},
        {1234567.4, "###0", "1234567"},
        {0.0, "#0.000", "0.000"},
        {7.177346, "#0.00", "7.18"},
        {-100, "#0.00", "-100.00"},
        {-12.6, "###0", "-13"},
        {5, "#0.00", "5.00"},
        {0.5, "##0", "1"},
        {94.2, "#0", "94"},
        {1e-9, "#0.0", "0.0"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(formatNumber(c.value, QString::fromLatin1(c.pattern), u'.'),
                  QString::fromLatin1(c.expected))
            << c.value << " " << c.pattern;
}

TEST(NumberPatterns, ExactHalvesGoAwayFromZero) {
    EXPECT_EQ(formatNumber(2.5, u"#0", u'.'), "3");
    EXPECT_EQ(formatNumber(3.5, u"#0", u'.'), "4");
    EXPECT_EQ(formatNumber(-2.5, u"#0", u'.'), "-3");
    EXPECT_EQ(formatNumber(0.125, u"#0.00", u'.'), "0.13");
    EXPECT_EQ(formatNumber(0.375, u"#0.00", u'.'), "0.38");
    // 2.675 is stored just below the half, so it rounds down like the exact value does.
    EXPECT_EQ(formatNumber(2.675, u"#0.00", u'.'), "2.67");
}

TEST(NumberPatterns, NegativeValuesThatRoundToZeroHaveNoMinus) {
    EXPECT_EQ(formatNumber(-0.0, u"#0", u'.'), "0");
    EXPECT_EQ(formatNumber(-0.4, u"#0", u'.'), "0");
    EXPECT_EQ(formatNumber(-0.004, u"#0.00", u'.'), "0.00");
    EXPECT_EQ(formatNumber(-0.005, u"#0.00", u'.'), "-0.01");
}

TEST(NumberPatterns, SeparatorComesFromTheLocaleButMinusAndGroupingDoNot) {
    {
        LocaleScope swedish(QLocale(QLocale::Swedish, QLocale::Sweden));
        EXPECT_EQ(formatNumber(-1234.5, u"###0.0"), "-1234,5");
        EXPECT_EQ(formatNumber(0.1238, u"0.0000"), "0,1238");
    }
    EXPECT_EQ(formatNumber(-1234.5, u"###0.0"), "-1234.5");
}

TEST(NumberPatterns, NonFiniteValuesAreNamedNotHidden) {
    EXPECT_EQ(formatNumber(std::numeric_limits<double>::quiet_NaN(), u"#0", u'.'), "NaN");
    EXPECT_EQ(formatNumber(-HUGE_VAL, u"#0", u'.'), "-Inf");
}

TEST(LeadingNumber, ReadsTheNumberAtTheStartWithAPointWhateverTheLocale) {
    LocaleScope swedish(QLocale(QLocale::Swedish, QLocale::Sweden));
    const struct {
        const char *text;
        double value;
    } cases[] = {
        {"12.5", 12.5}, {"12,5", 12},   {"", 0},           {"abc", 0},  {" 3 ", 3},
        {"1 2", 12},    {"\t-8", -8},   {"+0.1", 0.1},     {".5", 0.5}, {"-.5", -0.5},
        {"1e3", 1000},  {"2D2", 200},   {"1.5E-1x", 0.15}, {"7 kr", 7}, {"1e", 1},
        {"12cm", 12},   {"1.2.3", 1.2}, {"-", 0},          {"- 5", -5}, {"0.05", 0.05},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromUtf8(c.text)), c.value) << c.text;
    EXPECT_TRUE(std::isinf(leadingNumber(u"1e999")));
}

// A plain decimal number of up to fifteen digits is read by a shortcut; it gives the very bits
// the full rule (from_chars, here reached through an exponent of zero) gives.
TEST(LeadingNumber, AShortPlainNumberReadsToTheBitsOfTheFullRule) {
    std::uint64_t state = 12345;
    auto next = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return state >> 33;
    };
    QStringList texts{"0",
                      "-0",
                      "+0",
                      "0.1",
                      "0.3",
                      "2.675",
                      "999999999999999",
                      "0.000000000000001",
                      "123456789012.345",
                      "-1.6",
                      "5.",
                      ".5",
                      "0.75"};
    for (int i = 0; i < 20000; ++i) {
        QString t = next() % 4 == 0 ? QStringLiteral("-") : QString();
        const int digits = 1 + int(next() % 15);
        const int point = int(next() % std::uint64_t(digits + 1));
        for (int d = 0; d < digits; ++d) {
            if (d == point && point > 0)
                t += u'.';
            t += QChar(u'0' + int(next() % 10));
        }
        texts << t;
    }
    for (const QString &t : texts) {
        const double quick = leadingNumber(t);
        const double full = leadingNumber(t + QStringLiteral("e0"));
        EXPECT_EQ(std::memcmp(&quick, &full, sizeof quick), 0)
            << t.toStdString() << ": " << quick << " against " << full;
    }
}
