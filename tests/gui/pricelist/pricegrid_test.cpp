#include "gui/pricelist/pricegrid.h"
#include "testsupport.h"

#include <QLocale>

#include <gtest/gtest.h>

TEST(PriceGridRules, PriceColumnsShareTheGridWidthRoundedHalfToEven) {
    const struct {
        int gridWidth, columnWidth;
    } cases[] = {
        {6372, 487},              // 487.2
        {6366, 487},              // 486.6
        {6365, 486},              // 486.5: to the even neighbour
        {6375, 488},              // 487.5: to the even neighbour
        {6380, 488},              // exact
        {11500, 1000}, {1505, 0}, // 0.5
        {1515, 2},                // 1.5
        {1500, 0},     {900, 0},  // a grid too narrow for prices never gets a negative width
    };
    for (const auto &c : cases)
        EXPECT_EQ(priceColumnWidth(c.gridWidth), c.columnWidth) << c.gridWidth;
}

TEST(PriceGridRules, PriceCellsShowThePlainPriceWithTheDecimalCommaAndStayEmptyAtOneTenthOrLess) {
    LocaleScope swedish{QLocale(QLocale::Swedish, QLocale::Sweden)};
    const struct {
        double price;
        const char *shown;
    } cases[] = {
        {450, "450"}, {452.5, "452,5"}, {0.11, "0,11"}, {1234567, "1234567"},     {0.1, ""},
        {0.05, ""},   {0, ""},          {-20, ""},      {0.1000001, "0,1000001"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(priceCellText(c.price), QString::fromLatin1(c.shown)) << c.price;
}

TEST(PriceGridRules, KeysMoveTheEditorAsInASpreadsheet) {
    using M = CellMove;
    const struct {
        PriceCell from;
        CellMove move;
        std::optional<PriceCell> to;
    } cases[] = {
        {{3, 4}, M::Right, PriceCell{3, 5}},    {{3, 10}, M::Right, std::nullopt},
        {{3, 4}, M::Left, PriceCell{3, 3}},     {{3, 1}, M::Left, std::nullopt},
        {{3, 4}, M::Up, PriceCell{2, 4}},       {{1, 4}, M::Up, std::nullopt},
        {{3, 4}, M::Down, PriceCell{4, 4}},     {{5, 4}, M::Down, std::nullopt},
        {{3, 4}, M::Tab, PriceCell{3, 5}},      {{3, 10}, M::Tab, PriceCell{4, 1}},
        {{5, 10}, M::Tab, std::nullopt},        {{3, 4}, M::Backtab, PriceCell{3, 3}},
        {{3, 1}, M::Backtab, PriceCell{2, 10}}, {{1, 1}, M::Backtab, std::nullopt},
        {{3, 4}, M::Enter, PriceCell{4, 4}},    {{5, 4}, M::Enter, PriceCell{1, 5}},
        {{5, 10}, M::Enter, PriceCell{1, 1}},
    };
    for (const auto &c : cases) {
        const auto to = movedCell(c.from, c.move);
        EXPECT_EQ(to.has_value(), c.to.has_value()) << c.from.row << "," << c.from.col;
        if (to && c.to) {
            EXPECT_EQ(*to, *c.to) << c.from.row << "," << c.from.col << " -> " << to->row << ","
                                  << to->col;
        }
    }
}

TEST(PriceGridRules, ATypedPriceIsAPlainNumberWithAPointOrAComma) {
    const struct {
        const char *typed;
        std::optional<double> price;
    } cases[] = {
        {"450", 450},
        {"520,5", 520.5},
        {"520.5", 520.5},
        {" 452,5 kr", 452.5},
        {"1 000", 1000},
        {"-12", -12},
        {"+7", 7},
        {"", 0},
        {"  ", 0},
        {"1e3", 1000},
        {",5", 0.5},
        {"abc", std::nullopt},
        {"€", std::nullopt},
        {"0x10", std::nullopt},
        {"12a", std::nullopt},
        {"1,000.5", std::nullopt},
        {"1.2.3", std::nullopt},
        {"kr", std::nullopt},
        {"nan", std::nullopt},
        {"inf", std::nullopt},
        {"1e999", std::nullopt},
        {"--1", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(typedPrice(QString::fromUtf8(c.typed)), c.price) << c.typed;
}
