// A stand cut in a few entries: the entry years are the best of every allowed set, as a plain
// enumeration over the trees themselves finds them; without limits it is the tree-by-tree plan.
#include "core/files/cp1252.h"
#include "core/files/textfile.h"
#include "core/treelist/harvestentries.h"
#include "core/treelist/harvestplan.h"
#include "core/treelist/standsheet.h"
#include "core/treelist/treelist.h"
#include "enginetestsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>
#include <random>
#include <tuple>

namespace {

struct Tree {
    TreeYears years;
    TreeMark mark = TreeMark::None;
};

// Random trees: most rise to a peak and fall, as valued trees do, some are anything at all, and
// some share values between years so that ties occur.
QList<Tree> randomStand(std::mt19937 &random, int count) {
    std::uniform_real_distribution<double> kr(-200, 1500), m3(0.05, 2.0), unit(0, 1);
    QList<Tree> trees;
    for (int t = 0; t < count; ++t) {
        Tree tree;
        const double peak = kr(random), shape = unit(random);
        const int peakRow = int(random() % harvestYearCount);
        for (std::size_t r = 0; r < harvestYearCount; ++r) {
            const double v = shape < 0.6   ? peak - 40.0 * std::abs(int(r) - peakRow) * unit(random)
                             : shape < 0.8 ? kr(random)
                                           : std::round(peak / 100) * 100; // equal everywhere
            tree.years.presentValue[r] = v;
            tree.years.netValue[r] = v * (1 + 0.3 * double(r));
            tree.years.volume[r] = m3(random);
        }
        const double m = unit(random);
        tree.mark = m < 0.1 ? TreeMark::Leave : m < 0.18 ? TreeMark::Cut : TreeMark::None;
        trees << tree;
    }
    return trees;
}

// The plan of one set of years worked out tree by tree: none when the set is not allowed.
std::optional<double> valueOfSet(const QList<Tree> &trees, unsigned set, const EntrySettings &s) {
    std::array<double, harvestYearCount> volume{};
    std::array<int, harvestYearCount> count{};
    double value = 0;
    bool forced = false;
    for (const Tree &t : trees) {
        if (t.mark == TreeMark::Leave)
            continue;
        int row = -1;
        if (t.mark == TreeMark::Cut) {
            row = 0;
            forced = true;
        } else {
            for (int r = 0; r < harvestYearCount; ++r)
                if ((set >> r & 1u) && (row < 0 || t.years.presentValue[std::size_t(r)] >
                                                       t.years.presentValue[std::size_t(row)]))
                    row = r;
        }
        if (!(set >> row & 1u))
            return std::nullopt;
        value += t.years.presentValue[std::size_t(row)];
        volume[std::size_t(row)] += t.years.volume[std::size_t(row)];
        ++count[std::size_t(row)];
    }
    for (int r = 0; r < harvestYearCount; ++r) {
        if (!(set >> r & 1u))
            continue;
        if (!(r == 0 && forced) &&
            (count[std::size_t(r)] == 0 || volume[std::size_t(r)] < s.minVolume - 1e-9))
            return std::nullopt;
        value -= s.costPerEntry / std::pow(1 + s.rate, 10 * r);
    }
    return value;
}

EntryPlan planOf(const QList<Tree> &trees, const EntrySettings &s) {
    EntryPlanner planner;
    for (const Tree &t : trees)
        planner.add(t.years, t.mark);
    return planner.plan(s);
}

} // namespace

// Every set of at most N of the twelve years, or every subset of the owner's years, enumerated
// here over the trees themselves, with costs and smallest volumes.
TEST(HarvestEntries, PlanIsTheBestOfEveryAllowedSetOfYears) {
    std::mt19937 random(2026);
    int impossible = 0, reduced = 0;
    for (int stand = 0; stand < 150; ++stand) {
        const QList<Tree> trees = randomStand(random, 1 + int(random() % 14));
        EntrySettings s;
        s.rate = 0.01 * double(random() % 5);
        s.costPerEntry = std::array{0.0, 300.0, 2000.0, 8000.0}[random() % 4];
        s.minVolume = std::array{0.0, 1.0, 3.0, 8.0}[random() % 4];
        const bool named = random() % 4 == 0;
        unsigned candidates = (1u << harvestYearCount) - 1;
        int most = harvestYearCount;
        if (named) {
            candidates = 0;
            for (int k = 0; k < 3; ++k) {
                const int row = int(random() % harvestYearCount);
                if (!(candidates >> row & 1u))
                    s.years << 10 * row;
                candidates |= 1u << row;
            }
            for (const Tree &t : trees)
                if (t.mark == TreeMark::Cut)
                    candidates |= 1u;
        } else {
            s.maxEntries = int(random() % 5); // 0: as many as pay
            if (s.maxEntries > 0)
                most = s.maxEntries;
        }
        std::optional<double> best;
        for (unsigned set = 1; set < (1u << harvestYearCount); ++set) {
            if ((set & ~candidates) || std::popcount(set) > most)
                continue;
            const std::optional<double> v = valueOfSet(trees, set, s);
            if (v && (!best || *v > *best))
                best = v;
        }
        const EntryPlan plan = planOf(trees, s);
        SCOPED_TRACE(stand);
        const bool anyToCut = std::any_of(trees.begin(), trees.end(),
                                          [](const Tree &t) { return t.mark != TreeMark::Leave; });
        if (!anyToCut) {
            EXPECT_TRUE(plan.entries.isEmpty());
            continue;
        }
        ASSERT_EQ(plan.possible, best.has_value());
        if (!best) {
            ++impossible;
            continue;
        }
        const std::optional<double> chosen = valueOfSet(trees, plan.yearMask, s);
        ASSERT_TRUE(chosen.has_value()) << plan.yearMask;
        EXPECT_NEAR(plan.presentValue, *chosen, 1e-6);
        EXPECT_LE(std::popcount(plan.yearMask), most);
        EXPECT_EQ(plan.yearMask & ~candidates, 0u);
        if (named && valueOfSet(trees, candidates, s)) {
            // The owner's years are kept whenever they are allowed.
            EXPECT_EQ(plan.yearMask, candidates);
            EXPECT_TRUE(plan.namedYearsKept);
        } else {
            EXPECT_NEAR(plan.presentValue, *best, 1e-6);
            reduced += named ? 1 : 0;
        }
        // The table's figures are the trees' own, entry by entry.
        int cut = 0;
        double volume = 0;
        for (const Tree &t : trees) {
            const int years = plan.entryYearsOf(t.years, t.mark);
            if (years < 0)
                continue;
            ++cut;
            volume += t.years.volume[std::size_t(years / 10)];
        }
        EXPECT_EQ(plan.cutTrees, cut);
        EXPECT_NEAR(plan.total().volume, volume, 1e-6);
    }
    // The random stands reach the cases that matter.
    EXPECT_GT(impossible, 0);
    EXPECT_GT(reduced, 0);
}

// Without a limit, an entry cost or a smallest volume, the plan is the tree-by-tree plan to the
// last öre, for trees as the valuation values them; marked trees go their own way.
TEST(HarvestEntries, UnlimitedPlanIsTheTreeByTreePlanAndMarksAreKept) {
    TempHome home;
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    Expected<TreeListHome> standRead = loadTreeListHome(home.directory());
    ASSERT_TRUE(standRead) << standRead.message().toStdString();
    const TreeListHome stand = std::move(standRead).value();
    HarvestPlan today;
    EntryPlanner planner;
    QList<TreeYears> valued;
    for (const char *diameter : {"8", "14", "20", "24", "31", "38", "45", "52", "60", "70"}) {
        for (const char *siteIndex : {"18", "24", "30"}) {
            TreeRow t;
            t.id = QString::fromLatin1(diameter);
            t.values[BreastDiameter] = t.id;
            t.values[Site] = QString::fromLatin1(siteIndex);
            t.given[BreastDiameter] = t.given[Site] = true;
            const TreeSummary s = valueTreeRow(stand.base, t, stand.prices);
            ASSERT_TRUE(s.valued());
            ASSERT_EQ(s.years.bestRow(), s.decision.bestRow);
            today.add(t.id, s);
            planner.add(s.years);
            valued << s.years;
        }
    }
    const EntryPlan plan = planner.plan(EntrySettings{});
    const QList<PlanYear> years = today.yearsWithTrees();
    ASSERT_GE(years.size(), 3);
    ASSERT_EQ(plan.entries.size(), years.size());
    for (qsizetype i = 0; i < years.size(); ++i) {
        EXPECT_EQ(plan.entries[i].years, years[i].years);
        EXPECT_EQ(plan.entries[i].trees, years[i].trees);
        EXPECT_EQ(plan.entries[i].volume, years[i].volume);
        EXPECT_EQ(plan.entries[i].netValue, years[i].netValue);
        EXPECT_EQ(plan.entries[i].presentValue, years[i].presentValue);
    }
    EXPECT_EQ(plan.presentValue, today.total().presentValue);
    EXPECT_EQ(plan.treeByTreeValue, today.total().presentValue);
    EXPECT_EQ(plan.allNowValue, today.allNowValue());

    // The same trees, one left for nature and one cut now whatever it is worth later: one entry
    // at a time, the marked trees go their own way, year 0 is an entry.
    EntryPlanner marked;
    int later = -1;
    for (qsizetype i = 1; i < valued.size(); ++i)
        if (later < 0 && valued[i].bestRow() > 0)
            later = int(i);
    ASSERT_GE(later, 0);
    for (qsizetype i = 0; i < valued.size(); ++i)
        marked.add(valued[i], i == 0       ? TreeMark::Leave
                              : i == later ? TreeMark::Cut
                                           : TreeMark::None);
    for (const int most : {1, 2, 4}) {
        EntrySettings s;
        s.maxEntries = most;
        s.costPerEntry = 500;
        s.rate = 0.03;
        const EntryPlan p = marked.plan(s);
        EXPECT_EQ(p.yearMask & 1u, 1u) << most;
        EXPECT_EQ(p.leftTrees, 1);
        EXPECT_EQ(p.entries[0].markedTrees, 1);
        EXPECT_EQ(p.cutTrees, valued.size() - 1);
        EXPECT_EQ(p.entryYearsOf(valued[0], TreeMark::Leave), -1);
        EXPECT_EQ(p.entryYearsOf(valued[later], TreeMark::Cut), 0);
    }
}

// The owner's marks hold in the tree-by-tree plan as in the plan in entries: a tree left is in no
// harvest, a tree marked to cut is cut now; both plans, the marking list's tables and the plan's
// file count the marked trees apart with their figures now, and give each tree the same year.
TEST(HarvestEntries, MarkedTreesAreKeptAndCountedApartInEveryPlan) {
    TempHome home;
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    Expected<TreeListHome> standRead = loadTreeListHome(home.directory());
    ASSERT_TRUE(standRead) << standRead.message().toStdString();
    const TreeListHome stand = std::move(standRead).value();
    QList<TreeRow> rows;
    QList<TreeSummary> summaries;
    for (const char *diameter : {"8", "14", "20", "24", "31", "38", "45", "52", "60", "70"})
        for (const char *siteIndex : {"18", "30"}) {
            TreeRow t;
            t.id = QString::number(rows.size() + 1);
            t.values[BreastDiameter] = QString::fromLatin1(diameter);
            t.values[Site] = QString::fromLatin1(siteIndex);
            t.given[BreastDiameter] = t.given[Site] = true;
            rows << t;
            summaries << valueTreeRow(stand.base, t, stand.prices);
            ASSERT_TRUE(summaries.last().valued());
        }
    // Which trees are marked: every n-th left, every m-th cut (0 for none).
    const QList<std::pair<int, int>> cases{{0, 0}, {3, 0}, {0, 4}, {5, 3}, {2, 7}};
    for (const auto &[leaveEvery, cutEvery] : cases) {
        const QString name =
            QStringLiteral("lämnas var %1:e, avverkas var %2:e").arg(leaveEvery).arg(cutEvery);
        HarvestPlan byTree;
        EntryPlanner planner;
        StandSheet sheet;
        PlanYear left, cut;
        for (qsizetype i = 0; i < rows.size(); ++i) {
            TreeRow t = rows[i];
            const int n = int(i) + 1;
            t.mark = leaveEvery > 0 && n % leaveEvery == 0 ? TreeMark::Leave
                     : cutEvery > 0 && n % cutEvery == 0   ? TreeMark::Cut
                                                           : TreeMark::None;
            const TreeSummary &s = summaries[i];
            PlanYear &apart = t.mark == TreeMark::Leave ? left : cut;
            if (t.mark != TreeMark::None) {
                ++apart.trees;
                apart.volume += s.volumeNow;
                apart.netValue += s.decision.valueNow;
            }
            byTree.add(t.id, s, t.mark);
            planner.add(s.years, t.mark);
            sheet.trees << t;
            sheet.summaries << s;
            sheet.remarks << QString();
        }
        const EntryPlan entries = planner.plan(EntrySettings{});
        const HarvestEntry total = entries.total();
        EXPECT_EQ(byTree.total().trees, total.trees) << name.toStdString();
        EXPECT_EQ(byTree.total().trees, rows.size() - left.trees) << name.toStdString();
        EXPECT_NEAR(byTree.total().presentValue, total.presentValue, 1e-6) << name.toStdString();
        EXPECT_NEAR(byTree.total().volume, total.volume, 1e-9) << name.toStdString();
        EXPECT_NEAR(byTree.allNowValue(), entries.allNowValue, 1e-6) << name.toStdString();
        for (const auto &[mine, theirs, expected] :
             {std::tuple{byTree.markedLeft(), entries.markedLeft, left},
              std::tuple{byTree.markedCut(), entries.markedCut, cut}}) {
            EXPECT_EQ(mine.trees, expected.trees) << name.toStdString();
            EXPECT_EQ(theirs.trees, expected.trees) << name.toStdString();
            EXPECT_NEAR(mine.volume, expected.volume, 1e-9) << name.toStdString();
            EXPECT_NEAR(theirs.netValue, expected.netValue, 1e-6) << name.toStdString();
        }
        // The tables count them apart below the total, in both plans alike.
        for (const QList<QStringList> &lines :
             {planLines(byTree, u'.'), entryLines(entries, u'.')}) {
            const qsizetype at =
                std::find_if(lines.begin(), lines.end(),
                             [](const QStringList &l) { return l.first() == "totalt"; }) -
                lines.begin();
            QStringList apartLines;
            for (const QStringList &l : lines.mid(at + 1))
                if (l.size() > 1)
                    apartLines << l.first() + u';' + l[1];
            QStringList expected;
            if (cut.trees > 0)
                expected << QStringLiteral("varav märkta;%1").arg(cut.trees);
            if (left.trees > 0)
                expected << QStringLiteral("märkta lämnas;%1").arg(left.trees);
            EXPECT_EQ(apartLines, expected) << name.toStdString();
        }
        // Each tree's year: the same in the tree-by-tree sheet and with unlimited entries.
        StandSheet inEntries = sheet;
        inEntries.entries = entries;
        EXPECT_EQ(sheet.plannedYearTexts(), inEntries.plannedYearTexts()) << name.toStdString();
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const TreeMark mark = sheet.trees[i].mark;
            const int years = sheet.plannedYears(i);
            EXPECT_EQ(years, mark == TreeMark::Leave ? -1
                             : mark == TreeMark::Cut ? 0
                                                     : summaries[i].decision.bestYears())
                << name.toStdString() << " tree " << i + 1;
        }
        // The marking list's tables: every marked tree says so, where the plan puts it.
        const QList<QStringList> cutNow = sheet.cutNowTable();
        const QList<QStringList> stays = sheet.leftStandingTable();
        EXPECT_EQ(cutNow.size() - 1 + stays.size() - 1, rows.size()) << name.toStdString();
        EXPECT_EQ(cutNow.size() - 1, byTree.year(0).trees) << name.toStdString();
        auto count = [](const QList<QStringList> &table, const QString &text) {
            return std::count_if(table.begin(), table.end(),
                                 [&](const QStringList &r) { return r[3] == text; });
        };
        EXPECT_EQ(count(cutNow, "Avverkas (märkt)"), cut.trees) << name.toStdString();
        EXPECT_EQ(count(stays, "Lämnas (märkt)"), left.trees) << name.toStdString();
        EXPECT_EQ(planStatement(byTree, u'.').contains(QStringLiteral("Enligt ägarens markering")),
                  left.trees + cut.trees > 0)
            << name.toStdString();
    }
}

// The sentence gives the figures of the table: the plan after its costs, the tree-by-tree plan
// and the difference, in the program's Swedish forms for one entry and for several.
TEST(HarvestEntries, StatementGivesTheTablesFigures) {
    const QString nbsp(QChar(0x00A0));
    struct Case {
        QList<std::array<double, 2>> trees; // present value now and in 30 years (else -1000)
        EntrySettings settings;
        QString expected;
    };
    const QList<Case> cases{
        {{{1000, 200}, {100, 9000}},
         {2, {}, 100, 0, 0},
         "Två avverkningar, nu och om 30 år, ger nuvärdet 9" + nbsp +
             "800 kr efter kostnaderna; trädvis avverkning hade gett 10" + nbsp +
             "000 kr utan dem; att samla avverkningarna kostar 200 kr (2 %). Att avverka allt "
             "nu hade gett 1" +
             nbsp + "100 kr."},
        {{{1000, 200}, {100, 9000}},
         {1, {}, 500, 0, 0},
         "En avverkning, om 30 år, ger nuvärdet 8" + nbsp +
             "700 kr efter kostnaden; trädvis avverkning hade gett 10" + nbsp +
             "000 kr utan den; att samla avverkningarna kostar 1" + nbsp +
             "300 kr (13 %). Att avverka allt nu hade gett 1" + nbsp + "100 kr."},
        {{{1000, 200}, {100, 9000}},
         {0, {}, 0, 50, 0},
         "Inget avverkningstillfälle når minsta volymen, så ingen avverkning planeras; trädvis "
         "avverkning hade gett 10" +
             nbsp + "000 kr."},
    };
    for (const Case &c : cases) {
        QList<Tree> trees;
        for (const auto &v : c.trees) {
            Tree t;
            t.years.presentValue.fill(-1000);
            t.years.presentValue[0] = v[0];
            t.years.presentValue[3] = v[1];
            t.years.volume.fill(1);
            trees << t;
        }
        const EntryPlan plan = planOf(trees, c.settings);
        EXPECT_EQ(entryStatement(plan), c.expected);
        if (!plan.possible)
            continue;
        // The table's "totalt" line holds the plan's value after its costs.
        const QList<QStringList> lines = entryLines(plan, u',');
        EXPECT_EQ(lines.last().last(), QString::number(std::lround(plan.presentValue)));
        EXPECT_EQ(lines.size(), plan.entries.size() + 2);
    }
}

// The marking list's section of each entry holds exactly the entry's trees: as many, the same
// volume, in the list's order, the owner's mark beside each.
TEST(HarvestEntries, StandSheetListsEachEntrysTrees) {
    TempHome home;
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    Expected<TreeListHome> standRead = loadTreeListHome(home.directory());
    ASSERT_TRUE(standRead) << standRead.message().toStdString();
    const TreeListHome stand = std::move(standRead).value();
    StandSheet sheet;
    sheet.decimalMark = u'.';
    EntryPlanner planner;
    int n = 0;
    for (const char *diameter : {"8", "14", "20", "24", "31", "38", "45", "52", "60", "70"}) {
        TreeRow t;
        t.id = QString::number(++n);
        t.values[BreastDiameter] = QString::fromLatin1(diameter);
        t.given[BreastDiameter] = true;
        t.mark = n == 2 ? TreeMark::Leave : n == 9 ? TreeMark::Cut : TreeMark::None;
        const TreeSummary s = valueTreeRow(stand.base, t, stand.prices);
        ASSERT_TRUE(s.valued());
        sheet.trees << t;
        sheet.summaries << s;
        sheet.remarks << QString();
        planner.add(s.years, t.mark);
    }
    sheet.entrySettings.maxEntries = 3;
    sheet.entrySettings.costPerEntry = 200;
    sheet.entrySettings.rate = stand.base.requiredRate;
    sheet.entries = planner.plan(sheet.entrySettings);
    ASSERT_GE(sheet.entries->entries.size(), 2);
    EXPECT_EQ(sheet.planTable(), entryLines(*sheet.entries, u'.'));
    EXPECT_EQ(sheet.statement(), entryStatement(*sheet.entries));
    int listed = 0;
    for (const HarvestEntry &e : sheet.entries->entries) {
        const QList<QStringList> rows = sheet.entryTreesTable(e.years);
        ASSERT_EQ(rows.size() - 1, e.trees) << e.years;
        double volume = 0;
        int previous = 0;
        for (const QStringList &r : rows.mid(1)) {
            volume += r[3].toDouble();
            EXPECT_GT(r[0].toInt(), previous); // the list's order
            previous = r[0].toInt();
            EXPECT_EQ(r[5], r[0] == "9" ? "avverkas" : "");
            EXPECT_NE(r[0], "2");
        }
        EXPECT_NEAR(volume, e.volume, 0.01 * e.trees);
        listed += e.trees;
    }
    EXPECT_EQ(listed, n - 1);
}
