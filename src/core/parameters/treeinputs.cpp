#include "core/parameters/treeinputs.h"

#include "core/files/numberformat.h"
#include "core/parameters/controlfile.h"
#include "core/parameters/fieldcheck.h"
#include "core/parameters/parameters.h"

#include <QHash>

#include <cmath>
#include <limits>

namespace {

using Conversion = Parameter::Conversion;

// A value as a message quotes it: a hand-edited line may hold hundreds of digits.
QString quoted(const QString &value) {
    const qsizetype longest = 30;
    const QString shown =
        value.size() > longest ? value.left(longest - 3) + QStringLiteral("...") : value;
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

// Stores one value into `s`; fails with a message when the value cannot be used.
Outcome store(TreeInputs &s, const Parameter &k, const QString &value) {
    if (k.conversion == Conversion::Text) {
        s.*k.text = value;
        return {};
    }
    // A decimal comma is read as a point; anything else that is not one plain number would
    // otherwise be calculated as its leading digits, or as 0.
    const std::optional<double> plain = plainNumber(value);
    if (!plain)
        return Outcome::failure(
            QStringLiteral("värdet %1 för %2 är inget tal. Skriv ett tal i formuläret, med "
                           "decimalkomma som 3,5.")
                .arg(quoted(value), k.keyText()));
    const double number = *plain;
    if (isFarOutsideBounds(k, number)) {
        const QChar separator = localeDecimalSeparator();
        return Outcome::failure(
            QStringLiteral("värdet %1 för %2 ligger långt utanför gränserna %3 och %4. "
                           "Rätta värdet i formuläret eller i filen.")
                .arg(quoted(value), k.keyText(), boundText(k.lower, separator),
                     boundText(k.upper, separator)));
    }
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
            return Outcome::failure(
                QStringLiteral("kvalitetsklassen %1 för %2 ligger utanför det område "
                               "som en kvalitetsklass kan ha. Välj en klass från 1 till 5.")
                    .arg(quoted(value), k.keyText()));
        s.logQualities[std::size_t(k.qualityIndex) - 1] = std::int16_t(rounded);
        break;
    }
    case Conversion::Text:
        break;
    }
    return {};
}

} // namespace

Expected<TreeInputs> loadTreeInputs(const HomeDirectory &home, TreeInputs base) {
    static const QStringList names = parameterKeys();
    // Of duplicate lines the last one wins, so only its value has to be usable.
    QHash<QString, QString> values;
    const ControlFile file(home);
    if (const Outcome read =
            file.read(names, ControlFile::Lines::AllButLast,
                      [&](const QString &key, const QString &value) { values.insert(key, value); });
        !read)
        return Outcome::failure(QStringLiteral("Styrfilen kunde inte läsas. ") + read.message());
    TreeInputs loaded = std::move(base);
    for (const Parameter &p : parameters()) {
        const auto value = values.constFind(p.keyText());
        if (value == values.cend())
            continue;
        if (const Outcome stored = store(loaded, p, *value); !stored)
            return Outcome::failure(
                QStringLiteral("Styrfilen \"%1\" kan inte användas: ").arg(file.path()) +
                stored.message());
    }
    return loaded;
}
