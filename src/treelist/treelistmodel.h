#pragma once

#include "core/treelist/treelist.h"
#include "core/treelist/treelistcsv.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QHash>
#include <QSortFilterProxyModel>

#include <optional>
#include <vector>

// The trees of the list window, one a row: the identifier, the eleven tree keys as the user
// typed them, and once valued the decision and its figures. Columns the list file had beyond
// the program's own follow the figures, shown and saved again. A save writes back what the
// file held and what the user changed, nothing else: the cells as they were read, the columns
// the file had (a key it had no column for still follows "trad.sty").
class HarvestPlan;

class TreeListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Columns: the id, the keys, then the summary.
    static constexpr int IdColumn = 0;
    static constexpr int FirstKeyColumn = 1;
    static constexpr int FirstSummaryColumn = FirstKeyColumn + treeKeyCount;
    static constexpr int ColumnCount = FirstSummaryColumn + summaryColumnCount;
    // The file's columns that are not the program's come after the figures.
    static constexpr int FirstOtherColumn = ColumnCount;
    // The number a column sorts by, where it holds numbers.
    static constexpr int SortRole = Qt::UserRole;

    explicit TreeListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    // A new tree at the end, with the values `texts` (those of "trad.sty"); its row.
    int addTree(const std::array<QString, treeKeyCount> &texts);
    void removeTrees(QList<int> rows);

    // Replaces the list by the file's trees; a key the file has no column for shows `texts`.
    // `stamp` (when given): of the file's bytes as read, for the save to tell a change made
    // elsewhere since.
    Outcome read(const QString &path, const std::array<QString, treeKeyCount> &texts,
                 FileStamp *stamp = nullptr);
    // The texts of "trad.sty" that trees without a column of their own show (and are valued by).
    void setDefaults(const std::array<QString, treeKeyCount> &texts);
    // Drops the list for a new, empty one.
    void clear();
    // The list as file bytes in its dialect (that of the file it came from, or the user's).
    // With a `plan`: every row followed by its figures (the list's summary columns), then, after
    // an empty line, the plan; for taking the valued stand out of the program.
    // `planInstead`, when given, are the plan's lines to write in place of the tree-by-tree
    // plan's (the plan in harvest entries). `plannedYears`, when given, is a last figure per
    // tree: the year the plan cuts it (StandSheet::plannedYearTexts).
    QByteArray csvBytes(const HarvestPlan *plan = nullptr,
                        const QList<QStringList> *planInstead = nullptr,
                        const QStringList *plannedYears = nullptr) const;

    // Whether view column `column` is the owner's "åtgärd".
    bool isMarkColumn(int column) const;

    const TreeRow &tree(int row) const { return m_rows[std::size_t(row)].tree; }
    // The fault that keeps the tree from being valued before any valuation, or empty.
    QString rowFault(int row) const;
    std::vector<TreeRow> trees() const;
    // Why the tree is left out of the plan (its valuation's fault, or before one its row's),
    // or empty for a tree that is valued.
    QString unvaluedReason(int row) const;
    // The text of the list's remark column ("Anmärkning", "Anm", ...), or empty.
    QString remark(int row) const;
    // The tree keys the list has a column for; the others come from "trad.sty".
    std::array<bool, treeKeyCount> keyColumns() const;
    void setSummaries(std::vector<TreeSummary> summaries);
    const std::optional<TreeSummary> &summary(int row) const {
        return m_rows[std::size_t(row)].summary;
    }

    // What is cut now, the owner's marks before the valuation's decisions, and the marked
    // trees counted apart, each with its net value and volume now.
    struct CutNow {
        int trees = 0;
        double netValue = 0; // kr
        double volume = 0;   // m3
        int markedCut = 0;   // marked "avverkas", among the trees above
        double markedCutNet = 0;
        double markedCutVolume = 0;
        int markedLeft = 0; // marked "lämnas", not among them
        double markedLeftNet = 0;
        double markedLeftVolume = 0;
    };
    CutNow cutNow() const;

    // The stand the list is of, saved on the list's first lines.
    const StandName &stand() const { return m_stand; }
    void setStand(const StandName &stand);

    bool isModified() const { return m_modified; }
    void setModified(bool modified);

signals:
    // The summaries or the rows changed: the footer is to be written again.
    void totalsChanged();

private:
    struct ListRow {
        TreeRow tree;   // a key not `given` shows the text of "trad.sty"
        QString idCell; // the identifier as read or typed
        bool idEdited = false;
        std::array<bool, treeKeyCount> edited{}; // typed here: a number is held with a point
        QStringList others;                      // cells of the file's other columns
        QStringList beyond; // cells beyond the file's heading, kept after the others
        QString lineFault;  // a fault of the file line itself
        std::optional<TreeSummary> summary;

        // The line's own fault, else the first fault of its values; empty for a sound row.
        QString fault() const;
    };
    int otherCount() const { return int(m_otherHeadings.size()); }
    QString nextId() const;
    QVariant keyData(const ListRow &r, int key, int role) const;
    QVariant summaryData(const ListRow &r, int column, int role) const;

    std::vector<ListRow> m_rows;
    QStringList m_headings;      // the file's, as read; those of a new list
    std::vector<int> m_kinds;    // per heading: a TreeKey, idColumn, remarkColumn or otherColumn
    QStringList m_otherHeadings; // the headings of the carried columns, in order
    std::array<QString, treeKeyCount> m_defaults;
    StandName m_stand;
    CsvDialect m_dialect = CsvDialect::forLocale();
    bool m_modified = false;
};

// Sorts numbers as numbers and texts in the order of the user's locale when the list is made
// ("T2" before "T10"); rows without a value (a tree not yet valued) come last either way.
// Each row's sort value is worked out once per sort column and kept until its row changes: a
// sort of 100 000 rows compares about two million times.
class TreeListSortModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit TreeListSortModel(QObject *parent = nullptr);
    void setSourceModel(QAbstractItemModel *source) override;

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    struct SortKey {
        enum class Kind : char { Unknown, None, Number, Text } kind = Kind::Unknown;
        double number = 0;
        QString text;
        std::optional<QCollatorSortKey> collated;
    };
    const SortKey &keyOf(const QModelIndex &source) const;
    QString textOf(const SortKey &key) const;
    void forgetKeys() { m_keysColumn = -1; }

    QCollator m_collator;
    mutable std::vector<SortKey> m_keys;                 // by source row, for m_keysColumn
    mutable QHash<QString, QCollatorSortKey> m_collated; // a column repeats its texts
    mutable int m_keysColumn = -1;
};
