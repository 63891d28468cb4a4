#include "core/treelist/treelist.h"

#include "core/engine/resultrow.h"
#include "core/files/numberformat.h"
#include "core/files/pricelistfile.h"
#include "core/parameters/controlfile.h"
#include "core/parameters/fieldcheck.h"
#include "core/parameters/parameters.h"
#include "core/parameters/species.h"

#include <QSet>

#include <cmath>
#include <limits>

namespace {

using K = TreeKeyInfo;

// The tree form's fields with the bounds its field check holds them to.
// Built on first use: the table of parameters may not be ready while statics are made.
const std::array<TreeKeyInfo, treeKeyCount> &treeKeys() {
    static const std::array<TreeKeyInfo, treeKeyCount> table = [] {
        const struct {
            QStringView key;
            const char16_t *title;
            K::Kind kind;
        } columns[treeKeyCount] = {
            {Keys::art, u"Art", K::Species},
            {Keys::bdm, u"Diam, cm", K::Number},
            {Keys::hojdjust, u"Höjdavv, m", K::Number},
            {Keys::site, u"Bonitet, m", K::Number},
            {Keys::plant, u"Plantering", K::YesNo},
            {Keys::ring5, u"Årsring, mm", K::Number},
            {Keys::dkvot, u"Dkvot", K::Number},
            {Keys::kronst, u"Krona, %", K::Number},
            {Keys::bkv, u"Kval 1", K::Quality},
            {Keys::akv, u"Kval 2", K::Quality},
            {Keys::tkv, u"Kval 3", K::Quality},
        };
        std::array<TreeKeyInfo, treeKeyCount> keys;
        for (int k = 0; k < treeKeyCount; ++k) {
            const auto &c = columns[k];
            keys[std::size_t(k)] = {c.key.chopped(1), c.title, c.kind, findParameter(c.key)};
            Q_ASSERT(keys[std::size_t(k)].parameter);
        }
        return keys;
    }();
    return table;
}

// A merchantable volume of zero is held as 1000000 so that the per-m3 figures come out as 0.
constexpr double noMerchantableWood = 1000000;

} // namespace

std::optional<bool> plantingAnswer(QStringView text) {
    const QString t = text.trimmed().toString().toLower();
    if (t == u"y" || t == u"j" || t == u"ja" || t == u"yes")
        return true;
    if (t == u"n" || t == u"nej" || t == u"no")
        return false;
    return std::nullopt;
}

namespace {

// A number as the control file would hold it once the field is left: a decimal comma becomes
// a point.
QString pointText(QStringView text) {
    return withDecimalPoint(text.trimmed().toString());
}

std::optional<std::int16_t> qualityClass(QStringView text) {
    // The engine's rounding of a class: halves go to the even neighbour.
    const double rounded = std::nearbyint(leadingNumber(pointText(text)));
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
          rounded <= std::numeric_limits<std::int16_t>::max()))
        return std::nullopt;
    return std::int16_t(rounded);
}

} // namespace

const TreeKeyInfo &treeKeyInfo(int key) {
    return treeKeys()[std::size_t(key)];
}

int treeKeyNamed(QStringView heading) {
    heading = heading.trimmed();
    if (heading.endsWith(u':'))
        heading.chop(1);
    for (int k = 0; k < treeKeyCount; ++k)
        if (heading.compare(treeKeys()[std::size_t(k)].name, Qt::CaseInsensitive) == 0)
            return k;
    return -1;
}

QString speciesLetter(QStringView text) {
    text = text.trimmed();
    for (const SpeciesCode &s : speciesCodes)
        if (text == QStringView(s.letter) ||
            text.compare(QStringView(s.name), Qt::CaseInsensitive) == 0)
            return QString::fromUtf16(s.letter);
    return {};
}

Outcome checkTreeValue(int key, QStringView text) {
    const TreeKeyInfo &info = treeKeys()[std::size_t(key)];
    if (text.trimmed().isEmpty())
        return Outcome::failure(FieldMessage::empty());
    switch (info.kind) {
    case K::Species:
        if (speciesLetter(text).isEmpty())
            return Outcome::failure(
                QStringLiteral("Okänd trädart \"%1\": skriv Tall, Gran, Björk eller Löv "
                               "(t, g, b, l)")
                    .arg(text.trimmed()));
        return {};
    case K::YesNo:
        if (!plantingAnswer(text))
            return Outcome::failure(QStringLiteral("Skriv Ja eller Nej (y, n)"));
        return {};
    case K::Number:
        // A list is no control file: a character that file could not hold is simply no digit.
        if (!firstCharacterOutsideCp1252(text).isEmpty())
            return Outcome::failure(FieldMessage::notNumeric());
        return checkField(pointText(text), info.parameter->lower, info.parameter->upper,
                          localeDecimalSeparator());
    case K::Quality:
        if (!isNumericText(pointText(text)))
            return Outcome::failure(FieldMessage::notNumeric());
        if (!qualityClass(text))
            return Outcome::failure(QStringLiteral("Kvalitetsklassen ligger utanför det område "
                                                   "som en kvalitetsklass kan ha"));
        return {};
    }
    return {};
}

Outcome checkTreeRow(const TreeRow &row) {
    for (int k = 0; k < treeKeyCount; ++k) {
        if (!row.given[k])
            continue;
        if (const Outcome checked = checkTreeValue(k, row.values[k]); !checked)
            return Outcome::failure(treeKeys()[std::size_t(k)].name.toString() +
                                    QStringLiteral(": ") + checked.message());
    }
    return {};
}

Outcome overlayTree(TreeInputs &base, const TreeRow &row) {
    if (const Outcome checked = checkTreeRow(row); !checked)
        return checked;
    for (int k = 0; k < treeKeyCount; ++k) {
        if (!row.given[k])
            continue;
        const QString &text = row.values[k];
        const TreeKeyInfo &info = treeKeys()[std::size_t(k)];
        // The value goes where the table of parameters keeps it, as the control file's would.
        const Parameter &p = *info.parameter;
        switch (info.kind) {
        case K::Species:
            base.*p.text = speciesLetter(text);
            break;
        case K::YesNo:
            base.*p.text = *plantingAnswer(text) ? QStringLiteral("y") : QStringLiteral("n");
            break;
        case K::Quality:
            base.kvalitet[std::size_t(p.qualityIndex - 1)] = *qualityClass(text);
            break;
        case K::Number:
            base.*p.number = leadingNumber(pointText(text));
            break;
        }
    }
    return {};
}

TreeSummary valueTreeRow(const TreeInputs &base, const TreeRow &row, const PriceTables &prices,
                         TreeValuation *full) {
    TreeInputs inputs = base;
    if (const Outcome laid = overlayTree(inputs, row); !laid) {
        TreeSummary summary;
        summary.fault = laid.message();
        return summary;
    }
    return valueTreeInputs(inputs, prices, full);
}

TreeSummary valueTreeInputs(const TreeInputs &inputs, const PriceTables &prices,
                            TreeValuation *full) {
    TreeSummary summary;
    TreeValuation valuation = valueTree(inputs, prices);
    const std::optional<Decision> decision = decide(valuation);
    if (!decision) {
        summary.fault = valuation.stopMessage.isEmpty()
                            ? QStringLiteral("Trädet kunde inte värderas.")
                            : valuation.stopMessage;
    } else {
        summary.decision = *decision;
        auto volumeIn = [&](int row) {
            const double volume = valuation.rows[std::size_t(row)][MerchVolume];
            return volume == noMerchantableWood ? 0 : volume;
        };
        summary.volumeNow = volumeIn(0);
        summary.volumeBest = volumeIn(decision->bestRow);
        summary.netBest = valuation.rows[std::size_t(decision->bestRow)][NetValue];
        for (int r = 0; r < harvestYearCount; ++r) {
            const std::size_t at = std::size_t(r);
            summary.years.netValue[at] = valuation.rows[at][NetValue];
            summary.years.presentValue[at] =
                r == 0 ? decision->valueNow : valuation.rows[at][PresentValue];
            summary.years.volume[at] = volumeIn(r);
        }
    }
    if (full)
        *full = std::move(valuation);
    return summary;
}

QString decisionText(const Decision &d) {
    return d.cutNow() ? QStringLiteral("Avverka nu") : QStringLiteral("Låt stå");
}

QString summaryHeading(int column) {
    static const char16_t *const headings[summaryColumnCount] = {
        u"beslut", u"bästa år", u"netto nu", u"nuvärde bästa", u"ränta 10 år", u"fel"};
    return QString::fromUtf16(headings[column]);
}

QString summaryText(const TreeSummary &s, int column, QChar decimalSeparator) {
    if (column == Fel)
        return s.fault;
    if (!s.valued())
        return {};
    const Decision &d = s.decision;
    switch (column) {
    case Beslut:
        return decisionText(d);
    case BastaAr:
        return QString::number(d.bestYears());
    case NettoNu:
        return ::numberText(d.valueNow, resultPattern(NetValue), decimalSeparator);
    case NuvardeBasta:
        return ::numberText(d.bestValue, resultPattern(PresentValue), decimalSeparator);
    case Ranta10:
        if (std::isnan(d.growthNextTen))
            return {}; // no rate of growth starts from a net value of 0 kr or less
        return ::numberText(d.growthNextTen, resultPattern(InterestAchieved), decimalSeparator);
    }
    return {};
}

QString harvestYearText(const HarvestYear &year, int column, QChar decimalSeparator) {
    // The grid shows a single space where a file wants an empty cell.
    if (std::isnan(year.values[std::size_t(column)]))
        return {};
    return resultText(year, column, decimalSeparator);
}

Outcome loadTreeKeyTexts(const HomeDirectory &home, std::array<QString, treeKeyCount> &texts) {
    QStringList keys;
    for (const TreeKeyInfo &k : treeKeys())
        keys << k.parameter->keyText();
    std::array<QString, treeKeyCount> loaded;
    if (const Outcome read = ControlFile(home).read(keys, ControlFile::Lines::AllButLast,
                                                    [&](const QString &key, const QString &value) {
                                                        loaded[std::size_t(treeKeyNamed(key))] =
                                                            value;
                                                    });
        !read)
        return Outcome::failure(QStringLiteral("Styrfilen kunde inte läsas. ") + read.message());
    texts = std::move(loaded);
    return {};
}

namespace {

QString missingMessage(const QString &path, const QStringList &keys) {
    return keys.size() == 1
               ? QStringLiteral("Styrfilen \"%1\" saknar parametern %2. Lägg till den (spara "
                                "parameterformuläret) och försök igen.")
                     .arg(path, keys.first())
               : QStringLiteral("Styrfilen \"%1\" saknar parametrarna %2. Lägg till dem (spara "
                                "parameterformulären) och försök igen.")
                     .arg(path, keys.join(QStringLiteral(", ")));
}

} // namespace

Outcome checkTreeKeyColumns(const TreeListHome &home,
                            const std::array<bool, treeKeyCount> &hasColumn) {
    QStringList keys;
    for (int k = 0; k < treeKeyCount; ++k)
        if (home.missing[std::size_t(k)] && !hasColumn[std::size_t(k)])
            keys << treeKeys()[std::size_t(k)].name.toString();
    if (keys.isEmpty())
        return {};
    return Outcome::failure(missingMessage(home.controlFilePath, keys).chopped(1) +
                            QStringLiteral(", eller ge listan en kolumn för ") +
                            (keys.size() == 1 ? QStringLiteral("den.") : QStringLiteral("dem.")));
}

Outcome loadTreeListHome(const HomeDirectory &directory, TreeListHome &home) {
    TreeListHome loaded;
    const ControlFile file(directory);
    loaded.controlFilePath = file.path();
    QSet<QString> present;
    if (const Outcome read =
            file.read(parameterKeys(), ControlFile::Lines::AllButLast,
                      [&](const QString &key, const QString &) { present.insert(key); });
        !read)
        return Outcome::failure(QStringLiteral("Styrfilen kunde inte läsas. ") + read.message());
    QStringList missing;
    for (const Parameter &p : parameters()) {
        if (present.contains(p.keyText()))
            continue;
        if (const int k = treeKeyNamed(p.key); k >= 0)
            loaded.missing[std::size_t(k)] = true;
        else
            missing << p.key.chopped(1).toString();
    }
    if (!missing.isEmpty())
        return Outcome::failure(missingMessage(file.path(), missing));
    if (Outcome read = loadTreeInputs(directory, loaded.base); !read)
        return read;
    if (Outcome read = loadPriceTables(directory, loaded.prices); !read)
        return read;
    if (const Outcome read = loadTreeKeyTexts(directory, loaded.texts); !read)
        return read;
    // Only its name is wanted here: the prices were read above, and a list that names no county
    // is still priced.
    if (PriceList list; readPriceList(directory.priceList(), list))
        loaded.county = list.lan;
    home = std::move(loaded);
    return {};
}
