#pragma once

#include "core/engine/treevaluation.h"
#include "core/files/outcome.h"
#include "core/results/resulttable.h"

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QSize>
#include <QString>

#include <optional>

class QAbstractItemModel;
class QPagedPaintDevice;
class QPainter;
class QPrinter;

// One A4 page with the result of a calculation: the parameter summary, the verdict, the chart
// and the result grid. The same drawing goes to a PDF file and to a printer. The page lies on
// its long side: the grid's eighteen columns then stay readable without shrinking the type.
struct ResultPrintout {
    QList<SummaryItem> summary;
    QString verdict;
    // The valuation drawn as the result window's chart, at `chartSize` before it is scaled to
    // the paper; none: no chart.
    std::optional<TreeValuation> chart;
    QSize chartSize{900, 330};
    const QAbstractItemModel *grid = nullptr; // the result grid
    QString rowHeading;                       // heading of the grid's row labels ("År")
    // A role of `grid` that is true in the row to mark (the best harvest year); -1: none.
    int markedRowRole = -1;

    // Draws the page into `area` (device pixels of `painter`).
    void paint(QPainter &painter, const QRectF &area) const;

    // Sets A4, the long side across and the margins on a PDF writer or printer.
    static void setUpPage(QPagedPaintDevice &device);

    // The page as a PDF document.
    QByteArray pdf() const;
    // Writes the PDF to `path`; on failure the earlier file is as it was and the message says why.
    Outcome savePdf(const QString &path) const;
    // Prints on `printer`, set up by the print dialog.
    Outcome print(QPrinter &printer) const;
};
