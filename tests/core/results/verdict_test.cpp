// The verdict above the result grid, from the twelve harvest years of a valuation.
#include "core/results/verdict.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct VerdictCase {
    const char *name;
    std::vector<double> values; // row 0: the net value now; rows 1..11: present values
    double growthNextTen;       // % a year, the rate column of the 10-year row
    double requiredRate;        // fraction
    bool stopped;
    QChar separator;
    const char *text;
};

class Verdict : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(Verdict, SaysWhenToCutAndWhy) {
    const VerdictCase &c = GetParam();
    TreeValuation v;
    v.yearsValued = harvestYearCount;
    for (int r = 0; r < harvestYearCount; ++r) {
        v.rows[r].years = 10 * r;
        v.rows[r].values[r == 0 ? NetValue : PresentValue] = c.values[std::size_t(r)];
    }
    v.rows[1].values[InterestAchieved] = c.growthNextTen;
    if (c.stopped) {
        v.yearsValued = 3;
        v.stop = Outcome::failure(QStringLiteral("Trädet ger ett ogiltigt tal om 30 år."));
    }
    EXPECT_EQ(verdictText(v, c.requiredRate, c.separator), QString::fromUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Verdict,
    ::testing::Values(
        VerdictCase{"CutNow",
                    {512, 480, 400, 300, 200, 100, 90, 80, 70, 60, 50, 40},
                    1.849,
                    0.03,
                    false,
                    u',',
                    "Avverka nu: trädet är värt 512 kr netto i dag, och ingen senare "
                    "avverkning ger ett högre nuvärde. De närmaste tio åren växer trädets värde "
                    "med 1,85 % per år, under "
                    "räntekravet 3 %."},
        VerdictCase{
            "KeepThirtyYears",
            {512, 700, 800, 845, 830, 700, 600, 500, 400, 300, 200, 100},
            4.123,
            0.035,
            false,
            u'.',
            "Låt trädet stå och avverka om 30 år: nuvärdet är då 845 kr mot 512 kr vid "
            "avverkning nu. De närmaste tio åren växer trädets värde med 4.12 % per år, över "
            "räntekravet 3.5 %."},
        VerdictCase{"TieGoesToTheEarlierYear",
                    {300, 400, 400, 350, 300, 250, 200, 150, 100, 90, 80, 70},
                    3.0,
                    0.03,
                    false,
                    u',',
                    "Låt trädet stå och avverka om 10 år: nuvärdet är då 400 kr mot 300 kr vid "
                    "avverkning nu. De närmaste tio åren växer trädets värde med 3,00 % per år, "
                    "lika med räntekravet 3 %."},
        VerdictCase{"TieWithNowCutsNow",
                    {400, 400, 300, 200, 100, 90, 80, 70, 60, 50, 40, 30},
                    2.999,
                    0.03,
                    false,
                    u',',
                    "Avverka nu: trädet är värt 400 kr netto i dag, och ingen senare "
                    "avverkning ger ett högre nuvärde. De närmaste tio åren växer trädets värde "
                    "med 3,00 % per år, lika "
                    "med räntekravet 3 %."},
        VerdictCase{"WorthNothingNowButLater",
                    {-40, -10, 25, 60, 50, 40, 30, 20, 10, 0, -5, -9},
                    -100,
                    0.0275,
                    false,
                    u',',
                    "Låt trädet stå och avverka om 30 år: nuvärdet är då 60 kr mot -40 kr vid "
                    "avverkning nu. Trädet har i dag inget positivt nettovärde, så dess "
                    "värdetillväxt kan inte ställas mot räntekravet 2,75 %."},
        VerdictCase{"AllNegative",
                    {-50, -40, -45, -60, -70, -80, -90, -99, -99, -99, -99, 0},
                    -100,
                    0.03,
                    false,
                    u',',
                    "Inget avverkningsår ger trädet ett positivt nuvärde: avverkningen kostar mer "
                    "än virket är värt, nu och de närmaste 110 åren."},
        VerdictCase{"Stopped",
                    {512, 700, 800, 845, 830, 700, 600, 500, 400, 300, 200, 100},
                    4.1,
                    0.03,
                    true,
                    u',',
                    "Beräkningen avbröts. Trädet ger ett ogiltigt tal om 30 år."}),
    [](const ::testing::TestParamInfo<VerdictCase> &info) { return info.param.name; });

TEST(Verdict, NoValuationNoText) {
    EXPECT_EQ(verdictText(TreeValuation{}, 0.03, u','), QString());
}

} // namespace
