#pragma once

#include "core/files/outcome.h"
#include "core/results/resulttable.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

class ControlFile;

// The parameter summary at the top of a result: what the control file holds for the tree and
// the stand, as the user typed it (" 40 ", "3.5" shown "3,5" in Swedish), the species by its
// name, the region as "Norra" or "Södra" and the replanting as "Ja" or "Nej". A key the file has no
// line for keeps the text it had, as does a species code the program does not know: the summary of
// one calculation carries into the next.
class InputSummary {
public:
    // One line of the summary, in the order it is shown and written: the column (0 to 3) and the
    // line in it (0 is the line of the column's heading), the label, and whether the parameter's
    // unit is shown after the value (the prices and qualities go without).
    struct Line {
        int column;
        int line;
        QStringView key;
        QStringView label;
        bool showsUnit = false;
    };
    static const QList<Line> &lines();
    // The bold heading over a column ("Massapris"), or the empty text.
    static QString heading(int column);
    // The unit shown after a line's value, or the empty text.
    static QString unit(const Line &line);

    // Reads the texts of the control file's examined lines (all but the last) over those held;
    // a number's point is shown as `decimalSeparator`, the region as "Norra" or "Södra".
    // When the file cannot be read, the texts are as they were and the outcome says why.
    Outcome readOver(const ControlFile &file, QChar decimalSeparator = QLatin1Char('.'));

    // The text shown for `key`, empty when there has been none.
    QString text(QStringView key) const { return m_texts.value(key.toString()); }
    void setText(QStringView key, const QString &text) { m_texts.insert(key.toString(), text); }

    // The summary's lines with their headings, labels, texts and units, for what is written and
    // printed.
    QList<SummaryItem> items() const;

private:
    QHash<QString, QString> m_texts;
};
