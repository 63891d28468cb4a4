#include "core/treelist/standwhatif.h"

#include "core/treelist/chunkedrun.h"

#include <vector>

StandWhatIfs::StandWhatIfs(const TreeListHome &home, QChar separator) : m_base(home.base) {
    std::size_t i = 0;
    for (WhatIfCase &c : whatIfCases(home.base, home.prices, separator))
        if (!c.asGiven && i < m_changes.size())
            m_changes[i++] = std::move(c);
}

StandWhatIfs::Tally StandWhatIfs::tally(const TreeRow &tree, const TreeSummary &asGiven) const {
    Tally t;
    // A tree the plan leaves out is left out of every change as well, so that the what-if
    // and the plan sum the same trees.
    if (!asGiven.valued())
        return t;
    // The row is read once; each change then only sets the rate and the prices.
    TreeInputs own = m_base;
    if (!overlayTree(own, tree))
        return t;
    for (std::size_t i = 0; i < m_changes.size(); ++i) {
        TreeInputs changed = own;
        applyChange(m_changes[i], changed);
        const TreeSummary s = valueTreeInputs(changed, m_changes[i].prices);
        if (!s.valued())
            continue;
        t.valued[i] = 1;
        // The owner's mark holds under every change, as in the plan: a tree left adds nothing,
        // a tree marked to cut is cut now; neither switches.
        if (tree.mark != TreeMark::None) {
            t.presentValue[i] = tree.mark == TreeMark::Cut ? s.decision.valueNow : 0;
            continue;
        }
        t.presentValue[i] = s.decision.bestValue;
        t.switched[i] = asGiven.valued() && asGiven.decision.cutNow() != s.decision.cutNow();
    }
    return t;
}

void StandWhatIfs::add(Tally &sum, const Tally &more) {
    for (std::size_t i = 0; i < standWhatIfCount; ++i) {
        sum.switched[i] += more.switched[i];
        sum.presentValue[i] += more.presentValue[i];
        sum.valued[i] += more.valued[i];
    }
}

QList<StandWhatIf> StandWhatIfs::results(const Tally &sum) const {
    QList<StandWhatIf> all;
    for (std::size_t i = 0; i < m_changes.size(); ++i)
        all.append({m_changes[i].change, sum.switched[i], sum.presentValue[i], sum.valued[i]});
    return all;
}

QList<StandWhatIf> StandWhatIfs::valueAll(const QList<TreeRow> &trees,
                                          const QList<TreeSummary> &asGiven) const {
    // Each chunk's sums on its own, added in order: the same total on any number of cores.
    constexpr qsizetype chunkSize = 64;
    std::vector<Tally> chunks(std::size_t(ChunkedRun::chunkCount(trees.size(), chunkSize)));
    ChunkedRun::runAndWait(trees.size(), chunkSize,
                           [&](qsizetype chunk, qsizetype begin, qsizetype end) {
                               Tally sum;
                               for (qsizetype r = begin; r < end; ++r)
                                   add(sum, tally(trees[r], summaryAt(asGiven, r)));
                               chunks[std::size_t(chunk)] = sum;
                           });
    Tally total;
    for (const Tally &chunk : chunks)
        add(total, chunk);
    return results(total);
}
