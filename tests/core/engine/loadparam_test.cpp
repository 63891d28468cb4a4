// Reading the engine's inputs from the control file.
#include "core/engine/pricing.h"
#include "enginetestsupport.h"

#include <gtest/gtest.h>

namespace {

struct Loaded {
    TempHome home;
    TreeCalculation engine{home.directory()};
    QString load(const QStringList &lines) {
        home.writeLines("trad.sty", lines);
        return engine.loadInputs().message();
    }
    const TreeInputs &s() const { return engine.inputs(); }
};

TEST(LoadParam, everyKeyOfTheSampleFileReachesItsInput) {
    Loaded l;
    ASSERT_EQ(l.load(sampleControlLines()), QString());
    const TreeInputs &s = l.s();
    EXPECT_EQ(s.region, "S");
    EXPECT_EQ(s.seedlingCost, 5.0);
    EXPECT_EQ(s.requiredRate, 3 * 0.01);
    EXPECT_EQ(s.harvestIntensity, 50);
    EXPECT_EQ(s.fixedCostShare, 30);
    EXPECT_EQ(s.harvestCostLevel, 100);
    EXPECT_EQ(s.pinePulpPrice, 250);
    EXPECT_EQ(s.sprucePulpPrice, 270);
    EXPECT_EQ(s.birchPulpPrice, 240);
    EXPECT_EQ(s.species, "t");
    EXPECT_EQ(s.diameter, 30);
    EXPECT_EQ(s.siteIndex, 24);
    EXPECT_EQ(s.replanting, "y");
    EXPECT_EQ(s.ringWidth, 3);
    EXPECT_EQ(s.crownShare, 60);
    EXPECT_EQ(s.heightDeviation, 0);
    EXPECT_EQ(s.diameterQuotient, 0.8);
    EXPECT_EQ(s.logQualities[0], 1);
    EXPECT_EQ(s.logQualities[1], 2);
    EXPECT_EQ(s.logQualities[2], 3);
}

TEST(LoadParam, aRateOfThreePercentIsHeldAsAFraction) {
    Loaded l;
    ASSERT_EQ(l.load(controlWith({{"rant:", "3"}})), QString());
    EXPECT_DOUBLE_EQ(l.s().requiredRate, 0.03);
}

TEST(LoadParam, qualityClassesRoundToTheNearestWithHalvesToEven) {
    struct {
        const char *text;
        int quality;
    } cases[] = {{"2.5", 2},  {"3.5", 4}, {"4.5", 4}, {"-0.5", 0},
                 {"1.49", 1}, {"2,5", 2}, {"5", 5},   {"32767", 32767}};
    for (const auto &c : cases) {
        Loaded l;
        ASSERT_EQ(l.load(controlWith({{"akv:", c.text}})), QString());
        EXPECT_EQ(l.s().logQualities[1], c.quality) << "akv " << c.text;
    }
}

TEST(LoadParam, aDecimalCommaIsADecimalPoint) {
    Loaded l;
    ASSERT_EQ(l.load(controlWith({{"bdm:", "2,5"}, {"hojdjust:", "-1,5"}})), QString());
    EXPECT_EQ(l.s().diameter, 2.5);
    EXPECT_EQ(l.s().heightDeviation, -1.5);
}

TEST(LoadParam, textsAreStoredAsTheyStand) {
    Loaded l;
    ASSERT_EQ(l.load(controlWith({{"plant:", "Y"}, {"sv:", " N"}, {"art:", "tall"}})), QString());
    EXPECT_EQ(l.s().replanting, "Y");
    EXPECT_EQ(l.s().region, " N");
    EXPECT_EQ(l.s().species, "tall");
}

TEST(LoadParam, aMissingKeyKeepsTheValueOfThePreviousCalculation) {
    Loaded l;
    ASSERT_EQ(l.load(controlWith({{"site:", "27"}})), QString());
    ASSERT_EQ(l.load(controlWithout({"site:", "mt:"})), QString());
    EXPECT_EQ(l.s().siteIndex, 27);
    EXPECT_EQ(l.s().pinePulpPrice, 250);

    Loaded fresh;
    ASSERT_EQ(fresh.load(controlWithout({"site:", "art:"})), QString());
    EXPECT_EQ(fresh.s().siteIndex, 0);
    EXPECT_EQ(fresh.s().species, QString());
}

TEST(LoadParam, ofAKeyGivenTwiceTheLaterLineWins) {
    QStringList lines = sampleControlLines();
    lines.insert(lines.size() - 1, "mt:/999/");
    Loaded l;
    ASSERT_EQ(l.load(lines), QString());
    EXPECT_EQ(l.s().pinePulpPrice, 999);
}

TEST(LoadParam, theLastLineIsNeverReadAndTheFirstIsReadLikeAnyOther) {
    QStringList lines = controlWithout({"mb:", "mt:"});
    lines.first() = "mt:/111/";
    lines.last() = "mb:/999/";
    Loaded l;
    ASSERT_EQ(l.load(lines), QString());
    EXPECT_EQ(l.s().pinePulpPrice, 111);
    EXPECT_EQ(l.s().birchPulpPrice, 0);
}

TEST(LoadParam, keysCountOnlyAtTheStartOfTheLineAndInLowerCase) {
    QStringList lines = controlWithout({"mt:", "mg:", "plantcost:"});
    lines.insert(1, " mt:/5/");
    lines.insert(1, "MG:/6/");
    lines.insert(1, "xplantcost:/7/");
    Loaded l;
    ASSERT_EQ(l.load(lines), QString());
    EXPECT_EQ(l.s().pinePulpPrice, 0);
    EXPECT_EQ(l.s().sprucePulpPrice, 0);
    EXPECT_EQ(l.s().seedlingCost, 0);
}

TEST(LoadParam, aKeyLineWithoutItsSecondSlashIsSkipped) {
    Loaded l;
    ASSERT_EQ(l.load(controlWith({{"site:", "21"}})), QString());
    QStringList lines = controlWithout({"site:"});
    lines.insert(1, "site:/25");
    ASSERT_EQ(l.load(lines), QString());
    EXPECT_EQ(l.s().siteIndex, 21);
}

TEST(LoadParam, withoutKronstTheNextCalculationStartsFromTheCrownReductionLeftInIt) {
    EngineHome h;
    ASSERT_EQ(h.run(), QString());
    // Crown 60 %: a reduction share of 0.2, halved in each of the twelve harvest years.
    EXPECT_DOUBLE_EQ(h.engine.inputs().crownShare, 0.2 / 4096);
    h.home.writeLines("trad.sty", controlWithout({"kronst:"}));
    ASSERT_EQ(h.run(), QString());
    const QStringList crown = h.reportLines("pga liten krona");
    ASSERT_EQ(crown.size(), 2);
    EXPECT_TRUE(crown[0].endsWith("= 50%")) << crown[0];
    EXPECT_TRUE(crown[1].endsWith("= 75%")) << crown[1];
}

TEST(LoadParam, thePulpwoodPriceFollowsTheSpecies) {
    struct {
        const char *species;
        std::optional<double> pulpPrice;
    } cases[] = {{"t", 250}, {"g", 270}, {"b", 240}, {"l", 0}, {"x", {}}, {"T", {}}, {"", {}}};
    for (const auto &c : cases) {
        Loaded l;
        ASSERT_EQ(l.load(controlWith({{"art:", c.species}})), QString());
        EXPECT_EQ(pulpwoodPrice(l.s()), c.pulpPrice) << c.species;
    }
    // A species without a price stops the calculation before any pulpwood is priced.
    EngineHome h;
    ASSERT_EQ(h.run(), QString());
    h.setControl({{"art:", "x"}});
    EXPECT_NE(h.run(), QString());
    EXPECT_TRUE(h.reportLines("Massaved").isEmpty());
}

} // namespace
