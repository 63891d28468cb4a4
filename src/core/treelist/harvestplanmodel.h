#pragma once

#include "core/treelist/harvestplan.h"

#include <QAbstractTableModel>
#include <QChar>

// A stand's harvest plan as a table: a row per harvest year in which trees are cut, then the
// total, then the trees the owner marked counted apart: those cut (among the total) and those
// left (not among it), with their figures now. DisplayRole is the text the window shows (the user's
// decimal separator), UserRole the number itself, so that a chart or a file reads the same figures.
class HarvestPlanModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column : int { Years, Trees, Volume, NetValue, PresentValue, ColumnCount };

    explicit HarvestPlanModel(QObject *parent = nullptr);

    void setPlan(const HarvestPlan &plan, QChar decimalSeparator);
    const HarvestPlan &plan() const { return m_plan; }
    // The rows of harvest years, without the total.
    const QList<PlanYear> &years() const { return m_years; }
    // The row of the total; the marked trees' rows follow it.
    int totalRow() const { return int(m_years.size()); }

    // The heading of `column`: on screen with its unit after a comma, as the list's columns.
    static QString heading(int column);
    // The text of a figure, with `decimalSeparator`; the first column holds the year or "Totalt".
    static QString text(const PlanYear &year, int column, bool total, QChar decimalSeparator);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    HarvestPlan m_plan;
    QList<PlanYear> m_years;
    PlanYear m_total;
    struct MarkedRow {
        QString name;
        PlanYear trees;
        bool inPlan = true; // false: no present value to show
    };
    QList<MarkedRow> m_marked;
    QChar m_separator = QLatin1Char('.');
};
