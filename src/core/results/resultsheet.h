#pragma once

#include "core/engine/treevaluation.h"
#include "core/parameters/treeinputs.h"
#include "core/results/inputsummary.h"
#include "core/results/resulttable.h"
#include "core/results/whatif.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>

#include <optional>

class ControlFile;
class TreeCalculation;

// Everything one shown result is: the valuation, what it valued, the summary of the inputs, the
// verdict and the what-if figures. The result window shows it; the copy, the CSV file, the PDF
// and the print-out are made from it, never from what a window happens to show.
struct ResultSheet {
    TreeValuation valuation;
    TreeInputs inputs;  // as valued, before the carry-over to the next calculation
    PriceTables prices; // as valued
    InputSummary summary;
    QString verdict;
    QList<WhatIf> whatIfs;         // empty until valued, and for a valuation that stopped
    QChar decimalSeparator = u'.'; // the user's, at the time of the calculation

    // The same tree valued again with the rate and the prices changed: five more valuations,
    // so the window asks for them once the grid is on screen.
    void valueWhatIfs();

    // The grid as text, the years first under "År"; `role` as for resultTableOf.
    ResultTable table(int role = Qt::DisplayRole) const;
    // The summary and the grid as a CSV file for a spreadsheet (resultCsv).
    QByteArray csv() const;
    // The whole grid as a spreadsheet takes it from the clipboard.
    QString clipboardText() const;
    // The name a file of this result is offered under: "tall_32cm.pdf".
    QString fileName(QStringView extension) const;
};

// One calculation as the result window shows it. The summary is read from the control file over
// `shownBefore` first, then the calculation reads the files and values the tree; the report is
// left to the caller to save. `outcome` is what the calculation has to say so far (success when
// it ran to its end); a file that could not be read leaves the summary as far as it was read,
// an empty valuation and no report.
struct ShownCalculation {
    ResultSheet sheet;
    std::optional<QByteArray> report;
    Outcome outcome;
};
ShownCalculation calculateSheet(TreeCalculation &calculation, const ControlFile &controlFile,
                                const InputSummary &shownBefore, QChar decimalSeparator);
