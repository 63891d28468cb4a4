#pragma once

#include "core/engine/treevaluation.h"
#include "core/files/numberformat.h"

#include <QChar>
#include <QString>

// The grid's heading of each figure of a harvest year, in the order of ResultColumn (empty
// outside 0 to 16). Everything that shows the figures of a harvest year (the grid, a list of
// trees, a file) heads them alike.
QString resultHeading(int column);

// What figure `column` of a harvest year means, in a sentence for the user (the heading's tooltip).
QString resultMeaning(int column);

// The digit pattern of each figure of a harvest year, in the order of ResultColumn.
NumberPattern resultPattern(int column);

// The text of figure `column` of a harvest year as the grid shows it: its number with the
// column's pattern, or a single space for the growth rate of harvest now, which has no figure.
QString resultText(const HarvestYear &year, int column, QChar decimalSeparator);
