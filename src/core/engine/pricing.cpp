#include "core/engine/pricing.h"
#include "core/engine/enginepath.h"

#include "core/engine/calculationstopped.h"
#include "core/engine/valuationstate.h"
#include "core/parameters/treeinputs.h"

KVISTEL_ENGINE_BEGIN

namespace {

constexpr int lowestBound = 12;

bool isTimberSpecies(const QString &art) {
    return isCode(art, u't') || isCode(art, u'g');
}

} // namespace

bool hasPriceRow(const QString &art, std::int16_t kvalitet, double d) {
    return !isTimberSpecies(art) || !(d >= lowestBound) || (kvalitet >= 0 && kvalitet <= 5);
}

std::optional<double> pulpwoodPrice(const TreeInputs &tree) {
    if (isCode(tree.art, u't'))
        return tree.mt;
    if (isCode(tree.art, u'g'))
        return tree.mg;
    if (isCode(tree.art, u'l'))
        return 0;
    if (isCode(tree.art, u'b'))
        return tree.mb;
    return std::nullopt;
}

double priceOfLog(const PriceTable &pinePrices, const PriceTable &sprucePrices, const QString &art,
                  std::int16_t kvalitet, double d) {
    if (!hasPriceRow(art, kvalitet, d))
        throw CalculationStopped(
            QStringLiteral("Kvalitetsklass %1 finns inte i prislistan, som har "
                           "kvalitetsklasserna 1 till 5.")
                .arg(kvalitet));
    const bool pine = isCode(art, u't');
    const bool spruce = isCode(art, u'g');
    double price = 0;
    for (int j = 1; j <= 10; ++j) {
        const int bound = 12 + 2 * (j - 1);
        if (pine && d >= bound)
            price = pinePrices[kvalitet][j];
        else if (spruce && d >= bound)
            price = sprucePrices[kvalitet][j];
    }
    return price;
}

KVISTEL_ENGINE_END
