#pragma once

#include "core/engine/decision.h"
#include "core/engine/treevaluation.h"
#include "core/files/outcome.h"
#include "core/parameters/treeinputs.h"
#include "core/treelist/harvestentries.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// A list of trees valued one by one: a stand marked for a selective harvest, or an inventory.
// Each tree is the tree form's eleven control-file keys as texts; what a tree leaves out comes
// from the home directory's "trad.sty", so a list only needs the columns the calliper measured.

// The tree keys of the control file, in the order of the tree form.
enum TreeKey : int {
    TreeSpecies,
    BreastDiameter,
    HeightDeviation,
    Site,
    Plant,
    RingWidth,
    DiameterQuotient,
    CrownShare,
    ButtLogQuality,
    SecondLogQuality,
    ThirdLogQuality
};
inline constexpr int treeKeyCount = 11;

struct Parameter;

struct TreeKeyInfo {
    enum Kind { Species, Number, YesNo, Quality };
    QStringView name;      // column name in a list file: the control-file key without its colon
    const char16_t *title; // column heading on screen
    Kind kind;
    // The key in the table of parameters: the tree form's bounds of a number, its meaning.
    const Parameter *parameter = nullptr;
};

const TreeKeyInfo &treeKeyInfo(int key);
// The key a list file's column heading names ("bdm", "BDM", "bdm:"), or -1.
int treeKeyNamed(QStringView heading);

// One tree of a list: its identifier and the text of each key, as read or typed. A key the
// list has no column for is not `given`: the tree takes it from "trad.sty".
struct TreeRow {
    QString id;
    std::array<QString, treeKeyCount> values;
    std::array<bool, treeKeyCount> given{};
    TreeMark mark = TreeMark::None; // the owner's "åtgärd": "lämnas", "avverkas" or neither
};

// The given keys of one tree as texts seen where they lie (a line of a list being read), for
// checking and valuing a tree without copying its texts.
struct TreeTexts {
    std::array<QStringView, treeKeyCount> values;
    std::array<bool, treeKeyCount> given{};

    static TreeTexts of(const TreeRow &row);
};

// Checks `text` as the value of `key`; fails in the words of the tree form's field check
// ("Värdet måste ligga mellan 0 och 300"). A decimal comma counts as a point, since
// spreadsheets and callipers write one.
Outcome checkTreeValue(int key, QStringView text);

// The number a text of a number key (or a quality class, before it is rounded) is read as, the
// check passed; none when it fails the check or the key holds no number.
std::optional<double> treeValueNumber(int key, QStringView text);

// `base` with every given key of `row` laid over it.
Outcome overlayTree(TreeInputs &base, const TreeRow &row);
// The same from texts seen in place; `base` is unchanged when a key fails its check.
Outcome overlayTree(TreeInputs &base, const TreeTexts &row);

// The species letter for a text a list may hold: the letter itself or the name ("Tall",
// "gran"). Empty when the text names no species.
QString speciesLetter(QStringView text);

// Whether the gap is replanted, for a text a list may hold ("y", "n", "Ja", "nej"); none when
// the text says neither.
std::optional<bool> plantingAnswer(QStringView text);

// What the list shows of one valued tree.
struct TreeSummary {
    Outcome fault; // why the tree could not be valued; the figures below then mean nothing
    Decision decision;
    double volumeNow = 0; // merchantable volume if cut now, m3
    // The harvest in the best year: its net value (kr) and merchantable volume (m3) then.
    double netBest = 0;
    double volumeBest = 0;
    TreeYears years; // every harvest year, for a plan in a few entries

    bool valued() const { return fault.ok(); }
};

// The summary of tree `i` without a copy of it (a summary holds every harvest year); a tree
// beyond the summaries has an empty one.
inline const TreeSummary &summaryAt(const QList<TreeSummary> &summaries, qsizetype i) {
    static const TreeSummary none;
    return i < summaries.size() ? summaries.at(i) : none;
}

// Values one tree on its own: `base` (the home directory's parameters) with the row laid over
// it. `full` receives the twelve harvest years when given.
TreeSummary valueTreeRow(const TreeInputs &base, const TreeRow &row, const PriceTables &prices,
                         TreeValuation *full = nullptr);
TreeSummary valueTreeRow(const TreeInputs &base, const TreeTexts &row, const PriceTables &prices,
                         TreeValuation *full = nullptr);
// The same for a tree whose row is already laid over the base.
TreeSummary valueTreeInputs(const TreeInputs &inputs, const PriceTables &prices,
                            TreeValuation *full = nullptr);

// The decision in the list's words: "Avverka nu" or "Låt stå".
QString decisionText(const Decision &d);

// The summary columns of a valued list, after the tree's own columns.
enum SummaryColumn : int {
    CutOrWait,
    BestYear,
    NetNow,
    BestPresentValue,
    GrowthNextTen,
    FaultText
};
inline constexpr int summaryColumnCount = 6;
QString summaryHeading(int column);
// A summary figure as the result grid writes it; empty for a tree that was not valued.
QString summaryText(const TreeSummary &s, int column, QChar decimalSeparator);
// The same added to the end of `text`.
void appendSummaryText(QString &text, const TreeSummary &s, int column, QChar decimalSeparator);

// Figure `column` (a ResultColumn, headed by resultHeading) of a harvest year as the grid writes
// it; a figure the grid leaves blank (growth and present value of harvest now) is the empty
// text.
QString harvestYearText(const HarvestYear &year, int column, QChar decimalSeparator);
void appendHarvestYearText(QString &text, const HarvestYear &year, int column,
                           QChar decimalSeparator);

// The parameters a list's trees start from: those of "trad.sty" in the home directory.
struct TreeListHome {
    TreeInputs base;
    PriceTables prices;
    std::array<QString, treeKeyCount> texts; // the tree keys' texts in "trad.sty"
    // Tree keys "trad.sty" has no line for: a list must give them in a column of its own.
    std::array<bool, treeKeyCount> missing{};
    QString controlFilePath;
    QString county; // the price list's county text, as the marking list names it
};
// Loads the home directory's parameters; a stand or economy parameter missing from "trad.sty"
// stops it with a message naming the parameter (its trees would otherwise be valued with 0).
Expected<TreeListHome> loadTreeListHome(const HomeDirectory &directory);
// Whether every tree key "trad.sty" lacks has a column of the list (`hasColumn`); fails with a
// message naming the keys that have neither.
Outcome checkTreeKeyColumns(const TreeListHome &home,
                            const std::array<bool, treeKeyCount> &hasColumn);
// Only the texts of the tree keys, for a new tree of a list.
Outcome loadTreeKeyTexts(const HomeDirectory &home, std::array<QString, treeKeyCount> &texts);
