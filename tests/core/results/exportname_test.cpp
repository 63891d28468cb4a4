#include "core/results/exportname.h"

#include <gtest/gtest.h>

TEST(ExportFileName, ComesFromTheTreeInPlainLowerCaseLetters) {
    const struct {
        const char *species, *diameter, *extension, *expected;
    } cases[] = {
        {"Tall", "32", "csv", "tall_32cm.csv"},
        {"Gran", "28", "pdf", "gran_28cm.pdf"},
        {"Björk", "18", "csv", "bjork_18cm.csv"},   // no diacritics in a file name
        {"Löv", "12.5", "csv", "lov_12.5cm.csv"},   // a decimal point is kept
        {"", "32", "csv", "resultat_32cm.csv"},     // no species shown yet
        {"Tall", "", "pdf", "tall.pdf"},            // no diameter shown yet
        {"Tall", " 3/2 ", "csv", "tall_3_2cm.csv"}, // never a directory separator
        {"../Ek", "..", "csv", "_ek.csv"},          // never a hidden file or a way upwards
    };
    for (const auto &c : cases)
        EXPECT_EQ(exportFileName(QString::fromUtf8(c.species), QString::fromUtf8(c.diameter),
                                 QString::fromUtf8(c.extension)),
                  QString::fromUtf8(c.expected))
            << c.species << " " << c.diameter;
}
