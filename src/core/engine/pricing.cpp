#include "core/engine/pricing.h"
#include "core/engine/enginepath.h"

#include "core/engine/calculationstopped.h"
#include "core/engine/valuationstate.h"
#include "core/parameters/treeinputs.h"

KVISTEL_ENGINE_BEGIN

namespace {

constexpr int lowestBound = 12;

bool isTimberSpecies(const QString &species) {
    return isCode(species, u't') || isCode(species, u'g');
}

} // namespace

bool hasPriceRow(const QString &species, std::int16_t quality, double d) {
    return !isTimberSpecies(species) || !(d >= lowestBound) || (quality >= 0 && quality <= 5);
}

std::optional<double> pulpwoodPrice(const TreeInputs &tree) {
    if (isCode(tree.species, u't'))
        return tree.pinePulpPrice;
    if (isCode(tree.species, u'g'))
        return tree.sprucePulpPrice;
    if (isCode(tree.species, u'l'))
        return 0;
    if (isCode(tree.species, u'b'))
        return tree.birchPulpPrice;
    return std::nullopt;
}

double priceOfLog(const PriceTable &pinePrices, const PriceTable &sprucePrices,
                  const QString &species, std::int16_t quality, double d) {
    if (!hasPriceRow(species, quality, d))
        throw CalculationStopped(
            QStringLiteral("Kvalitetsklass %1 finns inte i prislistan, som har "
                           "kvalitetsklasserna 1 till 5.")
                .arg(quality));
    const bool pine = isCode(species, u't');
    const bool spruce = isCode(species, u'g');
    double price = 0;
    for (int j = 1; j <= 10; ++j) {
        const int bound = 12 + 2 * (j - 1);
        if (pine && d >= bound)
            price = pinePrices[quality][j];
        else if (spruce && d >= bound)
            price = sprucePrices[quality][j];
    }
    return price;
}

KVISTEL_ENGINE_END
