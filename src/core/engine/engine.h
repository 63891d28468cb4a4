#pragma once

#include "enginestate.h"
#include "grid.h"
#include "treevaluation.h"

#include <QString>

#include <cstdint>
#include <functional>

// The valuation of one standing tree: twelve harvest years, each a row of the result grid, and
// the report "resultat.txt" tracing every step. Holds no window code; the result window owns one
// Engine for the lifetime of the program, so its state carries from one calculation to the next.
class Engine {
public:
    explicit Engine(QString sokvag); // home directory, ends with "/"

    // Fills the engine's price tables from "priser_ac.txt" (the result window's load does this
    // once). Returns an empty text, or a Swedish message naming the file and the problem.
    QString read_pricelist();

    // One complete calculation. `loadResultParam` (the result window's parameter summary) runs
    // first, then the control file and the price list are read, only then "resultat.txt" is
    // created. Returns an empty text when the calculation ran to its end, otherwise one clear
    // Swedish message saying why it stopped (the caller shows it in a "Kvistel" box).
    QString berakna(Grid &grid, const std::function<void()> &loadResultParam = {});
    // The same calculation with the twelve harvest years as numbers instead of grid text.
    QString berakna(TreeValuation &result, const std::function<void()> &loadResultParam = {});

    // Reads the inputs from "trad.sty" into the state (every line but the last). Returns an empty
    // text, or a Swedish message; on a message the state is as it was before the call.
    QString load_param();

    // The timber price in kr/m3 of a log of species `art`, quality class `kvalitet` and top
    // diameter `d` cm. Throws CalculationStopped for a pine or spruce log of at least 12 cm
    // whose quality class has no row in the price list.
    double berakna_priser(const QString &art, std::int16_t kvalitet, double d) const;

    const EngineState &state() const { return m_state; }
    // For tests that set up a state directly.
    EngineState &state() { return m_state; }

    QString sokvag() const { return m_sokvag; }
    QString reportPath() const;

private:
    QString m_sokvag;
    EngineState m_state;
};
