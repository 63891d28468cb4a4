#pragma once

#include "core/files/outcome.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;
class QTextDocument;

// The marking list an adviser hands over: the stand's statement and plan with its chart, then the
// trees to cut now and the trees left standing, under a header with the parameters, the price
// list's county text and the date. Every text from a file is set as text, never as markup.
struct MarkingList {
    QString date;                    // "2026-12-07"
    QString county;                  // the price list's county text
    QStringList parameters;          // "Räntekrav: 3 %", one a line
    QString statement;               // the plan's statement
    QString assumption;              // what the plan rests on
    QList<QStringList> plan;         // headings first, then the rows as the window shows them
    QImage chart;                    // the plan's chart
    QList<QStringList> cutNow;       // id, species, diameter, net now
    QList<QStringList> leftStanding; // id, best year

    // The whole list as a document of the page's width.
    void fill(QTextDocument &document) const;
    // The document as PDF bytes, A4 upright.
    QByteArray pdf() const;
    // Prints on `device` (a printer set up by the print dialog).
    Outcome print(QPagedPaintDevice &device) const;
};
