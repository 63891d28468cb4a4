#include "resultrow.h"

#include "calculationstopped.h"
#include "numberformat.h"

#include <QStringList>

#include <array>
#include <cmath>
#include <limits>

namespace {

struct Column {
    NumberPattern pattern;
    double (*value)(const EngineState &s);
};

// Columns 1 to 17; every per-m3 figure divides by the merchantable volume after a zero volume
// has been replaced by 1000000.
const std::array<Column, lastResultCol> columns{{
    {u"#0.00", [](const EngineState &s) { return s.interest_achieved; }},
    {u"#0", [](const EngineState &s) { return s.present_value; }},
    {u"#0", [](const EngineState &s) { return s.net_value; }},
    {u"#0", [](const EngineState &s) { return s.net_value / s.merch_volume; }},
    {u"#0.00", [](const EngineState &s) { return s.merch_volume; }},
    {u"#0.0", [](const EngineState &s) { return s.height; }},
    {u"#0", [](const EngineState &s) { return s.bdm; }},
    {u"#0", [](const EngineState &s) { return s.top_diam1; }},
    {u"#0", [](const EngineState &s) { return s.top_diam2; }},
    {u"#0", [](const EngineState &s) { return s.top_diam3; }},
    {u"#0", [](const EngineState &s) { return s.log_value[1]; }},
    {u"#0", [](const EngineState &s) { return s.log_value[2]; }},
    {u"#0", [](const EngineState &s) { return s.log_value[3]; }},
    {u"#0", [](const EngineState &s) { return s.pulp_value; }},
    {u"#0", [](const EngineState &s) { return s.wood_value / s.merch_volume; }},
    {u"#0", [](const EngineState &s) { return s.harvest_cost / s.merch_volume; }},
    {u"#0", [](const EngineState &s) { return s.planting_cost / s.merch_volume; }},
}};

// The first row (harvest now) has no preceding ten years to grow over and is not discounted:
// the rate and the present value stay blank.
constexpr int blankInFirstRow = 2;

} // namespace

std::array<double, lastResultCol> resultValues(const EngineState &s) {
    const bool firstRow = s.years < 9;
    std::array<double, lastResultCol> values;
    for (int c = 0; c < lastResultCol; ++c) {
        values[c] = columns[c].value(s);
        if (firstRow && c < blankInFirstRow)
            values[c] = std::numeric_limits<double>::quiet_NaN();
        else if (!std::isfinite(values[c]))
            throw NonFiniteNumber{};
    }
    return values;
}

void writeResultRow(Grid &grid, const EngineState &s, QChar decimalSeparator) {
    const std::array<double, lastResultCol> values = resultValues(s);
    grid.setRow(s.pass_no + 1);
    for (int c = firstResultCol; c <= lastResultCol; ++c) {
        grid.setCol(c);
        grid.setText(std::isnan(values[c - 1])
                         ? QStringLiteral(" ")
                         : numberText(values[c - 1], columns[c - 1].pattern, decimalSeparator));
    }
}

void clearResultRows(Grid &grid, int fromRow) {
    for (int r = qMax(fromRow, firstResultRow); r <= lastResultRow; ++r) {
        grid.setRow(r);
        for (int c = firstResultCol; c <= lastResultCol; ++c) {
            grid.setCol(c);
            grid.setText(QString());
        }
    }
}
