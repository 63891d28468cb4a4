#include "engine.h"

#include "calculationstopped.h"
#include "controlfile.h"
#include "numberformat.h"
#include "pricing.h"
#include "report.h"
#include "resultrow.h"
#include "textfile.h"
#include "treeinputs.h"
#include "treevaluation.h"
#include "valuation.h"

#include <cmath>
#include <limits>

Engine::Engine(QString sokvag) : m_sokvag(std::move(sokvag)) {}

QString Engine::reportPath() const {
    return m_sokvag + QStringLiteral("resultat.txt");
}

QString Engine::load_param() {
    TreeInputs inputs = inputsOf(m_state);
    const QString problem = loadTreeInputs(m_sokvag, inputs);
    if (problem.isEmpty())
        assignInputs(m_state, inputs);
    return problem;
}

QString Engine::read_pricelist() {
    return ::read_pricelist(priceListPath(m_sokvag), m_state.price_pine, m_state.price_spruce);
}

double Engine::berakna_priser(const QString &art, std::int16_t kvalitet, double d) const {
    return priceOfLog(m_state.price_pine, m_state.price_spruce, art, kvalitet, d);
}

QString Engine::berakna(Grid &grid, const std::function<void()> &loadResultParam) {
    const QString reportFile = reportPath();
    if (loadResultParam)
        loadResultParam();
    QString problem = load_param();
    if (problem.isEmpty())
        problem = read_pricelist();
    if (!problem.isEmpty()) {
        // Rows of an earlier tree must not stand beside the parameters now shown.
        clearResultRows(grid, firstResultRow);
        return problem + QStringLiteral(" Beräkningen gjordes inte, och den förra rapporten "
                                        "är oförändrad.");
    }

    const QChar separator = localeDecimalSeparator();
    Report report(separator);
    Valuation valuation(m_state, report, &grid, separator);
    QString stopped;
    try {
        valuation.run();
    } catch (const CalculationStopped &stop) {
        stopped = stop.message();
        report.stopped(stopped);
        clearResultRows(grid, valuation.rowsWritten() + 1);
    }

    QString writeError;
    const bool written = replaceFileSafely(reportFile, report.bytes(), &writeError);
    QString result;
    if (!stopped.isEmpty())
        result = QStringLiteral("Beräkningen avbröts. ") + stopped;
    if (!written) {
        if (!result.isEmpty())
            result += QStringLiteral("\n\n");
        result += QStringLiteral("Rapporten kunde inte sparas. ") + writeError;
    }
    return result;
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
    result = valueTree(inputsOf(m_state), {m_state.price_pine, m_state.price_spruce}, &report);
    assignInputs(m_state, result.carryOver);

    QString writeError;
    const bool written = replaceFileSafely(reportPath(), report.bytes(), &writeError);
    QString message;
    if (!result.complete())
        message = QStringLiteral("Beräkningen avbröts. ") + result.stopMessage;
    if (!written) {
        if (!message.isEmpty())
            message += QStringLiteral("\n\n");
        message += QStringLiteral("Rapporten kunde inte sparas. ") + writeError;
    }
    return message;
}
