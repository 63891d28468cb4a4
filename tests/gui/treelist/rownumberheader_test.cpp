// The row numbers' header is as wide as the one Qt measures for a list of any length, and the
// largest number fits wherever a sort has put it.
#include "gui/treelist/rownumberheader.h"

#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>

#include <gtest/gtest.h>

namespace {

TEST(RowNumberHeader, IsAsWideAsQtsOwnAndFitsTheLargestNumberOfASortedList) {
    for (const int rows : {0, 1, 9, 10, 100, 101, 1000, 100000}) {
        // Sorted so that the last row lands in the middle, far from the first and the last
        // hundred that Qt's own header measures.
        QStandardItemModel model(rows, 1);
        for (int r = 0; rows <= 1000 && r < rows; ++r)
            model.setData(model.index(r, 0), r == rows - 1 ? rows / 2 : (r < rows / 2 ? r : r + 1));
        QSortFilterProxyModel sorted;
        sorted.setSourceModel(&model);
        sorted.sort(0);
        QTableView measured;
        measured.setModel(&model);
        QTableView own;
        own.setVerticalHeader(new RowNumberHeader(&own));
        own.setModel(&sorted);
        EXPECT_EQ(own.verticalHeader()->sizeHint(), measured.verticalHeader()->sizeHint())
            << rows << " rows";
    }
}

} // namespace
