// The stand's what-if runs in the background while the user goes on: "Stoppa" and an edit to the
// list in the middle of it leave the plan tab consistent, never showing figures of a list that is
// gone, and a valuation that follows gives the what-if of the list as it is then.
#include "core/treelist/harvestplanmodel.h"
#include "gui/treelist/harvestplanview.h"
#include "gui/treelist/treelistmodel.h"
#include "gui/treelist/treelistwindow.h"
#include "testsupport.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class MenuHub : public WindowHub {
public:
    void open(Window) override {}
    void calculate() override {}
};

// What the user does while the what-if runs.
enum class During { Stop, EditCell, EditAndValueAgain };

struct WhatIfCase {
    const char *name;
    During during;
    bool planStays;      // the plan's years stay in view after the act
    bool whatIfAtTheEnd; // the what-if's table holds figures when everything has settled
};

class WhileTheWhatIfRuns : public ::testing::TestWithParam<WhatIfCase> {};

bool kanslighetIsEmpty(const QTableWidget *table) {
    for (int r = 0; r < table->rowCount(); ++r)
        for (int c = 0; c < table->columnCount(); ++c)
            if (table->item(r, c) && !table->item(r, c)->text().isEmpty())
                return false;
    return true;
}

TEST_P(WhileTheWhatIfRuns, TheWindowStaysConsistent) {
    const WhatIfCase &c = GetParam();
    TempHome home;
    home.writeLines("trad.sty", sampleControlLines());
    home.write("priser_ac.txt", samplePriceList());
    // Enough trees that the what-if is still going when the valuation has ended.
    QByteArray list = "id;bdm\r\n";
    constexpr int trees = 12000;
    for (int i = 0; i < trees; ++i)
        list += QByteArray::number(i) + ";" + QByteArray::number(12 + i % 40) + "\r\n";
    home.write("lista.csv", list);
    MenuHub hub;
    TreeListWindow w(hub, home.directory());
    w.showWindow();
    ASSERT_TRUE(w.openList(home.path("lista.csv")));
    auto *plan = w.findChild<HarvestPlanView *>();
    auto *stop = w.findChild<QPushButton *>("btnAvbrytKanslighet");
    auto *table = w.findChild<QTableWidget *>("flgPlanKanslighet");
    ASSERT_TRUE(plan && stop && table);
    QSignalSpy valued(&w, &TreeListWindow::valuationDone);
    QSignalSpy whatIfDone(plan, &HarvestPlanView::whatIfDone);
    w.valueTrees();
    ASSERT_TRUE(valued.count() > 0 || valued.wait(120000));
    ASSERT_EQ(whatIfDone.count(), 0) << "the what-if ended before the test could act";
    ASSERT_FALSE(stop->isHidden());
    const int planRows = plan->model()->rowCount();
    ASSERT_GT(planRows, 0);

    switch (c.during) {
    case During::Stop:
        QTest::mouseClick(stop, Qt::LeftButton);
        break;
    case During::EditCell:
    case During::EditAndValueAgain:
        ASSERT_TRUE(
            w.model()->setData(w.model()->index(0, TreeListModel::FirstKeyColumn + BreastDiameter),
                               "400", Qt::EditRole));
        break;
    }
    // The what-if is gone at once: no figures of the trees it had reached, nothing running.
    EXPECT_TRUE(plan->whatIfs().isEmpty());
    EXPECT_TRUE(kanslighetIsEmpty(table));
    if (c.during == During::Stop) {
        EXPECT_TRUE(whatIfDone.count() > 0 || whatIfDone.wait(30000));
    }
    EXPECT_TRUE(stop->isHidden());
    EXPECT_EQ(plan->model()->rowCount() > 0, c.planStays);
    EXPECT_EQ(plan->model()->rowCount() == planRows, c.planStays);

    if (c.during == During::EditAndValueAgain) {
        // Valued again at once, while the old what-if's threads may still be ending.
        valued.clear();
        w.valueTrees();
        ASSERT_TRUE(valued.count() > 0 || valued.wait(120000));
        // The stopped what-if may report its end first; the new one's figures follow.
        for (int waited = 0; waited < 1200 && plan->whatIfs().isEmpty(); ++waited)
            QTest::qWait(100);
    }
    // Whatever the threads still finish later changes nothing shown.
    QTest::qWait(300);
    EXPECT_EQ(kanslighetIsEmpty(table), !c.whatIfAtTheEnd);
    EXPECT_EQ(plan->whatIfs().isEmpty(), !c.whatIfAtTheEnd);
    if (c.whatIfAtTheEnd) {
        // The figures are those of the edited list: the tree of 400 cm cannot be valued.
        ASSERT_EQ(plan->whatIfs().size(), standWhatIfCount);
        EXPECT_EQ(plan->whatIfs()[0].valued, plan->model()->plan().valuedTrees());
        EXPECT_TRUE(plan->model()->plan().unvaluedIds().contains(QStringLiteral("0")));
    }
}

INSTANTIATE_TEST_SUITE_P(StandWhatIf, WhileTheWhatIfRuns,
                         ::testing::Values(WhatIfCase{"Stopped", During::Stop, true, false},
                                           WhatIfCase{"CellEdited", During::EditCell, false, false},
                                           WhatIfCase{"CellEditedAndValuedAgain",
                                                      During::EditAndValueAgain, false, true}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
