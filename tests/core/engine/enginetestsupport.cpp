#include "enginetestsupport.h"

#include "core/engine/resultrow.h"
#include "core/files/numberformat.h"
#include "core/parameters/controlfile.h"

QStringList controlWith(const KeyValues &values) {
    QStringList lines = sampleControlLines();
    for (const auto &[key, value] : values) {
        bool found = false;
        for (qsizetype i = 0; i + 1 < lines.size(); ++i)
            if (carriesKey(lines[i], key)) {
                lines[i] = withValue(lines[i], value);
                found = true;
            }
        if (!found)
            lines.insert(lines.size() - 1, key + u'/' + value + u'/');
    }
    return lines;
}

QStringList controlWithout(const QStringList &keys) {
    QStringList lines = sampleControlLines();
    for (const QString &key : keys)
        lines.removeIf([&](const QString &line) { return carriesKey(line, key); });
    return lines;
}

EngineHome::EngineHome(std::initializer_list<std::pair<QString, QString>> values)
    : EngineHome(KeyValues(values)) {}

EngineHome::EngineHome(const KeyValues &values) : engine(home.directory()) {
    setControl(values);
    home.write("priser_ac.txt", samplePriceList());
}

QString EngineHome::run() {
    const Expected<TreeCalculation::UnsavedReport> calculated = engine.calculate(valuation);
    if (!calculated)
        return calculated.outcome().message();
    return TreeCalculation::withSaveOutcome(calculated->stopped,
                                            engine.saveReport(calculated->bytes))
        .message();
}

QStringList EngineHome::reportLines(const QString &start) const {
    QStringList found;
    for (const QString &line : report())
        if (line.startsWith(start))
            found << line;
    return found;
}

QString EngineHome::cell(int row, int col) const {
    const int year = row - 1;
    if (year < 0 || year >= valuation.yearsValued || col < 1 || col > resultColumnCount)
        return {};
    return resultText(valuation.rows[std::size_t(year)], col - 1, localeDecimalSeparator());
}

QStringList EngineHome::gridRow(int row) const {
    QStringList cells;
    for (int c = 1; c <= 17; ++c)
        cells << cell(row, c);
    return cells;
}

ValuationState firstPassState(const QString &species, const QString &region, double diameter,
                              double siteIndex, double diameterQuotient, double heightDeviation) {
    ValuationState s;
    s.in.species = species;
    s.in.region = region;
    s.in.diameter = diameter;
    s.in.siteIndex = siteIndex;
    s.in.diameterQuotient = diameterQuotient;
    s.in.heightDeviation = heightDeviation;
    s.treeAge = 90;
    s.years = 0;
    s.logNumber = 1;
    return s;
}
