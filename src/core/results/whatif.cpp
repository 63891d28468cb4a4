#include "core/results/whatif.h"

#include "core/engine/decision.h"
#include "core/results/verdict.h"

namespace {

WhatIf valued(QString change, const TreeInputs &inputs, const PriceTables &prices) {
    WhatIf w;
    w.change = std::move(change);
    if (const std::optional<Decision> d = decide(valueTree(inputs, prices))) {
        w.valued = true;
        w.bestYears = d->bestYears();
        w.bestValue = d->bestValue;
    }
    return w;
}

} // namespace

void scalePrices(TreeInputs &inputs, PriceTables &prices, double factor) {
    for (PriceTable *table : {&prices.pine, &prices.spruce})
        for (auto &quality : *table)
            for (double &price : quality)
                price *= factor;
    inputs.pinePulpPrice *= factor;
    inputs.sprucePulpPrice *= factor;
    inputs.birchPulpPrice *= factor;
}

QList<WhatIfCase> whatIfCases(const TreeInputs &inputs, const PriceTables &prices,
                              QChar separator) {
    QList<WhatIfCase> all;
    for (const int step : {-1, 0, 1}) {
        WhatIfCase c{QString(), inputs, prices, step == 0};
        c.inputs.requiredRate = inputs.requiredRate + step / 100.0;
        c.change =
            QStringLiteral("Räntekrav %1 %").arg(rateText(c.inputs.requiredRate * 100, separator));
        if (c.asGiven)
            c.change += QStringLiteral(" (som beräknat)");
        all.append(std::move(c));
    }
    for (const double factor : {0.9, 1.1}) {
        WhatIfCase c{factor < 1 ? QStringLiteral("Alla priser −10 %")
                                : QStringLiteral("Alla priser +10 %"),
                     inputs, prices};
        scalePrices(c.inputs, c.prices, factor);
        all.append(std::move(c));
    }
    return all;
}

void applyChange(const WhatIfCase &c, TreeInputs &inputs) {
    inputs.requiredRate = c.inputs.requiredRate;
    inputs.pinePulpPrice = c.inputs.pinePulpPrice;
    inputs.sprucePulpPrice = c.inputs.sprucePulpPrice;
    inputs.birchPulpPrice = c.inputs.birchPulpPrice;
}

QList<WhatIf> whatIfs(const TreeInputs &inputs, const PriceTables &prices, QChar separator) {
    QList<WhatIf> all;
    for (const WhatIfCase &c : whatIfCases(inputs, prices, separator))
        all.append(valued(c.change, c.inputs, c.prices));
    return all;
}
