#include "resultchart.h"
#include "resultmodel.h"

#include <QAbstractAxis>
#include <QChart>
#include <QValueAxis>

#include <gtest/gtest.h>

namespace {

// Lines of text a chart of that height has room for, as the chart measures them.
struct Height {
    int lines;
    bool titles;
};

class ChartHeight : public testing::TestWithParam<Height> {};

// A short chart, as on a small screen with large text, gives its axes' titles up and shows at
// most three numbers up each side, so that none is cut short; a tall one keeps them.
TEST_P(ChartHeight, ShortChartsKeepTheirNumbersWhole) {
    ResultModel model;
    ResultChart chart(&model);
    chart.resize(600, GetParam().lines * chart.fontMetrics().height());
    chart.show();
    chart.redraw();
    for (QAbstractAxis *axis : chart.chart()->axes()) {
        EXPECT_EQ(axis->isTitleVisible(), GetParam().titles) << axis->titleText().toStdString();
        auto *values = qobject_cast<QValueAxis *>(axis);
        if (values && axis->orientation() == Qt::Vertical && !GetParam().titles) {
            EXPECT_LE(values->tickCount(), 3) << axis->titleText().toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ResultChart, ChartHeight,
                         testing::Values(Height{6, false}, Height{9, false}, Height{10, true},
                                         Height{14, true}));

} // namespace
