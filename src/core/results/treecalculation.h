#pragma once

#include "core/engine/treevaluation.h"
#include "core/files/outcome.h"
#include "core/parameters/treeinputs.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// One calculation as the program runs it: the control file and the price list read from the
// home directory, the tree valued, the report "resultat.txt" saved. Holds no window code. The
// result window owns one TreeCalculation for the lifetime of the program: what a calculation leaves
// for the next (the carry-over of the control file's inputs, the price tables as last read) is kept
// here, in the open, and nowhere else.
class TreeCalculation {
public:
    explicit TreeCalculation(HomeDirectory home);

    // Reads "priser_ac.txt" over the engine's price tables (a table the file has no block for
    // keeps its prices). Fails with a Swedish message naming the file and the problem; the
    // tables are then as they were.
    Outcome loadPrices();

    // Reads the inputs from "trad.sty" over those the last calculation left (every line but the
    // last). Fails with a Swedish message; the inputs are then as they were before the call.
    Outcome loadInputs();

    // One complete calculation: the control file and the price list are read, only then
    // "resultat.txt" is written. Fills `result` with the twelve harvest years (an empty valuation
    // when the files could not be read) and succeeds when the calculation ran to its end,
    // otherwise fails with one clear Swedish message saying why it stopped (the caller shows it
    // in a "Kvistel" box).
    Outcome calculateAndSave(TreeValuation &result);

    // A valued tree's report, not yet saved, and whether the valuation stopped early.
    struct UnsavedReport {
        QByteArray bytes;
        Outcome stopped;
    };

    // The same calculation in two steps, so that a window can show the result while the report
    // is saved: calculate() values the tree and gives the report's bytes (it fails when the
    // files could not be read); saveReport() saves them and may run on another thread;
    // withSaveOutcome() adds what went wrong with saving to the outcome so far, giving what
    // calculateAndSave() returns.
    Expected<UnsavedReport> calculate(TreeValuation &result);
    Outcome saveReport(const QByteArray &report) const;
    static Outcome withSaveOutcome(const Outcome &sofar, const Outcome &saved);
    // What the latest calculation valued: its inputs as loaded (before the carry-over) and its
    // price tables, so that a what-if can vary them without touching the files.
    const TreeInputs &lastInputs() const { return m_lastInputs; }
    const PriceTables &lastPrices() const { return m_prices; }

    // The timber price in kr/m3 of a log of species `species`, quality class `quality` and top
    // diameter `d` cm. Throws CalculationStopped for a pine or spruce log of at least 12 cm
    // whose quality class has no row in the price list.
    double logPrice(const QString &species, std::int16_t quality, double d) const;

    // What the next calculation starts from for a key the control file has no line for.
    const TreeInputs &inputs() const { return m_inputs; }
    const PriceTables &prices() const { return m_prices; }

    const HomeDirectory &home() const { return m_home; }

private:
    HomeDirectory m_home;
    TreeInputs m_inputs;
    PriceTables m_prices;
    TreeInputs m_lastInputs;
};
