#pragma once

#include "core/treelist/harvestentries.h"
#include "core/treelist/harvestplan.h"
#include "core/treelist/treelist.h"

#include <QChar>
#include <QList>
#include <QStringList>

// The lines of a valued list as files give them, the same for the command line's answer and
// the tree list window's export; each caller writes them in its own dialect.

// The heading of a valued list: the list's own headings, then "beslut", "bästa år", "netto nu",
// "nuvärde bästa", "ränta 10 år" and "fel".
QStringList resultHeadings(QStringList listHeadings);
// A tree's line: its list cells, its figures (empty without a summary; the decision says when
// the owner marked the tree), then its cells beyond the list's heading, so that none lands under
// a figure's heading.
QStringList resultLine(QStringList listCells, const TreeSummary *summary, TreeMark ownerMark,
                       QChar decimalMark, const QStringList &beyond = {});
// The heading of the last figure of a tree's line in the plan's file: the year the plan cuts it.
QString plannedYearsHeading(); // "avverkas år"
// One figure of a tree's line, `column` of the summary columns, added to the end of `text`; the
// decision says when the owner marked the tree.
void appendResultFigure(QString &text, const TreeSummary &summary, int column, TreeMark ownerMark,
                        QChar decimalMark);
// The plan in harvest entries: the entries' lines, the settings and what the grouping costs,
// each as one sentence, and the sentence naming the trees left out.
QList<QStringList> entryPlanLines(const EntryPlan &entries, const EntrySettings &settings,
                                  const HarvestPlan &plan, QChar decimalMark);
// After the plan, the start of the section naming every tree left out: an empty line, its
// heading, and the headings of its lines; then one unvaluedLine a tree.
QList<QStringList> unvaluedSectionStart(int count);
// A tree left out: its id and why.
QStringList unvaluedLine(const QString &id, const QString &why);
