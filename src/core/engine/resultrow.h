#pragma once

#include "grid.h"
#include "numberformat.h"
#include "treevaluation.h"

#include <QChar>
#include <QString>

// The result grid has one row per harvest year: row 1 for harvest now up to row 12 for harvest
// in 110 years, columns 1 to 17 for the figures (row 0 and column 0 are the result window's
// headings).
inline constexpr int firstResultRow = 1;
inline constexpr int lastResultRow = 12;
inline constexpr int firstResultCol = 1;
inline constexpr int lastResultCol = 17;

// The grid's heading of each figure of a harvest year, in the order of ResultColumn (empty
// outside 0 to 16). Everything that shows the figures of a harvest year (the grid, a list of
// trees, a file) heads them alike.
QString resultHeading(int column);

// The digit pattern of each figure of a harvest year, in the order of ResultColumn.
NumberPattern resultPattern(int column);

// The text of figure `column` of a harvest year as the grid shows it: its number with the
// column's pattern, or a single space for the growth rate and the present value of harvest now,
// which have no figure.
QString resultText(const HarvestYear &year, int column, QChar decimalSeparator);

// Shows a valuation in the grid: for each harvest year valued, its row is made current once and
// then each column in turn is made current and given its text. The rows a calculation that
// stopped early did not reach (all rows for one that never began) are emptied, so that no row
// of an earlier tree stands beside them.
void showResultRows(Grid &grid, const TreeValuation &valuation, QChar decimalSeparator);
