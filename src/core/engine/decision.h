#pragma once

#include "core/engine/treevaluation.h"

#include <optional>

// What the owner decides on: the harvest year with the highest present value. Harvest now is
// worth today's net value; on equal values the earlier year wins, since waiting for nothing
// only adds risk.
struct Decision {
    int bestRow = 0;      // 0 for harvest now, 1 for harvest in 10 years, ...
    double bestValue = 0; // kr per tree: the best year's present value (now: the net value)
    double valueNow = 0;  // kr per tree: today's net value
    // % a year the tree's value grows over the next ten years; NaN when the tree has no positive
    // net value today, so that no rate of growth leads from it (valueGrowth).
    double growthNextTen = 0;
    bool anyPositive = false; // some year has a positive present value

    bool cutNow() const { return bestRow == 0; }
    int bestYears() const { return bestRow * 10; }
};

// The value growth over the ten years up to harvest year `row` (1 to 11), % a year, where it has
// a meaning; NaN where it has none: the net value ten years earlier was 0 kr or less, and no rate
// of interest leads from nothing or a loss to a value. The grid and the report show -100,00
// there; everything else shows no figure.
double valueGrowth(const TreeValuation &valuation, int row);

// Why valueGrowth has no figure for harvest year `row`, in the user's words; empty where it has.
QString noValueGrowthReason(const TreeValuation &valuation, int row);

// The decision for a tree valued over all twelve harvest years; none for a valuation that
// stopped, since its later years are unknown.
std::optional<Decision> decide(const TreeValuation &valuation);
