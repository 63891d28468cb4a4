// The plan in harvest entries as the window shows it: a setting changed makes a new plan whose
// table and sentence are the core's; a setting that cannot be used says why and shows no plan.
#include "core/files/cp1252.h"
#include "core/files/numberformat.h"
#include "core/files/textfile.h"
#include "core/treelist/harvestentries.h"
#include "core/treelist/harvestplanmodel.h"
#include "core/treelist/treelist.h"
#include "gui/treelist/harvestentriespanel.h"
#include "gui/treelist/harvestplanview.h"
#include "gui/treelist/markinglist.h"
#include "gui/treelist/planchart.h"
#include "gui/treelist/treelistmodel.h"
#include "gui/treelist/treelistwindow.h"
#include "testsupport.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextDocument>

#include <gtest/gtest.h>

TEST(HarvestEntriesPanel, ShowsThePlanForTheSettingsOrWhyThereIsNone) {
    TempHome home;
    home.writeLines("trad.sty", sampleControlLines());
    home.write("priser_ac.txt", samplePriceList());
    Expected<TreeListHome> standRead = loadTreeListHome(home.directory());
    ASSERT_TRUE(standRead) << standRead.message().toStdString();
    const TreeListHome stand = std::move(standRead).value();
    QList<TreeRow> trees;
    QList<TreeSummary> summaries;
    EntryPlanner planner;
    for (const char *diameter : {"14", "24", "31", "38", "45", "52", "60"}) {
        TreeRow t;
        t.id = QString::fromLatin1(diameter);
        t.values[BreastDiameter] = t.id;
        t.given[BreastDiameter] = true;
        trees << t;
        summaries << valueTreeRow(stand.base, t, stand.prices);
        planner.add(summaries.last().years);
    }
    HarvestEntriesPanel panel;
    panel.setTrees(trees, summaries, stand.base.requiredRate);
    auto *count = panel.findChild<QComboBox *>("cmbTillfallen");
    auto *cost = panel.findChild<QLineEdit *>("txtTillfallesKostnad");
    auto *statement = panel.findChild<QLabel *>("lblTillfallenSlutsats");
    auto *table = panel.findChild<QTableWidget *>("flgTillfallen");
    ASSERT_TRUE(count && cost && statement && table);

    count->setCurrentIndex(2); // at most two
    cost->setText("3000,5");
    emit cost->editingFinished();
    EntrySettings s;
    s.maxEntries = 2;
    s.costPerEntry = 3000.5;
    s.rate = stand.base.requiredRate;
    const EntryPlan expected = planner.plan(s);
    ASSERT_TRUE(panel.plan().has_value());
    EXPECT_EQ(panel.plan()->yearMask, expected.yearMask);
    // The statement stands above the plan, in the view; here only a wrong setting is said.
    EXPECT_TRUE(statement->text().isEmpty()) << statement->text().toStdString();
    EXPECT_TRUE(panel.settingsFault().isEmpty());
    EXPECT_EQ(table->rowCount(), expected.entries.size() + 1);

    cost->setText("-5");
    emit cost->editingFinished();
    EXPECT_FALSE(panel.plan().has_value());
    EXPECT_TRUE(statement->text().startsWith("Kostnaden per avverkningstillfälle ska vara"))
        << statement->text().toStdString();
    EXPECT_EQ(panel.settingsFault(), statement->text());
    EXPECT_EQ(table->rowCount(), 0);
}

// The marking list of a plan in entries has a section for each entry, in the entry's order,
// and one for the trees the owner leaves.
TEST(HarvestEntriesPanel, MarkingListHasASectionForEachEntry) {
    TempHome home;
    home.writeLines("trad.sty", sampleControlLines());
    home.write("priser_ac.txt", samplePriceList());
    Expected<TreeListHome> standRead = loadTreeListHome(home.directory());
    ASSERT_TRUE(standRead) << standRead.message().toStdString();
    const TreeListHome stand = std::move(standRead).value();
    MarkingList list;
    EntryPlanner planner;
    int n = 0;
    for (const char *diameter : {"14", "24", "31", "38", "45", "52", "60"}) {
        TreeRow t;
        t.id = QString::number(++n);
        t.values[BreastDiameter] = QString::fromLatin1(diameter);
        t.given[BreastDiameter] = true;
        t.mark = n == 3 ? TreeMark::Leave : TreeMark::None;
        list.sheet.trees << t;
        list.sheet.summaries << valueTreeRow(stand.base, t, stand.prices);
        list.sheet.remarks << QString();
        planner.add(list.sheet.summaries.last().years, t.mark);
    }
    list.sheet.entrySettings.maxEntries = 3;
    list.sheet.entrySettings.rate = stand.base.requiredRate;
    list.sheet.entries = planner.plan(list.sheet.entrySettings);
    ASSERT_GE(list.sheet.entries->entries.size(), 2);
    // The printed pages as a reader sees them.
    TempHome out;
    out.write("lista.pdf", list.pdf());
    QProcess pdftotext;
    pdftotext.start("pdftotext", {out.path("lista.pdf"), "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    const QString text =
        QString::fromUtf8(pdftotext.readAllStandardOutput())
            .replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
    qsizetype at = 0;
    for (const HarvestEntry &e : list.sheet.entries->entries) {
        const QString heading = (e.years == 0 ? QStringLiteral("Avverka nu")
                                              : QStringLiteral("Avverka om %1 år").arg(e.years)) +
                                QStringLiteral(" (%1 träd)").arg(e.trees);
        const qsizetype found = text.indexOf(heading, at);
        EXPECT_GT(found, at) << heading.toStdString();
        at = std::max(at, found);
    }
    EXPECT_GT(text.indexOf(QStringLiteral("Lämnas (1 träd)"), at), at);
    EXPECT_TRUE(text.contains(entryStatement(*list.sheet.entries).left(40)));
}

namespace {

class NoMenu : public WindowHub {
public:
    void open(Window) override {}
    void calculate() override {}
};

} // namespace

// With the entries tab shown, the window's plan CSV holds the entries, their settings and what
// the grouping costs, the owner's marks counted; the list's column "åtgärd" goes along.
TEST(HarvestEntriesPanel, WindowExportsThePlanInEntriesWithTheOwnersMarks) {
    TempHome home;
    home.writeLines("trad.sty", sampleControlLines());
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv", encodeCp1252(u"id;bdm;åtgärd\r\n1;12;\r\n2;30;lämnas\r\n3;46;\r\n"
                                         "4;38;avverkas\r\n"));
    NoMenu hub;
    TreeListWindow w(hub, home.directory());
    w.showWindow();
    ASSERT_TRUE(w.openList(home.path("lista.csv")));
    auto *plan = w.findChild<HarvestPlanView *>();
    ASSERT_TRUE(plan);
    QSignalSpy planned(plan, &HarvestPlanView::whatIfDone);
    w.valueTrees();
    ASSERT_TRUE(planned.count() > 0 || planned.wait(10000));
    w.findChild<QTabWidget *>("tabPlanSatt")->setCurrentIndex(1);
    ASSERT_TRUE(plan->chosenEntries().has_value());
    EXPECT_EQ(plan->chosenEntries()->leftTrees, 1);
    EXPECT_EQ(plan->chosenEntries()->forcedTrees, 1);
    // The chart has a bar for each entry, and the tree-by-tree bars again on the other tab.
    auto *chart = plan->findChild<PlanChart *>();
    ASSERT_TRUE(chart);
    EXPECT_EQ(chart->layout().bars.size(), plan->chosenEntries()->entries.size());
    w.findChild<QTabWidget *>("tabPlanSatt")->setCurrentIndex(0);
    EXPECT_EQ(chart->layout().bars.size(), plan->model()->years().size());
    // The bold statement read first is that of the plan shown, the marks counted in both, and
    // the tree marked "lämnas" is in neither plan's trees.
    auto *bold = w.findChild<QLabel *>("lblPlanSlutsats");
    ASSERT_TRUE(bold);
    EXPECT_EQ(bold->text(), planStatement(plan->model()->plan(), localeDecimalSeparator()));
    EXPECT_TRUE(bold->text().contains(QStringLiteral("1 träd lämnas och 1 träd avverkas nu")))
        << bold->text().toStdString();
    EXPECT_EQ(plan->model()->plan().total().trees, 3);
    EXPECT_EQ(plan->model()->plan().markedLeft().trees, 1);
    // The tree-by-tree table counts them apart below its total too.
    const HarvestPlanModel *byTree = plan->model();
    ASSERT_EQ(byTree->rowCount(), byTree->totalRow() + 3);
    EXPECT_EQ(byTree->index(byTree->totalRow() + 1, 0).data().toString(), "Varav märkta");
    EXPECT_EQ(byTree->index(byTree->totalRow() + 2, 0).data().toString(), "Märkta lämnas");
    EXPECT_EQ(byTree->index(byTree->totalRow() + 2, HarvestPlanModel::Trees).data().toString(),
              "1");
    w.findChild<QTabWidget *>("tabPlanSatt")->setCurrentIndex(1);
    EXPECT_EQ(bold->text(), entryStatement(*plan->chosenEntries()));
    // The entries' table counts the marked trees apart below its total.
    auto *table = plan->findChild<QTableWidget *>("flgTillfallen");
    ASSERT_TRUE(table);
    EXPECT_EQ(table->rowCount(), plan->chosenEntries()->entries.size() + 3);
    EXPECT_EQ(table->item(table->rowCount() - 1, 0)->text(), QStringLiteral("märkta lämnas"));

    // In the grid the marked trees say so, and the footer counts them apart.
    EXPECT_EQ(w.model()->index(1, TreeListModel::FirstSummaryColumn + CutOrWait).data().toString(),
              QStringLiteral("Lämnas (märkt)"));
    EXPECT_EQ(w.model()->index(3, TreeListModel::FirstSummaryColumn + CutOrWait).data().toString(),
              QStringLiteral("Avverkas (märkt)"));
    const QString footer = w.findChild<QLabel *>("lblSumma")->text();
    EXPECT_TRUE(footer.contains(QStringLiteral("Märkta: 1 avverkas (netto ")) &&
                footer.contains(QStringLiteral("), 1 lämnas (netto ")))
        << footer.toStdString();

    ASSERT_TRUE(w.writePlanCsv(home.path("plan.csv")));
    const QStringList csv = splitLines(QString::fromUtf8(home.read("plan.csv").mid(3)));
    EXPECT_TRUE(csv.value(0).startsWith(QStringLiteral("id;bdm;åtgärd;")))
        << csv.value(0).toStdString();
    EXPECT_TRUE(csv.contains(QStringLiteral("år;träd;volym m3;netto kr;kostnad kr;nuvärde kr")));
    EXPECT_TRUE(csv.join(u'\n').contains(QStringLiteral("1 träd lämnas och 1 träd avverkas nu")));
    // Each tree's year in the entries chosen, or that it stays; its decision says it is marked.
    const QStringList heading = csv.value(0).split(u';');
    EXPECT_EQ(heading.last(), QStringLiteral("avverkas år"));
    const qsizetype decisionAt = heading.indexOf(QStringLiteral("beslut"));
    for (int r = 0; r < 4; ++r) {
        const QStringList cells = csv.value(r + 1).split(u';');
        ASSERT_EQ(cells.size(), heading.size()) << r;
        const int years = plan->chosenEntries()->entryYearsOf(w.model()->summary(r)->years,
                                                              w.model()->tree(r).mark);
        EXPECT_EQ(cells.last(), years < 0 ? QStringLiteral("lämnas") : QString::number(years)) << r;
        EXPECT_EQ(cells[decisionAt].endsWith(QStringLiteral("(märkt)")),
                  w.model()->tree(r).mark != TreeMark::None)
            << r;
    }
    EXPECT_EQ(csv.value(2).split(u';').last(), QStringLiteral("lämnas"));
    EXPECT_EQ(csv.value(4).split(u';').last(), QStringLiteral("0"));

    // A mark typed in the window counts from the next valuation; a word that is no mark does not
    // take the cell.
    TreeListModel *model = w.model();
    int markAt = -1;
    for (int c = 0; c < model->columnCount(); ++c)
        if (model->isMarkColumn(c))
            markAt = c;
    ASSERT_GE(markAt, TreeListModel::FirstOtherColumn);
    EXPECT_FALSE(model->setData(model->index(0, markAt), QStringLiteral("fälls"), Qt::EditRole));
    EXPECT_EQ(model->tree(0).mark, TreeMark::None);
    EXPECT_TRUE(model->setData(model->index(0, markAt), QStringLiteral("Lämnas"), Qt::EditRole));
    EXPECT_EQ(model->tree(0).mark, TreeMark::Leave);
    EXPECT_FALSE(plan->chosenEntries().has_value()); // the plan waits for the next valuation
    w.valueTrees();
    ASSERT_TRUE(planned.wait(10000));
    ASSERT_TRUE(plan->chosenEntries().has_value());
    EXPECT_EQ(plan->chosenEntries()->leftTrees, 2);
}
