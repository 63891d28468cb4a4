#pragma once

#include "core/engine/enginepath.h"

#include <QString>

KVISTEL_ENGINE_BEGIN

// Harvest cost per tree in kr: 75 kr/m3 normally, a share `fixedCostShare` % of it fixed per tree
// (as for a reference tree of 0.168 m3), raised for a light harvest (`harvestIntensity` % of the
// stand's volume) and scaled to the actual cost level `harvestCostLevel` % of normal.
double harvestCost(double fixedCostShare, double harvestCostLevel, double harvestIntensity,
                   double merchVolume);

// The cost of planting the gap the tree leaves: one seedling per m2 of a circle whose diameter
// is a fifth of the tree's height, when `replanting` is "y".
double plantingCost(const QString &replanting, double seedlingCost, double height);

// The tree's value growth over the last ten years as compound interest in % per year; -100 when
// the net value is not positive (or the previous one negative). Stops the calculation when a
// positive net value follows a previous one of exactly 0, since no rate leads from 0 to it.
double interestAchieved(double netValue, double previousNetValue, int years);

// The net value discounted `years` years at the required rate `requiredRate` (a fraction). Stops
// the calculation for a rate of -100 % or below, at which no discounting exists.
double presentValue(double netValue, int years, double requiredRate);
// The same in two steps, for a run that discounts every harvest year at one rate:
// ln(1 + requiredRate), which stops the calculation where it has none, and the present value from
// it.
double requiredRateLn(double requiredRate);
double presentValueAt(double netValue, int years, double rateLn);

KVISTEL_ENGINE_END
