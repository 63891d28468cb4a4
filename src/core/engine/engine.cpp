#include "engine.h"

#include "numberformat.h"
#include "pricing.h"
#include "report.h"
#include "textfile.h"

Engine::Engine(QString sokvag) : m_sokvag(std::move(sokvag)) {}

QString Engine::reportPath() const {
    return m_sokvag + QStringLiteral("resultat.txt");
}

QString Engine::load_param() {
    return loadTreeInputs(m_sokvag, m_inputs);
}

QString Engine::read_pricelist() {
    return loadPriceTables(m_sokvag, m_prices);
}

double Engine::berakna_priser(const QString &art, std::int16_t kvalitet, double d) const {
    return priceOfLog(m_prices.pine, m_prices.spruce, art, kvalitet, d);
}

QString Engine::berakna(TreeValuation &result, const std::function<void()> &loadResultParam) {
    QString message;
    const std::optional<QByteArray> report = calculate(result, &message, loadResultParam);
    return report ? withSaveOutcome(message, saveReport(*report)) : message;
}

std::optional<QByteArray> Engine::calculate(TreeValuation &result, QString *message,
                                            const std::function<void()> &loadResultParam) {
    if (loadResultParam)
        loadResultParam();
    QString problem = load_param();
    if (problem.isEmpty())
        problem = read_pricelist();
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

Outcome Engine::saveReport(const QByteArray &report) const {
    return replaceFileSafely(reportPath(), report);
}

QString Engine::withSaveOutcome(QString message, const Outcome &saved) {
    if (!saved) {
        if (!message.isEmpty())
            message += QStringLiteral("\n\n");
        message += QStringLiteral("Rapporten kunde inte sparas. ") + saved.message();
    }
    return message;
}
