#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The rules of the price list editor's grid that need no window: how wide a price column is, what
// a price cell shows, and where the in-cell editor goes when the user moves it by keyboard.

// A price cell: quality class 1..5 (grid row) and diameter class 1..10 (grid column).
struct PriceCell {
    int row = 1;
    int col = 1;
    friend bool operator==(const PriceCell &, const PriceCell &) = default;
};

inline constexpr int qualityClasses = 5;
inline constexpr int diameterClasses = 10;

// Width in twips of each of the ten price columns of a grid `gridWidthTwips` wide: what is left
// after the 900-twip header column and a margin of 600 twips, shared by ten, rounded to a whole
// twip with halves to the even neighbour. Never below 0, however narrow the grid.
int priceColumnWidth(int gridWidthTwips);

// The text a price cell shows: the price as the file writes it, its point as the regional
// settings' decimal separator, or nothing for a price of 0.1 or less (unpriced classes are 0 or a
// token 0.05 in the price lists in use).
QString priceCellText(double price);

// The price a user typed into a cell: a plain decimal number, with "," or "." as the decimal
// point (as the forms take it), blanks ignored (a space between thousands), optionally followed by
// the unit "kr". An empty cell is 0. Nothing for any other text ("abc", "€", "0x10", "12a").
std::optional<double> typedPrice(QStringView text);

// The keys that move the in-cell editor. Right and Left stop at the row's ends, Up and Down at the
// column's; Tab and Backtab run through the rows like text and leave the grid after the last
// (first) cell; Enter goes down the column, then to the top of the next one, and round to the
// first cell after the last.
enum class CellMove { Right, Left, Up, Down, Tab, Backtab, Enter };

// The cell the editor goes to, or nothing when the move leaves the grid or hits its edge.
std::optional<PriceCell> movedCell(PriceCell from, CellMove move);
