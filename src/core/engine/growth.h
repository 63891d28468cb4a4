#pragma once

#include "core/engine/enginepath.h"
#include "core/engine/valuationstate.h"

#include <QString>

KVISTEL_ENGINE_BEGIN

// The height model of pine and spruce in northern and southern Sweden: the height of a tree of a
// given diameter on a site of a given index, with its diameter quotient.
struct HeightCoefficients {
    double v, c0, p1, p2, q1, q2, s, k1, k2;
};

// The coefficients for species `species` ("t", "g") in region `region` ("N", "S"); nullptr for any
// other species or region, which the model does not cover.
const HeightCoefficients *heightCoefficients(const QString &species, const QString &region);

// The model height in m, before the user's height deviation is added.
double modelHeight(const HeightCoefficients &c, double diameter, double treeAge, double siteIndex,
                   double diameterQuotient);

// Sets `height` for the current pass from `diameter`, including `heightDeviation`, with the model
// `c` of the tree's species and region. Stops the calculation when there is no model (`c` null),
// for a diameter that is not positive, and for a height that is not a positive number of metres.
void computeHeight(ValuationState &s, const HeightCoefficients *c);
inline void computeHeight(ValuationState &s) {
    computeHeight(s, heightCoefficients(s.in.species, s.in.region));
}

// The ring width of the ten years after the current pass: reduced for a small crown in the
// first two passes (the reduction halves each pass), the measured width from then on. Returns
// the share of the measured width used in this pass, in %, as the report shows it for the first
// two passes.
double computeRing(ValuationState &s);
// Years below which a small crown slows the ring width: the passes for now and in 10 years.
inline constexpr std::int32_t crownReducedBelowYears = 20;

// Ten years of diameter growth at the current ring width.
void growDiameter(ValuationState &s);

KVISTEL_ENGINE_END
