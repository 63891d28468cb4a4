// The what-if table: the sample tree valued again with the rate or the prices changed.
#include "core/engine/decision.h"
#include "core/results/verdict.h"
#include "core/results/whatif.h"
#include "enginetestsupport.h"

#include <gtest/gtest.h>

namespace {

TEST(WhatIf, MovesTheBestYearAndValueAsRateAndPricesChange) {
    EngineHome h;
    TreeInputs inputs;
    PriceTables prices;
    ASSERT_EQ(take(loadTreeInputs(h.home.directory(), inputs), inputs), QString());
    ASSERT_EQ(take(loadPriceTables(h.home.directory(), prices), prices), QString());
    const TreeInputs inputsBefore = inputs;
    const std::optional<Decision> asGiven = decide(valueTree(inputs, prices));
    ASSERT_TRUE(asGiven);

    const QList<WhatIf> all = whatIfs(inputs, prices, u',');
    ASSERT_EQ(all.size(), 5);
    EXPECT_EQ(inputs, inputsBefore);
    const QString rate = rateText(inputs.requiredRate * 100, u',');
    EXPECT_EQ(all[1].change, "Räntekrav " + rate + " % (som beräknat)");
    EXPECT_EQ(all[0].change, "Räntekrav " + rateText(inputs.requiredRate * 100 - 1, u',') + " %");
    EXPECT_EQ(all[3].change, "Alla priser −10 %");
    for (const WhatIf &w : all)
        EXPECT_TRUE(w.valued) << w.change.toStdString();
    EXPECT_EQ(all[1].bestYears, asGiven->bestYears());
    EXPECT_EQ(all[1].bestValue, asGiven->bestValue);
    // A lower rate rewards waiting: never an earlier year, never a lower value; a higher rate
    // the other way round. Dearer timber is worth more in every year.
    EXPECT_GE(all[0].bestYears, all[1].bestYears);
    EXPECT_GT(all[0].bestValue, all[1].bestValue);
    EXPECT_LE(all[2].bestYears, all[1].bestYears);
    EXPECT_LT(all[2].bestValue, all[1].bestValue);
    EXPECT_LT(all[3].bestValue, all[1].bestValue);
    EXPECT_GT(all[4].bestValue, all[1].bestValue);
}

TEST(WhatIf, ScalesEveryTimberAndPulpwoodPrice) {
    TreeInputs inputs;
    inputs.pinePulpPrice = 200;
    inputs.sprucePulpPrice = 250;
    inputs.birchPulpPrice = 300;
    inputs.requiredRate = 0.03;
    PriceTables prices;
    prices.pine[1][2] = 500;
    prices.spruce[5][10] = 420;
    scalePrices(inputs, prices, 1.1);
    EXPECT_DOUBLE_EQ(inputs.pinePulpPrice, 220);
    EXPECT_DOUBLE_EQ(inputs.sprucePulpPrice, 275);
    EXPECT_DOUBLE_EQ(inputs.birchPulpPrice, 330);
    EXPECT_DOUBLE_EQ(inputs.requiredRate, 0.03);
    EXPECT_DOUBLE_EQ(prices.pine[1][2], 550);
    EXPECT_DOUBLE_EQ(prices.spruce[5][10], 462);
    EXPECT_EQ(prices.pine[0][0], 0);
}

} // namespace
