#pragma once

#include "core/files/outcome.h"
#include "core/files/textfile.h"
#include "core/treelist/treelist.h"
#include "core/treelist/treelistcsv.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class HarvestPlan;

// A row's figures once it is valued, held apart from the row: a list not yet valued does not
// carry room for figures in every row, and the rows stay small to move while the list is read.
// The figures of one valuation are one list that the rows it valued share, not an allocation a
// row, and that the harvest plan shares as well.
class HeldSummary {
public:
    HeldSummary() = default;
    HeldSummary(QList<TreeSummary> block, qsizetype index)
        : m_block(std::move(block)), m_index(index) {}

    bool has_value() const { return !m_block.isEmpty(); }
    explicit operator bool() const { return has_value(); }
    const TreeSummary &operator*() const { return m_block.at(m_index); }
    const TreeSummary *operator->() const { return &**this; }
    void reset() { m_block = {}; }
    // The figures of the whole valuation these are part of.
    const QList<TreeSummary> &block() const { return m_block; }
    // Whether these are the figures at `index` of the valuation `block`.
    bool isIn(const QList<TreeSummary> &block, qsizetype index) const {
        return m_index == index && m_block.constData() == block.constData();
    }

private:
    QList<TreeSummary> m_block;
    qsizetype m_index = 0;
};

// A tree list file as the program holds it between opening and saving: the stand's name, the
// headings exactly as the file had them, each tree's cells, the columns that are not the
// program's, and once valued each tree's summary. A save writes back what the file held and
// what the user changed, nothing else, in the file's own dialect: a list opened and saved
// unchanged is the same bytes. A key the file has no column for follows "trad.sty".
class TreeListDocument {
public:
    // What was typed into a row, or all of a row added here; a cell not held here is the
    // file's, seen in the text it was read in.
    struct TypedCells {
        QString idCell; // when `idEdited`, or for a row added here
        std::array<std::optional<QString>, treeKeyCount> values;
        QStringList others; // every carried cell, once one of them is typed
    };

    // A tree of the list: its cells stay in the text they were read in until one is typed, so a
    // large list opens without making a text for each of its cells.
    struct Row {
        Row() = default;
        Row(const Row &other) { *this = other; }
        Row(Row &&) noexcept = default;
        Row &operator=(const Row &other);
        Row &operator=(Row &&) noexcept = default;

        const ListChunk *chunk = nullptr; // the text read; none for a tree added here
        qsizetype line = 0;
        TreeMark mark = TreeMark::None;
        bool idEdited = false;
        std::array<bool, treeKeyCount> edited{}; // typed here: a number is held with a point
        Outcome lineFault;                       // a fault of the file line itself
        HeldSummary summary;
        std::unique_ptr<TypedCells> typed;
    };

    TreeListDocument() { clear(); }

    // A new, empty list with every column of the program, in the user's regional dialect.
    void clear();
    // Replaces the list by the file's trees; a key the file has no column for holds `texts`.
    // On failure the list is as it was.
    Outcome load(const QString &path, const std::array<QString, treeKeyCount> &texts);
    // Saves the list to `path`. Over the file it was read from, a change made there since
    // (by a spreadsheet, another copy of the program) stops the save unless `ifChanged` says
    // to overwrite it.
    SaveOutcome save(const QString &path, IfChangedSinceRead ifChanged);
    // The file the list was read from or saved to; empty for a new list.
    const QString &path() const { return m_path; }
    // The list now stands for `path` (a list kept at a session's end is its file's list).
    void setPath(const QString &path) { m_path = path; }

    // The list as file bytes in its own dialect.
    QByteArray listBytes() const;
    // The valued list in `dialect`: every row with its figures (the list's summary columns),
    // then, after an empty line, `planLines` and the trees the plan leaves out. `plannedYears`,
    // when given, is a last figure per tree: the year the plan cuts it.
    QByteArray resultBytes(const CsvDialect &dialect, const HarvestPlan &plan,
                           const QList<QStringList> &planLines,
                           const QStringList *plannedYears = nullptr) const;

    int rowCount() const { return int(m_rows.size()); }
    const Row &row(int row) const { return m_rows[std::size_t(row)]; }
    const QStringList &otherHeadings() const { return m_otherHeadings; }
    // Whether carried column `other` is the owner's "åtgärd".
    bool isMarkColumn(int other) const;

    // Edits; each returns whether the row changed. A changed key drops the row's figures.
    bool setId(int row, const QString &text);
    bool setKeyText(int row, int key, const QString &text);
    // The owner's "åtgärd" takes only "lämnas", "avverkas" or nothing.
    bool setOtherCell(int row, int other, const QString &text);
    // A new tree at the end, with the values `texts` (those of "trad.sty"); its row.
    int addTree(const std::array<QString, treeKeyCount> &texts);
    void removeRow(int row);
    // The texts of "trad.sty" that trees without a column of their own hold.
    void setDefaults(const std::array<QString, treeKeyCount> &texts);
    void setSummaries(QList<TreeSummary> summaries);
    // Whether any row may hold figures: false for a list not valued since it was read.
    bool mayHoldSummaries() const { return m_valued; }
    // Every row's figures; for a row without them, its own fault as the reason it is not
    // valued. The list of the last valuation itself while every row holds its figures.
    QList<TreeSummary> summaries() const;

    // Every row's tree; equal cells share one text.
    QList<TreeRow> trees() const;
    // The trees of rows `begin` to `end` into `out[begin]` onwards; equal cells among them
    // share one text. Rows apart may be made on threads of their own.
    void trees(int begin, int end, TreeRow *out) const;
    // The tree of the row, its texts made now; a key not given holds the text of "trad.sty".
    TreeRow tree(int row) const;
    // The row's keys as texts seen where they are held, for checking or valuing the tree
    // without copying them: valid until the list changes.
    TreeTexts texts(int row) const;
    // The key's text, seen where it is held: valid until the list changes.
    QStringView keyView(int row, int key) const;
    QString keyText(int row, int key) const { return keyView(row, key).toString(); }
    // Whether the row has a value of its own for the key, else that of "trad.sty".
    bool isGiven(int row, int key) const;
    QString id(int row) const;
    QString otherCell(int row, int other) const;
    // The cells of the carried columns, and those beyond the file's heading.
    QStringList otherCells(int row) const;
    QStringList beyondCells(int row) const;
    // The line's own fault, else the first fault of its values.
    Outcome fault(int row) const;
    // Why the tree is left out of a plan (its valuation's fault, or before one its row's); ok
    // for a tree that is valued.
    Outcome unvaluedReason(int row) const;
    // The text of the list's remark column ("Anmärkning", "Anm", ...), or empty.
    QString remark(int row) const;
    // The tree keys the list has a column for; the others come from "trad.sty".
    std::array<bool, treeKeyCount> keyColumns() const;
    // Those others, as the window and the marking list name them ("Från trad.sty: Bonitet,
    // Plantering"), or empty.
    QString fromControlFile() const;

    const StandName &stand() const { return m_stand; }
    // Whether the name changed.
    bool setStand(const StandName &stand);

    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

private:
    QByteArray bytes(const CsvDialect &dialect, const HarvestPlan *plan,
                     const QList<QStringList> *planLines,
                     const QStringList *plannedYears = nullptr) const;
    QString nextId() const;
    QStringView idView(const Row &r) const;
    QStringView otherView(const Row &r, int other) const;
    // The row's typed cells, made on its first edit.
    TypedCells &typed(Row &r);
    // Where the columns of each kind are, worked out from the headings.
    void placeColumns();

    std::vector<Row> m_rows;
    QStringList m_headings;   // the file's, as read; those of a new list
    std::vector<int> m_kinds; // per heading: a TreeKey, idColumn, remarkColumn or otherColumn
    // The texts read, kept for the rows' cells; shared by copies of the list, never changed.
    std::vector<std::shared_ptr<const ListChunk>> m_chunks;
    std::array<qsizetype, treeKeyCount> m_keyColumn{}; // the heading of each key, or -1
    qsizetype m_idColumn = -1;
    std::vector<qsizetype> m_otherColumns; // the headings of the carried columns
    QStringList m_otherHeadings;           // the headings of the carried columns, in order
    std::array<QString, treeKeyCount> m_defaults;
    StandName m_stand;
    CsvDialect m_dialect = CsvDialect::forLocale();
    QString m_path;
    FileStamp m_readStamp; // of the bytes read or last saved, to tell a change made elsewhere
    bool m_modified = false;
    bool m_valued = false;
};

// Whether a column of that kind is carried along as text: the remark, the owner's mark and
// anything unknown.
bool isCarriedColumn(int kind);
// Whether the key holds a number (a quality is one).
bool isNumberKey(int key);
