#include "core/engine/decision.h"
#include "core/engine/report.h"
#include "core/engine/resultrow.h"
#include "core/engine/treevaluation.h"
#include "core/files/numberformat.h"
#include "core/files/textfile.h"
#include "enginetestsupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>
#include <QtConcurrent>

#include <bit>
#include <cmath>
#include <cstdint>

namespace {

// The grid's digit pattern of each result column.
const NumberPattern patterns[resultColumnCount] = {u"#0.00", u"#0", u"#0", u"#0", u"#0.00", u"#0.0",
                                                   u"#0",    u"#0", u"#0", u"#0", u"#0",    u"#0",
                                                   u"#0",    u"#0", u"#0", u"#0", u"#0"};

struct ValuedHome {
    explicit ValuedHome(const KeyValues &values) : home(values) {
        EXPECT_EQ(take(loadTreeInputs(home.home.directory(), inputs), inputs), QString());
        EXPECT_EQ(take(loadPriceTables(home.home.directory(), prices), prices), QString());
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
    EXPECT_GT(once.carryOver.diameter, valued.inputs.diameter);
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

// Trees of every kind the control file can hold, ordinary and absurd: the valuation must give
// the same figures, carry-over and stop with a report as without one, since the window writes
// one and a list of trees does not.
QList<TreeInputs> manyTrees(const TreeInputs &sample) {
    QRandomGenerator random(20261207);
    const auto pick = [&](std::initializer_list<double> values) {
        return *(values.begin() + random.bounded(int(values.size())));
    };
    const auto between = [&](double low, double high) { return low + random.bounded(high - low); };
    const QStringList species{"t", "g", "b", "l", "x"}, regions{"S", "N", "n"};
    QList<TreeInputs> trees;
    for (int i = 0; i < 3000; ++i) {
        TreeInputs t = sample;
        t.species = species[random.bounded(int(species.size()))];
        t.region = regions[random.bounded(int(regions.size()))];
        t.replanting = random.bounded(2) ? "y" : "n";
        t.diameter = random.bounded(10) ? between(-2, 90) : pick({0, 1e-300, 1e300, -1e308, 1e154});
        t.ringWidth = random.bounded(10) ? between(-1, 8) : pick({0, 1e300, -1e300});
        t.crownShare = random.bounded(10) ? between(0, 100) : pick({-1e308, 1e308, 1e-320});
        t.siteIndex = between(10, 32);
        t.diameterQuotient = between(0.5, 1.2);
        t.heightDeviation = random.bounded(10) ? between(-5, 5) : pick({-40, 1e300});
        t.requiredRate = random.bounded(10) ? between(0, 0.1) : pick({-1, -0.999, 1e306});
        t.harvestIntensity = random.bounded(10) ? between(0, 100) : pick({1e200, -1e200});
        t.harvestCostLevel = random.bounded(10) ? between(0, 200) : pick({1e308, -1e308});
        t.pinePulpPrice = random.bounded(10) ? between(0, 400) : pick({-100, 1e308});
        for (std::int16_t &q : t.logQualities)
            q = std::int16_t(random.bounded(-1, 8));
        trees << t;
    }
    // Each number of the sample pine and of a northern spruce at the edges of a double, alone
    // and with a crown share that multiplies the ring width.
    double TreeInputs::*const numbers[] = {
        &TreeInputs::seedlingCost,    &TreeInputs::requiredRate,     &TreeInputs::harvestIntensity,
        &TreeInputs::fixedCostShare,  &TreeInputs::harvestCostLevel, &TreeInputs::pinePulpPrice,
        &TreeInputs::sprucePulpPrice, &TreeInputs::diameter,         &TreeInputs::heightDeviation,
        &TreeInputs::siteIndex,       &TreeInputs::ringWidth,        &TreeInputs::diameterQuotient,
        &TreeInputs::crownShare};
    TreeInputs spruce = sample;
    spruce.species = "g";
    spruce.region = "N";
    for (const TreeInputs &base : {sample, spruce})
        for (double TreeInputs::*number : numbers)
            for (double extreme : {0.0, -1.0, 1e-300, 1e300, -1e300, 1e308, -1e308, 5e-324})
                for (double crownShare : {base.crownShare, -1e308}) {
                    TreeInputs t = base;
                    t.crownShare = crownShare;
                    t.*number = extreme;
                    trees << t;
                }
    return trees;
}

bool same(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

TEST(TreeValuation, GivesTheSameFiguresAndStopWithAReportAsWithout) {
    ValuedHome valued({});
    int stopped = 0;
    const QList<TreeInputs> trees = manyTrees(valued.inputs);
    for (const TreeInputs &tree : trees) {
        Report report(u',');
        const TreeValuation plain = valueTree(tree, valued.prices);
        const TreeValuation reported = valueTree(tree, valued.prices, &report);
        const std::string which = QStringLiteral("art %1 sv %2 bdm %3 ring5 %4 rant %5 avvjust %6")
                                      .arg(tree.species, tree.region)
                                      .arg(tree.diameter)
                                      .arg(tree.ringWidth)
                                      .arg(tree.requiredRate)
                                      .arg(tree.harvestCostLevel)
                                      .toStdString();
        ASSERT_EQ(plain.stop.message(), reported.stop.message()) << which;
        ASSERT_EQ(plain.yearsValued, reported.yearsValued) << which;
        for (int r = 0; r < plain.yearsValued; ++r)
            for (int c = 0; c < resultColumnCount; ++c)
                ASSERT_TRUE(same(plain.rows[r].values[c], reported.rows[r].values[c])) << which;
        ASSERT_TRUE(same(plain.carryOver.diameter, reported.carryOver.diameter)) << which;
        ASSERT_TRUE(same(plain.carryOver.crownShare, reported.carryOver.crownShare)) << which;

        // The report goes as far as the figures and says why it ends where it ends.
        const QString text = decodeCp1252(report.bytes());
        EXPECT_GE(text.count(QStringLiteral("AVVERKNING OM ")), plain.yearsValued) << which;
        EXPECT_FALSE(text.contains(QStringLiteral("NaN")) || text.contains(QStringLiteral("Inf")))
            << which;
        EXPECT_EQ(text.endsWith(QStringLiteral("Beräkningen avbröts: ") + plain.stop.message() +
                                QStringLiteral("\r\n")),
                  !plain.complete())
            << which;
        stopped += plain.complete() ? 0 : 1;
    }
    EXPECT_GT(stopped, 100) << "the trees include many that cannot be valued";
    EXPECT_LT(stopped, trees.size() - 100) << "and many that can";
}

std::uint64_t bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

// The valuation's two code paths give every figure, the report, the stop and the carry-over to
// the last bit alike, for ordinary and absurd trees (see enginepath.h).
TEST(TreeValuation, GivesTheSameBitsOnBothCodePaths) {
    if (!canRun(EnginePath::Avx2))
        GTEST_SKIP() << "no AVX2 path here (built without one, or no AVX2 in this processor)";
    ValuedHome valued({});
    for (const TreeInputs &tree : manyTrees(valued.inputs)) {
        Report baselineReport(u','), avx2Report(u',');
        const TreeValuation baseline =
            valueTreeOn(EnginePath::Baseline, tree, valued.prices, &baselineReport);
        const TreeValuation avx2 = valueTreeOn(EnginePath::Avx2, tree, valued.prices, &avx2Report);
        ASSERT_EQ(baseline.yearsValued, avx2.yearsValued);
        ASSERT_EQ(baseline.stop.message(), avx2.stop.message());
        ASSERT_EQ(baselineReport.bytes(), avx2Report.bytes());
        for (int r = 0; r < harvestYearCount; ++r)
            for (int c = 0; c < resultColumnCount; ++c)
                ASSERT_EQ(bits(baseline.rows[r].values[c]), bits(avx2.rows[r].values[c]))
                    << "row " << r << " column " << c;
        ASSERT_EQ(bits(baseline.carryOver.diameter), bits(avx2.carryOver.diameter));
        ASSERT_EQ(bits(baseline.carryOver.crownShare), bits(avx2.carryOver.crownShare));
    }
}

// The engine suite runs once on the path valueTree chooses and once with
// KVISTEL_ENGINE_PATH=baseline: each run must really take its path.
TEST(TreeValuation, TakesTheCodePathTheTestsAskFor) {
    const QByteArray asked = qgetenv("KVISTEL_ENGINE_PATH");
    const EnginePath expected = asked == "baseline"        ? EnginePath::Baseline
                                : canRun(EnginePath::Avx2) ? EnginePath::Avx2
                                                           : EnginePath::Baseline;
    EXPECT_EQ(enginePath(), expected);
    EXPECT_TRUE(canRun(EnginePath::Baseline));
}

QByteArray golden(const QString &name) {
    QFile f(QStringLiteral(KVISTEL_ENGINE_GOLDEN_DIR) + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The valuation called directly, with no engine and no file, gives the report and the grid text
// of an independent calculation.
TEST(TreeValuation, CalledDirectlyGivesTheGoldenReportAndGrid) {
    ValuedHome valued({});
    Report report(u'.');
    const TreeValuation result = valueTree(valued.inputs, valued.prices, &report);
    ASSERT_TRUE(result.complete());
    EXPECT_EQ(report.bytes(), golden("pine_south_report.txt"));
    const QStringList rows = splitLines(decodeCp1252(golden("pine_south_grid.txt")));
    ASSERT_EQ(rows.size(), harvestYearCount);
    for (int r = 0; r < harvestYearCount; ++r) {
        QStringList cells;
        for (int c = 0; c < resultColumnCount; ++c)
            cells << resultText(result.rows[r], c, u'.');
        EXPECT_EQ(cells.join(u'|'), rows[r]) << "row " << r + 1;
    }
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
        v.stop = Outcome::failure(QStringLiteral("stopp"));
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
