#pragma once

#include <QString>

#include <cmath>
#include <utility>

// Ends a calculation before its twelfth harvest year, thrown by a step deep in the engine and
// caught where the run ends (Valuation::run), which returns it as the Outcome of the valuation.
// The message says in the user's terms what made the tree impossible to value; the engine shows
// it to the user and ends the report with it.
class CalculationStopped {
public:
    explicit CalculationStopped(QString message) : m_message(std::move(message)) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// A figure of the report or of a harvest year's row that is infinite or not a number: some input
// was absurdly large. The run turns it into a failure that names the harvest year.
struct NonFiniteNumber {};

// The natural logarithm of an argument that the stem form or the discounting needs positive.
// `why` builds the message only when the argument is unusable, so the check costs nothing in a
// normal calculation.
template <typename Why> double checkedLn(double y, Why &&why) {
    if (!(y > 0) || !std::isfinite(y))
        throw CalculationStopped(why());
    return std::log(y);
}

template <typename Why> double checkedFinite(double value, Why &&why) {
    if (!std::isfinite(value))
        throw CalculationStopped(why());
    return value;
}
