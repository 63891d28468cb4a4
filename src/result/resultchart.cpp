#include "resultchart.h"

#include "resultmodel.h"

#include <QChart>
#include <QLineSeries>
#include <QPen>
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

} // namespace

ResultChart::ResultChart(ResultModel *model, QWidget *parent) : QChartView(parent), m_model(model) {
    setRenderHint(QPainter::Antialiasing);
    chart()->legend()->setAlignment(Qt::AlignRight);
    chart()->setMargins(QMargins(2, 2, 2, 2));
    connect(model, &ResultModel::valuationChanged, this, &ResultChart::redraw);
    redraw();
}

QSize ResultChart::sizeHint() const {
    return {600, 220};
}

void ResultChart::redraw() {
    QChart *c = chart();
    c->removeAllSeries();
    for (QAbstractAxis *a : c->axes()) {
        c->removeAxis(a);
        delete a;
    }

    auto *xAxis = axis(QStringLiteral("År"), QStringLiteral("%d"));
    xAxis->setRange(0, 110);
    xAxis->setTickCount(12);
    auto *valueAxis = axis(QStringLiteral("kr/träd"), QStringLiteral("%.0f"));
    auto *rateAxis = axis(QStringLiteral("% per år"), QStringLiteral("%g"));
    c->addAxis(xAxis, Qt::AlignBottom);
    c->addAxis(valueAxis, Qt::AlignLeft);
    c->addAxis(rateAxis, Qt::AlignRight);

    const TreeValuation &v = m_model->valuation();
    auto *net = new QLineSeries;
    net->setName(QStringLiteral("Netto kr/träd"));
    auto *present = new QLineSeries;
    present->setName(QStringLiteral("Nuvärde kr/träd"));
    auto *growth = new QLineSeries;
    growth->setName(QStringLiteral("Värdetillväxt % per år"));
    auto *required = new QLineSeries;
    required->setName(QStringLiteral("Räntekrav % per år"));
    required->setPen(QPen(Qt::darkGray, 1.5, Qt::DashLine));
    auto *best = new QScatterSeries;
    best->setName(QStringLiteral("Bästa år"));
    best->setMarkerSize(12);

    double low = 0, high = 1, rateLow = 0, rateHigh = 1;
    const double requiredPercent = m_model->requiredRate() * 100;
    for (int r = 0; r < v.yearsValued; ++r) {
        const HarvestYear &y = v.rows[std::size_t(r)];
        const double years = 10.0 * r;
        // Harvest now is worth its net value: nothing to discount.
        const double pv = r == 0 ? y[NetValue] : y[PresentValue];
        net->append(years, y[NetValue]);
        present->append(years, pv);
        low = std::min({low, y[NetValue], pv});
        high = std::max({high, y[NetValue], pv});
        if (r > 0) {
            growth->append(years, y[InterestAchieved]);
            rateLow = std::min(rateLow, std::max(lowestRateShown, y[InterestAchieved]));
            rateHigh = std::max(rateHigh, y[InterestAchieved]);
        }
        if (r == m_model->bestRow())
            best->append(years, pv);
    }
    if (v.yearsValued > 0) {
        required->append(0, requiredPercent);
        required->append(110, requiredPercent);
        rateLow = std::min(rateLow, requiredPercent);
        rateHigh = std::max(rateHigh, requiredPercent);
    }
    valueAxis->setRange(low, high * 1.05);
    valueAxis->applyNiceNumbers();
    rateAxis->setRange(rateLow, std::ceil(rateHigh + 0.5));
    rateAxis->applyNiceNumbers();

    for (QXYSeries *s : std::initializer_list<QXYSeries *>{net, present, best}) {
        c->addSeries(s);
        s->attachAxis(xAxis);
        s->attachAxis(valueAxis);
    }
    for (QXYSeries *s : std::initializer_list<QXYSeries *>{growth, required}) {
        c->addSeries(s);
        s->attachAxis(xAxis);
        s->attachAxis(rateAxis);
    }
}
