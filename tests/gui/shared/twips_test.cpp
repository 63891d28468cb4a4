#include "gui/shared/twips.h"

#include <gtest/gtest.h>

#include <tuple>

// Twips and pixels at the DPIs screens commonly have: 96 (100 %), 120 (125 %), 144 (150 %).
class TwipsAtDpi : public ::testing::TestWithParam<std::tuple<int, int, int>> {};

TEST_P(TwipsAtDpi, SizesConvertAndComeBackAsSet) {
    const auto [dpi, twips, pixels] = GetParam();
    EXPECT_EQ(Twips::toPixels(twips, dpi), pixels);
    // A size set in whole twips of a grid's own multiples reads back as set.
    EXPECT_EQ(Twips::fromPixels(pixels, dpi), twips);
}

INSTANTIATE_TEST_SUITE_P(
    Grids, TwipsAtDpi,
    ::testing::Values(std::make_tuple(96, 1440, 96), std::make_tuple(96, 300, 20),
                      std::make_tuple(96, 1200, 80), std::make_tuple(120, 600, 50),
                      std::make_tuple(120, 1440, 120), std::make_tuple(144, 1000, 100)));

TEST(Twips, HalfPixelsRoundToTheNearest) {
    EXPECT_EQ(Twips::toPixels(7, 96), 0); // 0.47 px
    EXPECT_EQ(Twips::toPixels(8, 96), 1); // 0.53 px
    EXPECT_EQ(Twips::fromPixels(1, 96), 15);
}
