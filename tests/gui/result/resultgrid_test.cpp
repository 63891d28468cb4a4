#include "core/engine/treevaluation.h"
#include "core/files/pricelistfile.h"
#include "core/parameters/treeinputs.h"
#include "core/results/resultmodel.h"
#include "gui/result/resultgrid.h"
#include "testsupport.h"

#include <QHeaderView>
#include <QImage>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

// The sample tree's twelve harvest years in a grid on screen, drawn as the user sees it.
struct ShownGrid {
    TempHome home;
    ResultModel model;
    ResultGrid grid;

    ShownGrid() {
        home.writeLines("trad.sty", sampleControlLines());
        home.write("priser_ac.txt", samplePriceList());
        TreeInputs inputs;
        PriceTables prices;
        EXPECT_TRUE(take(loadTreeInputs(home.directory(), inputs), inputs).isEmpty());
        EXPECT_TRUE(take(loadPriceTables(home.directory(), prices), prices).isEmpty());
        model.setValuation(valueTree(inputs, prices), u'.');
        grid.setResultModel(&model);
        grid.resize(1360, 600);
        grid.show();
    }
    QImage image() { return grid.viewport()->grab().toImage(); }
    QRect cell(int row, int column) const {
        return grid.visualRect(model.index(row, column)).adjusted(1, 1, -2, -2);
    }
};

// Columns of a cell that hold anything but its background.
QList<int> inkedColumns(const QImage &image, const QRect &cell, QRgb background) {
    QList<int> inked;
    for (int x = cell.left(); x <= cell.right(); ++x)
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            if (image.pixel(x, y) != background) {
                inked.append(x);
                break;
            }
    return inked;
}

TEST(ResultGridCells, EachRowHasItsBackgroundAndEachNumberSitsAtTheRightOfItsCell) {
    ShownGrid g;
    ASSERT_GE(g.model.bestRow(), 0);
    const QImage image = g.image();
    const QRgb base = g.grid.palette().color(QPalette::Base).rgb();
    for (int row = 0; row < g.model.rowCount(); ++row) {
        const bool best = row == g.model.bestRow();
        const QRgb background = best ? qRgb(255, 236, 160) : base;
        for (int column : {1, 5, 13}) {
            SCOPED_TRACE(testing::Message() << "row " << row << ", column " << column);
            const QRect cell = g.cell(row, column);
            EXPECT_EQ(image.pixel(cell.left() + 1, cell.top() + 1), background);
            const QList<int> inked = inkedColumns(image, cell, background);
            // Harvest now has no growth rate: its cell stays blank.
            if (g.model.text(row, column).trimmed().isEmpty()) {
                EXPECT_TRUE(inked.isEmpty());
                continue;
            }
            ASSERT_FALSE(inked.isEmpty()) << g.model.text(row, column).toStdString();
            EXPECT_GT(inked.first(), cell.center().x() - cell.width() / 4);
            EXPECT_GE(inked.last(), cell.right() - 8);
        }
    }
}

TEST(ResultGridCells, ANumberWiderThanItsColumnKeepsToItsCell) {
    ShownGrid g;
    const int row = 11, column = 2; // a net value of several digits
    const QRect neighbour = g.cell(row, column - 1);
    const QImage before = g.image().copy(neighbour);
    g.grid.setColumnWidth(column, 6);
    g.grid.setColumnWidth(column - 1, g.grid.columnWidth(column - 1)); // the neighbour stays put
    EXPECT_EQ(g.image().copy(neighbour), before);
}

} // namespace

TEST(ResultGridHeadings, EveryColumnAndYearExplainsItself) {
    ResultModel model;
    QStringList meanings;
    for (int c = 0; c < model.columnCount(); ++c) {
        const QString tip = model.headerData(c, Qt::Horizontal, Qt::ToolTipRole).toString();
        EXPECT_GT(tip.size(), 20) << c;
        EXPECT_FALSE(meanings.contains(tip)) << "column " << c << " explained as another";
        meanings << tip;
    }
    EXPECT_EQ(model.headerData(0, Qt::Vertical, Qt::ToolTipRole).toString(), "Avverkning nu");
    EXPECT_EQ(model.headerData(3, Qt::Vertical, Qt::ToolTipRole).toString(), "Avverkning om 30 år");
}
