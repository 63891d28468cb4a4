#pragma once

#include "treevaluation.h"

#include <optional>

// What the owner decides on: the harvest year with the highest present value. Harvest now is
// worth today's net value; on equal values the earlier year wins, since waiting for nothing
// only adds risk.
struct Decision {
    int bestRow = 0;          // 0 for harvest now, 1 for harvest in 10 years, ...
    double bestValue = 0;     // kr per tree: the best year's present value (now: the net value)
    double valueNow = 0;      // kr per tree: today's net value
    double growthNextTen = 0; // % a year the tree's value grows over the next ten years
    bool anyPositive = false; // some year has a positive present value

    bool cutNow() const { return bestRow == 0; }
    int bestYears() const { return bestRow * 10; }
};

// The decision for a tree valued over all twelve harvest years; none for a valuation that
// stopped, since its later years are unknown.
std::optional<Decision> decide(const TreeValuation &valuation);
