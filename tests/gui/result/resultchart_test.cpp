#include "core/results/resultmodel.h"
#include "gui/result/resultchart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// A tree like the sample pine: its value grows ever slower, its present value peaks at 30 years.
TreeValuation sampleValuation() {
    TreeValuation v;
    const double net[] = {189, 330, 498, 692, 909, 1149, 1416, 1710, 2032, 2381, 2757, 3160};
    for (int r = 0; r < harvestYearCount; ++r) {
        auto &values = v.rows[std::size_t(r)].values;
        values[NetValue] = net[r];
        values[PresentValue] = r == 0 ? NAN : net[r] / std::pow(1.03, 10 * r);
        values[InterestAchieved] = r == 0 ? NAN : 100 * (std::pow(net[r] / net[r - 1], 0.1) - 1);
    }
    v.yearsValued = harvestYearCount;
    v.carryOver.requiredRate = 0.03;
    return v;
}

// Lines of text a chart of that height has room for, as the chart measures them.
struct Height {
    int lines;
    bool titles;
};

class ChartHeight : public testing::TestWithParam<Height> {};

// A short chart, as on a small screen with large text, writes its side titles level above its
// axes and shows at most three numbers up each side, so that none is cut short; a tall one turns
// its side titles along its axes. Both keep every axis's title.
TEST_P(ChartHeight, ShortChartsKeepTheirNumbersWholeAndTheirTitles) {
    ResultModel model;
    ResultChart chart(&model);
    chart.resize(600, GetParam().lines * chart.fontMetrics().height());
    chart.show();
    chart.redraw();
    const ResultChart::Layout layout = chart.layout();
    for (const ResultChart::Axis &axis : chart.axes()) {
        if (axis.orientation != Qt::Vertical)
            continue; // the years' title goes where the numbers leave room
        EXPECT_TRUE(axis.titleVisible) << axis.title.toStdString();
        const auto title =
            std::find_if(layout.labels.begin(), layout.labels.end(),
                         [&](const ChartLabel &l) { return l.title && l.text == axis.title; });
        ASSERT_NE(title, layout.labels.end()) << axis.title.toStdString();
        EXPECT_EQ(title->turn != 0, GetParam().titles) << axis.title.toStdString();
        if (!GetParam().titles) {
            EXPECT_LE(axis.tickCount(), 3) << axis.title.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ResultChart, ChartHeight,
                         testing::Values(Height{7, false}, Height{9, false}, Height{10, true},
                                         Height{14, true}));

// At every size the window gives it, from a laptop at 150 % to a large screen, every number,
// title and legend entry stands whole inside the chart and clear of every other.
TEST(ResultChart, EveryNumberTitleAndLegendEntryIsWholeAndApart) {
    ResultModel model;
    model.setValuation(sampleValuation());
    ResultChart chart(&model);
    chart.show();
    chart.redraw();
    const int line = chart.fontMetrics().height();
    for (const QSize size : {chart.minimumSizeHint(), QSize(420, 6 * line), QSize(600, 220),
                             QSize(900, 12 * line), QSize(1200, 500)}) {
        chart.resize(size);
        const ResultChart::Layout l = chart.layout();
        const QRectF inside(chart.rect());
        QList<QRectF> taken;
        for (const auto &label : l.labels) {
            EXPECT_FALSE(label.text.isEmpty() || label.text.contains(u'…'));
            // Titles up the sides stand turned a quarter.
            EXPECT_GE(std::max(label.rect.width(), label.rect.height()),
                      chart.fontMetrics().horizontalAdvance(label.text) - 0.5);
            taken << label.rect;
        }
        for (int i = 0; i < l.legendEntries.size(); ++i) {
            const QRectF &entry = l.legendEntries[i];
            EXPECT_GE(entry.width(), chart.fontMetrics().horizontalAdvance(chart.curves()[i].name));
            taken << entry;
        }
        taken << l.plot;
        for (int i = 0; i < taken.size(); ++i) {
            EXPECT_TRUE(inside.contains(taken[i]))
                << size.width() << "x" << size.height() << " item " << i;
            for (int j = i + 1; j < taken.size(); ++j) {
                EXPECT_FALSE(taken[i].intersects(taken[j]) && i < l.labels.size() &&
                             j < l.labels.size())
                    << size.width() << "x" << size.height() << " items " << i << ", " << j;
            }
        }
        EXPECT_GE(l.values.tickCount(), 2);
        EXPECT_GE(l.plot.height(), line);
    }
}

// The axes take in every curve: money from its lowest to its highest value, rates from the
// lowest shown to above the required rate.
TEST(ResultChart, AxesTakeInEveryCurve) {
    ResultModel model;
    model.setValuation(sampleValuation());
    ResultChart chart(&model);
    chart.resize(1200, 300);
    chart.redraw();
    const ResultChart::Layout l = chart.layout();
    for (const ResultChart::Curve &c : chart.curves()) {
        const ResultChart::Axis &a = c.onRateAxis ? l.rates : l.values;
        for (const QPointF &p : c.points) {
            if (!std::isfinite(p.y()) || p.y() < -10)
                continue;
            EXPECT_GE(p.y(), a.low) << c.name.toStdString();
            EXPECT_LE(p.y(), a.high) << c.name.toStdString();
        }
    }
    EXPECT_EQ(l.years.label(0), "0");
    EXPECT_EQ(l.years.label(l.years.tickCount() - 1), "110");
}

// A tree worth nothing until it has grown has no rate of value growth in those years: the
// growth line leaves a gap there instead of plunging to -100 %, and starts where it has a rate.
TEST(ResultChart, GrowthFromNoNetValueIsAGapInTheLine) {
    TreeValuation v = sampleValuation();
    for (int r : {0, 1})
        v.rows[std::size_t(r)].values[NetValue] = -30;
    v.rows[1].values[InterestAchieved] = -100;
    v.rows[2].values[InterestAchieved] = -100;
    ResultModel model;
    model.setValuation(v);
    ResultChart chart(&model);
    chart.resize(1200, 300);
    chart.redraw();
    const ResultChart::Curve *growth = chart.curve(QStringLiteral("Värdetillväxt % per år"));
    ASSERT_TRUE(growth);
    ASSERT_EQ(growth->points.size(), harvestYearCount - 1);
    EXPECT_TRUE(std::isnan(growth->points[0].y()));
    EXPECT_TRUE(std::isnan(growth->points[1].y()));
    EXPECT_NEAR(growth->points[2].y(), v.rows[3][InterestAchieved], 1e-9);
    EXPECT_GE(chart.layout().rates.low, 0); // no room made for a -100 that is not drawn
}

} // namespace
