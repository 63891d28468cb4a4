#include "core/results/treecalculation.h"

#include "core/engine/pricing.h"
#include "core/engine/report.h"
#include "core/files/numberformat.h"
#include "core/files/textfile.h"

TreeCalculation::TreeCalculation(HomeDirectory home) : m_home(std::move(home)) {}

Outcome TreeCalculation::loadInputs() {
    Expected<TreeInputs> loaded = loadTreeInputs(m_home, m_inputs);
    if (!loaded)
        return loaded.outcome();
    m_inputs = std::move(loaded).value();
    return {};
}

Outcome TreeCalculation::loadPrices() {
    Expected<PriceTables> loaded = loadPriceTables(m_home, m_prices);
    if (!loaded)
        return loaded.outcome();
    m_prices = std::move(loaded).value();
    return {};
}

double TreeCalculation::logPrice(const QString &species, std::int16_t quality, double d) const {
    return priceOfLog(m_prices.pine, m_prices.spruce, species, quality, d);
}

Outcome TreeCalculation::calculateAndSave(TreeValuation &result) {
    const Expected<UnsavedReport> report = calculate(result);
    if (!report)
        return report.outcome();
    return withSaveOutcome(report->stopped, saveReport(report->bytes));
}

Expected<TreeCalculation::UnsavedReport> TreeCalculation::calculate(TreeValuation &result) {
    Outcome loaded = loadInputs();
    if (loaded)
        loaded = loadPrices();
    if (!loaded) {
        result = TreeValuation{};
        return Outcome::failure(loaded.message() +
                                QStringLiteral(" Beräkningen gjordes inte, och den förra "
                                               "rapporten är oförändrad."));
    }

    Report report(localeDecimalSeparator());
    m_lastInputs = m_inputs;
    result = valueTree(m_inputs, m_prices, &report);
    m_inputs = result.carryOver;
    UnsavedReport unsaved{report.bytes(), {}};
    if (!result.complete())
        unsaved.stopped =
            Outcome::failure(QStringLiteral("Beräkningen avbröts. ") + result.stop.message());
    return unsaved;
}

Outcome TreeCalculation::saveReport(const QByteArray &report) const {
    return replaceFileSafely(m_home.report(), report);
}

Outcome TreeCalculation::withSaveOutcome(const Outcome &sofar, const Outcome &saved) {
    if (saved)
        return sofar;
    QString message = sofar.message();
    if (!message.isEmpty())
        message += QStringLiteral("\n\n");
    return Outcome::failure(message + QStringLiteral("Rapporten kunde inte sparas. ") +
                            saved.message());
}
