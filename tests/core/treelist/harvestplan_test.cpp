// A stand's harvest plan sums what each tree brings in its own best year: the same figures the
// list gives tree by tree, never a tree more or less.
#include "core/files/textfile.h"
#include "core/results/whatif.h"
#include "core/treelist/harvestplan.h"
#include "core/treelist/standwhatif.h"
#include "core/treelist/treelistcsv.h"
#include "enginetestsupport.h"

#include <gtest/gtest.h>

namespace {

TreeSummary tree(int bestRow, double net, double volume, double presentValue, double netNow) {
    TreeSummary t;
    t.decision.bestRow = bestRow;
    t.decision.bestValue = presentValue;
    t.decision.valueNow = netNow;
    t.netBest = net;
    t.volumeBest = volume;
    return t;
}

TEST(HarvestPlan, StatementSaysWhatTheHarvestBringsAndNamesTheTreesLeftOut) {
    HarvestPlan plan;
    plan.add("1", tree(0, 4000.4, 8.04, 4000.4, 4000.4));
    plan.add("2", tree(0, 3668, 7.9, 3668, 3668));
    plan.add("3", tree(1, 900, 1.2, 700, 500));
    plan.add("4", tree(6, 2000, 2.5, 400, 300));
    TreeSummary broken;
    broken.fault = Outcome::failure(QStringLiteral("Trädet kunde inte värderas."));
    plan.add("B7", broken);
    const QString nbsp(QChar(0x00A0));
    EXPECT_EQ(planStatement(plan, u','),
              QStringLiteral("Avverka 2 av 4 träd nu: 7_668 kr netto, 15,9 m3. Resten ger 2 "
                             "trädvis avverkningar om 10–60 år, med nuvärdet 1_100 kr. Hela "
                             "beståndet: nuvärde 8_768 kr mot 8_468 kr om allt avverkas nu "
                             "(+4 %). 1 träd kunde inte värderas och ingår inte i summorna: B7.")
                  .replace(u'_', nbsp));

    HarvestPlan waiting;
    waiting.add("1", tree(3, 100, 1, 60, -20));
    EXPECT_EQ(waiting.total().trees, 1);
    EXPECT_EQ(planStatement(waiting, u','),
              QStringLiteral("Trädet bör inte avverkas nu. Det ger en avverkning om 30 år, med "
                             "nuvärdet 60 kr. Hela beståndet: nuvärde 60 kr mot -20 kr om allt "
                             "avverkas nu."));
    // One tree now and one later: the later one in the singular too.
    HarvestPlan pair;
    pair.add("1", tree(0, 100, 1, 100, 100));
    pair.add("2", tree(2, 300, 2, 150, 50));
    EXPECT_TRUE(planStatement(pair, u',')
                    .startsWith(QStringLiteral(
                        "Avverka 1 av 2 träd nu: 100 kr netto, 1,0 m3. Det sista trädet ger en "
                        "avverkning om 20 år, med nuvärdet 150 kr.")))
        << planStatement(pair, u',');
    EXPECT_EQ(groupedKronor(-1234567.4), QStringLiteral("-1") + nbsp + "234" + nbsp + "567");
    EXPECT_EQ(groupedKronor(999.6), QStringLiteral("1") + nbsp + "000");
}

// The stand's what-if is the single tree's what-if table summed over the stand: the same
// changes, the same best values, and a tree counted where its decision turns.
TEST(HarvestPlan, StandWhatIfSumsEachTreesWhatIf) {
    TempHome home;
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    Expected<TreeListHome> standRead = loadTreeListHome(home.directory());
    ASSERT_TRUE(standRead) << standRead.message().toStdString();
    const TreeListHome stand = std::move(standRead).value();
    QList<TreeRow> trees;
    QList<TreeSummary> asGiven;
    for (const char *diameter : {"8", "24", "31", "38", "45", "52", "60"}) {
        TreeRow t;
        t.id = QString::fromLatin1(diameter);
        t.values[BreastDiameter] = t.id;
        t.given[BreastDiameter] = true;
        trees << t;
        asGiven << valueTreeRow(stand.base, t, stand.prices);
    }
    TreeRow broken = trees[0];
    broken.values[BreastDiameter] = QStringLiteral("tjock");
    trees << broken;
    asGiven << valueTreeRow(stand.base, broken, stand.prices);

    const QList<StandWhatIf> all = StandWhatIfs(stand, u',').valueAll(trees, asGiven);
    ASSERT_EQ(all.size(), standWhatIfCount);
    std::array<double, standWhatIfCount> presentValue{};
    std::array<int, standWhatIfCount> switched{};
    for (qsizetype t = 0; t + 1 < trees.size(); ++t) {
        TreeInputs inputs = stand.base;
        ASSERT_TRUE(overlayTree(inputs, trees[t]));
        QList<WhatIf> single = whatIfs(inputs, stand.prices, u',');
        single.removeAt(1); // the tree as given
        for (std::size_t i = 0; i < standWhatIfCount; ++i) {
            EXPECT_EQ(all[qsizetype(i)].change, single[qsizetype(i)].change);
            presentValue[i] += single[qsizetype(i)].bestValue;
            switched[i] += (single[qsizetype(i)].bestYears == 0) != asGiven[t].decision.cutNow();
        }
    }
    int turned = 0;
    for (std::size_t i = 0; i < standWhatIfCount; ++i) {
        EXPECT_NEAR(all[qsizetype(i)].presentValue, presentValue[i], 1e-6) << i;
        EXPECT_EQ(all[qsizetype(i)].switched, switched[i]) << i;
        EXPECT_EQ(all[qsizetype(i)].valued, trees.size() - 1) << i;
        turned += switched[i];
    }
    EXPECT_GT(turned, 0); // the stand is chosen so that some decision turns
}

} // namespace

// The owner's marks hold under every change of the what-if as in the plan: a tree left adds
// nothing, a tree marked to cut is worth what it gives now, and neither changes its decision.
TEST(HarvestPlan, StandWhatIfKeepsTheOwnersMarks) {
    TempHome home;
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    Expected<TreeListHome> standRead = loadTreeListHome(home.directory());
    ASSERT_TRUE(standRead) << standRead.message().toStdString();
    const TreeListHome stand = std::move(standRead).value();
    const StandWhatIfs changes(stand, u',');
    int switchedUnmarked = 0;
    for (const char *diameter : {"8", "24", "31", "38", "45", "52", "60"}) {
        TreeRow t;
        t.id = QString::fromLatin1(diameter);
        t.values[BreastDiameter] = t.id;
        t.given[BreastDiameter] = true;
        const TreeSummary given = valueTreeRow(stand.base, t, stand.prices);
        const StandWhatIfs::Tally plain = changes.tally(t, given);
        for (const TreeMark mark : {TreeMark::Leave, TreeMark::Cut}) {
            t.mark = mark;
            const StandWhatIfs::Tally marked = changes.tally(t, given);
            for (std::size_t i = 0; i < standWhatIfCount; ++i) {
                EXPECT_EQ(marked.valued[i], plain.valued[i]) << diameter;
                EXPECT_EQ(marked.switched[i], 0) << diameter;
                if (mark == TreeMark::Leave)
                    EXPECT_EQ(marked.presentValue[i], 0) << diameter;
                else // cut now is never worth more than the best year
                    EXPECT_LE(marked.presentValue[i], plain.presentValue[i] + 1e-9) << diameter;
            }
        }
        for (std::size_t i = 0; i < standWhatIfCount; ++i)
            switchedUnmarked += plain.switched[i];
    }
    EXPECT_GT(switchedUnmarked, 0); // unmarked, some decisions do turn
}
