#pragma once

#include "core/engine/valuationstate.h"
#include "core/results/treecalculation.h"
#include "testsupport.h"

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <ostream>
#include <utility>

// Readable QStrings in the messages of failed expectations.
inline void PrintTo(const QString &s, std::ostream *os) {
    *os << '"' << s.toStdString() << '"';
}
inline std::ostream &operator<<(std::ostream &os, const QString &s) {
    return os << s.toStdString();
}

using KeyValues = QList<std::pair<QString, QString>>;

// The sample control file with some values changed ("bdm:" -> "20"); a key the sample lacks is
// added before the final line.
QStringList controlWith(const KeyValues &values);

// The sample control file without the lines of the given keys.
QStringList controlWithout(const QStringList &keys);

// A home directory with a control file and the sample price list, an engine on it and the
// valuation of its latest calculation.
struct EngineHome {
    EngineHome(std::initializer_list<std::pair<QString, QString>> values = {});
    explicit EngineHome(const KeyValues &values);

    void setControl(const KeyValues &values) { home.writeLines("trad.sty", controlWith(values)); }
    // One calculation as the result window makes it: the files read and the tree valued by
    // valueTree (TreeCalculation::calculate), then the report saved; what it has to say, or empty.
    QString run();
    QStringList report() const { return home.readLines("resultat.txt"); }
    // The report lines that begin with `start`, in order.
    QStringList reportLines(const QString &start) const;
    // The text the result grid shows in row `row` (1 for harvest now to 12), column `col` (1 to
    // 17): empty in a row the calculation did not reach.
    QString cell(int row, int col) const;
    QStringList gridRow(int row) const;

    TempHome home;
    TreeCalculation engine;
    TreeValuation valuation;
};

// A state ready for the formulas of one pass: the species, region and tree of a first pass.
ValuationState firstPassState(const QString &species, const QString &region, double diameter,
                              double siteIndex, double diameterQuotient,
                              double heightDeviation = 0);
