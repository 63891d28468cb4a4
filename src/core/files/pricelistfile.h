#pragma once

#include "core/files/homedirectory.h"
#include "core/files/outcome.h"
#include "core/files/textfile.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

// The price list "priser_ac.txt": a county text and the timber prices in kr/m3 of pine ("t")
// and spruce ("g"), five quality classes by ten top-diameter classes (12, 14, ..., 30 cm).

// Prices by [quality class 0..5][diameter class 0..15]. Only classes 1..5 and 1..10 come from
// the file; the other cells stay 0, so a lookup outside them gives price 0.
using PriceTable = std::array<std::array<double, 16>, 6>;

// The timber prices a valuation reads, kr/m3.
struct PriceTables {
    PriceTable pine{};
    PriceTable spruce{};
};

// A price as the file holds it: a plain decimal number with "." as the point, optionally signed
// and with an exponent; the empty text is 0. Anything else is no price.
std::optional<double> parsePrice(const QString &item);

// A price list as the editor holds it between reading and saving.
struct PriceList {
    // One block of the file, in the file's order.
    struct Block {
        QString tag;
        // The editor edits the last "t" and the last "g" block, the ones a calculation prices
        // with; they are written from `pine` and `spruce`. Any other block (birch, a tag the
        // program does not know, an earlier block a later one overrides) is written back exactly
        // as the file had it, in `keptText`.
        bool edited = false;
        QString keptText;
    };

    QString county;
    PriceTable pine{};
    PriceTable spruce{};
    // Empty for a new list: the pine block, then the spruce block.
    QList<Block> blocks;
};

// The editor's reader: the county text and every block to the end of the file (the final empty
// line may be missing). Fails, with a Swedish message naming the file and the place, on a missing
// file, a text where a price is due, an early end, or a file without a pine or a spruce block, so
// that a half-read file never passes for a price list. `stamp` (when given) records what was
// read, or a failed read, for writePriceList to tell whether someone else changed the file since.
Expected<PriceList> readPriceList(const QString &path, FileStamp *stamp = nullptr);

// The engine's reader: the county text (dropped), then blocks until the end of the file, a tag
// read after every block (the file's final empty line is that last tag); a later block with the
// same tag overrides an earlier one; the prices are read over `base` (a table the file has no
// block for keeps its prices). Fails as the editor's reader does, and also when the final empty
// line is missing.
Expected<PriceTables> readTimberPrices(const QString &path, PriceTables base = {});

// readTimberPrices of the price list in the home directory.
Expected<PriceTables> loadPriceTables(const HomeDirectory &home, PriceTables base = {});

// Writes the county text and the blocks of `list` (the layout of 14 lines for a list of a pine
// and a spruce block) and replaces the file atomically. Fails with a Swedish message when the
// county text cannot be written (a double quote or a line break), a price is not finite, or the
// file cannot be saved (replaceFileSafely); the old file then stays as it was. A character
// Windows-1252 lacks is refused too. With `stamp` given, a file that changed since the read that
// stamp records is not overwritten (the outcome says changedOnDisk); after a save the stamp is
// of what was written.
SaveOutcome writePriceList(const QString &path, const PriceList &list, FileStamp *stamp = nullptr);

// A price as the file writes it: plain decimal, "." as the point, no trailing zeros, whole
// numbers without a point, and exactly the same value when read back.
QString priceText(double price);
