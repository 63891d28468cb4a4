#pragma once

#include "core/engine/treevaluation.h"

#include <QChar>
#include <QString>

// The advice of a valuation in one or two plain Swedish sentences: harvest now or let the tree
// stand until its best year, the present values that decide it, and how fast the tree's value
// grows over the next ten years against the required rate (`requiredRate` as a fraction, 0.03
// for 3 %). A valuation that stopped gives only its stop message; no valuation, no text.
QString verdictText(const TreeValuation &valuation, double requiredRate, QChar decimalSeparator);

// A rate in percent as a forest owner writes it: 3, 3,5 or 2,75, never 3,00.
QString rateText(double percent, QChar decimalSeparator);
