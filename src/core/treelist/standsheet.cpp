#include "core/treelist/standsheet.h"

#include "core/files/numberformat.h"
#include "core/parameters/fieldcheck.h"
#include "core/parameters/parameters.h"
#include "core/parameters/species.h"
#include "core/results/verdict.h"
#include "core/treelist/treelistcsv.h"

namespace {

constexpr int idLength = printedIdLength;
constexpr int remarkLength = printedRemarkLength;
constexpr int reasonLength = 120;

QStringList treeHeadings(const QString &when) {
    return {
        QStringLiteral("Id"),        QStringLiteral("Trädslag"),  QStringLiteral("Diam, cm"),  when,
        QStringLiteral("Volym, m3"), QStringLiteral("Netto, kr"), QStringLiteral("Anmärkning")};
}

} // namespace

void StandSheet::takeList(const TreeListDocument &list) {
    stand = list.stand();
    fromControlFile = list.fromControlFile();
    trees.clear();
    remarks.clear();
    summaries.clear();
    for (int r = 0; r < list.rowCount(); ++r) {
        trees << list.tree(r);
        remarks << list.remark(r);
        const HeldSummary &s = list.row(r).summary;
        TreeSummary unvalued;
        unvalued.fault = list.unvaluedReason(r);
        summaries << (s && s->valued() ? *s : unvalued);
    }
}

QStringList standParameterLines(const TreeInputs &base, QChar mark) {
    QStringList lines;
    for (const Parameter *p : parametersOf(Parameter::Form::Stand)) {
        QString value;
        if (p->number) {
            const double v = base.*(p->number);
            value = rateText(p->conversion == Parameter::Conversion::Percent ? v * 100 : v, mark);
        } else if (p->text) {
            value = base.*(p->text);
        }
        lines << QStringLiteral("%1: %2 %3")
                     .arg(p->caption.toString().trimmed(), value, p->unit.toString().trimmed())
                     .trimmed();
    }
    return lines;
}

QString StandSheet::statement() const {
    if (entries) {
        const QString unvalued = unvaluedSentence(plan);
        return entryStatement(*entries) + (unvalued.isEmpty() ? QString() : u' ' + unvalued);
    }
    return planStatement(plan, decimalMark);
}

QList<QStringList> StandSheet::planTable() const {
    if (entries)
        return entryLines(*entries, decimalMark);
    QList<QStringList> lines = planLines(plan, decimalMark);
    // The sentences below the table stand in the statement already.
    while (!lines.isEmpty() && lines.last().size() == 1)
        lines.removeLast();
    return lines;
}

QList<QStringList> StandSheet::cutNowTable() const {
    QList<QStringList> rows{treeHeadings(QStringLiteral("Beslut"))};
    for (qsizetype i = 0; i < trees.size(); ++i) {
        const TreeSummary &s = summaries.value(i);
        const TreeRow &t = trees[i];
        if (!s.valued() || !cutNowMarked(s, t.mark))
            continue;
        rows << QStringList{
            printedText(t.id, idLength),
            speciesName(speciesLetter(t.values[TreeSpecies])),
            printedText(withDecimalMark(withDecimalPoint(t.values[BreastDiameter]), decimalMark),
                        idLength),
            markedDecisionText(s, t.mark),
            formatNumber(s.volumeNow, u"#0.00", decimalMark),
            formatNumber(s.decision.valueNow, u"#0", decimalMark),
            printedText(remarks.value(i), remarkLength)};
    }
    return rows;
}

QList<QStringList> StandSheet::leftStandingTable() const {
    QList<QStringList> rows{treeHeadings(QStringLiteral("Bästa år"))};
    for (qsizetype i = 0; i < trees.size(); ++i) {
        const TreeSummary &s = summaries.value(i);
        const TreeRow &t = trees[i];
        if (!s.valued() || cutNowMarked(s, t.mark))
            continue;
        // A tree the owner leaves has no harvest: what it holds now, as the plan's totals count it.
        const bool marked = t.mark == TreeMark::Leave;
        rows << QStringList{
            printedText(t.id, idLength),
            speciesName(speciesLetter(t.values[TreeSpecies])),
            printedText(withDecimalMark(withDecimalPoint(t.values[BreastDiameter]), decimalMark),
                        idLength),
            marked ? markedDecisionText(s, t.mark)
                   : QStringLiteral("om %1 år").arg(s.decision.bestYears()),
            formatNumber(marked ? s.volumeNow : s.volumeBest, u"#0.00", decimalMark),
            formatNumber(marked ? s.decision.valueNow : s.netBest, u"#0", decimalMark),
            printedText(remarks.value(i), remarkLength)};
    }
    return rows;
}

QList<QStringList> StandSheet::unvaluedTable() const {
    QList<QStringList> rows{
        {QStringLiteral("Id"), QStringLiteral("Varför"), QStringLiteral("Anmärkning")}};
    for (qsizetype i = 0; i < trees.size(); ++i) {
        const TreeSummary &s = summaries.value(i);
        if (s.valued())
            continue;
        rows << QStringList{printedText(trees[i].id, idLength),
                            printedText(s.fault.message(), reasonLength),
                            printedText(remarks.value(i), remarkLength)};
    }
    return rows;
}

QList<QStringList> StandSheet::entryTreesTable(int years) const {
    QList<QStringList> rows{{QStringLiteral("Id"), QStringLiteral("Trädslag"),
                             QStringLiteral("Diam, cm"), QStringLiteral("Volym, m3"),
                             QStringLiteral("Netto, kr"), QStringLiteral("Åtgärd"),
                             QStringLiteral("Anmärkning")}};
    if (!entries)
        return rows;
    for (qsizetype i = 0; i < trees.size(); ++i) {
        const TreeSummary &s = summaries.value(i);
        const TreeRow &t = trees[i];
        if (!s.valued() || entries->entryYearsOf(s.years, t.mark) != years)
            continue;
        const std::size_t row = std::size_t(years / 10);
        rows << QStringList{
            printedText(t.id, idLength),
            speciesName(speciesLetter(t.values[TreeSpecies])),
            printedText(withDecimalMark(withDecimalPoint(t.values[BreastDiameter]), decimalMark),
                        idLength),
            formatNumber(s.years.volume[row], u"#0.00", decimalMark),
            formatNumber(s.years.netValue[row], u"#0", decimalMark),
            treeMarkText(t.mark),
            printedText(remarks.value(i), remarkLength)};
    }
    return rows;
}

int StandSheet::plannedYears(qsizetype tree) const {
    const TreeSummary &s = summaries.value(tree);
    const TreeMark mark = trees.value(tree).mark;
    if (!s.valued())
        return -1;
    if (entries)
        return entries->entryYearsOf(s.years, mark);
    if (mark != TreeMark::None)
        return mark == TreeMark::Cut ? 0 : -1;
    return s.decision.bestYears();
}

QStringList StandSheet::plannedYearTexts() const {
    QStringList texts;
    texts.reserve(trees.size());
    for (qsizetype i = 0; i < trees.size(); ++i) {
        const int years = plannedYears(i);
        texts << (!summaries.value(i).valued() ? QString()
                  : years < 0                  ? QStringLiteral("lämnas")
                                               : QString::number(years));
    }
    return texts;
}
