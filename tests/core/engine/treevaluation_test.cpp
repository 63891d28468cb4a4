#include "decision.h"
#include "enginetestsupport.h"
#include "numberformat.h"
#include "treevaluation.h"

#include <gtest/gtest.h>

#include <QtConcurrent>

#include <cmath>

namespace {

// The grid's digit pattern of each result column.
const NumberPattern patterns[resultColumnCount] = {u"#0.00", u"#0", u"#0", u"#0", u"#0.00", u"#0.0",
                                                   u"#0",    u"#0", u"#0", u"#0", u"#0",    u"#0",
                                                   u"#0",    u"#0", u"#0", u"#0", u"#0"};

struct ValuedHome {
    explicit ValuedHome(const KeyValues &values) : home(values) {
        EXPECT_EQ(loadTreeInputs(home.home.sokvag(), inputs), QString());
        EXPECT_EQ(loadPriceTables(home.home.sokvag(), prices), QString());
    }
    EngineHome home;
    TreeInputs inputs;
    PriceTables prices;
};

class TreeValuationAsInTheWindow : public ::testing::TestWithParam<KeyValues> {};

// The numbers the function returns are, written with the grid's patterns, the text the result
// window shows for the same control file, including where a calculation stops.
TEST_P(TreeValuationAsInTheWindow, GivesTheGridsNumbers) {
    ValuedHome valued(GetParam());
    const TreeValuation result = valueTree(valued.inputs, valued.prices);
    const QString message = valued.home.run();
    EXPECT_EQ(result.complete(), message.isEmpty());
    for (int r = 0; r < harvestYearCount; ++r) {
        const QStringList shown = valued.home.gridRow(r + 1);
        for (int c = 0; c < resultColumnCount; ++c) {
            const double v = result.rows[std::size_t(r)].values[std::size_t(c)];
            const QString text = r >= result.yearsValued ? QString()
                                 : std::isnan(v)         ? QStringLiteral(" ")
                                                         : numberText(v, patterns[c], '.');
            EXPECT_EQ(text, shown.value(c)) << "row " << r << " column " << c;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Trees, TreeValuationAsInTheWindow,
                         ::testing::Values(KeyValues{},
                                           KeyValues{{"art:", "g"}, {"sv:", "N"}, {"bdm:", "45"}},
                                           KeyValues{{"art:", "b"}, {"bdm:", "12"}},
                                           KeyValues{{"bkv:", "9"}}));

// The diameter grown over twelve passes and the crown reduction are what the next calculation
// starts from, as the control file format has always had it.
TEST(TreeValuation, CarriesTheGrownTreeOverAndIsTheSameOnEveryThread) {
    ValuedHome valued({});
    const TreeValuation once = valueTree(valued.inputs, valued.prices);
    EXPECT_GT(once.carryOver.bdm, valued.inputs.bdm);
    valued.home.run();
    EXPECT_EQ(once.carryOver, valued.home.engine.inputs());

    const QList<TreeInputs> trees(64, valued.inputs);
    const QList<TreeValuation> all = QtConcurrent::blockingMapped(
        trees, [&](const TreeInputs &tree) { return valueTree(tree, valued.prices); });
    for (const TreeValuation &v : all)
        for (int r = 0; r < harvestYearCount; ++r)
            for (int c = 2; c < resultColumnCount; ++c)
                ASSERT_EQ(v.rows[r].values[c], once.rows[r].values[c]);
}

} // namespace

namespace {

struct DecisionCase {
    const char *name;
    std::vector<double> values; // row 0: the net value now; rows 1..11: present values
    bool stopped;
    int bestRow; // -1: no decision
    bool anyPositive;
};

class DecisionRule : public ::testing::TestWithParam<DecisionCase> {};

TEST_P(DecisionRule, PicksTheYearWithTheHighestPresentValue) {
    const DecisionCase &c = GetParam();
    TreeValuation v;
    v.yearsValued = harvestYearCount;
    for (int r = 0; r < harvestYearCount; ++r) {
        v.rows[r].years = 10 * r;
        v.rows[r].values[r == 0 ? NetValue : PresentValue] = c.values[std::size_t(r)];
    }
    if (c.stopped) {
        v.stopMessage = QStringLiteral("stopp");
        v.yearsValued = 5;
    }
    const std::optional<Decision> d = decide(v);
    ASSERT_EQ(d.has_value(), c.bestRow >= 0);
    if (!d)
        return;
    EXPECT_EQ(d->bestRow, c.bestRow);
    EXPECT_EQ(d->cutNow(), c.bestRow == 0);
    EXPECT_EQ(d->anyPositive, c.anyPositive);
    EXPECT_EQ(d->bestValue, c.values[std::size_t(c.bestRow)]);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecisionRule,
    ::testing::Values(
        DecisionCase{
            "CutNow", {500, 400, 300, 200, 100, 90, 80, 70, 60, 50, 40, 30}, false, 0, true},
        DecisionCase{
            "Keep30", {100, 150, 180, 200, 190, 170, 150, 130, 110, 90, 70, 50}, false, 3, true},
        DecisionCase{"TieGoesToTheEarlierYear",
                     {100, 200, 200, 150, 100, 90, 80, 70, 60, 50, 40, 30},
                     false,
                     1,
                     true},
        DecisionCase{"TieWithNowCutsNow",
                     {200, 200, 100, 90, 80, 70, 60, 50, 40, 30, 20, 10},
                     false,
                     0,
                     true},
        DecisionCase{"AllNegative",
                     {-50, -40, -45, -60, -70, -80, -90, -99, -99, -99, -99, -99},
                     false,
                     1,
                     false},
        DecisionCase{"Stopped", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, true, -1, false}),
    [](const ::testing::TestParamInfo<DecisionCase> &info) { return info.param.name; });

} // namespace
