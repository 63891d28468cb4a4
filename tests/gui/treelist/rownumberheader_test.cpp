// The row numbers' header is as wide as the one Qt measures for itself, for lists of any length,
// and the largest number fits wherever a sort has put it.
#include "gui/treelist/rownumberheader.h"

#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>

#include <gtest/gtest.h>

namespace {

TEST(RowNumberHeader, IsAsWideAsQtsOwn) {
    for (const int rows : {0, 1, 9, 10, 99, 100, 101, 250, 1000, 99999, 100000}) {
        QStandardItemModel model(rows, 1);
        QTableView measured;
        measured.setModel(&model);
        QTableView own;
        own.setVerticalHeader(new RowNumberHeader(&own));
        own.setModel(&model);
        EXPECT_EQ(own.verticalHeader()->sizeHint(), measured.verticalHeader()->sizeHint())
            << rows << " rows";
    }
}

TEST(RowNumberHeader, FitsTheLargestNumberInASortedList) {
    // 1 000 rows sorted so that row 1 000 lands in the middle, far from the first and the last
    // hundred that Qt's own header measures.
    const int rows = 1000;
    QStandardItemModel model(rows, 1);
    for (int r = 0; r < rows; ++r)
        model.setData(model.index(r, 0), r == rows - 1 ? 500 : (r < 500 ? r : r + 1));
    QSortFilterProxyModel sorted;
    sorted.setSourceModel(&model);
    sorted.sort(0);
    ASSERT_EQ(sorted.headerData(500, Qt::Vertical).toInt(), rows);
    QTableView unsorted;
    unsorted.setModel(&model);
    QTableView own;
    own.setVerticalHeader(new RowNumberHeader(&own));
    own.setModel(&sorted);
    EXPECT_EQ(own.verticalHeader()->sizeHint(), unsorted.verticalHeader()->sizeHint());
}

} // namespace
