#include "resultmodel.h"

#include "decision.h"
#include "numberformat.h"

#include <array>
#include <cmath>

namespace {

struct Column {
    const char *heading;
    NumberPattern pattern;
};

// The headings wrap onto two lines in the grid; the runs of spaces put the unit on the second.
const std::array<Column, resultColumnCount> columns{{
    {"Ränta,          %", u"#0.00"},
    {"Nuvärde kr/träd", u"#0"},
    {"Netto   kr/träd", u"#0"},
    {"Netto   kr/m3", u"#0"},
    {"Gagnvirke volym m3", u"#0.00"},
    {"Trädhöjd     m", u"#0.0"},
    {"Diameter     cm", u"#0"},
    {"Toppdiam. för 1:a stock. cm", u"#0"},
    {"Toppdiam. för 2:a stock. cm", u"#0"},
    {"Toppdiam. för 3:e stock. cm", u"#0"},
    {"Värde för 1:a stock. kr", u"#0"},
    {"Värde för 2:a stock. kr", u"#0"},
    {"Värde för 3:e stock. kr", u"#0"},
    {"Värde för massaveden. kr", u"#0"},
    {"Virkesvärde. kr/m3", u"#0"},
    {"Avverknings- kostnad. kr/m3", u"#0"},
    {"Planterings- kostnad. kr/m3", u"#0"},
}};

} // namespace

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
    if (column < 0 || column >= resultColumnCount)
        return {};
    return QString::fromUtf8(columns[std::size_t(column)].heading);
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
    const double value = m_valuation.rows[std::size_t(row)].values[std::size_t(column)];
    // Harvest now has no ten years behind it to grow over and nothing to discount.
    if (std::isnan(value))
        return QStringLiteral(" ");
    return numberText(value, columns[std::size_t(column)].pattern, m_separator);
}

QVariant ResultModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return text(row, index.column());
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
