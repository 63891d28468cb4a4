#include "core/treelist/treelistresults.h"

QStringList resultHeadings(QStringList listHeadings) {
    for (int c = 0; c < summaryColumnCount; ++c)
        listHeadings << summaryHeading(c);
    return listHeadings;
}

QStringList resultLine(QStringList listCells, const TreeSummary *summary, TreeMark ownerMark,
                       QChar decimalMark, const QStringList &beyond) {
    for (int c = 0; c < summaryColumnCount; ++c) {
        QString figure;
        if (summary)
            appendResultFigure(figure, *summary, c, ownerMark, decimalMark);
        listCells << figure;
    }
    listCells += beyond;
    return listCells;
}

void appendResultFigure(QString &text, const TreeSummary &summary, int column, TreeMark ownerMark,
                        QChar decimalMark) {
    if (column == CutOrWait && summary.valued() && ownerMark != TreeMark::None)
        text += markedDecisionText(summary, ownerMark);
    else
        appendSummaryText(text, summary, column, decimalMark);
}

QString plannedYearsHeading() {
    return QStringLiteral("avverkas år");
}

QList<QStringList> entryPlanLines(const EntryPlan &entries, const EntrySettings &settings,
                                  const HarvestPlan &plan, QChar decimalMark) {
    QList<QStringList> lines = entryLines(entries, decimalMark);
    lines << QStringList{entrySettingsText(settings, decimalMark)}
          << QStringList{entryStatement(entries)};
    if (plan.unvaluedTrees() > 0)
        lines << QStringList{unvaluedSentence(plan)};
    return lines;
}

QList<QStringList> unvaluedSectionStart(int count) {
    return {QStringList(), QStringList{unvaluedSectionHeading(count)}, unvaluedHeadings()};
}

QStringList unvaluedLine(const QString &id, const QString &why) {
    return {id, why};
}
