#pragma once

#include <QList>
#include <QModelIndexList>
#include <QString>
#include <QStringList>

class QAbstractItemModel;

// One line of the parameter summary at the top of the result window, as the window shows it:
// "Räntekrav" 3 "%". `heading` is the bold heading of its column ("Massapris"), if any.
struct SummaryItem {
    int column = 0; // 0 to 3, the window's four columns from the left
    QString heading;
    QString label;
    QString value;
    QString unit;
};

// The result grid as text, ready to leave the program: the headings, then one list of cell
// texts per row, each row as long as the headings.
struct ResultTable {
    QStringList headings;
    QList<QStringList> rows;
};

// The texts of `model` as the grid shows them. With a `rowHeading` the row labels (the years of
// the result grid, in the model's vertical header) become a first column headed by it.
//
// The headings lose their runs of spaces ("Ränta,          %" becomes "Ränta, %"): on screen
// the spaces push the unit onto the heading's second line, in a one-line spreadsheet heading they
// would only be a gap. Cells lose the blanks around them, so that a cell the grid leaves blank is
// an empty cell in the spreadsheet, not a text of one space.
//
// With a `selection`, only the rectangle that holds the selected cells is taken, and a cell
// inside it that is not selected is empty; without one, the whole table.
//
// The cells are the model's `role` texts, or its DisplayRole texts where it has none for `role`.
ResultTable resultTableOf(const QAbstractItemModel &model, const QString &rowHeading = QString(),
                          const QModelIndexList &selection = {}, int role = Qt::DisplayRole);

// The table as a spreadsheet takes it from the clipboard: headings first, cells separated by
// tabs, rows by line ends. A cell holding a tab, a line end or a quote is quoted.
QString tabSeparatedText(const ResultTable &table);
