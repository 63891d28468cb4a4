// The row numbers' header is as wide as the one Qt measures for itself, for lists of any length.
#include "gui/treelist/rownumberheader.h"

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

} // namespace
