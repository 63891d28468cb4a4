#include "core/treelist/harvestplan.h"

#include "core/files/numberformat.h"

#include <cmath>

namespace {

// More ids than this make a sentence no one reads; the rest are counted.
constexpr int idsNamed = HarvestPlan::namedUnvalued;

QString cubicMetres(double value, QChar separator) {
    return formatNumber(value, u"#0.0", separator);
}

} // namespace

HarvestPlan::HarvestPlan() {
    for (int r = 0; r < harvestYearCount; ++r)
        m_years[std::size_t(r)].years = 10 * r;
}

void HarvestPlan::add(const QString &id, const TreeSummary &tree, TreeMark mark) {
    if (!tree.valued()) {
        if (m_unvalued.size() < namedUnvalued)
            m_unvalued.append(id);
        ++m_unvaluedCount;
        return;
    }
    ++m_valued;
    const PlanYear now{0, 1, tree.volumeNow, tree.decision.valueNow, tree.decision.valueNow};
    auto addTo = [](PlanYear &y, const PlanYear &tree) {
        y.trees += tree.trees;
        y.volume += tree.volume;
        y.netValue += tree.netValue;
        y.presentValue += tree.presentValue;
    };
    if (mark == TreeMark::Leave) {
        addTo(m_markedLeft, now);
        return;
    }
    m_allNow += tree.decision.valueNow;
    if (mark == TreeMark::Cut) {
        addTo(m_markedCut, now);
        addTo(m_years[0], now);
        return;
    }
    addTo(m_years[std::size_t(tree.decision.bestRow)],
          {0, 1, tree.volumeBest, tree.netBest, tree.decision.bestValue});
}

void HarvestPlan::add(const HarvestPlan &other) {
    auto addTo = [](PlanYear &y, const PlanYear &o) {
        y.trees += o.trees;
        y.volume += o.volume;
        y.netValue += o.netValue;
        y.presentValue += o.presentValue;
    };
    for (int r = 0; r < harvestYearCount; ++r)
        addTo(m_years[std::size_t(r)], other.m_years[std::size_t(r)]);
    addTo(m_markedCut, other.m_markedCut);
    addTo(m_markedLeft, other.m_markedLeft);
    m_valued += other.m_valued;
    m_unvalued += other.m_unvalued.mid(0, namedUnvalued - m_unvalued.size());
    m_unvaluedCount += other.m_unvaluedCount;
    m_allNow += other.m_allNow;
}

QList<PlanYear> HarvestPlan::yearsWithTrees() const {
    QList<PlanYear> years;
    for (const PlanYear &y : m_years)
        if (y.trees > 0)
            years.append(y);
    return years;
}

PlanYear HarvestPlan::total() const {
    PlanYear t;
    for (const PlanYear &y : m_years) {
        t.trees += y.trees;
        t.volume += y.volume;
        t.netValue += y.netValue;
        t.presentValue += y.presentValue;
    }
    return t;
}

QString groupedKronor(double value) {
    QString text = formatNumber(value, u"#0", u'.');
    const qsizetype digitsFrom = text.startsWith(u'-') ? 1 : 0;
    // A no-break space, so that a line never breaks inside a sum.
    for (qsizetype at = text.size() - 3; at > digitsFrom; at -= 3)
        text.insert(at, QChar(0x00A0));
    return text;
}

QString planComparison(const HarvestPlan &plan) {
    const double planned = plan.total().presentValue;
    const double now = plan.allNowValue();
    QString text = QStringLiteral("Hela beståndet: nuvärde %1 kr mot %2 kr om allt avverkas nu")
                       .arg(groupedKronor(planned), groupedKronor(now));
    // A gain is a share of a positive value; against a stand that costs money to cut there is
    // none to give.
    if (now > 0)
        text += QStringLiteral(" (+%1 %)")
                    .arg(formatNumber(std::max(0.0, (planned / now - 1) * 100), u"#0", u'.'));
    return text + u'.';
}

QString unvaluedSentence(const HarvestPlan &plan) {
    const int unvalued = plan.unvaluedTrees();
    if (unvalued == 0)
        return {};
    QString ids = plan.unvaluedIds().mid(0, idsNamed).join(QStringLiteral(", "));
    if (unvalued > idsNamed)
        ids += QStringLiteral(" och %1 till").arg(unvalued - idsNamed);
    return QStringLiteral("%1 träd kunde inte värderas och ingår inte i summorna: %2.")
        .arg(unvalued)
        .arg(ids);
}

QString planStatement(const HarvestPlan &plan, QChar separator) {
    const int valued = plan.valuedTrees();
    QStringList sentences;
    if (valued == 0) {
        sentences << QStringLiteral("Inget träd i listan kunde värderas.");
    } else {
        const PlanYear &now = plan.year(0);
        if (now.trees > 0)
            sentences << QStringLiteral("Avverka %1 av %2 träd nu: %3 kr netto, %4 m3.")
                             .arg(now.trees)
                             .arg(valued)
                             .arg(groupedKronor(now.netValue), cubicMetres(now.volume, separator));
        else if (valued == 1)
            sentences << QStringLiteral("Trädet bör inte avverkas nu.");
        else
            sentences << QStringLiteral("Inget av de %1 träden bör avverkas nu.").arg(valued);
        const QList<PlanYear> years = plan.yearsWithTrees();
        const int later = valued - now.trees - plan.markedLeft().trees;
        if (later > 0) {
            double presentValue = 0;
            for (const PlanYear &y : years)
                if (y.years > 0)
                    presentValue += y.presentValue;
            const int first = years.value(now.trees > 0 ? 1 : 0).years;
            const int last = years.last().years;
            const QString when = first == last ? QString::number(first)
                                               : QStringLiteral("%1–%2").arg(first).arg(last);
            const QString who =
                later == 1
                    ? (now.trees > 0 ? QStringLiteral("Det sista trädet") : QStringLiteral("Det"))
                    : (now.trees > 0 ? QStringLiteral("Resten") : QStringLiteral("De"));
            const QString harvests = later == 1
                                         ? QStringLiteral("en avverkning")
                                         : QStringLiteral("%1 trädvis avverkningar").arg(later);
            sentences << QStringLiteral("%1 ger %2 om %3 år, med nuvärdet %4 kr.")
                             .arg(who, harvests, when, groupedKronor(presentValue));
        }
        sentences << planComparison(plan);
        if (const QString marked = markedSentence(plan.markedLeft().trees, plan.markedCut().trees);
            !marked.isEmpty())
            sentences << marked;
    }
    if (plan.unvaluedTrees() > 0)
        sentences << unvaluedSentence(plan);
    return sentences.join(u' ');
}

QString unvaluedSectionHeading(int count) {
    return QStringLiteral("Träd som inte kunde värderas (%1)").arg(count);
}

QStringList unvaluedHeadings() {
    return {QStringLiteral("id"), QStringLiteral("fel")};
}

QList<QStringList> planLines(const HarvestPlan &plan, QChar mark) {
    auto cells = [mark](const QString &first, const PlanYear &y) {
        return QStringList{first, QString::number(y.trees), formatNumber(y.volume, u"#0.00", mark),
                           formatNumber(y.netValue, u"#0", mark),
                           formatNumber(y.presentValue, u"#0", mark)};
    };
    QList<QStringList> lines{{QStringLiteral("år"), QStringLiteral("träd"),
                              QStringLiteral("volym m3"), QStringLiteral("netto kr"),
                              QStringLiteral("nuvärde kr")}};
    for (const PlanYear &y : plan.yearsWithTrees())
        lines << cells(QString::number(y.years), y);
    lines << cells(QStringLiteral("totalt"), plan.total());
    if (plan.markedCut().trees > 0)
        lines << cells(markedCutHeading(), plan.markedCut());
    if (plan.markedLeft().trees > 0) {
        // Left out of the plan: what they hold now, with no present value in it.
        lines << cells(markedLeftHeading(), plan.markedLeft());
        lines.last().last().clear();
    }
    lines << QStringList{planComparison(plan)};
    if (plan.unvaluedTrees() > 0)
        lines << QStringList{unvaluedSentence(plan)};
    return lines;
}

QString markedDecisionText(const TreeSummary &tree, TreeMark mark) {
    switch (mark) {
    case TreeMark::Leave:
        return QStringLiteral("Lämnas (märkt)");
    case TreeMark::Cut:
        return QStringLiteral("Avverkas (märkt)");
    case TreeMark::None:
        break;
    }
    return decisionText(tree.decision);
}

bool cutNowMarked(const TreeSummary &tree, TreeMark mark) {
    return mark == TreeMark::None ? tree.decision.cutNow() : mark == TreeMark::Cut;
}

QString markedCutHeading() {
    return QStringLiteral("varav märkta");
}

QString markedLeftHeading() {
    return QStringLiteral("märkta lämnas");
}

QString markedSentence(int leftTrees, int cutTrees) {
    QStringList marked;
    if (leftTrees > 0)
        marked << QStringLiteral("%1 träd lämnas").arg(leftTrees);
    if (cutTrees > 0)
        marked << QStringLiteral("%1 träd avverkas nu").arg(cutTrees);
    if (marked.isEmpty())
        return {};
    return QStringLiteral("Enligt ägarens markering: %1.")
        .arg(marked.join(QStringLiteral(" och ")));
}

QString planAssumption() {
    return QStringLiteral("Varje träd är värderat för sig och avverkas sitt bästa år, som om "
                          "grannarna inte påverkade dess tillväxt. Nuvärdena är räknade med "
                          "räntekravet i trad.sty.");
}
