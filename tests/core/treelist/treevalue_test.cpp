// A tree's texts from a list are checked and read as the tree form reads them: the quick way for
// plain ASCII gives what the long way gives, and a faulty text leaves the tree as it was.
#include "core/treelist/treelist.h"
#include "enginetestsupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A value in plain ASCII is checked and read without a copy of its text; the same value with a
// no-break space after it (which the check trims, as a spreadsheet may leave it) goes the long
// way. Both give the same message and the same tree, to the bit.
TEST(TreeValue, ReadsAsciiTextsAsTheLongWayDoes) {
    const QStringList texts{"24",    " 24 ",
                            "24,5",  "24.5",
                            "2,5e1", "abc",
                            "",      "-1,6",
                            "1,2,3", "9999",
                            "1e400", "3D1",
                            "+5",    ".5",
                            "5.",    "0,75",
                            "-0",    "1 2",
                            "2,5",   "3.5",
                            "Tall",  "gran",
                            "T",     "x",
                            "Ja",    "NEJ",
                            "y",     "yes",
                            "No",    "j",
                            "maybe", "0,3",
                            "1,25",  "65536",
                            "-2,5",  "1.0e",
                            "12cm",  "0.3000000000000000001"};
    LocaleScope swedish(QLocale(QLocale::Swedish, QLocale::Sweden));
    for (int key = 0; key < treeKeyCount; ++key) {
        for (const QString &ascii : texts) {
            const QString spaced = ascii + QChar(0x00A0);
            EXPECT_EQ(checkTreeValue(key, ascii).message(), checkTreeValue(key, spaced).message())
                << key << " " << ascii.toStdString();
            TreeRow quick, slow;
            quick.values[std::size_t(key)] = ascii;
            slow.values[std::size_t(key)] = spaced;
            quick.given[std::size_t(key)] = slow.given[std::size_t(key)] = true;
            TreeInputs a, b;
            a.diameter = b.diameter = -7;
            const Outcome laidQuick = overlayTree(a, quick), laidSlow = overlayTree(b, slow);
            EXPECT_EQ(laidQuick.message(), laidSlow.message()) << ascii.toStdString();
            EXPECT_TRUE(a == b) << key << " " << ascii.toStdString();
            for (double TreeInputs::*number :
                 {&TreeInputs::diameter, &TreeInputs::heightDeviation, &TreeInputs::siteIndex,
                  &TreeInputs::ringWidth, &TreeInputs::diameterQuotient, &TreeInputs::crownShare})
                EXPECT_EQ(std::signbit(a.*number), std::signbit(b.*number));
        }
    }
}

// A column sorts by the number the valuation reads: a decimal comma, an exponent D and a
// no-break space read as the engine reads them; a text that fails the check has none.
TEST(TreeValue, SortsByTheNumberTheValuationReads) {
    EXPECT_EQ(treeValueNumber(BreastDiameter, u"3D1"), 30);
    EXPECT_EQ(treeValueNumber(BreastDiameter, QStringLiteral(" 24,5\u00A0")), 24.5);
    EXPECT_EQ(treeValueNumber(ButtLogQuality, u"2,5"), 2.5);
    EXPECT_EQ(treeValueNumber(BreastDiameter, u"abc"), std::nullopt);
    EXPECT_EQ(treeValueNumber(BreastDiameter, u"9999"), std::nullopt);
    EXPECT_EQ(treeValueNumber(TreeSpecies, u"t"), std::nullopt);
}

// A faulty key leaves the tree as it was, whichever key fails.
TEST(TreeValue, AFaultyRowLeavesTheTreeUnchanged) {
    TreeRow row;
    row.values[BreastDiameter] = "30";
    row.values[ThirdLogQuality] = "abc";
    row.given[BreastDiameter] = row.given[ThirdLogQuality] = true;
    TreeInputs inputs;
    inputs.diameter = 12;
    const Outcome laid = overlayTree(inputs, row);
    EXPECT_EQ(laid.message(), QStringLiteral("tkv: Värdet måste vara numeriskt"));
    EXPECT_EQ(inputs.diameter, 12);
}

} // namespace
