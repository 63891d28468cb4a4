#pragma once

#include <QChartView>

class ResultModel;

// The harvest years as a chart: net value and present value per tree on the left axis, the
// rate at which the tree's value grows on the right axis with the required rate as a line, and
// the best harvest year marked. Redrawn whenever the model shows a new valuation.
class ResultChart : public QChartView {
    Q_OBJECT
public:
    explicit ResultChart(ResultModel *model, QWidget *parent = nullptr);

    QSize sizeHint() const override;

private:
    void redraw();

    ResultModel *m_model;
};
