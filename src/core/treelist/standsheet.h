#pragma once

#include "core/results/printedtext.h"
#include "core/treelist/harvestentries.h"
#include "core/treelist/harvestplan.h"
#include "core/treelist/treelist.h"
#include "core/treelist/treelistcsv.h"
#include "core/treelist/treelistdocument.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What a valued stand shows, as ResultSheet is for one tree: the trees as the list has them in
// its own (walking) order, each with its remark and summary, what came from "trad.sty", the
// plan and its statement. The marking list, on screen, on paper or as PDF, is made from it.
// The plan is one planner's answer, held as its lines and statement, so that another planner
// can fill the same sheet.
struct StandSheet {
    StandName stand;              // as the owner knows it; each may be empty
    QString date;                 // "2026-12-07"
    QString county;               // the price list's county text
    QStringList parameters;       // "Räntekrav: 3 %", one a line
    QString fromControlFile;      // "Från trad.sty: Bonitet, Plantering", or empty
    QList<TreeRow> trees;         // in the list's order
    QStringList remarks;          // per tree: the remark column's text
    QList<TreeSummary> summaries; // per tree
    HarvestPlan plan;
    QChar decimalMark = u',';
    // The plan in harvest entries, when one was made; the statement and table are then its.
    std::optional<EntryPlan> entries;
    EntrySettings entrySettings;

    // Takes from the list the stand's name, its trees in the list's order with their remarks
    // and summaries (a tree not valued with why) and what comes from "trad.sty".
    void takeList(const TreeListDocument &list);

    // The plan's statement and table ("år", "träd", ...), as the plan's own view shows them.
    QString statement() const;
    QList<QStringList> planTable() const;

    // The trees to cut now, the trees left standing and the trees left out, each table with its
    // headings first. Texts from the list are cut to a length a page can hold, with "…".
    QList<QStringList> cutNowTable() const;
    QList<QStringList> leftStandingTable() const;
    QList<QStringList> unvaluedTable() const;
    // The trees of the entry in year `years`, in the list's order: id, species, diameter,
    // volume and net value then, the owner's mark and the remark, headings first.
    QList<QStringList> entryTreesTable(int years) const;

    // The year tree `tree` (its index) is cut in the plan: its entry's, or with no entries its
    // own best year after the owner's mark; -1 for a tree that stays or was not valued.
    int plannedYears(qsizetype tree) const;
    // Per tree, as the plan's file gives it under plannedYearsHeading(): the year ("0", "30"),
    // "lämnas" for a tree that stays, empty for a tree that was not valued.
    QStringList plannedYearTexts() const;
};

// The stand sheet's parameters lines, from the home directory's stand and economy parameters.
QStringList standParameterLines(const TreeInputs &base, QChar decimalMark);
