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

double &topDiam(ValuationState &s, int log_no) {
    return log_no == 1 ? s.top_diam1 : log_no == 2 ? s.top_diam2 : s.top_diam3;
}

QString missingQualityRow(int log_no, int kvalitet) {
    static const QString log[4] = {QString(), QStringLiteral("Första"), QStringLiteral("Andra"),
                                   QStringLiteral("Tredje")};
    return QStringLiteral("%1 stocken har kvalitetsklass %2, men prislistan har bara "
                          "kvalitetsklasserna 1 till 5. Ändra stockens kvalitet bland trädets "
                          "parametrar.")
        .arg(log[log_no])
        .arg(kvalitet);
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
        s.interest_achieved,
        s.present_value,
        s.net_value,
        s.net_value / s.merch_volume,
        s.merch_volume,
        s.height,
        s.in.bdm,
        s.top_diam1,
        s.top_diam2,
        s.top_diam3,
        s.log_value[1],
        s.log_value[2],
        s.log_value[3],
        s.pulp_value,
        s.wood_value / s.merch_volume,
        s.harvest_cost / s.merch_volume,
        s.planting_cost / s.merch_volume,
    };
    const bool harvestNow = s.years < 9;
    for (std::size_t c = 0; c < v.size(); ++c) {
        if (harvestNow && c == InterestAchieved)
            v[c] = std::numeric_limits<double>::quiet_NaN();
        else if (harvestNow && c == PresentValue)
            v[c] = s.net_value;
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
        requireFinite(s.in.rant * 100, s.in.site, s.in.harvpr, s.in.mt, s.in.mg, s.in.mb);
        startRun();
        while (s.pass_no < passCount)
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
        s.pulp_price = *price;

    m_heightModel = heightCoefficients(s.in.art, s.in.sv);
    m_stemForm = taperCoefficients(s.in.art, s.in.sv);
    m_pine = isCode(s.in.art, u't');
    m_spruce = isCode(s.in.art, u'g');
    m_broadleaf = isCode(s.in.art, u'b') || isCode(s.in.art, u'l');

    s.tree_age = 90;
    s.step_years = 10;
    s.merch_volume = 0;
    s.top_diam1 = s.top_diam2 = s.top_diam3 = 0;
    s.log_volume[1] = s.log_volume[2] = s.log_volume[3] = 0;
    s.ring = 0;
    s.crownReduction() = (100 - s.in.kronst) / 200;
    s.pass_no = 0;
    s.years = 0 - s.step_years;
    s.net_previous = 1;
    s.interest_achieved = 2;
}

void Valuation::pass() {
    s.years = s.years + 10;
    m_inPass = true;
    s.timber_length = 0.2;
    s.timber_volume = 0;

    computeHeight(s, m_heightModel);
    const double crownShare = computeRing(s);
    if (s.years < 20) {
        if (m_report)
            m_report->crownReduction(crownShare);
        requireFinite(crownShare);
    }
    if (m_report)
        m_report->passStart(s.in.bdm, s.height, s.ring, s.years);
    requireFinite(s.in.bdm, s.height, s.ring);

    buckLogs();
    pulpwoodAndWoodValue();
    costsAndDecisionFigures();
    HarvestYear &row = m_rows[std::size_t(s.pass_no)];
    row.years = s.years;
    row.values = resultValues(s);
    ++m_yearsValued;

    s.net_previous = s.net_value;
    if (m_report)
        m_report->passEnd();
    growDiameter(s);
    s.pass_no = s.pass_no + 1;
}

void Valuation::buckLogs() {
    s.stem_vol = stemVolume(s.in.art, s.in.bdm, s.height, s.stem_vol);

    s.log_volume[1] = s.log_volume[2] = s.log_volume[3] = 0;
    s.wood_value = 0;
    s.net_value = 0;
    s.top_diam1 = s.top_diam2 = s.top_diam3 = 0;
    s.log_price = 0;
    s.log_top_diam = 0;
    s.log_no = 1;

    while (s.log_no <= 3) {
        buckLog(s, m_stemForm);
        topDiam(s, s.log_no) = s.log_top_diam;
        if (m_report)
            m_report->logTopDiameter(s.log_no, s.log_top_diam);
        requireFinite(s.log_top_diam);
        const std::int16_t potential = s.in.kvalitet[std::size_t(s.log_no) - 1];
        s.working_quality = workingQuality(potential, s.log_top_diam);

        // Pine is sold by the quality its top diameter allows, spruce by the quality entered.
        const std::int16_t priceQuality = m_pine ? s.working_quality : potential;
        if (m_pine || m_spruce) {
            if (!hasPriceRow(s.in.art, priceQuality, s.log_top_diam))
                throw CalculationStopped(missingQualityRow(s.log_no, priceQuality));
            s.log_price =
                priceOfLog(m_prices.pine, m_prices.spruce, s.in.art, priceQuality, s.log_top_diam);
        }

        valueLog();

        if (continuesBucking(s.log_top_diam))
            s.log_no = s.log_no + 1;
        else
            s.log_no = s.log_no + 3;
    }
}

void Valuation::valueLog() {
    if (m_report)
        m_report->logPrice(s.log_price);
    requireFinite(s.log_price);
    const double volume = timberVolume(s.in.art, s.log_top_diam);
    if (m_pine || m_spruce) {
        if (m_report)
            m_report->timberVolume(s.in.art, volume);
        requireFinite(volume);
        s.log_volume[s.log_no] = volume;
    }
    s.log_value[s.log_no] = 0;
    if (m_pine || m_spruce)
        s.log_value[s.log_no] = volume * s.log_price;

    // A log below 12 cm, or one the bucking has not come to, is no timber.
    for (int k = 1; k <= 3; ++k)
        if (!isTimberLog(topDiam(s, k))) {
            s.log_volume[k] = 0;
            s.log_value[k] = 0;
        }
    s.timber_volume = s.log_volume[1] + s.log_volume[2] + s.log_volume[3];
    if (s.in.bdm < 6.5 && m_report)
        m_report->noWoodValue();
}

void Valuation::pulpwoodAndWoodValue() {
    if (isTimberLog(s.top_diam1))
        s.timber_length = 4.5;
    if (isTimberLog(s.top_diam2))
        s.timber_length = 9.0;
    if (isTimberLog(s.top_diam3))
        s.timber_length = 13.5;
    s.timber_value = s.log_value[1] + s.log_value[2] + s.log_value[3];
    s.pulp_length = s.height - 0.2 - s.timber_length - s.top_len;

    // The pulpwood starts where the last timber log ends, or at the stump without timber.
    if (!isTimberLog(s.top_diam1))
        s.pulp_low_diameter = s.stump_diam;
    if (isTimberLog(s.top_diam1))
        s.pulp_low_diameter = s.top_diam1;
    if (isTimberLog(s.top_diam2))
        s.pulp_low_diameter = s.top_diam2;
    if (isTimberLog(s.top_diam3))
        s.pulp_low_diameter = s.top_diam3;

    s.pulp_volume = pulpwoodVolume(s.pulp_length, s.pulp_low_diameter, s.top_piece_diam);
    if (m_report)
        m_report->pulpDiameters(s.pulp_low_diameter, s.top_piece_diam);
    requireFinite(s.pulp_low_diameter, s.top_piece_diam);
    s.pulp_value = s.pulp_price * s.pulp_volume;
    s.merch_volume = s.pulp_volume + s.timber_volume;
    if (m_broadleaf)
        s.merch_volume = s.pulp_volume;
    if (s.pulp_value < 0)
        s.pulp_value = 0;
    if (isTimberLog(s.top_diam1)) {
        if (m_report)
            m_report->pulpwood(s.pulp_length, s.pulp_volume, s.pulp_value);
        requireFinite(s.pulp_length, s.pulp_volume, s.pulp_value);
        if (m_report)
            m_report->logValues(s.log_value[1], s.log_value[2], s.log_value[3], s.timber_value);
        requireFinite(s.log_value[1], s.log_value[2], s.log_value[3], s.timber_value);
        s.wood_value = s.pulp_value + s.timber_value;
    } else {
        s.wood_value = s.pulp_value;
    }
    if (m_report)
        m_report->totalVolume(s.stem_vol, s.merch_volume);
    requireFinite(s.stem_vol - 0.0022, s.merch_volume);
}

void Valuation::costsAndDecisionFigures() {
    if (m_report)
        m_report->harvestIntensity(s.in.harvpr);
    requireFinite(s.in.harvpr);
    s.harvest_cost = harvestCost(s.in.avvandel, s.in.avvjust, s.in.harvpr, s.merch_volume);
    s.net_value = s.wood_value - s.harvest_cost;
    s.planting_cost = plantingCost(s.in.plant, s.in.plantcost, s.height);
    s.net_value = s.net_value - s.planting_cost;
    if (s.merch_volume == 0) {
        if (m_report)
            m_report->noMerchantableWood();
        s.merch_volume = 1000000;
    }
    const double netPerM3 = s.net_value / s.merch_volume;
    if (m_report)
        m_report->costs(s.harvest_cost, s.planting_cost, s.wood_value, s.net_value, netPerM3,
                        s.merch_volume);
    requireFinite(s.harvest_cost, s.harvest_cost / s.merch_volume, s.planting_cost,
                  s.planting_cost / s.merch_volume, s.wood_value, s.wood_value / s.merch_volume,
                  s.net_value, netPerM3);

    s.value_increase = s.net_value - s.net_previous;
    s.interest_achieved = interestAchieved(s.net_value, s.net_previous, s.years);
    if (!m_rateLn) // the same for every harvest year
        m_rateLn = requiredRateLn(s.in.rant);
    s.present_value = presentValueAt(s.net_value, s.years, *m_rateLn);
    if (s.years > 9) {
        if (m_report)
            m_report->valueGrowth(s.value_increase, s.interest_achieved, s.present_value, s.years,
                                  s.in.rant);
        requireFinite(s.value_increase, s.interest_achieved, s.present_value, s.in.rant * 100);
    }
}

KVISTEL_ENGINE_END
