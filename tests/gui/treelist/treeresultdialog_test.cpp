// One tree of the list opened for its twelve harvest years: the same figures the result window
// shows for the tree, the best year chosen, the verdict in words, an id from the file shown as
// text, and the dialog within the screen.
#include "core/files/numberformat.h"
#include "core/results/resultmodel.h"
#include "gui/treelist/treeresultdialog.h"
#include "testsupport.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct TreeCase {
    const char *name;
    const char *id;
    const char *bdm;
    bool valued;
};

class TreeResult : public ::testing::TestWithParam<TreeCase> {};

TEST_P(TreeResult, ShowsTheResultWindowsFiguresAndTheVerdict) {
    const TreeCase &c = GetParam();
    TempHome home;
    home.writeLines("trad.sty", sampleControlLines());
    home.write("priser_ac.txt", samplePriceList());
    TreeListHome stand;
    ASSERT_EQ(take(loadTreeListHome(home.directory()), stand), QString());
    TreeRow tree;
    tree.id = QString::fromUtf8(c.id);
    tree.values[BreastDiameter] = QString::fromLatin1(c.bdm);
    tree.given[BreastDiameter] = true;
    TreeValuation valuation;
    const TreeSummary summary = valueTreeRow(stand.base, tree, stand.prices, &valuation);
    ASSERT_EQ(summary.valued(), c.valued);

    TreeResultDialog dialog(tree.id, summary, valuation);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto *verdict = dialog.findChild<QLabel *>("lblTradslutsats");
    auto *table = dialog.findChild<QTableWidget *>("flgTradresultat");
    ASSERT_TRUE(verdict && table);

    // The id as the file has it, never read as markup.
    EXPECT_EQ(verdict->textFormat(), Qt::PlainText);
    EXPECT_TRUE(verdict->text().startsWith(QStringLiteral("Träd ") + tree.id))
        << verdict->text().toStdString();
    const QString expected = !c.valued                   ? QStringLiteral("kunde inte värderas")
                             : summary.decision.cutNow() ? QStringLiteral("Avverka nu.")
                                                         : QStringLiteral("Låt stå.");
    EXPECT_TRUE(verdict->text().contains(expected)) << verdict->text().toStdString();

    // Every figure as the result window's grid shows the same valuation.
    ResultModel grid;
    grid.setValuation(valuation, localeDecimalSeparator());
    ASSERT_EQ(table->rowCount(), valuation.yearsValued);
    ASSERT_EQ(table->columnCount(), grid.columnCount());
    for (int col = 0; col < table->columnCount(); ++col)
        EXPECT_EQ(table->horizontalHeaderItem(col)->text().simplified(),
                  ResultModel::columnHeading(col).simplified())
            << col;
    for (int row = 0; row < table->rowCount(); ++row) {
        EXPECT_EQ(table->verticalHeaderItem(row)->text(), QString::number(row * 10));
        for (int col = 0; col < table->columnCount(); ++col)
            EXPECT_EQ(table->item(row, col)->text().trimmed(), grid.text(row, col).trimmed())
                << row << "," << col;
    }
    // The best year is the row chosen.
    const QModelIndexList chosen = table->selectionModel()->selectedRows();
    if (c.valued) {
        ASSERT_EQ(chosen.size(), 1);
        EXPECT_EQ(chosen[0].row(), summary.decision.bestRow);
        EXPECT_EQ(chosen[0].row(), grid.bestRow());
    } else {
        EXPECT_TRUE(chosen.isEmpty());
    }

    // Within the free area of the screen, and closed by "Stäng".
    const QRect area = dialog.screen()->availableGeometry();
    EXPECT_LE(dialog.width(), area.width());
    EXPECT_LE(dialog.height(), area.height());
    auto *close = dialog.findChild<QPushButton *>("btnStang");
    ASSERT_TRUE(close);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

INSTANTIATE_TEST_SUITE_P(Trees, TreeResult,
                         ::testing::Values(TreeCase{"Thin", "A1", "12", true},
                                           TreeCase{"Thick", "B2", "46", true},
                                           TreeCase{"IdLikeMarkup", "<b>C3</b>", "30", true},
                                           TreeCase{"NotValued", "X", "400", false}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
