#pragma once

#include <QString>

#include <array>

// The price list "priser_ac.txt": a county text and the timber prices in kr/m3 of pine ("t")
// and spruce ("g"), five quality classes by ten top-diameter classes (12, 14, ..., 30 cm).

// Prices by [quality class 0..5][diameter class 0..15]. Only classes 1..5 and 1..10 come from
// the file; the other cells stay 0, so a lookup outside them gives price 0.
using PriceTable = std::array<std::array<double, 16>, 6>;

QString priceListPath(const QString &sokvag);

// The editor's reader: the county text and exactly two blocks, each filling the table its tag
// names ("t" pine, "g" spruce; a block with another tag is read and dropped). Returns an empty
// text on success. On failure (missing file, fewer than two blocks, a text where a price is due,
// an early end) returns a Swedish message naming the file and the problem, and leaves `lan` and
// both tables exactly as they were: a half-read file never passes for a price list.
QString las_prislista(const QString &path, QString &lan, PriceTable &pine, PriceTable &spruce);

// The engine's reader: the county text (dropped), then blocks until the end of the file, a tag
// read after every block (the file's final empty line is that last tag). Same failure rule.
QString read_pricelist(const QString &path, PriceTable &pine, PriceTable &spruce);

// Writes the exact 14-line layout and replaces the file atomically. Returns an empty text, or a
// Swedish message when the county text cannot be written (it holds a double quote) or the file
// cannot be saved; the old file then stays as it was.
QString skriv_prislista(const QString &path, const QString &lan, const PriceTable &pine,
                        const PriceTable &spruce);

// A price as the file writes it: plain decimal, "." as the point, no trailing zeros, whole
// numbers without a point, and exactly the same value when read back.
QString priceText(double price);
