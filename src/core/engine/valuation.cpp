#include "core/engine/valuation.h"
#include "core/engine/enginepath.h"

#include "core/engine/calculationstopped.h"
#include "core/engine/costs.h"
#include "core/engine/growth.h"
#include "core/engine/pricing.h"
#include "core/engine/report.h"
#include "core/engine/stemform.h"
#include "core/engine/volumes.h"

#include <cmath>
#include <limits>

KVISTEL_ENGINE_BEGIN

namespace {

constexpr int passCount = 12;
// Years below which a pass is harvest now, with no growth behind it and nothing to discount.
constexpr std::int32_t harvestNowBelowYears = 9;
// Diameter in cm below which the report notes after each log that the wood has no value.
constexpr double noWoodValueBelowDiameter = 6.5;
// m3 that stand in for no merchantable volume: every per-m3 figure is then practically 0.
constexpr double noMerchVolumeStandIn = 1000000;

double &topDiam(ValuationState &s, int logNumber) {
    return logNumber == 1 ? s.topDiameter1 : logNumber == 2 ? s.topDiameter2 : s.topDiameter3;
}

QString missingQualityRow(int logNumber, int quality) {
    static const QString log[4] = {QString(), QStringLiteral("Första"), QStringLiteral("Andra"),
                                   QStringLiteral("Tredje")};
    return QStringLiteral("%1 stocken har kvalitetsklass %2, men prislistan har bara "
                          "kvalitetsklasserna 1 till 5. Ändra stockens kvalitet bland trädets "
                          "parametrar.")
        .arg(log[logNumber])
        .arg(quality);
}

// Every figure of the report is a number: an infinite or undefined one, which only absurd inputs
// give, stops the calculation at the step whose report line would show it, whether or not a
// report is written.
template <typename... Values> void requireFinite(Values... values) {
    if (!(std::isfinite(double(values)) && ...))
        throw NonFiniteNumber{};
}

// The figures of the current harvest year's row, in the order of ResultColumn. Harvest now has
// no ten years to grow over: its rate is NaN. Nor is it discounted: its present value is its
// net value.
std::array<double, resultColumnCount> resultValues(const ValuationState &s) {
    std::array<double, resultColumnCount> v{
        s.interestAchieved,
        s.presentValue,
        s.netValue,
        s.netValue / s.merchVolume,
        s.merchVolume,
        s.height,
        s.in.diameter,
        s.topDiameter1,
        s.topDiameter2,
        s.topDiameter3,
        s.logValue[1],
        s.logValue[2],
        s.logValue[3],
        s.pulpValue,
        s.woodValue / s.merchVolume,
        s.harvestCost / s.merchVolume,
        s.plantingCost / s.merchVolume,
    };
    const bool harvestNow = s.years < harvestNowBelowYears;
    for (std::size_t c = 0; c < v.size(); ++c) {
        if (harvestNow && c == InterestAchieved)
            v[c] = std::numeric_limits<double>::quiet_NaN();
        else if (harvestNow && c == PresentValue)
            v[c] = s.netValue;
        else if (!std::isfinite(v[c]))
            throw NonFiniteNumber{};
    }
    return v;
}

} // namespace

TreeValuation valueTreeOnPath(const TreeInputs &inputs, const PriceTables &prices, Report *report) {
    TreeValuation result;
    ValuationState s;
    s.in = inputs;
    Valuation valuation(s, prices, report, result.rows);
    result.stop = valuation.run();
    if (!result.stop && report)
        report->stopped(result.stop.message());
    result.yearsValued = valuation.yearsValued();
    result.carryOver = s.in;
    return result;
}

Valuation::Valuation(ValuationState &state, const PriceTables &prices, Report *report,
                     std::array<HarvestYear, harvestYearCount> &rows)
    : s(state), m_prices(prices), m_report(report), m_rows(rows) {}

Outcome Valuation::run() {
    try {
        if (m_report)
            m_report->header(s.in);
        requireFinite(s.in.requiredRate * 100, s.in.siteIndex, s.in.harvestIntensity,
                      s.in.pinePulpPrice, s.in.sprucePulpPrice, s.in.birchPulpPrice);
        startRun();
        while (s.passNumber < passCount)
            pass();
        if (m_report)
            m_report->trailer();
        return {};
    } catch (const CalculationStopped &stop) {
        return Outcome::failure(stop.message());
    } catch (const NonFiniteNumber &) {
        return Outcome::failure(
            m_inPass ? QStringLiteral("Ett ogiltigt tal (oändligt eller odefinierat) uppstod "
                                      "vid avverkning om %1 år: någon av trädets eller "
                                      "beståndets parametrar har ett orimligt värde.")
                           .arg(s.years)
                     : QStringLiteral("Någon av trädets eller beståndets parametrar har ett "
                                      "orimligt värde, som inte går att räkna med."));
    }
}

void Valuation::startRun() {
    if (const std::optional<double> price = pulpwoodPrice(s.in))
        s.pulpPrice = *price;

    m_heightModel = heightCoefficients(s.in.species, s.in.region);
    m_stemForm = taperCoefficients(s.in.species, s.in.region);
    m_pine = isCode(s.in.species, u't');
    m_spruce = isCode(s.in.species, u'g');
    m_broadleaf = isCode(s.in.species, u'b') || isCode(s.in.species, u'l');

    s.treeAge = 90;
    s.stepYears = 10;
    s.merchVolume = 0;
    s.topDiameter1 = s.topDiameter2 = s.topDiameter3 = 0;
    s.logVolume[1] = s.logVolume[2] = s.logVolume[3] = 0;
    s.ring = 0;
    s.crownReduction() = (100 - s.in.crownShare) / 200;
    s.passNumber = 0;
    s.years = 0 - s.stepYears;
    s.previousNetValue = 1;
    s.interestAchieved = 2;
}

void Valuation::pass() {
    s.years = s.years + 10;
    m_inPass = true;
    s.timberLength = 0.2;
    s.timberVolume = 0;

    computeHeight(s, m_heightModel);
    const double crownShare = computeRing(s);
    if (s.years < crownReducedBelowYears) {
        if (m_report)
            m_report->crownReduction(crownShare);
        requireFinite(crownShare);
    }
    if (m_report)
        m_report->passStart(s.in.diameter, s.height, s.ring, s.years);
    requireFinite(s.in.diameter, s.height, s.ring);

    buckLogs();
    pulpwoodAndWoodValue();
    costsAndDecisionFigures();
    HarvestYear &row = m_rows[std::size_t(s.passNumber)];
    row.years = s.years;
    row.values = resultValues(s);
    ++m_yearsValued;

    s.previousNetValue = s.netValue;
    if (m_report)
        m_report->passEnd();
    growDiameter(s);
    s.passNumber = s.passNumber + 1;
}

void Valuation::buckLogs() {
    s.stemVolume = stemVolume(s.in.species, s.in.diameter, s.height, s.stemVolume);

    s.logVolume[1] = s.logVolume[2] = s.logVolume[3] = 0;
    s.woodValue = 0;
    s.netValue = 0;
    s.topDiameter1 = s.topDiameter2 = s.topDiameter3 = 0;
    s.logPrice = 0;
    s.logTopDiameter = 0;
    s.logNumber = 1;

    while (s.logNumber <= 3) {
        buckLog(s, m_stemForm);
        topDiam(s, s.logNumber) = s.logTopDiameter;
        if (m_report)
            m_report->logTopDiameter(s.logNumber, s.logTopDiameter);
        requireFinite(s.logTopDiameter);
        const std::int16_t potential = s.in.logQualities[std::size_t(s.logNumber) - 1];
        s.workingQuality = workingQuality(potential, s.logTopDiameter);

        // Pine is sold by the quality its top diameter allows, spruce by the quality entered.
        const std::int16_t priceQuality = m_pine ? s.workingQuality : potential;
        if (m_pine || m_spruce) {
            if (!hasPriceRow(s.in.species, priceQuality, s.logTopDiameter))
                throw CalculationStopped(missingQualityRow(s.logNumber, priceQuality));
            s.logPrice = priceOfLog(m_prices.pine, m_prices.spruce, s.in.species, priceQuality,
                                    s.logTopDiameter);
        }

        valueLog();

        if (continuesBucking(s.logTopDiameter))
            s.logNumber = s.logNumber + 1;
        else
            s.logNumber = s.logNumber + 3;
    }
}

void Valuation::valueLog() {
    if (m_report)
        m_report->logPrice(s.logPrice);
    requireFinite(s.logPrice);
    const double volume = timberVolume(s.in.species, s.logTopDiameter);
    if (m_pine || m_spruce) {
        if (m_report)
            m_report->timberVolume(s.in.species, volume);
        requireFinite(volume);
        s.logVolume[s.logNumber] = volume;
    }
    s.logValue[s.logNumber] = 0;
    if (m_pine || m_spruce)
        s.logValue[s.logNumber] = volume * s.logPrice;

    // A log below 12 cm, or one the bucking has not come to, is no timber.
    for (int k = 1; k <= 3; ++k)
        if (!isTimberLog(topDiam(s, k))) {
            s.logVolume[k] = 0;
            s.logValue[k] = 0;
        }
    s.timberVolume = s.logVolume[1] + s.logVolume[2] + s.logVolume[3];
    if (s.in.diameter < noWoodValueBelowDiameter && m_report)
        m_report->noWoodValue();
}

void Valuation::pulpwoodAndWoodValue() {
    if (isTimberLog(s.topDiameter1))
        s.timberLength = 4.5;
    if (isTimberLog(s.topDiameter2))
        s.timberLength = 9.0;
    if (isTimberLog(s.topDiameter3))
        s.timberLength = 13.5;
    s.timberValue = s.logValue[1] + s.logValue[2] + s.logValue[3];
    s.pulpLength = s.height - 0.2 - s.timberLength - s.topLength;

    // The pulpwood starts where the last timber log ends, or at the stump without timber.
    if (!isTimberLog(s.topDiameter1))
        s.pulpLowDiameter = s.stumpDiameter;
    if (isTimberLog(s.topDiameter1))
        s.pulpLowDiameter = s.topDiameter1;
    if (isTimberLog(s.topDiameter2))
        s.pulpLowDiameter = s.topDiameter2;
    if (isTimberLog(s.topDiameter3))
        s.pulpLowDiameter = s.topDiameter3;

    s.pulpVolume = pulpwoodVolume(s.pulpLength, s.pulpLowDiameter, s.topPieceDiameter);
    if (m_report)
        m_report->pulpDiameters(s.pulpLowDiameter, s.topPieceDiameter);
    requireFinite(s.pulpLowDiameter, s.topPieceDiameter);
    s.pulpValue = s.pulpPrice * s.pulpVolume;
    s.merchVolume = s.pulpVolume + s.timberVolume;
    if (m_broadleaf)
        s.merchVolume = s.pulpVolume;
    if (s.pulpValue < 0)
        s.pulpValue = 0;
    if (isTimberLog(s.topDiameter1)) {
        if (m_report)
            m_report->pulpwood(s.pulpLength, s.pulpVolume, s.pulpValue);
        requireFinite(s.pulpLength, s.pulpVolume, s.pulpValue);
        if (m_report)
            m_report->logValues(s.logValue[1], s.logValue[2], s.logValue[3], s.timberValue);
        requireFinite(s.logValue[1], s.logValue[2], s.logValue[3], s.timberValue);
        s.woodValue = s.pulpValue + s.timberValue;
    } else {
        s.woodValue = s.pulpValue;
    }
    if (m_report)
        m_report->totalVolume(s.stemVolume, s.merchVolume);
    requireFinite(s.stemVolume - reportedStemVolumeDeduction, s.merchVolume);
}

void Valuation::costsAndDecisionFigures() {
    if (m_report)
        m_report->harvestIntensity(s.in.harvestIntensity);
    requireFinite(s.in.harvestIntensity);
    s.harvestCost = harvestCost(s.in.fixedCostShare, s.in.harvestCostLevel, s.in.harvestIntensity,
                                s.merchVolume);
    s.netValue = s.woodValue - s.harvestCost;
    s.plantingCost = plantingCost(s.in.replanting, s.in.seedlingCost, s.height);
    s.netValue = s.netValue - s.plantingCost;
    if (s.merchVolume == 0) {
        if (m_report)
            m_report->noMerchantableWood();
        s.merchVolume = noMerchVolumeStandIn;
    }
    const double netPerM3 = s.netValue / s.merchVolume;
    if (m_report)
        m_report->costs(s.harvestCost, s.plantingCost, s.woodValue, s.netValue, netPerM3,
                        s.merchVolume);
    requireFinite(s.harvestCost, s.harvestCost / s.merchVolume, s.plantingCost,
                  s.plantingCost / s.merchVolume, s.woodValue, s.woodValue / s.merchVolume,
                  s.netValue, netPerM3);

    s.valueIncrease = s.netValue - s.previousNetValue;
    s.interestAchieved = interestAchieved(s.netValue, s.previousNetValue, s.years);
    if (!m_rateLn) // the same for every harvest year
        m_rateLn = requiredRateLn(s.in.requiredRate);
    s.presentValue = presentValueAt(s.netValue, s.years, *m_rateLn);
    if (s.years > harvestNowBelowYears) {
        if (m_report)
            m_report->valueGrowth(s.valueIncrease, s.interestAchieved, s.presentValue, s.years,
                                  s.in.requiredRate);
        requireFinite(s.valueIncrease, s.interestAchieved, s.presentValue, s.in.requiredRate * 100);
    }
}

KVISTEL_ENGINE_END
