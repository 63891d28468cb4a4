// A stand's harvest plan sums what each tree brings in its own best year: the same figures the
// list gives tree by tree, never a tree more or less.
#include "batch/batch.h"
#include "core/files/textfile.h"
#include "core/results/whatif.h"
#include "core/treelist/harvestplan.h"
#include "core/treelist/standwhatif.h"
#include "core/treelist/treelistcsv.h"
#include "enginetestsupport.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <map>

namespace {

struct BatchRun {
    int status = 0;
    QStringList lines;
};

BatchRun batch(const TempHome &home, const QStringList &switches) {
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    BatchRun r;
    r.status = runBatch(
        QStringList{"kvistel", "--batch", home.path("lista.csv"), "--home", home.withSlash()} +
            switches,
        out, err);
    r.lines = splitLines(decodeCp1252(out.data()));
    while (!r.lines.isEmpty() && r.lines.last().isEmpty())
        r.lines.removeLast();
    return r;
}

double number(const QString &cell) {
    return QString(cell).replace(u',', u'.').toDouble();
}

// Trees whose best years differ (now, later, much later) and a birch, which has no height model.
TEST(HarvestPlan, SumsEachTreesFiguresInItsBestYearAsTheListGivesThem) {
    TempHome home;
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv",
               encodeCp1252(u"id;art;bdm;site\r\n1;t;8;24\r\n2;t;32;24\r\n3;g;40;26\r\n"
                            "4;t;45;24\r\nB;b;30;24\r\n6;g;22;28\r\n7;t;46;24\r\n"));
    const BatchRun plain = batch(home, {});
    const BatchRun full = batch(home, {"--full"});
    const BatchRun plan = batch(home, {"--plan"});
    EXPECT_EQ(plan.status, 1); // the birch
    ASSERT_EQ(plain.lines.size(), 8);

    // By hand: each tree's best year from the list, its figures that year from --full.
    const qsizetype bestColumn =
        splitCsvLine(plain.lines[0], u';').indexOf(QStringLiteral("bästa år"));
    std::map<int, std::array<double, 4>> expected; // year: trees, volume, net, present value
    std::array<double, 4> total{};
    for (const QString &line : plain.lines.mid(1)) {
        const QStringList cells = splitCsvLine(line, u';');
        if (cells[bestColumn].isEmpty())
            continue;
        for (const QString &row : full.lines) {
            const QStringList f = splitCsvLine(row, u';');
            if (f[0] != cells[0] || f[1] != cells[bestColumn])
                continue;
            const int year = f[1].toInt();
            const std::array<double, 4> tree{1, number(f[2 + MerchVolume]), number(f[2 + NetValue]),
                                             year == 0 ? number(f[2 + NetValue])
                                                       : number(f[2 + PresentValue])};
            for (std::size_t i = 0; i < 4; ++i) {
                expected[year][i] += tree[i];
                total[i] += tree[i];
            }
        }
    }
    EXPECT_GE(expected.size(), 3u);
    EXPECT_EQ(total[0], 6);

    // The years, "totalt", the comparison, the birch counted and named, then its own section.
    ASSERT_EQ(plan.lines.size(), qsizetype(expected.size()) + 8);
    EXPECT_EQ(plan.lines[0], QStringLiteral("år;träd;volym m3;netto kr;nuvärde kr"));
    auto expectRow = [](const QString &line, const QString &first,
                        const std::array<double, 4> &sums) {
        const QStringList cells = splitCsvLine(line, u';');
        ASSERT_EQ(cells.size(), 5) << line;
        EXPECT_EQ(cells[0], first);
        EXPECT_EQ(cells[1].toInt(), int(sums[0])) << line;
        // The list rounds each tree's figures; the plan sums the exact ones.
        EXPECT_NEAR(number(cells[2]), sums[1], 0.005 * sums[0] + 0.005) << line;
        EXPECT_NEAR(number(cells[3]), sums[2], 0.5 * sums[0] + 0.5) << line;
        EXPECT_NEAR(number(cells[4]), sums[3], 0.5 * sums[0] + 0.5) << line;
    };
    qsizetype at = 1;
    for (const auto &[year, sums] : expected)
        expectRow(plan.lines[at++], QString::number(year), sums);
    expectRow(plan.lines[at++], QStringLiteral("totalt"), total);
    EXPECT_TRUE(plan.lines[at].startsWith(QStringLiteral("Hela beståndet: nuvärde ")))
        << plan.lines[at];
    EXPECT_EQ(
        plan.lines.mid(at + 1, 4),
        (QStringList{QStringLiteral("1 träd kunde inte värderas och ingår inte i summorna: B."), "",
                     QStringLiteral("Träd som inte kunde värderas (1)"), "id;fel"}));
    EXPECT_TRUE(plan.lines.last().startsWith("B;")) << plan.lines.last();
}

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
    for (const char *bdm : {"8", "24", "31", "38", "45", "52", "60"}) {
        TreeRow t;
        t.id = QString::fromLatin1(bdm);
        t.values[Bdm] = t.id;
        t.given[Bdm] = true;
        trees << t;
        asGiven << valueTreeRow(stand.base, t, stand.prices);
    }
    TreeRow broken = trees[0];
    broken.values[Bdm] = QStringLiteral("tjock");
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
    for (const char *bdm : {"8", "24", "31", "38", "45", "52", "60"}) {
        TreeRow t;
        t.id = QString::fromLatin1(bdm);
        t.values[Bdm] = t.id;
        t.given[Bdm] = true;
        const TreeSummary given = valueTreeRow(stand.base, t, stand.prices);
        const StandWhatIfs::Tally plain = changes.tally(t, given);
        for (const TreeMark mark : {TreeMark::Leave, TreeMark::Cut}) {
            t.mark = mark;
            const StandWhatIfs::Tally marked = changes.tally(t, given);
            for (std::size_t i = 0; i < standWhatIfCount; ++i) {
                EXPECT_EQ(marked.valued[i], plain.valued[i]) << bdm;
                EXPECT_EQ(marked.switched[i], 0) << bdm;
                if (mark == TreeMark::Leave)
                    EXPECT_EQ(marked.presentValue[i], 0) << bdm;
                else // cut now is never worth more than the best year
                    EXPECT_LE(marked.presentValue[i], plain.presentValue[i] + 1e-9) << bdm;
            }
        }
        for (std::size_t i = 0; i < standWhatIfCount; ++i)
            switchedUnmarked += plain.switched[i];
    }
    EXPECT_GT(switchedUnmarked, 0); // unmarked, some decisions do turn
}
