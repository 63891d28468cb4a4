#pragma once

#include "core/treelist/harvestplan.h"
#include "gui/shared/chartaxis.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QWidget>

#include <optional>

class HarvestPlanModel;

// A stand's harvest plan as a chart: the net income of each harvest decade as bars, and the
// present value the plan has gathered by each decade as a line, both in kronor. Drawn by the
// program itself, in the style of the result window's chart.
class PlanChart : public QWidget {
    Q_OBJECT
public:
    struct Layout {
        ChartAxis years, kronor;
        QRectF plot;
        QList<QRectF> bars;          // one per harvest year of the plan
        QList<QPointF> cumulative;   // the present value gathered by each harvest year
        QList<QRectF> legendEntries; // bars, then line
        using Label = ChartLabel;
        QList<Label> labels; // the numbers and titles along the axes
    };

    explicit PlanChart(HarvestPlanModel *model, QWidget *parent = nullptr);

    // Bars and line for these harvests instead of the model's (the plan in harvest entries, each
    // entry's net and present value after its cost); none for the model's again.
    void setHarvests(std::optional<QList<PlanYear>> harvests);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    Layout layout() const;

    static QString barsName();
    static QString lineName();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    HarvestPlanModel *m_model;
    std::optional<QList<PlanYear>> m_harvests;
};
