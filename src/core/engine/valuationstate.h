#pragma once

#include "core/parameters/treeinputs.h"

#include <QString>

#include <array>
#include <cstdint>

// Species, region and the planting answer are one-letter codes, compared exactly (a "T" or a
// "t " is no pine).
inline bool isCode(const QString &text, char16_t code) {
    return text.size() == 1 && text.front() == code;
}

// The named variables of one valuation: its inputs, as the calculation changes them, and
// everything a harvest year works out. It lives for one call of valueTree and nowhere else;
// what the next calculation starts from leaves that call as its explicit carry-over.
struct ValuationState {
    // The inputs, as the calculation changes them; they leave the call as its carry-over.
    // `in.diameter` is grown pass by pass. `in.crownShare` holds the crown share in % as loaded;
    // from the start of a calculation it holds the crown reduction share instead (see
    // crownReduction()), which the carry-over hands on to a later calculation without "kronst:" as
    // its crown share.
    TreeInputs in;
    // The quality class the current log is sold under, from its potential quality in
    // `in.logQualities` and its top diameter.
    std::int16_t workingQuality = 0;

    double &crownReduction() { return in.crownShare; }
    double crownReduction() const { return in.crownShare; }

    // Growth and height.
    double treeAge = 0;
    double height = 0;
    double ring = 0;
    std::int32_t stepYears = 0;
    std::int32_t years = 0;
    std::int32_t passNumber = 0;
    double diameterIncrement = 0;
    double pulpPrice = 0;

    // Stem form and logs.
    double stemVolume = 0;
    std::int32_t logNumber = 0;
    double taperA = 0, taperB = 0, taperC = 0, taperD = 0, taperE = 0;
    double breastHeightPercent = 0;
    double referenceDiameter = 0;
    double relativeTopHeight = 0;
    double stumpDiameter = 0;
    double topLength = 0;
    double topPieceDiameter = 0;
    double logTopDiameter = 0;
    double topDiameter1 = 0, topDiameter2 = 0, topDiameter3 = 0;
    // What the bucking of a log works out from the height, the diameter and the stem form
    // alone, kept from the pass's first log for its others (see buckLog).
    struct StemShape {
        double height = 0, diameter = 0;
        const void *form = nullptr; // the stem form's coefficients; none yet
        double breastHeightPercent = 0, referenceDiameter = 0, stumpDiameter = 0, topLength = 0,
               topPieceDiameter = 0;
    } stemShape;

    // Pricing.
    double logPrice = 0;

    // Volumes and values; the log slots are indexed by log number 1..3 (slot 0 unused).
    std::array<double, 4> logVolume{};
    std::array<double, 4> logValue{};
    double timberVolume = 0;
    double timberLength = 0;
    double timberValue = 0;
    double pulpLength = 0;
    double pulpLowDiameter = 0;
    double pulpVolume = 0;
    double pulpValue = 0;
    double merchVolume = 0;
    double woodValue = 0;

    // Costs and the figures the owner decides on.
    double harvestCost = 0;
    double plantingCost = 0;
    double netValue = 0;
    double previousNetValue = 0;
    double valueIncrease = 0;
    double interestAchieved = 0;
    double presentValue = 0;
};
