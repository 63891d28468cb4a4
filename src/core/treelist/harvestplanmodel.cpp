#include "core/treelist/harvestplanmodel.h"

#include "core/files/numberformat.h"

HarvestPlanModel::HarvestPlanModel(QObject *parent) : QAbstractTableModel(parent) {}

void HarvestPlanModel::setPlan(const HarvestPlan &plan, QChar decimalSeparator) {
    beginResetModel();
    m_plan = plan;
    m_years = plan.yearsWithTrees();
    m_total = plan.total();
    m_marked.clear();
    if (plan.markedCut().trees > 0)
        m_marked.append({QStringLiteral("Varav märkta"), plan.markedCut(), true});
    if (plan.markedLeft().trees > 0)
        m_marked.append({QStringLiteral("Märkta lämnas"), plan.markedLeft(), false});
    m_separator = decimalSeparator;
    endResetModel();
}

QString HarvestPlanModel::heading(int column) {
    static const char16_t *const headings[ColumnCount] = {u"År", u"Träd", u"Volym, m3",
                                                          u"Netto, kr", u"Nuvärde, kr"};
    return column >= 0 && column < ColumnCount ? QString::fromUtf16(headings[column]) : QString();
}

QString HarvestPlanModel::text(const PlanYear &y, int column, bool total, QChar separator) {
    switch (column) {
    case Years:
        return total ? QStringLiteral("Totalt") : QString::number(y.years);
    case Trees:
        return QString::number(y.trees);
    case Volume:
        return formatNumber(y.volume, u"#0.00", separator);
    case NetValue:
        return formatNumber(y.netValue, u"#0", separator);
    case PresentValue:
        return formatNumber(y.presentValue, u"#0", separator);
    }
    return {};
}

int HarvestPlanModel::rowCount(const QModelIndex &parent) const {
    // No total under an empty plan: there is nothing to add up.
    return parent.isValid() || m_years.isEmpty() ? 0 : int(m_years.size() + 1 + m_marked.size());
}

int HarvestPlanModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HarvestPlanModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int row = index.row();
    const bool total = row == totalRow();
    const MarkedRow *marked = row > totalRow() ? &m_marked[row - totalRow() - 1] : nullptr;
    const PlanYear &y = total ? m_total : marked ? marked->trees : m_years[row];
    const bool blank = marked && !marked->inPlan && index.column() == PresentValue;
    switch (role) {
    case Qt::DisplayRole:
        if (marked && index.column() == Years)
            return marked->name;
        return blank ? QString() : text(y, index.column(), total, m_separator);
    case Qt::UserRole: {
        const double values[ColumnCount] = {double(y.years), double(y.trees), y.volume, y.netValue,
                                            y.presentValue};
        return (row >= totalRow() && index.column() == Years) || blank
                   ? QVariant()
                   : QVariant(values[index.column()]);
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    }
    return {};
}

QVariant HarvestPlanModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return heading(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
