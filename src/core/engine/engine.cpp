#include "engine.h"

#include "calculationstopped.h"
#include "controlfile.h"
#include "numberformat.h"
#include "pricing.h"
#include "report.h"
#include "resultrow.h"
#include "textfile.h"
#include "valuation.h"

#include <cmath>
#include <limits>

namespace {

// How a control-file value becomes an input of the engine.
enum class Conversion { Number, Percent, Text, Quality };

struct InputKey {
    QString key;
    Conversion conversion;
    double EngineState::*number = nullptr;
    QString EngineState::*text = nullptr;
    int qualityIndex = 0;
};

const std::vector<InputKey> &inputKeys() {
    using C = Conversion;
    static const std::vector<InputKey> keys{
        {QStringLiteral("plantcost:"), C::Number, &EngineState::plantcost},
        {QStringLiteral("rant:"), C::Percent, &EngineState::rant},
        {QStringLiteral("harvpr:"), C::Number, &EngineState::harvpr},
        {QStringLiteral("site:"), C::Number, &EngineState::site},
        {QStringLiteral("plant:"), C::Text, nullptr, &EngineState::plant},
        {QStringLiteral("kronst:"), C::Number, &EngineState::kronst},
        {QStringLiteral("avvandel:"), C::Number, &EngineState::avvandel},
        {QStringLiteral("avvjust:"), C::Number, &EngineState::avvjust},
        {QStringLiteral("hojdjust:"), C::Number, &EngineState::hojdjust},
        {QStringLiteral("dkvot:"), C::Number, &EngineState::dkvot},
        {QStringLiteral("sv:"), C::Text, nullptr, &EngineState::sv},
        {QStringLiteral("art:"), C::Text, nullptr, &EngineState::art},
        {QStringLiteral("mt:"), C::Number, &EngineState::mt},
        {QStringLiteral("mg:"), C::Number, &EngineState::mg},
        {QStringLiteral("mb:"), C::Number, &EngineState::mb},
        {QStringLiteral("bdm:"), C::Number, &EngineState::bdm},
        {QStringLiteral("ring5:"), C::Number, &EngineState::ring5},
        {QStringLiteral("bkv:"), C::Quality, nullptr, nullptr, 1},
        {QStringLiteral("akv:"), C::Quality, nullptr, nullptr, 2},
        {QStringLiteral("tkv:"), C::Quality, nullptr, nullptr, 3},
    };
    return keys;
}

QStringList keyNames() {
    QStringList names;
    for (const InputKey &k : inputKeys())
        names << k.key;
    return names;
}

// Stores one value into `s`; returns a message when the value cannot be used.
QString store(EngineState &s, const InputKey &k, const QString &value) {
    if (k.conversion == Conversion::Text) {
        s.*k.text = value;
        return {};
    }
    const double number = leadingNumber(value);
    if (!std::isfinite(number))
        return QStringLiteral("värdet \"%1\" för %2 är för stort för att räkna med.")
            .arg(value, k.key);
    switch (k.conversion) {
    case Conversion::Number:
        s.*k.number = number;
        break;
    case Conversion::Percent:
        s.*k.number = number * 0.01;
        break;
    case Conversion::Quality: {
        // Halves go to the even neighbour: 2.5 is class 2, 3.5 class 4.
        const double rounded = std::nearbyint(number);
        if (rounded < std::numeric_limits<std::int16_t>::min() ||
            rounded > std::numeric_limits<std::int16_t>::max())
            return QStringLiteral("kvalitetsklassen \"%1\" för %2 ligger utanför det område "
                                  "som en kvalitetsklass kan ha.")
                .arg(value, k.key);
        s.kvalitet[k.qualityIndex] = std::int16_t(rounded);
        break;
    }
    case Conversion::Text:
        break;
    }
    return {};
}

} // namespace

Engine::Engine(QString sokvag) : m_sokvag(std::move(sokvag)) {}

QString Engine::reportPath() const {
    return m_sokvag + QStringLiteral("resultat.txt");
}

QString Engine::load_param() {
    static const QStringList names = keyNames();
    EngineState loaded = m_state;
    QString problem;
    QString error;
    const ControlFile file(m_sokvag);
    const bool ok = file.read(
        names, ControlFile::Lines::AllButLast,
        [&](const QString &key, const QString &value) {
            if (!problem.isEmpty())
                return;
            for (const InputKey &k : inputKeys())
                if (k.key == key)
                    problem = store(loaded, k, value);
        },
        &error);
    if (!ok)
        return QStringLiteral("Styrfilen kunde inte läsas. ") + error;
    if (!problem.isEmpty())
        return QStringLiteral("Styrfilen \"%1\" kan inte användas: ").arg(file.path()) + problem;
    m_state = std::move(loaded);
    return {};
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
    Valuation valuation(m_state, report, grid, separator);
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
