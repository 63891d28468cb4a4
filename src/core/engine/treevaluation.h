#pragma once

#include "core/files/pricelistfile.h"
#include "core/parameters/treeinputs.h"

#include <QString>

#include <array>
#include <cstdint>

// The valuation of one standing tree as a function: its inputs and the price tables in, the
// twelve harvest years as numbers out. No file, no window and no state outside the call, so a
// window, a list of trees, a command line and a benchmark all call the same thing, on any
// thread at once.

inline constexpr int harvestYearCount = 12; // harvest now, in 10, 20, ..., 110 years
inline constexpr int resultColumnCount = 17;

// The figures of one harvest year, in the order of the result grid's columns.
enum ResultColumn : int {
    InterestAchieved, // value growth over the last ten years, % a year
    PresentValue,     // kr per tree, discounted at the required rate
    NetValue,         // kr per tree
    NetPerM3,         // kr per m3
    MerchVolume,      // m3
    Height,           // m
    Diameter,         // breast-height diameter, cm
    TopDiameter1,     // top diameters of the three saw logs, cm (0: no such log)
    TopDiameter2,
    TopDiameter3,
    LogValue1, // kr
    LogValue2,
    LogValue3,
    PulpValue,        // kr
    WoodValuePerM3,   // kr per m3
    HarvestCostPerM3, // kr per m3
    PlantingCostPerM3 // kr per m3
};

struct HarvestYear {
    int years = 0; // 0, 10, ..., 110
    // In the row of harvest now there are no ten years to grow over and nothing to discount:
    // the growth rate and the present value are not part of the result and hold NaN.
    std::array<double, resultColumnCount> values{};

    double operator[](ResultColumn c) const { return values[std::size_t(c)]; }
};

class Report;

struct TreeValuation {
    std::array<HarvestYear, harvestYearCount> rows{};
    // Rows 0 to yearsValued - 1 hold the figures; the others were not reached.
    int yearsValued = 0;
    // Ok when all twelve harvest years were valued; otherwise, in the user's terms, why the tree
    // could not be valued further.
    Outcome stop;
    // What the next calculation starts from for a parameter the control file has no line for:
    // the control file carries these from one calculation to the next (the grown diameter, the
    // crown reduction in place of the crown share).
    TreeInputs carryOver;

    bool complete() const { return stop.ok(); }
};

// Values the tree. When `report` is given, the lines of "resultat.txt" are written into it as
// well (with its own decimal separator); without one nothing is formatted, and the figures, the
// carry-over and where the calculation stops are the same.
TreeValuation valueTree(const TreeInputs &inputs, const PriceTables &prices,
                        Report *report = nullptr);

// The valuation's code paths (see enginepath.h): one for every x86-64 processor, and on x86-64
// Linux a VEX-encoded one for processors with AVX2, which valueTree takes where it can. Both give
// every figure to the last bit alike.
enum class EnginePath { Baseline, Avx2 };
bool canRun(EnginePath path);
// The path valueTree takes in this process.
EnginePath enginePath();
// valueTree on the given path, or on the baseline path where this processor cannot run it.
TreeValuation valueTreeOn(EnginePath path, const TreeInputs &inputs, const PriceTables &prices,
                          Report *report = nullptr);
