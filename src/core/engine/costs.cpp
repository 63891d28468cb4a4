#include "core/engine/costs.h"
#include "core/engine/enginepath.h"

#include "core/engine/calculationstopped.h"
#include "core/engine/valuationstate.h"
#include "core/files/numberformat.h"

#include <cmath>

KVISTEL_ENGINE_BEGIN

double harvestCost(double avvandel, double avvjust, double harvpr, double merchVolume) {
    const double base = (100 - avvandel) * merchVolume * 75 / 100 + avvandel * 75 * 0.168 / 100;
    const double intensity = 2 - 0.02 * harvpr + 0.0001 * (harvpr * harvpr);
    return avvjust * (base * intensity) / 100;
}

double plantingCost(const QString &plant, double plantcost, double height) {
    if (!isCode(plant, u'y'))
        return 0;
    return plantcost * height * height * 3.1416 * 0.2 * 0.2 / 4;
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

double requiredRateLn(double rant) {
    return checkedLn(1 + rant, [&] {
        return QStringLiteral("Räntekravet %1 % går inte att räkna med: ett nuvärde kräver ett "
                              "räntekrav större än -100 %.")
            .arg(formatNumber(rant * 100, u"###0.0"));
    });
}

double presentValueAt(double netValue, int years, double rateLn) {
    return netValue / std::exp(years * rateLn);
}

double presentValue(double netValue, int years, double rant) {
    return presentValueAt(netValue, years, requiredRateLn(rant));
}

KVISTEL_ENGINE_END
