#include "core/results/verdict.h"

#include "core/engine/decision.h"
#include "core/files/numberformat.h"

#include <cmath>

namespace {

QString kronor(double value, QChar separator) {
    return formatNumber(value, u"#0", separator);
}

// The value growth of the next ten years against the required rate, compared as the grid shows
// them (two decimals).
QString growthSentence(const Decision &d, double requiredPercent, QChar separator) {
    const QString required = rateText(requiredPercent, separator);
    if (std::isnan(d.growthNextTen))
        return QStringLiteral("Trädet har i dag inget positivt nettovärde, så dess värdetillväxt "
                              "kan inte ställas mot räntekravet %1 %.")
            .arg(required);
    const double growth = std::round(d.growthNextTen * 100);
    const double wanted = std::round(requiredPercent * 100);
    const QString comparison = growth > wanted   ? QStringLiteral("över")
                               : growth < wanted ? QStringLiteral("under")
                                                 : QStringLiteral("lika med");
    return QStringLiteral("De närmaste tio åren växer trädets värde med %1 % per år, %2 "
                          "räntekravet %3 %.")
        .arg(formatNumber(d.growthNextTen, u"#0.00", separator), comparison, required);
}

} // namespace

QString verdictText(const TreeValuation &valuation, double requiredRate, QChar separator) {
    if (!valuation.complete())
        return QStringLiteral("Beräkningen avbröts. ") + valuation.stop.message();
    const std::optional<Decision> d = decide(valuation);
    if (!d)
        return {};
    if (!d->anyPositive)
        return QStringLiteral("Inget avverkningsår ger trädet ett positivt nuvärde: avverkningen "
                              "kostar mer än virket är värt, nu och de närmaste 110 åren.");
    const QString growth = growthSentence(*d, requiredRate * 100, separator);
    if (d->cutNow())
        return QStringLiteral("Avverka nu: trädet är värt %1 kr netto i dag, och ingen senare "
                              "avverkning ger ett högre nuvärde. %2")
            .arg(kronor(d->valueNow, separator), growth);
    return QStringLiteral("Låt trädet stå och avverka om %1 år: nuvärdet är då %2 kr mot %3 kr "
                          "vid avverkning nu. %4")
        .arg(QString::number(d->bestYears()), kronor(d->bestValue, separator),
             kronor(d->valueNow, separator), growth);
}

QString rateText(double percent, QChar separator) {
    QString text = formatNumber(percent, u"#0.00", separator);
    while (text.endsWith(u'0') && text.contains(separator))
        text.chop(1);
    if (text.endsWith(separator))
        text.chop(1);
    return text;
}
