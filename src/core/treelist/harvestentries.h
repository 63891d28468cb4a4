#pragma once

#include "core/engine/treevaluation.h"
#include "core/files/outcome.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>
#include <vector>

// A stand's harvest in a few entries ("avverkningstillfällen") a contractor can carry out: the
// machines come in a few chosen years, each visit costs its moving-in, and every tree that may be
// cut goes to the entry where its present value is highest.
//
// The entry years are the exact optimum: every allowed set of years is weighed, the stand's
// present value after the entries' costs decides. A set of years is allowed when every entry in
// it gets at least one tree and at least the smallest volume; a set with an entry below it is
// not a plan a contractor would carry out, and its smaller sets, in which those trees go to their
// next best entry, are weighed on their own. Every plan of the dropped-entry kind is thus one of
// the allowed sets, and the optimum is the best of a fixed collection, whatever order entries
// would be dropped in. Year 0, forced by trees the owner marked "avverkas", is an entry whatever
// its volume. On equal values the plan with fewer entries, then with earlier ones, wins.
//
// A valued tree is always cut, in the best of the entries for it, as in the tree-by-tree plan:
// the valuation ends with year 110 and knows no value of a tree left for good. Only the owner's
// "lämnas" leaves a tree standing.

// The owner's mark of a tree in the list's column "åtgärd".
enum class TreeMark { None, Leave, Cut };
// The mark a cell holds ("lämnas", "Avverkas", ""); none for a text that is neither.
std::optional<TreeMark> treeMarkNamed(QStringView text);
QString treeMarkText(TreeMark mark);

// What the planner needs of one valued tree, for each harvest year 0, 10, ..., 110.
struct TreeYears {
    // Present value at the required rate, kr; year 0 holds today's net value.
    std::array<double, harvestYearCount> presentValue{};
    std::array<double, harvestYearCount> netValue{}; // kr at the harvest
    std::array<double, harvestYearCount> volume{};   // merchantable volume at the harvest, m3

    // The year (row) with the highest present value; the earlier one on equal values.
    int bestRow() const;
    // The same among the rows of `rowMask` (bit r for row r); -1 for no rows.
    int bestRowAmong(unsigned rowMask) const;
};

struct EntrySettings {
    // At most this many entries, 1 to 4; 0 for as many as pay.
    int maxEntries = 0;
    // The entry years the owner names (0, 10, ..., 110); when given, maxEntries is not used.
    QList<int> years;
    double costPerEntry = 0; // kr, paid in the entry's year
    double minVolume = 0;    // m3 an entry must reach
    double rate = 0;         // the required rate as a fraction, for the entry costs
};

// One entry of a plan.
struct HarvestEntry {
    int years = 0;           // 0, 10, ..., 110
    int trees = 0;           // trees cut then, the marked ones among them
    int markedTrees = 0;     // trees the owner marked "avverkas"
    double volume = 0;       // m3 at the harvest
    double netValue = 0;     // kr at the harvest, before the entry's cost
    double presentValue = 0; // the trees' present value, kr
    double cost = 0;         // the entry's cost, kr in its year
    double costPresent = 0;  // that cost today at the required rate, kr
};

struct EntryPlan {
    QList<HarvestEntry> entries; // earliest first
    unsigned yearMask = 0;       // bit r for an entry in year 10 * r
    // Whether some allowed set of entries exists; false when no entry reaches the smallest volume
    // (then nothing is cut and the figures below the tree-by-tree ones are 0).
    bool possible = true;
    bool namedYearsKept = true; // the owner's years could all be kept
    double presentValue = 0;    // the stand's present value after the entries' costs, kr
    double treeByTreeValue = 0; // each tree in its own best year, no entry costs, kr
    double allNowValue = 0;     // every tree that may be cut, cut now, kr
    int cutTrees = 0;           // trees the plan cuts
    int leftTrees = 0;          // trees marked "lämnas"
    int forcedTrees = 0;        // trees marked "avverkas"
    int treeByTreeHarvests = 0; // harvest years of the tree-by-tree plan
    // The marked trees counted apart, with their figures now: those marked "avverkas" (in the
    // entry of year 0 too) and those marked "lämnas" (in no entry).
    HarvestEntry markedCut;
    HarvestEntry markedLeft;

    // The entry year of a tree in this plan; -1 for a tree that stays.
    int entryYearsOf(const TreeYears &tree, TreeMark mark) const;
    HarvestEntry total() const;
};

// Gathers a stand's valued trees and makes its plan for any settings. Memory and the time of a
// plan do not grow with the number of trees: each tree is added to tables by harvest year and by
// the set of years it prefers to that year.
class EntryPlanner {
public:
    EntryPlanner();

    void add(const TreeYears &tree, TreeMark mark = TreeMark::None);
    // Adds the trees of another planner of the same stand (a part valued elsewhere).
    void add(const EntryPlanner &other);

    EntryPlan plan(const EntrySettings &settings) const;
    // Whether the owner marked any tree "lämnas" or "avverkas".
    bool hasMarks() const { return m_left > 0 || m_forced.trees > 0; }

private:
    static constexpr int masks = 1 << harvestYearCount;
    enum Quantity { Count, Volume, Net, Present, quantityCount };
    // m_table[row][A][q]: trees whose present value in `row` is beaten only by the rows of A.
    // The quantities of one cell lie together: a tree adds to 12 cells of a table far larger
    // than the cache, one memory line each.
    static std::size_t at(int q, int row, unsigned a) {
        return (std::size_t(row) * masks + a) * quantityCount + std::size_t(q);
    }
    double &cell(int q, int row, unsigned a) { return m_table[at(q, row, a)]; }
    std::vector<double> m_table;
    // Each tree in its own best year, summed in the order of the trees.
    std::array<HarvestEntry, harvestYearCount> m_best{};
    HarvestEntry m_forced;  // the trees marked "avverkas", at year 0
    HarvestEntry m_leftNow; // the trees marked "lämnas", as they are now
    double m_allNow = 0;
    int m_left = 0;
};

// The plan's entries as a table: the headings "år", "träd", "volym m3", "netto kr",
// "kostnad kr", "nuvärde kr" (after the entry's cost), a line per entry and a line "totalt",
// then the marked trees counted apart: those cut, part of the total, and those left, with what
// they hold now.
QList<QStringList> entryLines(const EntryPlan &plan, QChar decimalSeparator);
// What the grouping costs, in one plain sentence: the plan after its entry costs against the
// tree-by-tree plan without them and against cutting everything now.
QString entryStatement(const EntryPlan &plan);
// What a plan in entries rests on, said once beside it.
QString entryAssumption();
// The settings in the user's words ("Högst 2 avverkningstillfällen; kostnad per
// avverkningstillfälle 5 000 kr; minsta volym per tillfälle 0 m3.").
QString entrySettingsText(const EntrySettings &settings, QChar decimalSeparator);

// The settings as the owner types them, with a decimal comma or point; each fails with a Swedish
// message that says what to write.
inline constexpr int mostEntries = 4;
inline constexpr double mostEntryCost = 10'000'000;    // kr
inline constexpr double mostMinVolume = 1'000'000;     // m3
Expected<int> readEntryCount(QStringView text);        // 1 to 4
Expected<QList<int>> readEntryYears(QStringView text); // "0,30": 0, 10, ..., 110
Expected<double> readEntryCost(QStringView text);      // kr
Expected<double> readMinVolume(QStringView text);      // m3
