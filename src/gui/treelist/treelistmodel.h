#pragma once

#include "core/treelist/treelist.h"
#include "core/treelist/treelistcsv.h"
#include "core/treelist/treelistdocument.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QHash>
#include <QSortFilterProxyModel>

#include <optional>
#include <vector>

// The trees of the list window, one a row: the identifier, the eleven tree keys as the user
// typed them, and once valued the decision and its figures. Columns the list file had beyond
// the program's own follow the figures. A view of the list's document, which reads and saves
// the file: the model shows its rows and passes the user's edits to it.
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
    Outcome read(const QString &path, const std::array<QString, treeKeyCount> &texts);
    // Saves the list (see TreeListDocument::save).
    SaveOutcome save(const QString &path, IfChangedSinceRead ifChanged);
    // The texts of "trad.sty" that trees without a column of their own show (and are valued by).
    void setDefaults(const std::array<QString, treeKeyCount> &texts);
    // Drops the list for a new, empty one.
    void clear();
    // The list and its file, as the core holds them.
    const TreeListDocument &document() const { return m_document; }
    // The file the list is of: read from, saved to, or that a kept list stands for.
    const QString &path() const { return m_document.path(); }
    void setPath(const QString &path) { m_document.setPath(path); }

    // Whether view column `column` is the owner's "åtgärd".
    bool isMarkColumn(int column) const;

    // The row's tree, its texts made now: a copy that stays as it is whatever the list does.
    TreeRow tree(int row) const { return m_document.tree(row); }
    // The fault that keeps the tree from being valued before any valuation, or empty.
    QString rowFault(int row) const;
    QList<TreeRow> trees() const;
    // Why the tree is left out of the plan (its valuation's fault, or before one its row's),
    // or empty for a tree that is valued.
    QString unvaluedReason(int row) const;
    // The text of the list's remark column ("Anmärkning", "Anm", ...), or empty.
    QString remark(int row) const;
    // The tree keys the list has a column for; the others come from "trad.sty".
    std::array<bool, treeKeyCount> keyColumns() const;
    void setSummaries(QList<TreeSummary> summaries);
    const HeldSummary &summary(int row) const { return m_document.row(row).summary; }

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
        int failed = 0; // valued in vain: the tree could not be valued
    };
    CutNow cutNow() const;

    // The stand the list is of, saved on the list's first lines.
    const StandName &stand() const { return m_document.stand(); }
    void setStand(const StandName &stand);

    bool isModified() const { return m_document.isModified(); }
    void setModified(bool modified);

signals:
    // The summaries or the rows changed: the footer is to be written again.
    void totalsChanged();

private:
    using ListRow = TreeListDocument::Row;
    int otherCount() const { return int(m_document.otherHeadings().size()); }
    QVariant keyData(int row, int key, int role) const;
    QVariant summaryData(int row, int column, int role) const;

    TreeListDocument m_document;
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
    // The list is sorted, never filtered: every row is shown without asking the filter's
    // pattern once a row, which at 100 000 trees is felt when a list opens.
    bool filterAcceptsRow(int, const QModelIndex &) const override { return true; }

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
