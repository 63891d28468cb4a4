#include "valuation.h"

#include "calculationstopped.h"
#include "costs.h"
#include "enginestate.h"
#include "growth.h"
#include "pricing.h"
#include "resultrow.h"
#include "stemform.h"
#include "volumes.h"

namespace {

constexpr int passCount = 12;

double &topDiam(EngineState &s, int log_no) {
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

} // namespace

Valuation::Valuation(EngineState &state, Report &report, Grid *grid, QChar decimalSeparator,
                     std::array<HarvestYear, harvestYearCount> *rows)
    : s(state), m_report(report), m_grid(grid), m_rows(rows), m_separator(decimalSeparator) {}

void Valuation::run() {
    try {
        m_report.header(s);
        startRun();
        while (s.pass_no < passCount)
            pass();
        m_report.trailer();
    } catch (const NonFiniteNumber &) {
        throw CalculationStopped(
            m_inPass ? QStringLiteral("Ett ogiltigt tal (oändligt eller odefinierat) uppstod "
                                      "vid avverkning om %1 år: någon av trädets eller "
                                      "beståndets parametrar har ett orimligt värde.")
                           .arg(s.years)
                     : QStringLiteral("Någon av trädets eller beståndets parametrar har ett "
                                      "orimligt värde, som inte går att räkna med."));
    }
}

void Valuation::startRun() {
    if (isCode(s.art, u't'))
        s.pulp_price = s.mt;
    if (isCode(s.art, u'g'))
        s.pulp_price = s.mg;
    if (isCode(s.art, u'l'))
        s.pulp_price = 0; // the control file has no pulpwood price for other broadleaf
    if (isCode(s.art, u'b'))
        s.pulp_price = s.mb;

    m_heightModel = heightCoefficients(s.art, s.sv);
    m_stemForm = taperCoefficients(s.art, s.sv);
    m_pine = isCode(s.art, u't');
    m_spruce = isCode(s.art, u'g');
    m_broadleaf = isCode(s.art, u'b') || isCode(s.art, u'l');

    s.tree_age = 90;
    s.step_years = 10;
    s.merch_volume = 0;
    s.top_diam1 = s.top_diam2 = s.top_diam3 = 0;
    s.log_volume[1] = s.log_volume[2] = s.log_volume[3] = 0;
    s.ring = 0;
    s.crown_red() = (100 - s.kronst) / 200;
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
    if (s.years < 20)
        m_report.crownReduction(crownShare);
    m_report.passStart(s.bdm, s.height, s.ring, s.years);

    buckLogs();
    pulpwoodAndWoodValue();
    costsAndDecisionFigures();
    if (m_rows) {
        HarvestYear &row = (*m_rows)[std::size_t(s.pass_no)];
        row.years = s.years;
        row.values = resultValues(s);
    }
    if (m_grid)
        writeResultRow(*m_grid, s, m_separator);
    ++m_rowsWritten;

    s.net_previous = s.net_value;
    m_report.passEnd();
    growDiameter(s);
    s.pass_no = s.pass_no + 1;
}

void Valuation::buckLogs() {
    s.stem_vol = stemVolume(s.art, s.bdm, s.height, s.stem_vol);

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
        m_report.logTopDiameter(s.log_no, s.log_top_diam);
        s.kvalitet[0] = workingQuality(s.kvalitet[s.log_no], s.log_top_diam);

        // Pine is sold by the quality its top diameter allows, spruce by the quality entered.
        const std::int16_t priceQuality = m_pine ? s.kvalitet[0] : s.kvalitet[s.log_no];
        if (m_pine || m_spruce) {
            if (!hasPriceRow(s.art, priceQuality, s.log_top_diam))
                throw CalculationStopped(missingQualityRow(s.log_no, priceQuality));
            s.log_price =
                priceOfLog(s.price_pine, s.price_spruce, s.art, priceQuality, s.log_top_diam);
        }

        valueLog();

        if (continuesBucking(s.log_top_diam))
            s.log_no = s.log_no + 1;
        else
            s.log_no = s.log_no + 3;
    }
}

void Valuation::valueLog() {
    m_report.logPrice(s.log_price);
    const double volume = timberVolume(s.art, s.log_top_diam);
    if (m_pine || m_spruce) {
        m_report.timberVolume(s.art, volume);
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
    if (s.bdm < 6.5)
        m_report.noWoodValue();
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
    m_report.pulpDiameters(s.pulp_low_diameter, s.top_piece_diam);
    s.pulp_value = s.pulp_price * s.pulp_volume;
    s.merch_volume = s.pulp_volume + s.timber_volume;
    if (m_broadleaf)
        s.merch_volume = s.pulp_volume;
    if (s.pulp_value < 0)
        s.pulp_value = 0;
    if (isTimberLog(s.top_diam1)) {
        m_report.pulpwood(s.pulp_length, s.pulp_volume, s.pulp_value);
        m_report.logValues(s.log_value[1], s.log_value[2], s.log_value[3], s.timber_value);
        s.wood_value = s.pulp_value + s.timber_value;
    } else {
        s.wood_value = s.pulp_value;
    }
    m_report.totalVolume(s.stem_vol, s.merch_volume);
}

void Valuation::costsAndDecisionFigures() {
    m_report.harvestIntensity(s.harvpr);
    s.harvest_cost = harvestCost(s.avvandel, s.avvjust, s.harvpr, s.merch_volume);
    s.net_value = s.wood_value - s.harvest_cost;
    s.planting_cost = plantingCost(s.plant, s.plantcost, s.height);
    s.net_value = s.net_value - s.planting_cost;
    if (s.merch_volume == 0) {
        m_report.noMerchantableWood();
        s.merch_volume = 1000000;
    }
    const double netPerM3 = s.net_value / s.merch_volume;
    m_report.costs(s.harvest_cost, s.planting_cost, s.wood_value, s.net_value, netPerM3,
                   s.merch_volume);

    s.value_increase = s.net_value - s.net_previous;
    s.interest_achieved = interestAchieved(s.net_value, s.net_previous, s.years);
    s.present_value = presentValue(s.net_value, s.years, s.rant);
    if (s.years > 9)
        m_report.valueGrowth(s.value_increase, s.interest_achieved, s.present_value, s.years,
                             s.rant);
}
