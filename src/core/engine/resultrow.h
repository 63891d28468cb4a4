#pragma once

#include "enginestate.h"
#include "grid.h"

#include <QChar>

#include <array>

// The result grid has one row per harvest year: row 1 for harvest now up to row 12 for harvest
// in 110 years, columns 1 to 17 filled by the engine (row 0 and column 0 are the result window's
// headings).
inline constexpr int firstResultRow = 1;
inline constexpr int lastResultRow = 12;
inline constexpr int firstResultCol = 1;
inline constexpr int lastResultCol = 17;

// The figures of the current pass's row, columns 1 to 17 in order. In the row of harvest now the
// growth rate and the present value are NaN (they are not shown). Throws NonFiniteNumber when
// any other value is not a finite number.
std::array<double, lastResultCol> resultValues(const EngineState &s);

// Writes the row of the current pass (row `pass_no` + 1) from the state after its costs: the
// current row is set once, then each column in turn is made current and given its text.
// Throws NonFiniteNumber, before any cell is written, when a value is not a finite number.
void writeResultRow(Grid &grid, const EngineState &s, QChar decimalSeparator);

// Empties columns 1 to 17 of rows `fromRow` to 12, so that no row of an earlier tree stands
// beside the rows of a calculation that stopped early.
void clearResultRows(Grid &grid, int fromRow);
