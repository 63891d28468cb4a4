#pragma once

#include "enginestate.h"
#include "grid.h"
#include "growth.h"
#include "report.h"
#include "stemform.h"
#include "treevaluation.h"

// One calculation after its inputs and prices have been read: the report header, the run's
// initial values and the twelve harvest years, each writing its report lines and its grid row.
// No file is touched here. Throws CalculationStopped when the tree cannot be valued; the state
// is then as the failing step left it, with `pass_no` the harvest year that did not finish.
class Valuation {
public:
    // Rows go to `grid` as text when it is given, and to `rows` as numbers when that is given.
    Valuation(EngineState &state, Report &report, Grid *grid, QChar decimalSeparator,
              std::array<HarvestYear, harvestYearCount> *rows = nullptr);

    void run();
    // Grid rows this run has written, from row 1 on.
    int rowsWritten() const { return m_rowsWritten; }

private:
    void startRun();
    void pass();
    void buckLogs();
    void valueLog();
    void pulpwoodAndWoodValue();
    void costsAndDecisionFigures();

    EngineState &s;
    Report &m_report;
    Grid *m_grid;
    std::array<HarvestYear, harvestYearCount> *m_rows;
    QChar m_separator;
    bool m_inPass = false;
    int m_rowsWritten = 0;
    // The species and region as the run found them, looked up once.
    const HeightCoefficients *m_heightModel = nullptr;
    const TaperCoefficients *m_stemForm = nullptr;
    bool m_pine = false, m_spruce = false, m_broadleaf = false;
};
