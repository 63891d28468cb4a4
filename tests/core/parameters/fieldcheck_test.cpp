#include "core/parameters/fieldcheck.h"
#include "testsupport.h"

#include <gtest/gtest.h>

TEST(FieldCheck, AcceptsOneDecimalNumberWithBlanksAroundItAndNothingElse) {
    const struct {
        const char *text;
        bool numeric;
    } cases[] = {
        {"12", true},     {" 12 ", true},  {"\t-8", true}, {"+0.1", true},   {".5", true},
        {"5.", true},     {"-.5", true},   {"1e3", true},  {"2D2", true},    {"1.5E-1", true},
        {"0", true},      {"", false},     {" ", false},   {".", false},     {"-", false},
        {"12 cm", false}, {"12cm", false}, {"1 2", false}, {"1.2.3", false}, {"abc", false},
        {"1e", false},    {"e3", false},   {"2,5", false}, {"1,000", false}, {"--1", false},
        {"+-1", false},   {"0x10", false}, {"inf", false}, {"nan", false},   {"1e+", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(isNumericText(QString::fromUtf8(c.text)), c.numeric) << '"' << c.text << '"';
}

TEST(FieldCheck, PrintsBoundsInTheirShortestFormWithTheUsersSeparatorAndAPlainMinus) {
    const struct {
        double bound;
        QChar separator;
        const char *text;
    } cases[] = {
        {300, u'.', "300"}, {0.1, u',', "0,1"},     {0.1, u'.', "0.1"}, {-8, u',', "-8"},
        {0.2, u',', "0,2"}, {1000, u',', "1000"},   {0, u'.', "0"},     {-0.0, u'.', "0"},
        {2.5, u',', "2,5"}, {1e6, u'.', "1000000"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(boundText(c.bound, c.separator), QString::fromUtf8(c.text)) << c.bound;
}

TEST(FieldCheck, ReportsTheFirstFaultInTheOrderEmptyNumericRange) {
    const QString empty = "Fältet får ej lämnas tomt";
    const QString numeric = "Värdet måste vara numeriskt";
    const struct {
        const char *text;
        double lower, upper;
        QString message;
    } cases[] = {
        {"", 0, 300, empty},
        {" ", 0, 300, numeric}, // blanks are not an empty field
        {"12 cm", 0, 300, numeric},
        {"abc", 10, 36, numeric},
        {"301", 0, 300, "Värdet måste ligga mellan 0 och 300"},
        {"-1", 0, 300, "Värdet måste ligga mellan 0 och 300"},
        {"0", 0, 300, ""},
        {"300", 0, 300, ""},
        {" 150 ", 0, 300, ""},
        {"9", -8, 8, "Värdet måste ligga mellan -8 och 8"},
        {"-8", -8, 8, ""},
        {"8", -8, 8, ""},
        {"8.5", -8, 8, "Värdet måste ligga mellan -8 och 8"},
        {"0.1", 0.1, 20, ""},
        {"0.09", 0.1, 20, "Värdet måste ligga mellan 0.1 och 20"},
        {"0.5", 1, 10, "Värdet måste ligga mellan 1 och 10"},
        {"1001", 0, 1000, "Värdet måste ligga mellan 0 och 1000"},
        {"1000", 0, 1000, ""},
        {"1e999", 0, 1000, "Värdet måste ligga mellan 0 och 1000"},
        {"2e2", 0, 300, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(checkField(QString::fromUtf8(c.text), c.lower, c.upper, u'.').message(),
                  c.message)
            << '"' << c.text << '"';
}

TEST(FieldCheck, RangeMessageUsesTheDecimalCommaOfASwedishUser) {
    EXPECT_EQ(checkField(u"25", 0.1, 20, u',').message(), "Värdet måste ligga mellan 0,1 och 20");
    EXPECT_EQ(checkField(u"2", 0.2, 1, u',').message(), "Värdet måste ligga mellan 0,2 och 1");
}

TEST(FieldCheck, ADecimalCommaBecomesAPointOnlyInAPlainNumber) {
    const struct {
        const char *text;
        const char *result;
    } cases[] = {
        {"2,5", "2.5"},         {" 2,5 ", " 2.5 "}, {"-0,5", "-0.5"},
        {",5", ".5"},           {"12", "12"},       {"2.5", "2.5"},
        {"1,000.5", "1,000.5"}, {"1,2,3", "1,2,3"}, {"2,5 cm", "2,5 cm"},
        {"abc,d", "abc,d"},     {",", ","},         {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(withDecimalPoint(QString::fromUtf8(c.text)), QString::fromUtf8(c.result))
            << c.text;
}
