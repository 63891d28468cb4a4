#pragma once

#include "core/engine/enginepath.h"
#include "core/engine/growth.h"
#include "core/engine/stemform.h"
#include "core/engine/treevaluation.h"
#include "core/engine/valuationstate.h"

#include <optional>

class Report;

KVISTEL_ENGINE_BEGIN

// One calculation after its inputs and prices have been read: the run's initial values and the
// twelve harvest years, each giving its row of figures. When a report is given, each step hands
// it the figures of its lines; without one nothing is formatted, and the figures and where the
// calculation stops are the same. No file is touched here. When the tree cannot be valued the
// run ends with the Outcome that says why; the state is then as the failing step left it.
// valueTree on this build's path (see enginepath.h).
TreeValuation valueTreeOnPath(const TreeInputs &inputs, const PriceTables &prices, Report *report);

class Valuation {
public:
    Valuation(ValuationState &state, const PriceTables &prices, Report *report,
              std::array<HarvestYear, harvestYearCount> &rows);

    // The one place the engine's steps end: a CalculationStopped or a NonFiniteNumber thrown
    // by any step becomes the failure returned, and nothing is thrown out of it.
    Outcome run();
    // Harvest years whose row is complete, from harvest now on.
    int yearsValued() const { return m_yearsValued; }

private:
    void startRun();
    void pass();
    void buckLogs();
    void valueLog();
    void pulpwoodAndWoodValue();
    void costsAndDecisionFigures();

    ValuationState &s;
    const PriceTables &m_prices;
    Report *m_report;
    std::array<HarvestYear, harvestYearCount> &m_rows;
    bool m_inPass = false;
    int m_yearsValued = 0;
    // The species and region as the run found them, looked up once.
    const HeightCoefficients *m_heightModel = nullptr;
    const TaperCoefficients *m_stemForm = nullptr;
    bool m_pine = false, m_spruce = false, m_broadleaf = false;
    std::optional<double> m_rateLn; // ln(1 + the required rate), from the first harvest year on
};

KVISTEL_ENGINE_END
