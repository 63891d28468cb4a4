#include "core/results/resultsheet.h"

#include "core/parameters/fieldcheck.h"
#include "core/parameters/parameters.h"
#include "core/results/exportname.h"
#include "core/results/resultcsv.h"
#include "core/results/resultmodel.h"
#include "core/results/treecalculation.h"
#include "core/results/verdict.h"

void ResultSheet::valueWhatIfs() {
    whatIfs = valuation.yearsValued > 0 && valuation.complete()
                  ? ::whatIfs(inputs, prices, decimalSeparator)
                  : QList<WhatIf>{};
}

ResultTable ResultSheet::table(int role) const {
    ResultModel model;
    model.setValuation(valuation, decimalSeparator);
    return resultTableOf(model, ResultModel::yearHeading(), {}, role);
}

QByteArray ResultSheet::csv() const {
    // Every CSV file the windows write is read right by Excel and Calc with their defaults on
    // a Swedish computer: ";" between the cells and decimal commas, whatever the screen shows.
    ResultModel model;
    model.setValuation(valuation, u',');
    return resultCsv(
        summary.items(),
        resultTableOf(model, ResultModel::yearHeading(), {}, ResultModel::ExportTextRole), u',');
}

QString ResultSheet::clipboardText() const {
    return tabSeparatedText(table());
}

QString ResultSheet::fileName(QStringView extension) const {
    // The diameter as the file holds it: the name is the same whatever the decimal separator.
    return exportFileName(summary.text(Keys::art), withDecimalPoint(summary.text(Keys::bdm)),
                          extension);
}

ShownCalculation calculateSheet(TreeCalculation &calculation, const ControlFile &controlFile,
                                const InputSummary &shownBefore, QChar separator) {
    ShownCalculation shown;
    ResultSheet &sheet = shown.sheet;
    sheet.decimalSeparator = separator;
    sheet.summary = shownBefore;
    // The calculation reads the same control file right after and names any problem with it:
    // the summary's own failure needs no second message.
    (void)sheet.summary.readOver(controlFile, separator);
    const Expected<TreeCalculation::UnsavedReport> report = calculation.calculate(sheet.valuation);
    if (report) {
        shown.report = report->bytes;
        shown.outcome = report->stopped;
    } else {
        shown.outcome = report.outcome();
    }
    sheet.inputs = calculation.lastInputs();
    sheet.prices = calculation.lastPrices();
    sheet.verdict = verdictText(sheet.valuation, sheet.inputs.requiredRate, separator);
    return shown;
}
