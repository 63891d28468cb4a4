#pragma once

#include "core/files/outcome.h"
#include "core/treelist/standsheet.h"

#include <QByteArray>
#include <QImage>

#include <functional>

class QPagedPaintDevice;
class QTextDocument;

// The marking list an adviser hands over, on A4: the stand's name, the date, the price list's
// county text, the parameters and what came from "trad.sty"; the plan's statement, table and
// chart; then the trees to cut now, the trees left standing and the trees left out, in the
// list's (walking) order. Tables break between rows with their headings repeated, and every
// page says "Sida 1 av 3". Every text from a file is set as text, never as markup.
struct MarkingList {
    StandSheet sheet;
    QImage chart; // the plan's chart

    // Told of each page drawn (from 1) and the count; returns false to stop the print.
    using Progress = std::function<bool(int page, int pages)>;

    // The list up to the tables of trees, as a document of the page's width: the heading, the
    // statement, the plan and the chart, `chartWidth` screen pixels wide (by default the
    // document's width). The tables follow, drawn row by row so that a list of any length
    // prints in time its rows alone take.
    void fillIntroduction(QTextDocument &document, qreal chartWidth = 0) const;
    // The document as PDF bytes, A4 upright; empty when stopped.
    QByteArray pdf(const Progress &progress = {}) const;
    // Prints on `device` (a printer set up by the print dialog); fails when stopped.
    Outcome print(QPagedPaintDevice &device, const Progress &progress = {}) const;
};

// The outcome of a print the user stopped.
QString printStoppedMessage();
