#include "treeinputs.h"

#include "controlfile.h"

#include <cmath>
#include <limits>
#include <vector>

namespace {

// How a control-file value becomes an input of the engine.
enum class Conversion { Number, Percent, Text, Quality };

struct InputKey {
    QString key;
    Conversion conversion;
    double TreeInputs::*number = nullptr;
    QString TreeInputs::*text = nullptr;
    int qualityIndex = 0;
};

const std::vector<InputKey> &inputKeys() {
    using C = Conversion;
    static const std::vector<InputKey> keys{
        {QStringLiteral("plantcost:"), C::Number, &TreeInputs::plantcost},
        {QStringLiteral("rant:"), C::Percent, &TreeInputs::rant},
        {QStringLiteral("harvpr:"), C::Number, &TreeInputs::harvpr},
        {QStringLiteral("site:"), C::Number, &TreeInputs::site},
        {QStringLiteral("plant:"), C::Text, nullptr, &TreeInputs::plant},
        {QStringLiteral("kronst:"), C::Number, &TreeInputs::kronst},
        {QStringLiteral("avvandel:"), C::Number, &TreeInputs::avvandel},
        {QStringLiteral("avvjust:"), C::Number, &TreeInputs::avvjust},
        {QStringLiteral("hojdjust:"), C::Number, &TreeInputs::hojdjust},
        {QStringLiteral("dkvot:"), C::Number, &TreeInputs::dkvot},
        {QStringLiteral("sv:"), C::Text, nullptr, &TreeInputs::sv},
        {QStringLiteral("art:"), C::Text, nullptr, &TreeInputs::art},
        {QStringLiteral("mt:"), C::Number, &TreeInputs::mt},
        {QStringLiteral("mg:"), C::Number, &TreeInputs::mg},
        {QStringLiteral("mb:"), C::Number, &TreeInputs::mb},
        {QStringLiteral("bdm:"), C::Number, &TreeInputs::bdm},
        {QStringLiteral("ring5:"), C::Number, &TreeInputs::ring5},
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
QString store(TreeInputs &s, const InputKey &k, const QString &value) {
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
    static const QStringList names = keyNames();
    TreeInputs loaded = inputs;
    QString problem;
    QString error;
    const ControlFile file(sokvag);
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
    inputs = std::move(loaded);
    return {};
}
