#pragma once

#include "core/files/homedirectory.h"
#include "core/files/outcome.h"

#include <QString>

#include <array>
#include <cstdint>

// The inputs of one valuation; each comment names the control-file key that sets it.
struct TreeInputs {
    // Stand and economy.
    QString region;          // "sv:", "N" (northern Sweden) or "S" (southern)
    double seedlingCost = 0; // "plantcost:", kr per seedling planted
    double requiredRate = 0; // "rant:", the owner's required rate as a fraction (the file holds %)
    double harvestIntensity = 0; // "harvpr:", share of the stand's volume cut, %
    double fixedCostShare = 0;   // "avvandel:", share of the harvest cost fixed per tree, %
    double harvestCostLevel = 0; // "avvjust:", actual harvest cost, % of normal
    // "mt:", "mg:", "mb:": pulpwood prices of pine, spruce and birch, kr/m3.
    double pinePulpPrice = 0, sprucePulpPrice = 0, birchPulpPrice = 0;
    // The tree.
    QString species;             // "art:", "t" pine, "g" spruce, "b" birch, "l" other broadleaf
    double diameter = 0;         // "bdm:", breast-height diameter, cm
    double heightDeviation = 0;  // "hojdjust:", deviation from the normal height, m
    double siteIndex = 0;        // "site:", height at 100 years, m
    QString replanting;          // "plant:", "y": the gap is replanted
    double ringWidth = 0;        // "ring5:", measured ring width, mm per year
    double diameterQuotient = 0; // "dkvot:", diameter quotient
    double crownShare = 0;       // "kronst:", crown share, %
    std::array<std::int16_t, 3>
        logQualities{}; // "bkv:", "akv:", "tkv:": potential quality of logs 1..3

    bool operator==(const TreeInputs &) const = default;
};

// Reads the tree and stand parameters of the control file "trad.sty" in the home directory
// over `base`: a key with a line sets its value, a key without one keeps what `base` holds.
// Fails with a Swedish message.
Expected<TreeInputs> loadTreeInputs(const HomeDirectory &home, TreeInputs base = {});
