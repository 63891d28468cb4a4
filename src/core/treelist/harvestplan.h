#pragma once

#include "core/engine/treevaluation.h"
#include "core/treelist/treelist.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// A stand's harvest plan: every tree that could be valued is cut in its own best year, as the
// list's "bästa år" states. The plan sums the trees of each harvest year and compares the whole
// stand's present value with cutting every valued tree now. Each tree is valued on its own, as
// if its neighbours did not change its growth.

// The trees cut in one harvest year.
struct PlanYear {
    int years = 0;           // 0, 10, ..., 110
    int trees = 0;           // trees cut that year
    double volume = 0;       // their merchantable volume at that harvest, m3
    double netValue = 0;     // their net value at that harvest, kr
    double presentValue = 0; // that net value today at the required rate, kr
};

class HarvestPlan {
public:
    HarvestPlan();

    // Adds one tree of the list; a tree that could not be valued is counted and named. The
    // owner's mark overrides the tree's own best year: "lämnas" leaves it out of every harvest,
    // "avverkas" cuts it now; marked trees are also counted apart, with their figures now.
    void add(const QString &id, const TreeSummary &tree, TreeMark mark = TreeMark::None);
    // Adds the trees of another plan of the same stand (a part of the list valued elsewhere).
    void add(const HarvestPlan &other);

    // The years in which trees are cut, earliest first.
    QList<PlanYear> yearsWithTrees() const;
    const PlanYear &year(int row) const { return m_years[std::size_t(row)]; }
    // Every year together (`years` is 0).
    PlanYear total() const;
    int valuedTrees() const { return m_valued; }
    int unvaluedTrees() const { return m_unvaluedCount; }
    // The first trees that could not be valued, at most namedUnvalued of them: a plan of any
    // list holds the same memory. The whole list of them is the caller's to keep.
    const QStringList &unvaluedIds() const { return m_unvalued; }
    static constexpr int namedUnvalued = 10;
    // The stand's present value when every valued tree is cut now instead, kr; the trees the
    // owner leaves are not among them.
    double allNowValue() const { return m_allNow; }
    // The trees the owner marked "avverkas" (cut now, counted in year 0 too) and "lämnas" (in no
    // harvest), each with its volume, net and present value now.
    const PlanYear &markedCut() const { return m_markedCut; }
    const PlanYear &markedLeft() const { return m_markedLeft; }

private:
    std::array<PlanYear, harvestYearCount> m_years;
    int m_valued = 0;
    QStringList m_unvalued;
    int m_unvaluedCount = 0;
    double m_allNow = 0;
    PlanYear m_markedCut;
    PlanYear m_markedLeft;
};

// The plan in two or three plain sentences: what this harvest brings, what the later harvests
// are worth, the stand against cutting everything now, and the trees left out.
QString planStatement(const HarvestPlan &plan, QChar decimalSeparator);
// How many trees could not be valued, naming the first ten ("3 träd kunde inte värderas och
// ingår inte i summorna: 7, 12, 40."); empty when every tree was.
QString unvaluedSentence(const HarvestPlan &plan);
// Only the comparison of the stand with cutting everything now.
QString planComparison(const HarvestPlan &plan);
// The plan as a file writes it: the headings "år", "träd", "volym m3", "netto kr", "nuvärde kr",
// a line for each harvest year with trees, a line "totalt", then the comparison as one cell and,
// when trees were left out, the sentence that counts and names them.
QList<QStringList> planLines(const HarvestPlan &plan, QChar decimalSeparator);
// The heading of the section that names every tree left out ("Träd som inte kunde värderas
// (3)"), and the headings of its lines: id, then why.
QString unvaluedSectionHeading(int count);
QStringList unvaluedHeadings();

// What every plan rests on, said once beside it.
QString planAssumption();

// The decision the list shows for a tree with the owner's mark: "Avverkas (märkt)" or "Lämnas
// (märkt)" for a marked tree, else the valuation's own ("Avverka nu", "Låt stå").
QString markedDecisionText(const TreeSummary &tree, TreeMark mark);
// Whether the tree is cut now, the owner's mark before the valuation's decision.
bool cutNowMarked(const TreeSummary &tree, TreeMark mark);
// The first cells of a plan table's lines that count the marked trees apart, below "totalt".
QString markedCutHeading();  // "varav märkta"
QString markedLeftHeading(); // "märkta lämnas"
// The sentence on the owner's marks ("Enligt ägarens markering: 2 träd lämnas och 1 träd
// avverkas nu."); empty without marks.
QString markedSentence(int leftTrees, int cutTrees);

// Kronor as a statement writes them: whole, thousands set apart ("17 080").
QString groupedKronor(double value);
