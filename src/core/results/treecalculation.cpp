#include "core/results/treecalculation.h"

#include "core/engine/pricing.h"
#include "core/engine/report.h"
#include "core/files/numberformat.h"
#include "core/files/textfile.h"

TreeCalculation::TreeCalculation(QString sokvag) : m_sokvag(std::move(sokvag)) {}

QString TreeCalculation::reportPath() const {
    return m_sokvag + QStringLiteral("resultat.txt");
}

QString TreeCalculation::loadInputs() {
    return loadTreeInputs(m_sokvag, m_inputs);
}

QString TreeCalculation::loadPrices() {
    return loadPriceTables(m_sokvag, m_prices);
}

double TreeCalculation::logPrice(const QString &art, std::int16_t kvalitet, double d) const {
    return priceOfLog(m_prices.pine, m_prices.spruce, art, kvalitet, d);
}

QString TreeCalculation::calculateAndSave(TreeValuation &result) {
    QString message;
    const std::optional<QByteArray> report = calculate(result, &message);
    return report ? withSaveOutcome(message, saveReport(*report)) : message;
}

std::optional<QByteArray> TreeCalculation::calculate(TreeValuation &result, QString *message) {
    QString problem = loadInputs();
    if (problem.isEmpty())
        problem = loadPrices();
    if (!problem.isEmpty()) {
        result = TreeValuation{};
        *message = problem + QStringLiteral(" Beräkningen gjordes inte, och den förra rapporten "
                                            "är oförändrad.");
        return std::nullopt;
    }

    Report report(localeDecimalSeparator());
    m_lastInputs = m_inputs;
    result = valueTree(m_inputs, m_prices, &report);
    m_inputs = result.carryOver;
    *message = result.complete() ? QString()
                                 : QStringLiteral("Beräkningen avbröts. ") + result.stopMessage;
    return report.bytes();
}

Outcome TreeCalculation::saveReport(const QByteArray &report) const {
    return replaceFileSafely(reportPath(), report);
}

QString TreeCalculation::withSaveOutcome(QString message, const Outcome &saved) {
    if (!saved) {
        if (!message.isEmpty())
            message += QStringLiteral("\n\n");
        message += QStringLiteral("Rapporten kunde inte sparas. ") + saved.message();
    }
    return message;
}
