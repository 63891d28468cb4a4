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
    // `in.bdm` is grown pass by pass. `in.kronst` holds the crown share in % as loaded; from the
    // start of a calculation it holds the crown reduction share instead (see crownReduction()),
    // which the carry-over hands on to a later calculation without "kronst:" as its crown share.
    TreeInputs in;
    // The quality class the current log is sold under, from its potential quality in
    // `in.kvalitet` and its top diameter.
    std::int16_t working_quality = 0;

    double &crownReduction() { return in.kronst; }
    double crownReduction() const { return in.kronst; }

    // Growth and height.
    double tree_age = 0;
    double height = 0;
    double ring = 0;
    std::int32_t step_years = 0;
    std::int32_t years = 0;
    std::int32_t pass_no = 0;
    double diam_incr = 0;
    double pulp_price = 0;

    // Stem form and logs.
    double stem_vol = 0;
    std::int32_t log_no = 0;
    double taper_a = 0, taper_b = 0, taper_c = 0, taper_d = 0, taper_e = 0;
    double rel_bh = 0;
    double ref_diam = 0;
    double rel_top = 0;
    double stump_diam = 0;
    double top_len = 0;
    double top_piece_diam = 0;
    double log_top_diam = 0;
    double top_diam1 = 0, top_diam2 = 0, top_diam3 = 0;
    // What the bucking of a log works out from the height, the diameter and the stem form
    // alone, kept from the pass's first log for its others (see buckLog).
    struct StemShape {
        double height = 0, bdm = 0;
        const void *form = nullptr; // the stem form's coefficients; none yet
        double rel_bh = 0, ref_diam = 0, stump_diam = 0, top_len = 0, top_piece_diam = 0;
    } stemShape;

    // Pricing.
    double log_price = 0;

    // Volumes and values; the log slots are indexed by log number 1..3 (slot 0 unused).
    std::array<double, 4> log_volume{};
    std::array<double, 4> log_value{};
    double timber_volume = 0;
    double timber_length = 0;
    double timber_value = 0;
    double pulp_length = 0;
    double pulp_low_diameter = 0;
    double pulp_volume = 0;
    double pulp_value = 0;
    double merch_volume = 0;
    double wood_value = 0;

    // Costs and the figures the owner decides on.
    double harvest_cost = 0;
    double planting_cost = 0;
    double net_value = 0;
    double net_previous = 0;
    double value_increase = 0;
    double interest_achieved = 0;
    double present_value = 0;
};
