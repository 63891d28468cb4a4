#include "core/engine/treevaluation.h"

#include "core/engine/calculationstopped.h"
#include "core/engine/report.h"
#include "core/engine/valuation.h"
#include "core/engine/valuationstate.h"

void assignInputs(ValuationState &s, const TreeInputs &in) {
    s.plantcost = in.plantcost;
    s.rant = in.rant;
    s.harvpr = in.harvpr;
    s.site = in.site;
    s.plant = in.plant;
    s.kronst = in.kronst;
    s.avvandel = in.avvandel;
    s.avvjust = in.avvjust;
    s.hojdjust = in.hojdjust;
    s.dkvot = in.dkvot;
    s.sv = in.sv;
    s.art = in.art;
    s.mt = in.mt;
    s.mg = in.mg;
    s.mb = in.mb;
    s.bdm = in.bdm;
    s.ring5 = in.ring5;
    for (int i = 0; i < 3; ++i)
        s.kvalitet[std::size_t(i) + 1] = in.kvalitet[std::size_t(i)];
}

TreeInputs inputsOf(const ValuationState &s) {
    TreeInputs in;
    in.plantcost = s.plantcost;
    in.rant = s.rant;
    in.harvpr = s.harvpr;
    in.site = s.site;
    in.plant = s.plant;
    in.kronst = s.kronst;
    in.avvandel = s.avvandel;
    in.avvjust = s.avvjust;
    in.hojdjust = s.hojdjust;
    in.dkvot = s.dkvot;
    in.sv = s.sv;
    in.art = s.art;
    in.mt = s.mt;
    in.mg = s.mg;
    in.mb = s.mb;
    in.bdm = s.bdm;
    in.ring5 = s.ring5;
    for (int i = 0; i < 3; ++i)
        in.kvalitet[std::size_t(i)] = s.kvalitet[std::size_t(i) + 1];
    return in;
}

TreeValuation valueTree(const TreeInputs &inputs, const PriceTables &prices, Report *report) {
    TreeValuation result;
    ValuationState s;
    assignInputs(s, inputs);
    Valuation valuation(s, prices, report, result.rows);
    try {
        valuation.run();
    } catch (const CalculationStopped &stop) {
        result.stopMessage = stop.message();
        if (report)
            report->stopped(stop.message());
    }
    result.yearsValued = valuation.yearsValued();
    result.carryOver = inputsOf(s);
    return result;
}
