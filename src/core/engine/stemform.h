#pragma once

#include "core/engine/enginepath.h"
#include "core/engine/valuationstate.h"

#include <QString>

#include <cstdint>

KVISTEL_ENGINE_BEGIN

// The stem form curve gives the stem diameter as a percentage of a reference diameter: a butt
// segment near the ground, a middle segment up to 60 % of the height and a top segment above.
struct TaperCoefficients {
    double a, b, c, d, e;
};

// The coefficients for pine and spruce in northern and southern Sweden; nullptr otherwise.
const TaperCoefficients *taperCoefficients(const QString &species, const QString &region);

// Heights of the top ends of logs 1, 2 and 3 above the ground: a 0.2 m stump and 4.5 m logs.
inline constexpr double logTopHeight[4] = {0, 4.7, 9.2, 13.7};

// A log is timber (priced, and its volume counted) from a 12 cm top up; bucking goes on to the
// next log only above a 15 cm top.
inline bool isTimberLog(double topDiameter) {
    return topDiameter >= 12;
}
inline bool continuesBucking(double logTopDiameter) {
    return logTopDiameter > 15;
}

// Stem volume over bark in m3 by the volume function of the species; `previous` for a species
// without one.
double stemVolume(const QString &species, double diameter, double height, double previous);

// Bucks log `s.logNumber` of the current pass with the stem form `c` of the tree's species and
// region: the stem form variables, the log's top diameter, the stump diameter and the tree top.
// Stops the calculation where the tree is too small for the stem form to give a diameter.
void buckLog(ValuationState &s, const TaperCoefficients *c);
inline void buckLog(ValuationState &s) {
    buckLog(s, taperCoefficients(s.in.species, s.in.region));
}

// The quality class under which a log with potential quality `potential` and top diameter `d`
// is sold: a first-class log needs a top above 25 cm, and class 1 or 3 falls to 4 below 20 cm.
std::int16_t workingQuality(std::int16_t potential, double d);

KVISTEL_ENGINE_END
