#pragma once

#include "core/results/whatif.h"
#include "core/treelist/treelist.h"

#include <QChar>
#include <QList>
#include <QString>

#include <array>

// How a stand's harvest plan moves when the required rate or the prices are not quite what the
// owner assumed: every tree valued again with the rate one percentage point lower and higher,
// and with all prices 10 % lower and higher, as the single tree's what-if does. It is the plan
// tree by tree, the owner's marks kept: a tree marked "lämnas" stays, one marked "avverkas" goes
// now, whatever the change.

inline constexpr int standWhatIfCount = 4;

struct StandWhatIf {
    QString change;          // in the user's words, e.g. "Räntekrav 4 %"
    int switched = 0;        // trees that change between "Avverka nu" and "Låt stå"
    double presentValue = 0; // the stand's present value, each tree in its best year, kr
    int valued = 0;          // trees that could be valued with the change
};

class StandWhatIfs {
public:
    // The sums over some trees of the list, one per change.
    struct Tally {
        std::array<int, standWhatIfCount> switched{};
        std::array<double, standWhatIfCount> presentValue{};
        std::array<int, standWhatIfCount> valued{};
    };

    StandWhatIfs(const TreeListHome &home, QChar decimalSeparator);

    // One tree under every change; `asGiven` is what the list gave it.
    Tally tally(const TreeRow &tree, const TreeSummary &asGiven) const;
    static void add(Tally &sum, const Tally &more);
    QList<StandWhatIf> results(const Tally &sum) const;

    // Every tree of the list on every core: `asGiven[i]` is what the list gave `trees[i]`.
    QList<StandWhatIf> valueAll(const QList<TreeRow> &trees,
                                const QList<TreeSummary> &asGiven) const;

private:
    TreeInputs m_base;
    std::array<WhatIfCase, standWhatIfCount> m_changes;
};
