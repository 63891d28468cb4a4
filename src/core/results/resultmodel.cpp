#include "core/results/resultmodel.h"

#include "core/engine/decision.h"
#include "core/engine/resultrow.h"
#include "core/files/numberformat.h"

#include <cmath>

ResultModel::ResultModel(QObject *parent) : QAbstractTableModel(parent) {}

void ResultModel::setValuation(const TreeValuation &valuation) {
    setValuation(valuation, localeDecimalSeparator());
}

void ResultModel::setValuation(const TreeValuation &valuation, QChar decimalSeparator) {
    // The table keeps its shape, so the views only repaint: a reset would make them lay out
    // their headings afresh for every calculation.
    m_valuation = valuation;
    m_separator = decimalSeparator;
    const std::optional<Decision> d = decide(m_valuation);
    m_bestRow = d ? d->bestRow : -1;
    emit dataChanged(index(0, 0), index(harvestYearCount - 1, resultColumnCount - 1));
    emit valuationChanged();
}

QString ResultModel::yearHeading() {
    return QStringLiteral("År");
}

QString ResultModel::columnHeading(int column) {
    return resultHeading(column);
}

int ResultModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : harvestYearCount;
}

int ResultModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : resultColumnCount;
}

QString ResultModel::text(int row, int column) const {
    if (row < 0 || row >= m_valuation.yearsValued || column < 0 || column >= resultColumnCount)
        return {};
    return resultText(m_valuation.rows[std::size_t(row)], column, m_separator);
}

QVariant ResultModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return text(row, index.column());
    case ExportTextRole:
        if (index.column() == InterestAchieved && row > 0 && row < m_valuation.yearsValued &&
            std::isnan(valueGrowth(m_valuation, row)))
            return QString();
        return text(row, index.column());
    case Qt::ToolTipRole:
        if (index.column() == InterestAchieved) {
            const QString why = noValueGrowthReason(m_valuation, row);
            return why.isEmpty() ? QVariant() : QVariant(why);
        }
        return {};
    case Qt::EditRole:
    case Qt::UserRole: {
        if (row >= m_valuation.yearsValued)
            return {};
        const double value = m_valuation.rows[std::size_t(row)].values[std::size_t(index.column())];
        return std::isnan(value) ? QVariant() : QVariant(value);
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    case BestYearRole:
        return row == m_bestRow;
    default:
        return {};
    }
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal)
        return resultMeaning(section);
    if (role == Qt::ToolTipRole && section == 0)
        return QStringLiteral("Avverkning nu");
    if (role == Qt::ToolTipRole && section > 0 && section < harvestYearCount)
        return QStringLiteral("Avverkning om %1 år").arg(section * 10);
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal)
        return columnHeading(section);
    if (section < 0 || section >= harvestYearCount)
        return {};
    return QString::number(section * 10);
}

Qt::ItemFlags ResultModel::flags(const QModelIndex &index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
