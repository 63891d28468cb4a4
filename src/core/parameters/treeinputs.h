#pragma once

#include "core/files/homedirectory.h"
#include "core/files/outcome.h"

#include <QString>

#include <array>
#include <cstdint>

// The inputs of one valuation, named after their control-file keys.
struct TreeInputs {
    // Stand and economy.
    QString sv;                    // region "N" or "S"
    double plantcost = 0;          // kr per seedling
    double rant = 0;               // required rate as a fraction (the control file holds percent)
    double harvpr = 0;             // harvest intensity, %
    double avvandel = 0;           // share of the harvest cost fixed per tree, %
    double avvjust = 0;            // actual harvest cost, % of normal
    double mt = 0, mg = 0, mb = 0; // pulpwood prices of pine, spruce and birch, kr/m3
    // The tree.
    QString art;                            // species "t", "g", "b", "l"
    double bdm = 0;                         // breast-height diameter, cm
    double hojdjust = 0;                    // deviation from the normal height, m
    double site = 0;                        // height at 100 years, m
    QString plant;                          // "y": the gap is replanted
    double ring5 = 0;                       // measured ring width, mm per year
    double dkvot = 0;                       // diameter quotient
    double kronst = 0;                      // crown share, %
    std::array<std::int16_t, 3> kvalitet{}; // potential quality of logs 1..3 (bkv, akv, tkv)

    bool operator==(const TreeInputs &) const = default;
};

// Reads the tree and stand parameters of the control file "trad.sty" in the home directory
// over `base`: a key with a line sets its value, a key without one keeps what `base` holds.
// Fails with a Swedish message.
Expected<TreeInputs> loadTreeInputs(const HomeDirectory &home, TreeInputs base = {});
