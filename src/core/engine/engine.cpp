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
    if (loadResultParam)
        loadResultParam();
    QString problem = load_param();
    if (problem.isEmpty())
        problem = read_pricelist();
    if (!problem.isEmpty()) {
        result = TreeValuation{};
        return problem + QStringLiteral(" Beräkningen gjordes inte, och den förra rapporten "
                                        "är oförändrad.");
    }

    Report report(localeDecimalSeparator());
    m_lastInputs = m_inputs;
    result = valueTree(m_inputs, m_prices, &report);
    m_inputs = result.carryOver;

    const Outcome written = replaceFileSafely(reportPath(), report.bytes());
    QString message;
    if (!result.complete())
        message = QStringLiteral("Beräkningen avbröts. ") + result.stopMessage;
    if (!written) {
        if (!message.isEmpty())
            message += QStringLiteral("\n\n");
        message += QStringLiteral("Rapporten kunde inte sparas. ") + written.message();
    }
    return message;
}
