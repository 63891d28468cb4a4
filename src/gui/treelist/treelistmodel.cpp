#include "gui/treelist/treelistmodel.h"

#include "core/files/numberformat.h"
#include "core/parameters/fieldcheck.h"
#include "core/parameters/parameters.h"
#include "core/parameters/species.h"
#include "core/treelist/harvestplan.h"
#include "core/treelist/standsheet.h"

#include <QBrush>
#include <QCollator>
#include <QColor>
#include <QFont>
#include <QTextDocument>

#include <cmath>

#include <algorithm>

namespace {

const QColor faultColour(255, 214, 214);

QString summaryTitle(int column) {
    static const char16_t *const titles[summaryColumnCount] = {
        u"Beslut", u"Bästa år", u"Netto nu, kr", u"Nuvärde bästa, kr", u"Ränta 10 år, %", u"Fel"};
    return QString::fromUtf16(titles[column]);
}

QString summaryMeaning(int column) {
    static const char16_t *const meanings[summaryColumnCount] = {
        u"Avverka nu, eller låt stå: om trädet är värt mest avverkat i dag eller senare, räknat "
        u"med ditt räntekrav.",
        u"Det avverkningsår (0 är nu) då trädets nuvärde är störst.",
        u"Trädets värde netto, efter avverknings- och planteringskostnad, vid avverkning i dag.",
        u"Nuvärdet det bästa året: nettot då räknat om till dagens pengar med ditt räntekrav.",
        u"Den ränta som trädets värde växer med per år de närmaste tio åren; jämför den med ditt "
        u"räntekrav.",
        u"Varför trädet inte kunde värderas: ett värde som saknas eller ligger utanför "
        u"gränserna."};
    return QString::fromUtf16(meanings[column]);
}

} // namespace

TreeListModel::TreeListModel(QObject *parent) : QAbstractTableModel(parent) {
    clear();
}

void TreeListModel::clear() {
    beginResetModel();
    m_document.clear();
    endResetModel();
    emit totalsChanged();
}

int TreeListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_document.rowCount();
}

int TreeListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount + otherCount();
}

QString TreeListModel::rowFault(int row) const {
    return m_document.fault(row).message();
}

QVariant TreeListModel::keyData(int row, int key, int role) const {
    const QStringView text = m_document.keyView(row, key);
    // Checked only for the roles that show the check: a painted cell is asked for a dozen
    // roles, and a list opens with its first page painted.
    const auto fault = [key, text] { return checkTreeValue(key, text).message(); };
    const auto fromHome = [&] { return !m_document.isGiven(row, key); };
    switch (role) {
    case Qt::DisplayRole:
        if ((key == TreeSpecies || key == Plant) && fault().isEmpty())
            return key == TreeSpecies      ? speciesName(speciesLetter(text))
                   : *plantingAnswer(text) ? QStringLiteral("Ja")
                                           : QStringLiteral("Nej");
        return text.toString();
    case Qt::EditRole:
        return text.toString();
    case SortRole:
        // By the number the valuation reads, without a copy of the text.
        if (const std::optional<double> number = treeValueNumber(key, text))
            return QVariant(*number);
        return keyData(row, key, Qt::DisplayRole);
    case Qt::BackgroundRole:
        return fault().isEmpty() ? QVariant() : QVariant(QBrush(faultColour));
    case Qt::ForegroundRole:
        return fromHome() ? QVariant(QBrush(QColor(Qt::darkGray))) : QVariant();
    case Qt::ToolTipRole:
        // A tooltip that looks like markup is shown as markup: the text is escaped.
        if (const QString f = fault(); !f.isEmpty())
            return Qt::convertFromPlainText(f);
        return fromHome() ? QVariant(QStringLiteral("Från trad.sty: listan har ingen kolumn för "
                                                    "värdet."))
                          : QVariant();
    case Qt::TextAlignmentRole:
        return isNumberKey(key) ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    }
    return {};
}

QVariant TreeListModel::summaryData(int row, int column, int role) const {
    const ListRow &r = m_document.row(row);
    if (column == FaultText) {
        // The row's check looks at all of its values: asked only for the roles that show it.
        if (role != Qt::DisplayRole && role != SortRole && role != Qt::ToolTipRole)
            return {};
        QString fault = m_document.fault(row).message();
        if (fault.isEmpty() && r.summary)
            fault = r.summary->fault.message();
        if (fault.isEmpty())
            return {};
        if (role == Qt::DisplayRole || role == SortRole)
            return fault;
        if (role == Qt::ToolTipRole)
            return Qt::convertFromPlainText(fault);
        return {};
    }
    if (!r.summary || !r.summary->valued())
        return {};
    const TreeSummary &s = *r.summary;
    switch (role) {
    case Qt::DisplayRole:
        // The owner's mark decides over the valuation, and the list says so.
        if (column == CutOrWait)
            return markedDecisionText(s, r.mark);
        return summaryText(s, column, localeDecimalSeparator());
    case Qt::ToolTipRole:
        if (column == CutOrWait && r.mark != TreeMark::None)
            return QStringLiteral("Märkt \"%1\" i kolumnen åtgärd; värderingen säger %2.")
                .arg(treeMarkText(r.mark), decisionText(s.decision).toLower());
        return {};
    case Qt::FontRole:
        if (column == CutOrWait && r.mark != TreeMark::None) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case SortRole:
        switch (column) {
        case CutOrWait:
            return markedDecisionText(s, r.mark);
        case BestYear:
            return double(s.decision.bestYears());
        case NetNow:
            return s.decision.valueNow;
        case BestPresentValue:
            return s.decision.bestValue;
        case GrowthNextTen:
            // A tree without a growth rate sorts with the rows that have no figure.
            return std::isnan(s.decision.growthNextTen) ? QVariant()
                                                        : QVariant(s.decision.growthNextTen);
        }
        return {};
    case Qt::TextAlignmentRole:
        return column == CutOrWait ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant TreeListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int row = index.row();
    const int c = index.column();
    if (c == IdColumn)
        return role == Qt::DisplayRole || role == Qt::EditRole || role == SortRole
                   ? QVariant(m_document.id(row))
                   : QVariant();
    if (c < FirstSummaryColumn)
        return keyData(row, c - FirstKeyColumn, role);
    if (c >= FirstOtherColumn)
        return role == Qt::DisplayRole || role == Qt::EditRole || role == SortRole
                   ? QVariant(m_document.otherCell(row, c - FirstOtherColumn))
                   : QVariant();
    return summaryData(row, c - FirstSummaryColumn, role);
}

QVariant TreeListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal && section >= FirstKeyColumn &&
        section < FirstSummaryColumn)
        return treeKeyInfo(section - FirstKeyColumn).parameter->meaning.toString();
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal && section >= FirstSummaryColumn &&
        section < ColumnCount)
        return summaryMeaning(section - FirstSummaryColumn);
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section == IdColumn)
        return QStringLiteral("Id");
    if (section < FirstSummaryColumn)
        return QString::fromUtf16(treeKeyInfo(section - FirstKeyColumn).title);
    if (section >= FirstOtherColumn)
        return m_document.otherHeadings().value(section - FirstOtherColumn).trimmed();
    return summaryTitle(section - FirstSummaryColumn);
}

Qt::ItemFlags TreeListModel::flags(const QModelIndex &index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() &&
        (index.column() < FirstSummaryColumn || index.column() >= FirstOtherColumn))
        f |= Qt::ItemIsEditable;
    return f;
}

bool TreeListModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString text = value.toString();
    const int row = index.row();
    const int c = index.column();
    const bool changed = c >= FirstOtherColumn
                             ? m_document.setOtherCell(row, c - FirstOtherColumn, text)
                         : c == IdColumn ? m_document.setId(row, text)
                                         : m_document.setKeyText(row, c - FirstKeyColumn, text);
    if (!changed)
        return false;
    emit dataChanged(this->index(row, 0), this->index(row, columnCount() - 1));
    emit totalsChanged();
    return true;
}

bool TreeListModel::isMarkColumn(int column) const {
    return column >= FirstOtherColumn && m_document.isMarkColumn(column - FirstOtherColumn);
}

int TreeListModel::addTree(const std::array<QString, treeKeyCount> &texts) {
    const int row = rowCount();
    beginInsertRows({}, row, row);
    m_document.addTree(texts);
    endInsertRows();
    emit totalsChanged();
    return row;
}

void TreeListModel::removeTrees(QList<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows) {
        beginRemoveRows({}, row, row);
        m_document.removeRow(row);
        endRemoveRows();
    }
    if (!rows.isEmpty())
        emit totalsChanged();
}

Outcome TreeListModel::read(const QString &path, const std::array<QString, treeKeyCount> &texts) {
    // The document keeps its list when the file cannot be read.
    TreeListDocument read;
    if (const Outcome loaded = read.load(path, texts); !loaded)
        return loaded;
    beginResetModel();
    m_document = std::move(read);
    endResetModel();
    emit totalsChanged();
    return {};
}

SaveOutcome TreeListModel::save(const QString &path, IfChangedSinceRead ifChanged) {
    return m_document.save(path, ifChanged);
}

void TreeListModel::setDefaults(const std::array<QString, treeKeyCount> &texts) {
    m_document.setDefaults(texts);
    if (rowCount() > 0)
        emit dataChanged(index(0, FirstKeyColumn), index(rowCount() - 1, FirstSummaryColumn - 1));
}

QList<TreeRow> TreeListModel::trees() const {
    return m_document.trees();
}

void TreeListModel::setSummaries(QList<TreeSummary> summaries) {
    m_document.setSummaries(std::move(summaries));
    if (rowCount() > 0)
        emit dataChanged(index(0, FirstSummaryColumn),
                         index(rowCount() - 1, FirstSummaryColumn + summaryColumnCount - 1));
    emit totalsChanged();
}

TreeListModel::CutNow TreeListModel::cutNow() const {
    CutNow t;
    // A list just opened has no figures to count: its rows are not walked through.
    if (!m_document.mayHoldSummaries())
        return t;
    for (int row = 0; row < rowCount(); ++row) {
        const TreeListDocument::Row &r = m_document.row(row);
        if (!r.summary)
            continue;
        if (!r.summary->valued()) {
            ++t.failed;
            continue;
        }
        const double net = r.summary->decision.valueNow;
        const double volume = r.summary->volumeNow;
        if (r.mark == TreeMark::Leave) {
            ++t.markedLeft;
            t.markedLeftNet += net;
            t.markedLeftVolume += volume;
            continue;
        }
        if (r.mark == TreeMark::Cut) {
            ++t.markedCut;
            t.markedCutNet += net;
            t.markedCutVolume += volume;
        }
        if (cutNowMarked(*r.summary, r.mark)) {
            ++t.trees;
            t.netValue += net;
            t.volume += volume;
        }
    }
    return t;
}

void TreeListModel::setStand(const StandName &stand) {
    m_document.setStand(stand);
}

QString TreeListModel::unvaluedReason(int row) const {
    return m_document.unvaluedReason(row).message();
}

QString TreeListModel::remark(int row) const {
    return m_document.remark(row);
}

std::array<bool, treeKeyCount> TreeListModel::keyColumns() const {
    return m_document.keyColumns();
}

void TreeListModel::setModified(bool modified) {
    m_document.setModified(modified);
}

TreeListSortModel::TreeListSortModel(QObject *parent) : QSortFilterProxyModel(parent) {
    m_collator.setNumericMode(true);
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

void TreeListSortModel::setSourceModel(QAbstractItemModel *source) {
    if (sourceModel())
        sourceModel()->disconnect(this);
    // Connected ahead of the proxy's own handlers, so that a re-sort after a change never reads
    // a kept value of the row that changed.
    if (source) {
        connect(source, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                    for (int r = topLeft.row(); r <= bottomRight.row(); ++r)
                        if (std::size_t(r) < m_keys.size())
                            m_keys[std::size_t(r)].kind = SortKey::Kind::Unknown;
                });
        connect(source, &QAbstractItemModel::modelReset, this, &TreeListSortModel::forgetKeys);
        connect(source, &QAbstractItemModel::layoutChanged, this, &TreeListSortModel::forgetKeys);
        connect(source, &QAbstractItemModel::rowsInserted, this, &TreeListSortModel::forgetKeys);
        connect(source, &QAbstractItemModel::rowsRemoved, this, &TreeListSortModel::forgetKeys);
        connect(source, &QAbstractItemModel::rowsMoved, this, &TreeListSortModel::forgetKeys);
    }
    forgetKeys();
    QSortFilterProxyModel::setSourceModel(source);
}

const TreeListSortModel::SortKey &TreeListSortModel::keyOf(const QModelIndex &source) const {
    const std::size_t rows = std::size_t(sourceModel()->rowCount());
    if (m_keysColumn != source.column() || m_keys.size() != rows) {
        m_keys.assign(rows, SortKey());
        m_collated.clear();
        m_keysColumn = source.column();
    }
    SortKey &key = m_keys[std::size_t(source.row())];
    if (key.kind != SortKey::Kind::Unknown)
        return key;
    const QVariant v = source.data(TreeListModel::SortRole);
    if (!v.isValid()) {
        key.kind = SortKey::Kind::None;
    } else if (v.typeId() == QMetaType::Double) {
        key.kind = SortKey::Kind::Number;
        key.number = v.toDouble();
    } else {
        key.kind = SortKey::Kind::Text;
        key.text = v.toString();
        auto known = m_collated.constFind(key.text);
        if (known == m_collated.constEnd())
            known = m_collated.insert(key.text, m_collator.sortKey(key.text));
        key.collated = *known;
    }
    return key;
}

QString TreeListSortModel::textOf(const SortKey &key) const {
    return key.kind == SortKey::Kind::Number ? QVariant(key.number).toString() : key.text;
}

bool TreeListSortModel::lessThan(const QModelIndex &left, const QModelIndex &right) const {
    const SortKey &l = keyOf(left);
    const SortKey &r = keyOf(right);
    const bool lValid = l.kind != SortKey::Kind::None;
    const bool rValid = r.kind != SortKey::Kind::None;
    // A descending sort asks whether right comes before left: a row without a value is last
    // either way.
    if (!lValid || !rValid)
        return sortOrder() == Qt::AscendingOrder ? lValid && !rValid : !lValid && rValid;
    if (l.kind == SortKey::Kind::Number && r.kind == SortKey::Kind::Number)
        return l.number < r.number;
    if (l.collated && r.collated)
        return l.collated->compare(*r.collated) < 0;
    return m_collator.compare(textOf(l), textOf(r)) < 0;
}
