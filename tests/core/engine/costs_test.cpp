// Harvest and planting cost, net value, the rate of value growth and the present value.
#include "core/engine/calculationstopped.h"
#include "core/engine/costs.h"
#include "core/files/numberformat.h"
#include "enginetestsupport.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

TEST(HarvestCost, seventyFiveKronorPerCubicMetreAtFullIntensityAndNormalCost) {
    EXPECT_EQ(harvestCost(0, 100, 100, 1.0), 75);
    // The part fixed per tree: the reference tree of 0.168 m3, whatever the volume.
    for (double merch : {0.0, 1.0, 5.0})
        EXPECT_DOUBLE_EQ(harvestCost(100, 100, 100, merch), 12.6) << merch;
    EXPECT_DOUBLE_EQ(harvestCost(0, 100, 50, 1.0), 75 * 1.25);
    EXPECT_DOUBLE_EQ(harvestCost(100, 100, 50, 3.0), 12.6 * 1.25);
    EXPECT_DOUBLE_EQ(harvestCost(0, 80, 100, 1.0), 75 * 0.8);
    EXPECT_DOUBLE_EQ(harvestCost(0, 100, 0, 1.0), 150);
    EXPECT_DOUBLE_EQ(harvestCost(30, 100, 100, 2.0), 0.7 * 2 * 75 + 0.3 * 75 * 0.168);
}

TEST(PlantingCost, oneSeedlingPerSquareMetreOfTheGapOnlyWhenPlantIsLowerCaseY) {
    EXPECT_DOUBLE_EQ(plantingCost("y", 10, 20), 125.664);
    for (const char *replanting : {"Y", "n", "", "yes", " y"})
        EXPECT_EQ(plantingCost(replanting, 10, 20), 0) << replanting;
}

TEST(ValueGrowth, doublingInTenYearsIsSevenPointOneEightPercent) {
    EXPECT_EQ(formatNumber(interestAchieved(2000, 1000, 20), u"#0.00", u'.'), "7.18");
    EXPECT_DOUBLE_EQ(interestAchieved(2000, 1000, 20), (std::pow(2.0, 0.1) - 1) * 100);
    EXPECT_DOUBLE_EQ(interestAchieved(1000, 1000, 20), 0);
}

TEST(ValueGrowth, noPositiveNetValueMeansMinusOneHundredPercent) {
    struct {
        double net, previous;
    } cases[] = {{0, 1000}, {-50, 1000}, {-50, -10}, {300, -10}, {0, 0}, {-5, 0}};
    for (const auto &c : cases)
        EXPECT_EQ(interestAchieved(c.net, c.previous, 30), -100)
            << c.net << " after " << c.previous;
}

TEST(ValueGrowth, aPositiveValueAfterExactlyZeroCannotBeARate) {
    try {
        interestAchieved(500, 0, 30);
        FAIL() << "no stop";
    } catch (const CalculationStopped &stop) {
        EXPECT_TRUE(stop.message().contains("avverkning om 30 år")) << stop.message();
        EXPECT_TRUE(stop.message().contains("exakt 0 kr")) << stop.message();
    }
}

TEST(PresentValue, discountsAtTheRequiredRate) {
    EXPECT_EQ(formatNumber(presentValue(1000, 10, 0.03), u"#0", u'.'), "744");
    EXPECT_NEAR(presentValue(1000, 10, 0.03), 1000 / std::pow(1.03, 10), 1e-9);
    EXPECT_EQ(presentValue(1234.5, 0, 0.03), 1234.5);
    EXPECT_EQ(presentValue(1000, 50, 0), 1000);
    EXPECT_GT(presentValue(1000, 10, -0.5), 1000);
}

TEST(PresentValue, aRateOfMinusOneHundredPercentOrBelowStops) {
    for (double requiredRate : {-1.0, -1.5})
        EXPECT_THROW(presentValue(1000, 0, requiredRate), CalculationStopped) << requiredRate;
}

TEST(NetValue, theValueIncreaseIsThePlainDifferenceEvenForLosses) {
    // A harvest ten times as dear as normal: every net value is a loss.
    EngineHome h({{"avvjust:", "1000"}});
    ASSERT_EQ(h.run(), QString());
    for (int row = 2; row <= 12; ++row)
        EXPECT_EQ(h.cell(row, 1), "-100.00") << "row " << row;
    const QStringList nets = h.reportLines("Trädets; drivn.netto; ");
    const QStringList increases = h.reportLines(" Trädets värdeökning");
    ASSERT_EQ(nets.size(), 12);
    ASSERT_EQ(increases.size(), 11);
    auto net = [&](int i) { return nets[i].section(u' ', 2, 2).toInt(); };
    for (int i = 1; i < 12; ++i) {
        const int increase =
            increases[i - 1].section(u' ', -2, -2, QString::SectionSkipEmpty).toInt();
        EXPECT_NEAR(increase, net(i) - net(i - 1), 1) << increases[i - 1];
    }
}

TEST(ResultRow, theFirstRowLeavesTheRateBlankAndShowsTheNetValueAsPresentValue) {
    EngineHome h;
    ASSERT_EQ(h.run(), QString());
    EXPECT_EQ(h.cell(1, 1), " ");
    EXPECT_EQ(h.cell(1, 2), h.cell(1, 3)); // harvest now is not discounted
    for (int row = 2; row <= 12; ++row) {
        EXPECT_NE(h.cell(row, 1).trimmed(), QString()) << row;
        EXPECT_NE(h.cell(row, 2).trimmed(), QString()) << row;
    }
}

} // namespace
