#include "whatif.h"

#include "decision.h"
#include "verdict.h"

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
    inputs.mt *= factor;
    inputs.mg *= factor;
    inputs.mb *= factor;
}

QList<WhatIf> whatIfs(const TreeInputs &inputs, const PriceTables &prices, QChar separator) {
    QList<WhatIf> all;
    for (const int step : {-1, 0, 1}) {
        TreeInputs changed = inputs;
        changed.rant = inputs.rant + step / 100.0;
        QString change =
            QStringLiteral("Räntekrav %1 %").arg(rateText(changed.rant * 100, separator));
        if (step == 0)
            change += QStringLiteral(" (som beräknat)");
        all.append(valued(change, changed, prices));
    }
    for (const double factor : {0.9, 1.1}) {
        TreeInputs changed = inputs;
        PriceTables changedPrices = prices;
        scalePrices(changed, changedPrices, factor);
        all.append(valued(factor < 1 ? QStringLiteral("Alla priser −10 %")
                                     : QStringLiteral("Alla priser +10 %"),
                          changed, changedPrices));
    }
    return all;
}
