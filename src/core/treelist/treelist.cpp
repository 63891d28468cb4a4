#include "core/treelist/treelist.h"

#include "core/engine/resultrow.h"
#include "core/files/numberformat.h"
#include "core/files/pricelistfile.h"
#include "core/parameters/controlfile.h"
#include "core/parameters/fieldcheck.h"
#include "core/parameters/parameters.h"
#include "core/parameters/species.h"

#include <QSet>

#include <algorithm>
#include <charconv>
#include <string>

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

namespace {

// A value text in plain ASCII, the way nearly every list writes its numbers, is read without a
// copy of its own on the heap; any other text goes the long way, by the same rules.
bool isAsciiText(QStringView text) {
    char16_t any = 0;
    for (const QChar c : text)
        any |= c.unicode();
    return any < 0x80;
}

// ASCII's blanks as QString::trimmed() removes them.
bool isAsciiSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

QStringView trimmedAscii(QStringView text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && isAsciiSpace(text[begin].unicode()))
        ++begin;
    while (end > begin && isAsciiSpace(text[end - 1].unicode()))
        --end;
    return text.sliced(begin, end - begin);
}

// pointText() of a short trimmed ASCII text, held in place, and its value when it is a plain
// decimal number.
class PointText {
public:
    static constexpr qsizetype capacity = 64;

    explicit PointText(QStringView trimmed) : m_size(trimmed.size()) {
        Q_ASSERT(m_size <= capacity);
        qsizetype commas = 0;
        bool point = false;
        for (qsizetype i = 0; i < m_size; ++i) {
            const char16_t c = trimmed[i].unicode();
            commas += c == u',' ? 1 : 0;
            point = point || c == u'.';
            m_text[i] = c;
        }
        // As withDecimalPoint(): a single comma and no point is a decimal comma when the text
        // is a number with it.
        if (commas == 1 && !point) {
            char16_t *const comma = std::find(m_text, m_text + m_size, u',');
            *comma = u'.';
            m_plain = plainDecimal(view());
            if (!m_plain && !isNumericText(view()))
                *comma = u',';
        } else {
            m_plain = plainDecimal(view());
        }
    }
    QStringView view() const { return QStringView(m_text, m_size); }
    // Whether the text is a number, as isNumericText(), and its value, as leadingNumber().
    bool isNumeric() const { return m_plain || isNumericText(view()); }
    double number() const { return m_plain ? *m_plain : leadingNumber(view()); }

private:
    char16_t m_text[capacity];
    qsizetype m_size = 0;
    std::optional<double> m_plain; // a plain decimal number reads as this
};

// A number as the control file would hold it once the field is left: a decimal comma becomes
// a point.
QString pointText(QStringView text) {
    return withDecimalPoint(text.trimmed().toString());
}

// The engine's rounding of a class: halves go to the even neighbour.
std::optional<std::int16_t> qualityClassOf(double number) {
    const double rounded = std::nearbyint(number);
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
          rounded <= std::numeric_limits<std::int16_t>::max()))
        return std::nullopt;
    return std::int16_t(rounded);
}

// The species letter as a text that costs nothing to copy: the table's own characters.
QString letterText(const SpeciesCode &s) {
    return QString::fromRawData(reinterpret_cast<const QChar *>(s.letter),
                                qsizetype(std::char_traits<char16_t>::length(s.letter)));
}

const SpeciesCode *speciesOf(QStringView text) {
    text = text.trimmed();
    for (const SpeciesCode &s : speciesCodes)
        if (text == QStringView(s.letter) ||
            text.compare(QStringView(s.name), Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

// What one key's text gives the tree, once checked.
struct KeyValue {
    double number = 0; // of a number, or of a quality class before it is rounded
    std::int16_t quality = 0;
    const SpeciesCode *species = nullptr;
    bool planted = false;
};

// Checks `text` as the value of `key` in the words of the tree form's field check, and reads it
// into `value`.
Outcome readTreeValue(int key, QStringView text, KeyValue &value) {
    const TreeKeyInfo &info = treeKeys()[std::size_t(key)];
    // A short text in plain ASCII is read in place; any other goes the long way, by the same
    // rules.
    const bool ascii = isAsciiText(text);
    const QStringView trimmed = ascii ? trimmedAscii(text) : text.trimmed();
    if (trimmed.isEmpty())
        return Outcome::failure(FieldMessage::empty());
    const bool inPlace = ascii && trimmed.size() <= PointText::capacity;
    switch (info.kind) {
    case K::Species:
        value.species = speciesOf(trimmed);
        if (!value.species)
            return Outcome::failure(
                QStringLiteral("Okänd trädart \"%1\": skriv Tall, Gran, Björk eller Löv "
                               "(t, g, b, l)")
                    .arg(trimmed));
        return {};
    case K::YesNo: {
        const std::optional<bool> planted = plantingAnswer(text);
        if (!planted)
            return Outcome::failure(QStringLiteral("Skriv Ja eller Nej (y, n)"));
        value.planted = *planted;
        return {};
    }
    case K::Number: {
        const Parameter &p = *info.parameter;
        if (inPlace) {
            // checkField() of the text with its point; ASCII always fits the control file.
            const PointText number(trimmed);
            if (!number.isNumeric())
                return Outcome::failure(FieldMessage::notNumeric());
            value.number = number.number();
            if (!(value.number >= p.lower && value.number <= p.upper))
                return Outcome::failure(
                    FieldMessage::outOfRange(p.lower, p.upper, localeDecimalSeparator()));
            return {};
        }
        // A list is no control file: a character that file could not hold is simply no digit.
        if (!firstCharacterOutsideCp1252(text).isEmpty())
            return Outcome::failure(FieldMessage::notNumeric());
        const QString withPoint = pointText(text);
        if (const Outcome checked =
                checkField(withPoint, p.lower, p.upper, localeDecimalSeparator());
            !checked)
            return checked;
        value.number = leadingNumber(withPoint);
        return {};
    }
    case K::Quality: {
        double number = 0;
        if (inPlace) {
            const PointText digits(trimmed);
            if (!digits.isNumeric())
                return Outcome::failure(FieldMessage::notNumeric());
            number = digits.number();
        } else {
            const QString withPoint = pointText(text);
            if (!isNumericText(withPoint))
                return Outcome::failure(FieldMessage::notNumeric());
            number = leadingNumber(withPoint);
        }
        value.number = number;
        const std::optional<std::int16_t> quality = qualityClassOf(number);
        if (!quality)
            return Outcome::failure(QStringLiteral("Kvalitetsklassen ligger utanför det område "
                                                   "som en kvalitetsklass kan ha"));
        value.quality = *quality;
        return {};
    }
    }
    return {};
}

} // namespace

std::optional<bool> plantingAnswer(QStringView text) {
    if (isAsciiText(text)) {
        // The answers are short ASCII words, compared in place in lower case.
        const QStringView t = trimmedAscii(text);
        if (t.size() > 3)
            return std::nullopt;
        char16_t lower[3] = {};
        for (qsizetype i = 0; i < t.size(); ++i) {
            const char16_t c = t[i].unicode();
            lower[i] = c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
        }
        const QStringView l(lower, t.size());
        if (l == u"y" || l == u"j" || l == u"ja" || l == u"yes")
            return true;
        if (l == u"n" || l == u"nej" || l == u"no")
            return false;
        return std::nullopt;
    }
    const QString t = text.trimmed().toString().toLower();
    if (t == u"y" || t == u"j" || t == u"ja" || t == u"yes")
        return true;
    if (t == u"n" || t == u"nej" || t == u"no")
        return false;
    return std::nullopt;
}

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
    const SpeciesCode *s = speciesOf(text);
    return s ? letterText(*s) : QString();
}

Outcome checkTreeValue(int key, QStringView text) {
    KeyValue value;
    return readTreeValue(key, text, value);
}

std::optional<double> treeValueNumber(int key, QStringView text) {
    const K::Kind kind = treeKeys()[std::size_t(key)].kind;
    KeyValue value;
    if ((kind != K::Number && kind != K::Quality) || !readTreeValue(key, text, value))
        return std::nullopt;
    return value.number;
}

TreeTexts TreeTexts::of(const TreeRow &row) {
    TreeTexts texts;
    for (std::size_t k = 0; k < std::size_t(treeKeyCount); ++k) {
        texts.values[k] = row.values[k];
        texts.given[k] = row.given[k];
    }
    return texts;
}

Outcome overlayTree(TreeInputs &base, const TreeRow &row) {
    return overlayTree(base, TreeTexts::of(row));
}

Outcome overlayTree(TreeInputs &base, const TreeTexts &row) {
    // Every given key is checked before any is laid over: a faulty row leaves `base` as it was.
    std::array<KeyValue, treeKeyCount> values;
    for (std::size_t k = 0; k < std::size_t(treeKeyCount); ++k) {
        if (!row.given[k])
            continue;
        if (const Outcome checked = readTreeValue(int(k), row.values[k], values[k]); !checked)
            return Outcome::failure(treeKeys()[k].name.toString() + QStringLiteral(": ") +
                                    checked.message());
    }
    for (std::size_t k = 0; k < std::size_t(treeKeyCount); ++k) {
        if (!row.given[k])
            continue;
        const KeyValue &value = values[k];
        const TreeKeyInfo &info = treeKeys()[k];
        // The value goes where the table of parameters keeps it, as the control file's would.
        const Parameter &p = *info.parameter;
        switch (info.kind) {
        case K::Species:
            base.*p.text = letterText(*value.species);
            break;
        case K::YesNo:
            base.*p.text = value.planted ? QStringLiteral("y") : QStringLiteral("n");
            break;
        case K::Quality:
            base.logQualities[std::size_t(p.qualityIndex - 1)] = value.quality;
            break;
        case K::Number:
            base.*p.number = value.number;
            break;
        }
    }
    return {};
}

TreeSummary valueTreeRow(const TreeInputs &base, const TreeRow &row, const PriceTables &prices,
                         TreeValuation *full) {
    return valueTreeRow(base, TreeTexts::of(row), prices, full);
}

TreeSummary valueTreeRow(const TreeInputs &base, const TreeTexts &row, const PriceTables &prices,
                         TreeValuation *full) {
    TreeInputs inputs = base;
    if (const Outcome laid = overlayTree(inputs, row); !laid) {
        TreeSummary summary;
        summary.fault = laid;
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
        summary.fault = valuation.complete()
                            ? Outcome::failure(QStringLiteral("Trädet kunde inte värderas."))
                            : valuation.stop;
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
    QString text;
    appendSummaryText(text, s, column, decimalSeparator);
    return text;
}

void appendSummaryText(QString &text, const TreeSummary &s, int column, QChar decimalSeparator) {
    if (column == FaultText) {
        text += s.fault.message();
        return;
    }
    if (!s.valued())
        return;
    const Decision &d = s.decision;
    switch (column) {
    case CutOrWait:
        text += decisionText(d);
        return;
    case BestYear: {
        char digits[16];
        const char *end = std::to_chars(digits, digits + sizeof digits, d.bestYears()).ptr;
        text.append(QLatin1StringView(digits, end - digits));
        return;
    }
    case NetNow:
        appendNumberText(text, d.valueNow, resultPattern(NetValue), decimalSeparator);
        return;
    case BestPresentValue:
        appendNumberText(text, d.bestValue, resultPattern(PresentValue), decimalSeparator);
        return;
    case GrowthNextTen:
        if (std::isnan(d.growthNextTen))
            return; // no rate of growth starts from a net value of 0 kr or less
        appendNumberText(text, d.growthNextTen, resultPattern(InterestAchieved), decimalSeparator);
        return;
    }
}

QString harvestYearText(const HarvestYear &year, int column, QChar decimalSeparator) {
    QString text;
    appendHarvestYearText(text, year, column, decimalSeparator);
    return text;
}

void appendHarvestYearText(QString &text, const HarvestYear &year, int column,
                           QChar decimalSeparator) {
    // The grid shows a single space where a file wants an empty cell.
    const double value = year.values[std::size_t(column)];
    if (!std::isnan(value))
        appendNumberText(text, value, resultPattern(column), decimalSeparator);
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

Expected<TreeListHome> loadTreeListHome(const HomeDirectory &directory) {
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
    Expected<TreeInputs> base = loadTreeInputs(directory, loaded.base);
    if (!base)
        return base.outcome();
    loaded.base = std::move(base).value();
    Expected<PriceTables> prices = loadPriceTables(directory, loaded.prices);
    if (!prices)
        return prices.outcome();
    loaded.prices = std::move(prices).value();
    if (const Outcome read = loadTreeKeyTexts(directory, loaded.texts); !read)
        return read;
    // Only its name is wanted here: the prices were read above, and a list that names no county
    // is still priced.
    if (const Expected<PriceList> list = readPriceList(directory.priceList()))
        loaded.county = list->county;
    return loaded;
}
