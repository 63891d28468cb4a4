#pragma once

#include "core/engine/treevaluation.h"

#include <QChar>
#include <QList>
#include <QString>

// How the advice moves when the required rate or the prices are not quite what the owner
// assumed: the same tree valued again with one thing changed.
struct WhatIf {
    QString change;       // in the user's words, e.g. "Räntekrav 4 %"
    bool valued = false;  // false: the changed valuation stopped
    int bestYears = 0;    // 0, 10, ..., 110
    double bestValue = 0; // kr per tree, the best year's present value
};

// One change to what the calculation valued: the changed inputs and prices.
struct WhatIfCase {
    QString change; // in the user's words
    TreeInputs inputs;
    PriceTables prices;
    bool asGiven = false; // nothing changed: the calculation itself
};

// The change of `c` made to `inputs`, another tree of the same stand and prices: a change never
// touches what the tree itself was measured for, only the rate and the pulpwood prices (the
// timber prices are `c.prices`).
void applyChange(const WhatIfCase &c, TreeInputs &inputs);

// The required rate one percentage point lower, as given, one point higher; then all timber
// and pulpwood prices 10 % lower and 10 % higher.
QList<WhatIfCase> whatIfCases(const TreeInputs &inputs, const PriceTables &prices,
                              QChar decimalSeparator);

// The required rate one percentage point lower, as given, one point higher; then all timber
// and pulpwood prices 10 % lower and 10 % higher. Nothing is read or written: `inputs` and
// `prices` are what the calculation valued.
QList<WhatIf> whatIfs(const TreeInputs &inputs, const PriceTables &prices, QChar decimalSeparator);

// Every timber price and the pulpwood prices of pine, spruce and birch times `factor`.
void scalePrices(TreeInputs &inputs, PriceTables &prices, double factor);
