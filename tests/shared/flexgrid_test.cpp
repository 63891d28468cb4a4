#include "flexgrid.h"
#include "testsupport.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

TEST(FlexGrid, HeaderAndDataCellsAreReachedThroughTheCurrentCell) {
    FlexGrid grid;
    grid.setRows(3);
    grid.setCols(4);
    const QString texts[3][4] = {{"År", "a", "b", "c"}, {"0", "1", "2", "3"}, {"10", "x", "", "z"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) {
            grid.setRow(r);
            grid.setCol(c);
            grid.setText(texts[r][c]);
        }
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(grid.textAt(r, c), texts[r][c]) << r << "," << c;
    grid.setRow(2);
    grid.setCol(3);
    EXPECT_EQ(grid.text(), "z");
}

TEST(FlexGrid, EveryChangeOfTheCurrentCellRaisesEnterCellOnce) {
    FlexGrid grid;
    grid.setRows(6);
    grid.setCols(11);
    QSignalSpy spy(&grid, &FlexGrid::enterCell);
    grid.setRow(1);
    grid.setCol(1);
    EXPECT_EQ(spy.count(), 2);
    grid.setRow(1); // no change, no event
    EXPECT_EQ(spy.count(), 2);
    // A click of the user's (the table's own current cell) is an entered cell too.
    grid.setCurrentCell(2, 4);
    EXPECT_EQ(spy.count(), 3);
    EXPECT_EQ(grid.row(), 3);
    EXPECT_EQ(grid.col(), 5);
}

TEST(FlexGrid, SizesAreSetAndReadInTwips) {
    FlexGrid grid;
    grid.setRows(13);
    grid.setCols(18);
    const int dpi = grid.logicalDpiX();
    grid.setColWidth(3, 1440);
    EXPECT_EQ(grid.columnWidth(2), dpi);
    EXPECT_NEAR(grid.colWidth(3), 1440, 15);
    grid.setColWidth(0, 500);
    EXPECT_NEAR(grid.colWidth(0), 500, 15);
    grid.setRowHeight(0, 500);
    EXPECT_NEAR(grid.rowHeight(0), 500, 15);
    grid.setRowHeight(2, 288);
    EXPECT_NEAR(grid.rowHeight(2), 288, 15);
}

TEST(FlexGrid, CellOffsetsFollowTheColumnsAndRowsBeforeIt) {
    FlexGrid grid;
    grid.resize(800, 400);
    grid.setRows(6);
    grid.setCols(11);
    grid.setColWidth(0, 900);
    for (int c = 1; c <= 10; ++c)
        grid.setColWidth(c, 600);
    for (int r = 1; r <= 5; ++r)
        grid.setRowHeight(r, 288);
    grid.show();
    grid.setRow(1);
    grid.setCol(1);
    const int left1 = grid.cellLeft(), top1 = grid.cellTop();
    EXPECT_NEAR(left1, 900, 45);
    grid.setCol(3);
    EXPECT_NEAR(grid.cellLeft() - left1, 1200, 30);
    grid.setRow(4);
    EXPECT_NEAR(grid.cellTop() - top1, 3 * 288, 30);
}

TEST(FlexGrid, AlignmentOfTheCurrentCell) {
    FlexGrid grid;
    grid.setRows(6);
    grid.setCols(11);
    grid.setRow(0);
    grid.setCol(0);
    grid.setCellAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(grid.cellAlignment(), Qt::AlignRight | Qt::AlignVCenter);
    grid.setRow(1);
    grid.setText("Class        1");
    grid.setCellAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(grid.cellAlignment(), Qt::AlignRight | Qt::AlignVCenter);
}
