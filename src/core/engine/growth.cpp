#include "core/engine/growth.h"
#include "core/engine/enginepath.h"

#include "core/engine/calculationstopped.h"
#include "core/engine/valuationstate.h"
#include "core/files/numberformat.h"

#include <cmath>

KVISTEL_ENGINE_BEGIN

namespace {

// v is the variance term of the log-normal model; southern pine's 0.17² is kept as the double
// product, as the model was fitted with it.
const HeightCoefficients pineNorth{0.0225,  5.711,  -220.606, 4600.799, -9.89,
                                   -47.298, 0.0022, -0.303,   0.039};
const HeightCoefficients pineSouth{0.17 * 0.17, 5.444,   -303.288, 12257.2, -4.736,
                                   -102.286,    0.00236, 0.601,    -0.583};
const HeightCoefficients spruceNorth{0.0225, 5.833,   -266.78, 3907.059, -4.22,
                                     4.683,  0.00183, -0.18,   0.00246};
const HeightCoefficients spruceSouth{0.0225, 5.832,   -237.782, 2572.936, -8.894,
                                     54.548, 0.00133, -0.034,   -0.065};

QString speciesName(const QString &species) {
    if (isCode(species, u'b'))
        return QStringLiteral("björk (trädart \"b\")");
    if (isCode(species, u'l'))
        return QStringLiteral("övrigt löv (trädart \"l\")");
    return QStringLiteral("trädarten \"%1\"").arg(species);
}

QString noModel(const QString &species, const QString &region) {
    if (!isCode(species, u't') && !isCode(species, u'g'))
        return QStringLiteral("Det finns ingen höjdmodell och ingen stamform för %1: beräkningen "
                              "kan bara göras för tall (t) och gran (g).")
            .arg(speciesName(species));
    return QStringLiteral("Det finns ingen höjdmodell för landsdelen \"%1\": landsdelen ska "
                          "vara N (norra Sverige) eller S (södra Sverige).")
        .arg(region);
}

} // namespace

const HeightCoefficients *heightCoefficients(const QString &species, const QString &region) {
    if (isCode(species, u't') && isCode(region, u'N'))
        return &pineNorth;
    if (isCode(species, u't') && isCode(region, u'S'))
        return &pineSouth;
    if (isCode(species, u'g') && isCode(region, u'N'))
        return &spruceNorth;
    if (isCode(species, u'g') && isCode(region, u'S'))
        return &spruceSouth;
    return nullptr;
}

double modelHeight(const HeightCoefficients &c, double diameter, double treeAge, double siteIndex,
                   double diameterQuotient) {
    const double D = diameter * 10 + 50; // diameter in mm, plus 50
    const double A = treeAge + 10;
    double x = c.v / 2 + c.c0;
    x = x + c.p1 / D;
    x = x + c.p2 / (D * D);
    x = x + c.q1 / A;
    x = x + c.q2 / (A * A);
    x = x + siteIndex * c.s * 10;
    x = x + diameterQuotient * c.k1;
    x = x + diameterQuotient * c.k2 * diameterQuotient;
    return std::exp(x) / 10;
}

void computeHeight(ValuationState &s, const HeightCoefficients *c) {
    if (!c)
        throw CalculationStopped(noModel(s.in.species, s.in.region));
    if (!std::isfinite(s.in.diameter))
        throw NonFiniteNumber{};
    if (!(s.in.diameter > 0))
        throw CalculationStopped(
            QStringLiteral("Brösthöjdsdiametern är %1 cm vid avverkning om %2 år: trädet måste ha "
                           "en diameter större än 0 cm för att kunna värderas.")
                .arg(formatNumber(s.in.diameter, u"#0.00"))
                .arg(s.years));
    s.height = modelHeight(*c, s.in.diameter, s.treeAge, s.in.siteIndex, s.in.diameterQuotient);
    s.height = s.height + s.in.heightDeviation;
    if (!std::isfinite(s.height))
        throw CalculationStopped(
            QStringLiteral("Trädets höjd går inte att beräkna vid avverkning om %1 år: "
                           "diametern, boniteten, diameterkvoten eller höjdavvikelsen har ett "
                           "orimligt värde.")
                .arg(s.years));
    if (!(s.height > 0))
        throw CalculationStopped(
            QStringLiteral("Trädets höjd blir %1 m vid avverkning om %2 år, med höjdavvikelsen "
                           "%3 m inräknad: ett träd utan höjd kan inte kapas i stockar.")
                .arg(formatNumber(s.height, u"#0.00"))
                .arg(s.years)
                .arg(formatNumber(s.in.heightDeviation, u"#0.00")));
}

double computeRing(ValuationState &s) {
    s.ring = s.in.ringWidth;
    const double sharePercent = (1 - s.crownReduction()) * 100;
    s.ring = s.ring * (1 - s.crownReduction());
    s.crownReduction() = s.crownReduction() / 2;
    if (s.years >= crownReducedBelowYears)
        s.ring = s.in.ringWidth;
    return sharePercent;
}

void growDiameter(ValuationState &s) {
    s.diameterIncrement = (s.ring + s.ring) / 10;
    s.in.diameter = s.diameterIncrement * 10 + s.in.diameter;
}

KVISTEL_ENGINE_END
