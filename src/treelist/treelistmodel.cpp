#include "treelist/treelistmodel.h"

#include "core/files/numberformat.h"
#include "core/parameters/fieldcheck.h"
#include "core/parameters/parameters.h"
#include "core/parameters/species.h"
#include "core/treelist/harvestplan.h"

#include <QBrush>
#include <QBuffer>
#include <QCollator>
#include <QColor>
#include <QTextDocument>

#include <cmath>

#include <algorithm>
#include <climits>

namespace {

const QColor faultColour(255, 214, 214);

// A column of the file the model carries along as text: the remark and anything unknown.
bool isCarried(int kind) {
    return kind == otherColumn || kind == remarkColumn || kind == markColumn;
}

bool isNumberKey(int key) {
    const auto kind = treeKeyInfo(key).kind;
    return kind == TreeKeyInfo::Number || kind == TreeKeyInfo::Quality;
}

// The text as the program holds it: a number with a point, the way the tree form keeps it.
QString held(int key, const QString &text) {
    return isNumberKey(key) ? withDecimalPoint(text.trimmed()) : text.trimmed();
}

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
    m_rows.clear();
    // A new list has every column of the program, in the dialect of the user's settings.
    m_headings = {QStringLiteral("id")};
    m_kinds = {idColumn};
    for (int k = 0; k < treeKeyCount; ++k) {
        m_headings << treeKeyInfo(k).name.toString();
        m_kinds.push_back(k);
    }
    m_otherHeadings.clear();
    m_stand = {};
    m_dialect = CsvDialect::forLocale();
    endResetModel();
    setModified(false);
    emit totalsChanged();
}

int TreeListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TreeListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount + otherCount();
}

QString TreeListModel::ListRow::fault() const {
    return lineFault.isEmpty() ? checkTreeRow(tree).message() : lineFault;
}

QString TreeListModel::rowFault(int row) const {
    return m_rows[std::size_t(row)].fault();
}

QVariant TreeListModel::keyData(const ListRow &r, int key, int role) const {
    const QString &text = r.tree.values[std::size_t(key)];
    const QString fault = checkTreeValue(key, text).message();
    const bool fromHome = !r.tree.given[std::size_t(key)];
    switch (role) {
    case Qt::DisplayRole:
        if (fault.isEmpty() && key == Art)
            return speciesName(speciesLetter(text));
        if (fault.isEmpty() && key == Plant)
            return *plantingAnswer(text) ? QStringLiteral("Ja") : QStringLiteral("Nej");
        return text;
    case Qt::EditRole:
        return text;
    case SortRole:
        // By the number the valuation reads, without a copy of the text.
        if (const std::optional<double> number = treeValueNumber(key, text))
            return QVariant(*number);
        return keyData(r, key, Qt::DisplayRole);
    case Qt::BackgroundRole:
        return fault.isEmpty() ? QVariant() : QVariant(QBrush(faultColour));
    case Qt::ForegroundRole:
        return fromHome ? QVariant(QBrush(QColor(Qt::darkGray))) : QVariant();
    case Qt::ToolTipRole:
        // A tooltip that looks like markup is shown as markup: the text is escaped.
        if (!fault.isEmpty())
            return Qt::convertFromPlainText(fault);
        return fromHome ? QVariant(QStringLiteral("Från trad.sty: listan har ingen kolumn för "
                                                  "värdet."))
                        : QVariant();
    case Qt::TextAlignmentRole:
        return isNumberKey(key) ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    }
    return {};
}

QVariant TreeListModel::summaryData(const ListRow &r, int column, int role) const {
    if (column == Fel) {
        QString fault = r.fault();
        if (fault.isEmpty() && r.summary)
            fault = r.summary->fault;
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
        return summaryText(s, column, localeDecimalSeparator());
    case SortRole:
        switch (column) {
        case Beslut:
            return decisionText(s.decision);
        case BastaAr:
            return double(s.decision.bestYears());
        case NettoNu:
            return s.decision.valueNow;
        case NuvardeBasta:
            return s.decision.bestValue;
        case Ranta10:
            // A tree without a growth rate sorts with the rows that have no figure.
            return std::isnan(s.decision.growthNextTen) ? QVariant()
                                                        : QVariant(s.decision.growthNextTen);
        }
        return {};
    case Qt::TextAlignmentRole:
        return column == Beslut ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant TreeListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const ListRow &r = m_rows[std::size_t(index.row())];
    const int c = index.column();
    if (c == IdColumn)
        return role == Qt::DisplayRole || role == Qt::EditRole || role == SortRole
                   ? QVariant(r.tree.id)
                   : QVariant();
    if (c < FirstSummaryColumn)
        return keyData(r, c - FirstKeyColumn, role);
    if (c >= FirstOtherColumn)
        return role == Qt::DisplayRole || role == Qt::EditRole || role == SortRole
                   ? QVariant(r.others.value(c - FirstOtherColumn))
                   : QVariant();
    return summaryData(r, c - FirstSummaryColumn, role);
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
        return m_otherHeadings.value(section - FirstOtherColumn).trimmed();
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
    ListRow &r = m_rows[std::size_t(index.row())];
    const QString text = value.toString();
    if (index.column() >= FirstOtherColumn) {
        QString &cell = r.others[index.column() - FirstOtherColumn];
        if (cell == text)
            return false;
        if (isMarkColumn(index.column())) {
            // Only "lämnas", "avverkas" or nothing: the plan reads the mark.
            const std::optional<TreeMark> mark = treeMarkNamed(text);
            if (!mark)
                return false;
            r.tree.mark = *mark;
        }
        cell = text;
    } else if (index.column() == IdColumn) {
        if (r.tree.id == text.trimmed())
            return false;
        r.tree.id = text.trimmed();
        r.idCell = text;
        r.idEdited = true;
    } else {
        const int key = index.column() - FirstKeyColumn;
        const QString now = held(key, text);
        if (r.tree.values[std::size_t(key)] == now && r.tree.given[std::size_t(key)])
            return false;
        r.tree.values[std::size_t(key)] = now;
        r.tree.given[std::size_t(key)] = true;
        r.edited[std::size_t(key)] = true;
        // The figures were those of the tree before the change.
        r.summary.reset();
        r.lineFault.clear();
    }
    setModified(true);
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    emit totalsChanged();
    return true;
}

bool TreeListModel::isMarkColumn(int column) const {
    int other = FirstOtherColumn;
    for (const int kind : m_kinds) {
        if (!isCarried(kind))
            continue;
        if (other == column)
            return kind == markColumn;
        ++other;
    }
    return false;
}

QString TreeListModel::nextId() const {
    // After the highest number among the ids, so that no id is given twice.
    qint64 highest = 0;
    for (const ListRow &r : m_rows) {
        bool number = false;
        const qint64 id = r.tree.id.toLongLong(&number);
        if (number && id > highest)
            highest = id;
    }
    return QString::number(highest + 1);
}

int TreeListModel::addTree(const std::array<QString, treeKeyCount> &texts) {
    const int row = rowCount();
    ListRow r;
    r.tree.id = nextId();
    const bool hasId = std::find(m_kinds.begin(), m_kinds.end(), idColumn) != m_kinds.end();
    r.idCell = r.tree.id;
    r.idEdited = hasId;
    for (int k = 0; k < treeKeyCount; ++k) {
        // A key the list has a column for gets its value there; any other follows "trad.sty".
        const bool column = std::find(m_kinds.begin(), m_kinds.end(), k) != m_kinds.end();
        r.tree.values[std::size_t(k)] =
            column ? held(k, texts[std::size_t(k)]) : texts[std::size_t(k)];
        r.tree.given[std::size_t(k)] = column;
        r.edited[std::size_t(k)] = column;
    }
    r.others.resize(m_otherHeadings.size());
    beginInsertRows({}, row, row);
    m_rows.push_back(std::move(r));
    endInsertRows();
    setModified(true);
    emit totalsChanged();
    return row;
}

void TreeListModel::removeTrees(QList<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows) {
        beginRemoveRows({}, row, row);
        m_rows.erase(m_rows.begin() + row);
        endRemoveRows();
    }
    if (!rows.isEmpty()) {
        setModified(true);
        emit totalsChanged();
    }
}

Outcome TreeListModel::read(const QString &path, const std::array<QString, treeKeyCount> &texts,
                            FileStamp *stamp) {
    TreeListReader reader;
    if (const Outcome opened = reader.open(path); !opened)
        return opened;
    const qsizetype headingCount = reader.headings().size();
    std::vector<ListRow> rows;
    QList<TreeListLine> lines;
    while (reader.read(INT_MAX, lines)) {
        for (TreeListLine &line : lines) {
            ListRow r;
            r.tree = std::move(line.tree);
            r.lineFault = line.fault;
            for (int k = 0; k < treeKeyCount; ++k)
                if (!r.tree.given[std::size_t(k)])
                    r.tree.values[std::size_t(k)] = texts[std::size_t(k)];
            for (qsizetype i = 0; i < headingCount; ++i) {
                const int kind = reader.columnKinds()[std::size_t(i)];
                if (isCarried(kind))
                    r.others << line.cells[i];
                else if (kind == idColumn)
                    r.idCell = line.cells[i];
            }
            r.beyond = line.cells.mid(headingCount);
            rows.push_back(std::move(r));
        }
    }
    if (!reader.status())
        return reader.status();
    if (stamp)
        *stamp = reader.stamp();

    beginResetModel();
    m_rows = std::move(rows);
    m_dialect = reader.dialect();
    m_stand = reader.stand();
    m_headings = reader.headings();
    m_kinds = reader.columnKinds();
    m_defaults = texts;
    m_otherHeadings.clear();
    for (qsizetype i = 0; i < headingCount; ++i)
        if (isCarried(m_kinds[std::size_t(i)]))
            m_otherHeadings << m_headings[i];
    endResetModel();
    setModified(false);
    emit totalsChanged();
    return {};
}

void TreeListModel::setDefaults(const std::array<QString, treeKeyCount> &texts) {
    m_defaults = texts;
    for (ListRow &r : m_rows)
        for (int k = 0; k < treeKeyCount; ++k)
            if (!r.tree.given[std::size_t(k)])
                r.tree.values[std::size_t(k)] = texts[std::size_t(k)];
    if (!m_rows.empty())
        emit dataChanged(index(0, FirstKeyColumn), index(rowCount() - 1, FirstSummaryColumn - 1));
}

QByteArray TreeListModel::csvBytes(const HarvestPlan *plan,
                                   const QList<QStringList> *planInstead) const {
    // The file's columns, then those the user gave values the file had no column for.
    QStringList headings = m_headings;
    std::vector<int> kinds = m_kinds;
    auto hasColumn = [&](int kind) {
        return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
    };
    if (!hasColumn(idColumn) &&
        std::any_of(m_rows.begin(), m_rows.end(), [](const ListRow &r) { return r.idEdited; })) {
        headings << QStringLiteral("id");
        kinds.push_back(idColumn);
    }
    for (int k = 0; k < treeKeyCount; ++k)
        if (!hasColumn(k) && std::any_of(m_rows.begin(), m_rows.end(), [k](const ListRow &r) {
                return r.tree.given[std::size_t(k)];
            })) {
            headings << treeKeyInfo(k).name.toString();
            kinds.push_back(k);
        }

    std::vector<QStringList> lines;
    lines.reserve(m_rows.size());
    // A list is saved in its own dialect; the valued stand is exported for a spreadsheet, as
    // every CSV file the windows write: UTF-8 with a byte order mark, ";" and decimal commas.
    CsvDialect dialect = m_dialect;
    if (plan)
        dialect = {u';', u',', CsvDialect::Encoding::Utf8Bom};
    const bool cp1252 = dialect.encoding == CsvDialect::Encoding::Cp1252;
    bool fits = !cp1252 || fitsCp1252(headings.join(u' ') + m_stand.property + m_stand.compartment +
                                      m_stand.owner);
    for (const ListRow &r : m_rows) {
        QStringList cells;
        qsizetype other = 0;
        for (const int kind : kinds) {
            if (kind == idColumn) {
                cells << (r.idEdited || !r.idCell.isNull() ? r.idCell : r.tree.id);
            } else if (isCarried(kind)) {
                cells << r.others.value(other++);
            } else {
                // What the user typed is held with a point and written in the list's mark;
                // anything else goes back as it was read.
                const QString &v = r.tree.values[std::size_t(kind)];
                cells << ((r.edited[std::size_t(kind)] || plan) && isNumberKey(kind)
                              ? withDecimalMark(withDecimalPoint(v), dialect.decimalMark)
                              : v);
            }
        }
        if (plan)
            for (int c = 0; c < summaryColumnCount; ++c)
                cells << (r.summary ? summaryText(*r.summary, c, dialect.decimalMark) : QString());
        cells += r.beyond;
        fits = fits && (!cp1252 || fitsCp1252(cells.join(u' ')));
        lines.push_back(std::move(cells));
    }
    if (!fits) // a name Windows-1252 cannot hold is kept by saving as UTF-8
        dialect.encoding = CsvDialect::Encoding::Utf8Bom;

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CsvWriter writer(buffer, dialect);
    for (const QStringList &line : standLines(m_stand))
        writer.writeLine(line);
    if (plan)
        for (int c = 0; c < summaryColumnCount; ++c)
            headings << summaryHeading(c);
    writer.writeLine(headings);
    for (const QStringList &cells : lines)
        writer.writeLine(cells);
    if (plan) {
        writer.writeText(QStringLiteral("\r\n"));
        for (const QStringList &line :
             planInstead ? *planInstead : planLines(*plan, dialect.decimalMark))
            writer.writeLine(line);
        // Every tree left out is named, not only the first ten of the sentence.
        if (plan->unvaluedTrees() > 0) {
            writer.writeText(QStringLiteral("\r\n"));
            writer.writeLine({unvaluedSectionHeading(plan->unvaluedTrees())});
            writer.writeLine(unvaluedHeadings());
            for (int row = 0; row < rowCount(); ++row)
                if (const QString why = unvaluedReason(row); !why.isEmpty())
                    writer.writeLine({tree(row).id, why});
        }
    }
    writer.flush();
    return bytes;
}

std::vector<TreeRow> TreeListModel::trees() const {
    std::vector<TreeRow> out;
    out.reserve(m_rows.size());
    for (const ListRow &r : m_rows)
        out.push_back(r.tree);
    return out;
}

void TreeListModel::setSummaries(std::vector<TreeSummary> summaries) {
    for (std::size_t i = 0; i < m_rows.size() && i < summaries.size(); ++i) {
        m_rows[i].summary = std::move(summaries[i]);
        // A line whose cells cannot be placed is not valued, whatever its cells say.
        if (!m_rows[i].lineFault.isEmpty()) {
            TreeSummary faulty;
            faulty.fault = m_rows[i].lineFault;
            *m_rows[i].summary = std::move(faulty);
        }
    }
    if (!m_rows.empty())
        emit dataChanged(index(0, FirstSummaryColumn),
                         index(rowCount() - 1, FirstSummaryColumn + summaryColumnCount - 1));
    emit totalsChanged();
}

TreeListModel::CutNow TreeListModel::cutNow() const {
    CutNow t;
    for (const ListRow &r : m_rows)
        if (r.summary && r.summary->valued() && r.summary->decision.cutNow()) {
            ++t.trees;
            t.netValue += r.summary->decision.valueNow;
            t.volume += r.summary->volumeNow;
        }
    return t;
}

void TreeListModel::setStand(const StandName &stand) {
    if (stand.property == m_stand.property && stand.compartment == m_stand.compartment &&
        stand.owner == m_stand.owner)
        return;
    m_stand = stand;
    setModified(true);
}

QString TreeListModel::unvaluedReason(int row) const {
    const ListRow &r = m_rows[std::size_t(row)];
    if (r.summary)
        return r.summary->valued() ? QString() : r.summary->fault;
    return r.fault();
}

QString TreeListModel::remark(int row) const {
    qsizetype other = 0;
    for (const int kind : m_kinds) {
        if (kind == remarkColumn)
            return m_rows[std::size_t(row)].others.value(other);
        other += isCarried(kind) ? 1 : 0;
    }
    return {};
}

std::array<bool, treeKeyCount> TreeListModel::keyColumns() const {
    std::array<bool, treeKeyCount> has{};
    for (const int kind : m_kinds)
        if (kind >= 0 && kind < treeKeyCount)
            has[std::size_t(kind)] = true;
    return has;
}

void TreeListModel::setModified(bool modified) {
    m_modified = modified;
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
