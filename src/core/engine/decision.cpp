#include "decision.h"

std::optional<Decision> decide(const TreeValuation &valuation) {
    if (!valuation.complete() || valuation.yearsValued < harvestYearCount)
        return std::nullopt;
    Decision d;
    d.valueNow = valuation.rows[0][NetValue];
    d.bestValue = d.valueNow;
    d.growthNextTen = valuation.rows[1][InterestAchieved];
    d.anyPositive = d.valueNow > 0;
    for (int r = 1; r < harvestYearCount; ++r) {
        const double value = valuation.rows[std::size_t(r)][PresentValue];
        d.anyPositive = d.anyPositive || value > 0;
        if (value > d.bestValue) {
            d.bestValue = value;
            d.bestRow = r;
        }
    }
    return d;
}
