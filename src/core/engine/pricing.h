#pragma once

#include "core/engine/enginepath.h"
#include "core/files/pricelistfile.h"

#include <QString>

#include <cstdint>
#include <optional>

struct TreeInputs;

KVISTEL_ENGINE_BEGIN

// The timber price in kr/m3 of a log: the price of the highest diameter class (lower bounds 12,
// 14, ..., 30 cm) that the top diameter `d` reaches, in the row of quality class `quality`, from
// the pine table for "t" and the spruce table for "g". Other species, and logs below 12 cm, get
// 0 without a look at the tables. Throws CalculationStopped when a pine or spruce log of at least
// 12 cm has a quality class that the tables have no row for (outside 0..5).
double priceOfLog(const PriceTable &pinePrices, const PriceTable &sprucePrices,
                  const QString &species, std::int16_t quality, double d);

// False exactly when priceOfLog would have to read a quality row that does not exist.
bool hasPriceRow(const QString &species, std::int16_t quality, double d);

// The pulpwood price in kr/m3 of the tree's species: `pinePulpPrice` for pine, `sprucePulpPrice`
// for spruce, `birchPulpPrice` for birch and 0 for other broadleaf, for which the control file has
// no price. None for a species code the program does not know; such a tree is stopped by the height
// model before any pulpwood is priced.
std::optional<double> pulpwoodPrice(const TreeInputs &tree);

KVISTEL_ENGINE_END
