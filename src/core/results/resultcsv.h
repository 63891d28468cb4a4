#pragma once

#include "core/files/outcome.h"
#include "core/results/resulttable.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>

// The result as a CSV file for a spreadsheet: the parameter summary, one line per box (label,
// value and unit), an empty line, then the result grid with its headings.
//
// A spreadsheet reads a CSV file with the separators of the user's regional settings: where the
// decimal separator is a comma (Swedish settings) the fields are separated by ";", elsewhere by
// ",". The grid's numbers are written as the grid writes them, with `decimalSeparator`; a
// summary value that is a plain decimal number, which the control file always holds with a
// point, gets the same separator so that the spreadsheet reads it as a number too.
//
// UTF-8 with a byte order mark, which spreadsheet programs need to read å, ä and ö; CR LF line
// ends; a field holding the separator, a comma, a quote, a line end or blanks at its ends is
// quoted.
QByteArray resultCsv(const QList<SummaryItem> &summary, const ResultTable &table,
                     QChar decimalSeparator);

// A cell as a spreadsheet may read it without running it: a text that begins with "=", "+",
// "-", "@", a tab or a CR would be taken for a formula, so it gets a leading "'" (which the
// spreadsheet shows as nothing). A plain number ("-5", "+2,5") is left as it is. A text that
// already begins with apostrophes before such a text ("'=1") gets one more, so that every cell
// reads back exactly.
QString spreadsheetSafeCell(const QString &cell);
// Whether spreadsheetSafeCell puts the apostrophe before `cell`.
bool needsSpreadsheetGuard(QStringView cell);
// The cell as it was before spreadsheetSafeCell, for a file read back: only an apostrophe the
// program itself would have added is removed ("'=1" is "=1", "'-5" stays "'-5").
QString withoutSpreadsheetGuard(const QString &cell);

// The CSV field separator that goes with a decimal separator.
QChar csvSeparator(QChar decimalSeparator);

// Writes `bytes` to `path` without a moment in which the file is half written: on failure the
// earlier file is as it was and the message says why.
Outcome saveExportFile(const QString &path, const QByteArray &bytes);
