#include "core/engine/treevaluation.h"

#include "core/engine/calculationstopped.h"
#include "core/engine/report.h"
#include "core/engine/valuation.h"
#include "core/engine/valuationstate.h"

TreeValuation valueTree(const TreeInputs &inputs, const PriceTables &prices, Report *report) {
    TreeValuation result;
    ValuationState s;
    s.in = inputs;
    Valuation valuation(s, prices, report, result.rows);
    try {
        valuation.run();
    } catch (const CalculationStopped &stop) {
        result.stopMessage = stop.message();
        if (report)
            report->stopped(stop.message());
    }
    result.yearsValued = valuation.yearsValued();
    result.carryOver = s.in;
    return result;
}
