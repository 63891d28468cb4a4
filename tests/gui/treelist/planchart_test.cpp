// The plan's chart laid out: every number, title and legend entry inside the chart and clear of
// every other, the bars and the line inside the plot, for plans of every shape and at the sizes
// the chart gets in the window, on its own and on paper. CTest runs this at 100, 125 and 150 %
// (QT_SCALE_FACTOR) too, where the window gives the chart less room for the same font.
#include "core/treelist/harvestplanmodel.h"
#include "gui/treelist/harvestplanview.h"
#include "gui/treelist/planchart.h"
#include "gui/treelist/treelistwindow.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct PlanShape {
    const char *name;
    QList<PlanYear> years;
};

QList<PlanYear> everyDecade(double net) {
    QList<PlanYear> years;
    for (int y = 0; y <= 110; y += 10)
        years << PlanYear{y, 3, 2.5, net * (1 + y / 10), net / (1 + y / 10.0)};
    return years;
}

const QList<PlanShape> shapes{
    {"Empty", {}},
    {"OneTreeNow", {PlanYear{0, 1, 0.4, 310, 310}}},
    {"MillionsEveryDecade", everyDecade(4.2e6)},
    {"SmallSums", everyDecade(0.3)},
    {"LossesAndGains",
     {PlanYear{0, 40, 12, -8500, -8500}, PlanYear{30, 2, 1, 12000, 4800},
      PlanYear{110, 1, 3, 95000, 2500}}},
};

// Two rectangles share more than their edges.
bool overlap(const QRectF &a, const QRectF &b) {
    return a.adjusted(0.5, 0.5, -0.5, -0.5).intersects(b.adjusted(0.5, 0.5, -0.5, -0.5));
}

bool inside(const QRectF &outer, const QRectF &r) {
    return r.left() >= outer.left() - 0.5 && r.top() >= outer.top() - 0.5 &&
           r.right() <= outer.right() + 0.5 && r.bottom() <= outer.bottom() + 0.5;
}

std::string describe(const QRectF &r) {
    return QStringLiteral("%1,%2 %3x%4")
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .toStdString();
}

// Everything the chart draws at its present size, for every shape of plan.
void expectClearLayout(PlanChart &chart, const std::string &where) {
    const QRectF all(chart.rect());
    for (const PlanShape &shape : shapes) {
        chart.setHarvests(shape.years);
        const PlanChart::Layout l = chart.layout();
        const std::string at = where + " " + shape.name;
        ASSERT_GT(l.plot.width(), 0) << at;
        ASSERT_GT(l.plot.height(), 0) << at;
        EXPECT_TRUE(inside(all, l.plot)) << at;
        QList<QRectF> texts;
        for (const ChartLabel &label : l.labels)
            texts << label.rect;
        texts << l.legendEntries;
        for (qsizetype i = 0; i < texts.size(); ++i) {
            EXPECT_TRUE(inside(all, texts[i]))
                << at << ": " << describe(texts[i]) << " outside " << describe(all);
            for (qsizetype j = i + 1; j < texts.size(); ++j)
                EXPECT_FALSE(overlap(texts[i], texts[j]))
                    << at << ": " << describe(texts[i]) << " on " << describe(texts[j]);
        }
        // The legend stands below the plot, clear of it.
        for (const QRectF &entry : l.legendEntries)
            EXPECT_GE(entry.top(), l.plot.bottom()) << at;
        ASSERT_EQ(l.bars.size(), shape.years.size()) << at;
        for (const QRectF &bar : l.bars)
            EXPECT_TRUE(inside(l.plot, bar)) << at << ": bar " << describe(bar);
        for (const QPointF &point : l.cumulative)
            EXPECT_TRUE(inside(l.plot, QRectF(point, QSizeF(0, 0)))) << at;
    }
}

class MenuHub : public WindowHub {
public:
    void open(Window) override {}
    void calculate() override {}
};

// In the tree list window as it opens on the screen at the scale Qt runs at.
TEST(PlanChartLayout, FitsTheRoomTheWindowGivesIt) {
    TempHome home;
    home.writeLines("trad.sty", sampleControlLines());
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv", "id;bdm\r\n1;12\r\n2;30\r\n3;46\r\n");
    MenuHub hub;
    TreeListWindow w(hub, home.directory());
    w.showWindow();
    ASSERT_TRUE(w.openList(home.path("lista.csv")));
    QSignalSpy valued(&w, &TreeListWindow::valuationDone);
    w.valueTrees();
    ASSERT_TRUE(valued.count() > 0 || valued.wait(30000));
    auto *tabs = w.findChild<QTabWidget *>("tabTradlista");
    ASSERT_TRUE(tabs);
    tabs->setCurrentWidget(w.findChild<HarvestPlanView *>());
    auto *chart = w.findChild<PlanChart *>("chtPlan");
    ASSERT_TRUE(chart);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_GE(chart->width(), chart->minimumSizeHint().width());
    EXPECT_GE(chart->height(), chart->minimumSizeHint().height());
    expectClearLayout(*chart, "in the window");
}

// On its own at the smallest size it allows, a size a user may drag it to, and a page's.
TEST(PlanChartLayout, FitsEverySizeItAllows) {
    HarvestPlanModel model;
    PlanChart chart(&model);
    for (const QSize size : {chart.minimumSizeHint(), QSize(700, 260), QSize(900, 380)}) {
        chart.resize(size);
        expectClearLayout(
            chart, QStringLiteral("%1x%2").arg(size.width()).arg(size.height()).toStdString());
    }
}

} // namespace
