// The engine's price tables and the price of a log.
#include "core/engine/calculationstopped.h"
#include "core/engine/pricing.h"
#include "core/files/textfile.h"
#include "enginetestsupport.h"

#include <gtest/gtest.h>

namespace {

// Pine q/j costs 1000 q + j, spruce 2000 q + j: every cell tells where it came from.
void fill(PriceTable &pine, PriceTable &spruce) {
    for (int q = 1; q <= 5; ++q)
        for (int j = 1; j <= 10; ++j) {
            pine[q][j] = 1000 * q + j;
            spruce[q][j] = 2000 * q + j;
        }
}

TEST(LogPrice, theTopDiameterSelectsTheHighestClassItReaches) {
    PriceTable pine{}, spruce{};
    fill(pine, spruce);
    struct {
        double d;
        int column; // 0: no class
    } cases[] = {{11.99, 0}, {12.0, 1},  {13.99, 1}, {14.0, 2}, {21.5, 5},
                 {29.99, 9}, {30.0, 10}, {45.0, 10}, {0, 0},    {-3, 0}};
    for (std::int16_t q = 1; q <= 5; ++q)
        for (const auto &c : cases) {
            EXPECT_EQ(priceOfLog(pine, spruce, "t", q, c.d), c.column ? 1000 * q + c.column : 0)
                << "pine q" << q << " d " << c.d;
            EXPECT_EQ(priceOfLog(pine, spruce, "g", q, c.d), c.column ? 2000 * q + c.column : 0)
                << "spruce q" << q << " d " << c.d;
        }
}

TEST(LogPrice, birchBroadleafAndUnknownSpeciesHaveNoTimberPrice) {
    PriceTable pine{}, spruce{};
    fill(pine, spruce);
    for (const char *species : {"b", "l", "T", "", "tg"})
        EXPECT_EQ(priceOfLog(pine, spruce, species, 9, 30.0), 0) << species;
}

TEST(LogPrice, qualityZeroAndLogsBelowTwelveCentimetresCostNothing) {
    PriceTable pine{}, spruce{};
    fill(pine, spruce);
    EXPECT_EQ(priceOfLog(pine, spruce, "t", 0, 30.0), 0);
    EXPECT_EQ(priceOfLog(pine, spruce, "g", 0, 30.0), 0);
    for (std::int16_t q : {std::int16_t(-1), std::int16_t(6), std::int16_t(32767)})
        EXPECT_EQ(priceOfLog(pine, spruce, "t", q, 11.99), 0) << q;
}

TEST(LogPrice, aQualityClassWithoutARowStopsTheCalculationInsteadOfReadingOutsideTheTable) {
    PriceTable pine{}, spruce{};
    fill(pine, spruce);
    for (std::int16_t q : {std::int16_t(-1), std::int16_t(6), std::int16_t(-32768)}) {
        EXPECT_FALSE(hasPriceRow("g", q, 12.0));
        EXPECT_THROW(priceOfLog(pine, spruce, "g", q, 12.0), CalculationStopped) << q;
    }
    EXPECT_TRUE(hasPriceRow("b", 6, 30.0));
}

TEST(LogPrice, pricesFallingWithDiameterAreTakenAsTheyStand) {
    PriceTable pine{}, spruce{};
    for (int j = 1; j <= 10; ++j)
        pine[2][j] = 1000 - 10 * j;
    EXPECT_EQ(priceOfLog(pine, spruce, "t", 2, 35.0), 900);
    EXPECT_EQ(priceOfLog(pine, spruce, "t", 2, 12.0), 990);
}

QByteArray priceFile(const QStringList &blocks) {
    QStringList lines{"\"Län\""};
    for (const QString &tag : blocks) {
        lines << u'"' + tag + u'"';
        const int base = tag == "t" ? 100 : tag == "g" ? 200 : 900;
        for (int q = 1; q <= 5; ++q) {
            QStringList row;
            for (int j = 1; j <= 10; ++j)
                row << QString::number(base + 10 * q + j);
            lines << row.join(u',');
        }
    }
    lines << QString();
    return joinLinesCrLf(lines);
}

TEST(EnginePriceList, blocksFillTheTableTheirTagNamesInAnyOrder) {
    for (const QStringList &order :
         {QStringList{"t", "g"}, QStringList{"g", "t"}, QStringList{"t", "g", "b"}}) {
        TempHome home;
        home.write("priser_ac.txt", priceFile(order));
        TreeCalculation engine(home.directory());
        ASSERT_EQ(engine.loadPrices().message(), QString()) << order.join(',');
        EXPECT_EQ(engine.logPrice("t", 3, 30.0), 140) << order.join(',');
        EXPECT_EQ(engine.logPrice("g", 5, 12.5), 251) << order.join(',');
    }
}

TEST(EnginePriceList, aFileWithOnlyThePineBlockIsRefusedAndLeavesBothTablesAsTheyWere) {
    TempHome home;
    home.write("priser_ac.txt", priceFile({"t", "g"}));
    TreeCalculation engine(home.directory());
    ASSERT_EQ(engine.loadPrices().message(), QString());
    home.write("priser_ac.txt", priceFile({"T", "g"}));
    EXPECT_NE(engine.loadPrices().message(), QString());
    home.write("priser_ac.txt", priceFile({"t"}));
    EXPECT_NE(engine.loadPrices().message(), QString());
    EXPECT_EQ(engine.logPrice("t", 1, 14.0), 112);
    EXPECT_EQ(engine.logPrice("g", 1, 14.0), 212);
}

TEST(EnginePriceList, aCalculationReadsThePriceListOnDiskEveryTime) {
    EngineHome h;
    ASSERT_EQ(h.run(), QString());
    const QString before = h.cell(1, 11);
    h.home.write("priser_ac.txt", priceFile({"t", "g"}));
    ASSERT_EQ(h.run(), QString());
    EXPECT_NE(h.cell(1, 11), before);
}

} // namespace
