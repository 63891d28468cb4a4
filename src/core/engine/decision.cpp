#include "core/engine/decision.h"

#include <cmath>
#include <limits>

namespace {

bool hasValueGrowth(const TreeValuation &v, int row) {
    return row > 0 && row < v.yearsValued && v.rows[std::size_t(row) - 1][NetValue] > 0;
}

} // namespace

double valueGrowth(const TreeValuation &valuation, int row) {
    if (!hasValueGrowth(valuation, row))
        return std::numeric_limits<double>::quiet_NaN();
    return valuation.rows[std::size_t(row)][InterestAchieved];
}

QString noValueGrowthReason(const TreeValuation &valuation, int row) {
    if (row <= 0 || row >= valuation.yearsValued || hasValueGrowth(valuation, row))
        return {};
    return QStringLiteral("Ingen värdetillväxt: nettovärdet tio år tidigare var 0 kr eller "
                          "mindre, och ingen ränta leder därifrån till ett värde. -100 står här "
                          "som ett tecken, inte som en verklig förlust.");
}

std::optional<Decision> decide(const TreeValuation &valuation) {
    if (!valuation.complete() || valuation.yearsValued < harvestYearCount)
        return std::nullopt;
    Decision d;
    d.valueNow = valuation.rows[0][NetValue];
    d.bestValue = d.valueNow;
    d.growthNextTen = valueGrowth(valuation, 1);
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
