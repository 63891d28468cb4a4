#include "resultchart.h"

#include "resultmodel.h"

#include <QChart>
#include <QLineSeries>
#include <QPen>
#include <QResizeEvent>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

// A value growth of -100 % means the tree is worth nothing; below this the rate axis would
// only squeeze the rates that matter into a line.
constexpr double lowestRateShown = -10;

QValueAxis *axis(const QString &title, const QString &format) {
    auto *a = new QValueAxis;
    a->setTitleText(title);
    a->setLabelFormat(format);
    return a;
}

QLineSeries *line(const QString &name) {
    auto *s = new QLineSeries;
    s->setName(name);
    return s;
}

} // namespace

ResultChart::ResultChart(ResultModel *model, QWidget *parent) : QChartView(parent), m_model(model) {
    setRenderHint(QPainter::Antialiasing);
    QChart *c = chart();
    c->legend()->setAlignment(Qt::AlignRight);
    c->setMargins(QMargins(2, 2, 2, 2));

    auto *xAxis = axis(QStringLiteral("År"), QStringLiteral("%d"));
    xAxis->setRange(0, 110);
    xAxis->setTickCount(12);
    m_valueAxis = axis(QStringLiteral("kr/träd"), QStringLiteral("%.0f"));
    m_rateAxis = axis(QStringLiteral("% per år"), QStringLiteral("%g"));
    c->addAxis(xAxis, Qt::AlignBottom);
    c->addAxis(m_valueAxis, Qt::AlignLeft);
    c->addAxis(m_rateAxis, Qt::AlignRight);

    m_net = line(QStringLiteral("Netto kr/träd"));
    m_present = line(QStringLiteral("Nuvärde kr/träd"));
    m_growth = line(QStringLiteral("Värdetillväxt % per år"));
    m_required = line(QStringLiteral("Räntekrav % per år"));
    m_required->setPen(QPen(Qt::darkGray, 1.5, Qt::DashLine));
    m_best = new QScatterSeries;
    m_best->setName(QStringLiteral("Bästa år"));
    m_best->setMarkerSize(12);
    for (QXYSeries *s : std::initializer_list<QXYSeries *>{m_net, m_present, m_best}) {
        c->addSeries(s);
        s->attachAxis(xAxis);
        s->attachAxis(m_valueAxis);
    }
    for (QXYSeries *s : std::initializer_list<QXYSeries *>{m_growth, m_required}) {
        c->addSeries(s);
        s->attachAxis(xAxis);
        s->attachAxis(m_rateAxis);
    }
    redraw();
}

QSize ResultChart::sizeHint() const {
    return {600, 220};
}

void ResultChart::waitForRedraw() {
    m_waiting = true;
    setUpdatesEnabled(false);
}

void ResultChart::resizeEvent(QResizeEvent *event) {
    if (m_waiting) {
        m_resizePending = true;
        return;
    }
    fitToHeight();
    QChartView::resizeEvent(event);
}

void ResultChart::fitToHeight() {
    // A short chart, as on a small screen with large text, keeps its room for the numbers on
    // its axes rather than for the axes' titles (the legend still names every curve), and
    // shows fewer numbers up its sides, so that they need not be cut short.
    const bool roomy = height() >= 10 * fontMetrics().height();
    for (QAbstractAxis *a : chart()->axes())
        a->setTitleVisible(roomy);
    if (!roomy)
        for (QValueAxis *a : {m_valueAxis, m_rateAxis})
            a->setTickCount(std::min(a->tickCount(), 3));
}

void ResultChart::redraw() {
    const TreeValuation &v = m_model->valuation();
    QList<QPointF> net, present, growth, required, best;
    double low = 0, high = 1, rateLow = 0, rateHigh = 1;
    const double requiredPercent = m_model->requiredRate() * 100;
    for (int r = 0; r < v.yearsValued; ++r) {
        const HarvestYear &y = v.rows[std::size_t(r)];
        const double years = 10.0 * r;
        // Harvest now is worth its net value: nothing to discount.
        const double pv = r == 0 ? y[NetValue] : y[PresentValue];
        net.append({years, y[NetValue]});
        present.append({years, pv});
        low = std::min({low, y[NetValue], pv});
        high = std::max({high, y[NetValue], pv});
        if (r > 0) {
            growth.append({years, y[InterestAchieved]});
            rateLow = std::min(rateLow, std::max(lowestRateShown, y[InterestAchieved]));
            rateHigh = std::max(rateHigh, y[InterestAchieved]);
        }
        if (r == m_model->bestRow())
            best.append({years, pv});
    }
    if (v.yearsValued > 0) {
        required = {{0, requiredPercent}, {110, requiredPercent}};
        rateLow = std::min(rateLow, requiredPercent);
        rateHigh = std::max(rateHigh, requiredPercent);
    }
    m_net->replace(net);
    m_present->replace(present);
    m_growth->replace(growth);
    m_required->replace(required);
    m_best->replace(best);
    // Each tree's axes are made anew from the same start, whatever the last tree's were.
    for (QValueAxis *a : {m_valueAxis, m_rateAxis})
        a->setTickCount(5);
    m_valueAxis->setRange(low, high * 1.05);
    m_valueAxis->applyNiceNumbers();
    m_rateAxis->setRange(rateLow, std::ceil(rateHigh + 0.5));
    m_rateAxis->applyNiceNumbers();
    fitToHeight();
    if (m_waiting) {
        m_waiting = false;
        if (m_resizePending) {
            m_resizePending = false;
            QResizeEvent resized(size(), size());
            QChartView::resizeEvent(&resized);
        }
        setUpdatesEnabled(true);
    }
}
