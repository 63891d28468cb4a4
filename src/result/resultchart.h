#pragma once

#include <QChartView>

class ResultModel;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

// The harvest years as a chart: net value and present value per tree on the left axis, the
// rate at which the tree's value grows on the right axis with the required rate as a line, and
// the best harvest year marked. Redrawn for the model's valuation when told: the window draws it
// once the grid is on screen.
class ResultChart : public QChartView {
    Q_OBJECT
public:
    explicit ResultChart(ResultModel *model, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    // Until the next redraw() the chart is neither painted nor laid out anew: laying out its
    // axes and legend costs more than showing the grid the user waits for.
    void waitForRedraw();
    void redraw();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitToHeight();

    ResultModel *m_model;
    // Made once and refilled: building a chart's items anew costs more than drawing it.
    QValueAxis *m_valueAxis;
    QValueAxis *m_rateAxis;
    QLineSeries *m_net;
    QLineSeries *m_present;
    QLineSeries *m_growth;
    QLineSeries *m_required;
    QScatterSeries *m_best;
    bool m_waiting = false;
    bool m_resizePending = false;
};
