#pragma once

#include "gui/shared/chartaxis.h"

#include <QList>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>

class ResultModel;

// The harvest years as a chart: net value and present value per tree on the left axis, the
// rate at which the tree's value grows on the right axis with the required rate as a line, and
// the best harvest year marked. Redrawn for the model's valuation when told: the window draws it
// once the grid is on screen. Drawn by the program itself, so that it looks and behaves the same
// on every platform and costs next to nothing to lay out.
class ResultChart : public QWidget {
    Q_OBJECT
public:
    using Axis = ChartAxis;
    // A curve on the left (money) or the right (rate) axis. A point whose value is not a number
    // leaves a gap in its line.
    struct Curve {
        QString name;
        QPen pen;
        bool onRateAxis = false;
        bool markers = false; // marked points, not a line
        QList<QPointF> points;
    };
    // Where everything goes at the chart's present size and font.
    struct Layout {
        Axis years, values, rates;
        QRectF plot;
        QList<QRectF> legendEntries; // in the order of curves()
        using Label = ChartLabel;
        QList<Label> labels; // the numbers and titles along the axes
    };

    explicit ResultChart(ResultModel *model, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Until the next redraw() the chart is not painted: the grid the user waits for comes first.
    void waitForRedraw();
    void redraw();

    const QList<Curve> &curves() const { return m_curves; }
    const Curve *curve(const QString &name) const;
    // The years, the money and the rate axis as drawn at the chart's present size.
    QList<Axis> axes() const;
    Layout layout() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ResultModel *m_model;
    // The ranges the curves need; the axes' steps follow from the room there is for numbers.
    double m_valueLow = 0, m_valueHigh = 1, m_rateLow = 0, m_rateHigh = 1;
    QList<Curve> m_curves;
    bool m_waiting = false;
};
