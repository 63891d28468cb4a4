#pragma once

#include "core/engine/treevaluation.h"

#include <QAbstractTableModel>
#include <QChar>

// The twelve harvest years of one valuation as a table: a row per harvest year (now, in 10, ...,
// 110 years), a column per figure in the order of ResultColumn. The screen, the chart and the
// export all read it: DisplayRole is the text the result grid shows (the program's digit patterns
// with the user's decimal separator), EditRole and UserRole the number itself.
class ResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // True for the cells of the harvest year with the highest present value, the year the owner
    // is advised to cut in; false elsewhere and when the valuation stopped.
    static constexpr int BestYearRole = Qt::UserRole + 1;
    // The text a file or spreadsheet gets: the grid's text, but no figure where the value growth
    // has no meaning (valueGrowth), since a spreadsheet would count with the grid's -100,00.
    static constexpr int ExportTextRole = Qt::UserRole + 2;

    explicit ResultModel(QObject *parent = nullptr);

    // Shows a new valuation; the decimal separator is the user's at this moment.
    void setValuation(const TreeValuation &valuation);
    void setValuation(const TreeValuation &valuation, QChar decimalSeparator);
    const TreeValuation &valuation() const { return m_valuation; }
    // The required rate of the valuation shown, as a fraction: the rate is among the inputs the
    // valuation carries over, and no harvest year changes it.
    double requiredRate() const { return m_valuation.carryOver.requiredRate; }
    // The row of the best harvest year, or -1 when there is no decision to show.
    int bestRow() const { return m_bestRow; }

    // The heading of the year column, which stands in the grid's corner.
    static QString yearHeading();
    // The heading of result column `column` (0 to 16), as the grid shows it: resultHeading.
    static QString columnHeading(int column);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The text of one cell without a model index: empty for a harvest year the valuation did not
    // reach, a single space for the growth rate and present value of harvest now.
    QString text(int row, int column) const;

signals:
    // A new valuation is shown (after dataChanged over the whole table).
    void valuationChanged();

private:
    TreeValuation m_valuation;
    QChar m_separator = QLatin1Char('.');
    int m_bestRow = -1;
};
