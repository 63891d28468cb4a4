// Height model, ring width with the crown reduction, and diameter growth.
#include "core/engine/growth.h"
#include "core/files/numberformat.h"
#include "enginetestsupport.h"

#include <gtest/gtest.h>

namespace {

struct HeightCase {
    const char *species, *region;
    double diameter, siteIndex, diameterQuotient;
    const char *height;
};

TEST(HeightModel, givesThePublishedHeightsForPineAndSpruceInBothRegions) {
    const HeightCase cases[] = {
        {"t", "N", 30, 24, 0.8, "20.78"}, {"t", "S", 30, 24, 0.8, "20.20"},
        {"g", "N", 30, 24, 0.8, "21.46"}, {"g", "S", 30, 24, 0.8, "21.10"},
        {"t", "S", 20, 20, 1.0, "13.08"}, {"t", "S", 30, 24, 1.0, "18.47"},
        {"t", "N", 20, 20, 1.0, "14.63"},
    };
    for (const HeightCase &c : cases) {
        ValuationState s =
            firstPassState(c.species, c.region, c.diameter, c.siteIndex, c.diameterQuotient);
        computeHeight(s);
        EXPECT_EQ(formatNumber(s.height, u"#0.00", u'.'), c.height)
            << c.species << c.region << " bdm " << c.diameter << " site " << c.siteIndex
            << " dkvot " << c.diameterQuotient;
    }
}

TEST(HeightModel, southernPineUsesTheDoubleProductOf017Squared) {
    // With the literal 0.0289 the exponent would differ in its last bits.
    const HeightCoefficients *c = heightCoefficients("t", "S");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->v, 0.17 * 0.17);
    EXPECT_NE(c->v, 0.0289);
}

TEST(HeightModel, coversOnlyPineAndSpruceInNorthAndSouthExactly) {
    EXPECT_NE(heightCoefficients("t", "N"), nullptr);
    EXPECT_NE(heightCoefficients("g", "S"), nullptr);
    for (const auto &[species, region] : {std::pair{"b", "N"},
                                          {"l", "S"},
                                          {"T", "N"},
                                          {"t", "n"},
                                          {"g", "s"},
                                          {"t", ""},
                                          {"", "N"}})
        EXPECT_EQ(heightCoefficients(species, region), nullptr) << species << "/" << region;
}

TEST(HeightModel, theHeightDeviationIsAddedToEachYearsFreshHeightNotAccumulated) {
    EngineHome plain, raised({{"hojdjust:", "2"}});
    ASSERT_EQ(plain.run(), QString());
    ASSERT_EQ(raised.run(), QString());
    // The deviation changes only the height, not the growth of the diameter.
    EXPECT_EQ(plain.reportLines("bhdiam=").size(), 12);
    for (int row = 1; row <= 12; ++row) {
        EXPECT_EQ(plain.cell(row, 7), raised.cell(row, 7));
        const double difference = raised.cell(row, 6).toDouble() - plain.cell(row, 6).toDouble();
        EXPECT_NEAR(difference, 2.0, 0.11) << "row " << row;
    }
    ValuationState s = firstPassState("t", "S", 30, 24, 0.8, 2);
    computeHeight(s);
    const double first = s.height;
    computeHeight(s);
    EXPECT_EQ(s.height, first);
}

TEST(HeightModel, theAgeOfTheTreeDoesNotChangeTheHeight) {
    ValuationState s = firstPassState("g", "N", 30, 24, 0.8);
    computeHeight(s);
    const double now = s.height;
    s.years = 110;
    computeHeight(s);
    EXPECT_EQ(s.height, now);
}

std::pair<QStringList, QStringList> ringsAndDiameters(const EngineHome &h) {
    QStringList rings, diameters;
    for (const QString &line : h.reportLines("bhdiam= ")) {
        diameters << line.section(u' ', 1, 1);
        rings << line.section(QStringLiteral("årsring= "), 1).section(u' ', 0, 0);
    }
    return {rings, diameters};
}

TEST(Growth, aSixtyPercentCrownGrowsAtReducedRingsForTwentyYears) {
    EngineHome h({{"kronst:", "60"}, {"ring5:", "3"}, {"bdm:", "30"}});
    ASSERT_EQ(h.run(), QString());
    const auto [rings, diameters] = ringsAndDiameters(h);
    EXPECT_EQ(rings, (QStringList{"2.40", "2.70", "3.00", "3.00", "3.00", "3.00", "3.00", "3.00",
                                  "3.00", "3.00", "3.00", "3.00"}));
    EXPECT_EQ(diameters, (QStringList{"30.00", "34.80", "40.20", "46.20", "52.20", "58.20", "64.20",
                                      "70.20", "76.20", "82.20", "88.20", "94.20"}));
    EXPECT_EQ(h.reportLines("pga liten krona"),
              (QStringList{"pga liten krona reduceras årsringen under följande 10 år till = 80%",
                           "pga liten krona reduceras årsringen under följande 10 år till = 90%"}));
    EXPECT_NEAR(h.engine.inputs().diameter, 100.2, 1e-9)
        << "grown through all twelve harvest years";
}

TEST(Growth, crownLinesShowTheShareOfTheMeasuredRingKept) {
    struct {
        const char *crownShare;
        const char *first, *second;
    } cases[] = {{"100", "100%", "100%"}, {"0", "50%", "75%"}, {"80", "90%", "95%"}};
    for (const auto &c : cases) {
        EngineHome h({{"kronst:", c.crownShare}});
        ASSERT_EQ(h.run(), QString());
        const QStringList crown = h.reportLines("pga liten krona");
        ASSERT_EQ(crown.size(), 2) << "kronst " << c.crownShare;
        EXPECT_TRUE(crown[0].endsWith(QString("= ") + c.first)) << crown[0];
        EXPECT_TRUE(crown[1].endsWith(QString("= ") + c.second)) << crown[1];
    }
}

TEST(Growth, aFullCrownGrowsAtTheMeasuredRingFromTheStart) {
    EngineHome h({{"kronst:", "100"}, {"ring5:", "2.5"}});
    ASSERT_EQ(h.run(), QString());
    const auto [rings, diameters] = ringsAndDiameters(h);
    EXPECT_EQ(rings, QStringList(12, "2.50"));
    EXPECT_EQ(diameters.first(), "30.00");
    EXPECT_EQ(diameters.last(), "85.00");
}

} // namespace
