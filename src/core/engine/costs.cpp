#include "core/engine/costs.h"
#include "core/engine/enginepath.h"

#include "core/engine/calculationstopped.h"
#include "core/engine/valuationstate.h"
#include "core/files/numberformat.h"

#include <cmath>

KVISTEL_ENGINE_BEGIN

double harvestCost(double fixedCostShare, double harvestCostLevel, double harvestIntensity,
                   double merchVolume) {
    const double base =
        (100 - fixedCostShare) * merchVolume * 75 / 100 + fixedCostShare * 75 * 0.168 / 100;
    const double intensity =
        2 - 0.02 * harvestIntensity + 0.0001 * (harvestIntensity * harvestIntensity);
    return harvestCostLevel * (base * intensity) / 100;
}

double plantingCost(const QString &replanting, double seedlingCost, double height) {
    if (!isCode(replanting, u'y'))
        return 0;
    return seedlingCost * height * height * 3.1416 * 0.2 * 0.2 / 4;
}

double interestAchieved(double netValue, double previousNetValue, int years) {
    double ratio = 0;
    double annual = 0;
    if (netValue > 0) {
        if (previousNetValue == 0)
            throw CalculationStopped(
                QStringLiteral("Värdetillväxten vid avverkning om %1 år går inte att beräkna: "
                               "nettovärdet tio år tidigare är exakt 0 kr, och ingen ränta leder "
                               "från 0 kr till ett positivt värde.")
                    .arg(years));
        ratio = netValue / previousNetValue;
    }
    if (ratio > 0)
        annual = std::exp(std::log(ratio) / 10);
    return (annual - 1) * 100;
}

double requiredRateLn(double requiredRate) {
    return checkedLn(1 + requiredRate, [&] {
        return QStringLiteral("Räntekravet %1 % går inte att räkna med: ett nuvärde kräver ett "
                              "räntekrav större än -100 %.")
            .arg(formatNumber(requiredRate * 100, u"###0.0"));
    });
}

double presentValueAt(double netValue, int years, double rateLn) {
    return netValue / std::exp(years * rateLn);
}

double presentValue(double netValue, int years, double requiredRate) {
    return presentValueAt(netValue, years, requiredRateLn(requiredRate));
}

KVISTEL_ENGINE_END
