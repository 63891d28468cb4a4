#include "treeinputs.h"

#include "controlfile.h"
#include "parameters.h"

#include <cmath>
#include <limits>

namespace {

using Conversion = Parameter::Conversion;

// Stores one value into `s`; returns a message when the value cannot be used.
QString store(TreeInputs &s, const Parameter &k, const QString &value) {
    if (k.conversion == Conversion::Text) {
        s.*k.text = value;
        return {};
    }
    const double number = leadingNumber(value);
    if (!std::isfinite(number))
        return QStringLiteral("värdet \"%1\" för %2 är för stort för att räkna med.")
            .arg(value, k.keyText());
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
                .arg(value, k.keyText());
        s.kvalitet[std::size_t(k.qualityIndex) - 1] = std::int16_t(rounded);
        break;
    }
    case Conversion::Text:
        break;
    }
    return {};
}

} // namespace

QString loadTreeInputs(const QString &sokvag, TreeInputs &inputs) {
    static const QStringList names = parameterKeys();
    TreeInputs loaded = inputs;
    QString problem;
    QString error;
    const ControlFile file(sokvag);
    const bool ok = file.read(
        names, ControlFile::Lines::AllButLast,
        [&](const QString &key, const QString &value) {
            if (!problem.isEmpty())
                return;
            if (const Parameter *p = findParameter(key))
                problem = store(loaded, *p, value);
        },
        &error);
    if (!ok)
        return QStringLiteral("Styrfilen kunde inte läsas. ") + error;
    if (!problem.isEmpty())
        return QStringLiteral("Styrfilen \"%1\" kan inte användas: ").arg(file.path()) + problem;
    inputs = std::move(loaded);
    return {};
}
