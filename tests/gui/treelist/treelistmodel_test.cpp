// The tree list's model without its window: sorting both ways and the ids of new trees. The list
// file's round trip is the document's (tests/core/treelist/treelistdocument_test.cpp).
#include "core/files/cp1252.h"
#include "gui/treelist/treelistmodel.h"
#include "testsupport.h"

#include <QStringList>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

// The texts of "trad.sty" that a key without a column of its own shows.
const std::array<QString, treeKeyCount> homeTexts{"t",   "30", "0", "24", "y", "3",
                                                  "0.8", "60", "1", "2",  "3"};

struct ListFile {
    TempHome home;
    TreeListModel model;

    // A list file of `bytes`, read into the model.
    explicit ListFile(const QByteArray &bytes) {
        home.write("lista.csv", bytes);
        const Outcome read = model.read(home.path("lista.csv"), homeTexts);
        EXPECT_TRUE(read) << read.message().toStdString();
    }
    explicit ListFile(const QStringList &lines)
        : ListFile(encodeCp1252(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"))) {}
};

TreeSummary valued(double valueNow, int bestRow, double growthNextTen) {
    TreeSummary s;
    s.decision.valueNow = valueNow;
    s.decision.bestValue = valueNow;
    s.decision.bestRow = bestRow;
    s.decision.growthNextTen = growthNextTen;
    return s;
}

} // namespace

TEST(TreeListModel, SortsNumbersAsNumbersAndRowsWithoutAFigureLastBothWays) {
    ListFile list(QStringList{"id;art;bdm", "T10;t;9", "T2;g;100", "T1;t;25,5", "T3;Gran;10"});
    TreeSummary notValued;
    notValued.fault = Outcome::failure(QStringLiteral("Trädet kunde inte värderas."));
    list.model.setSummaries({valued(500, 0, 2.5), notValued, valued(-20, 2, 4.0),
                             valued(120, 1, std::numeric_limits<double>::quiet_NaN())});
    // Texts sort in the user's order: a Swedish list puts "T2" before "T10".
    const LocaleScope swedish(QLocale(QLocale::Swedish, QLocale::Sweden));
    TreeListSortModel sorted;
    sorted.setSourceModel(&list.model);

    const int key = TreeListModel::FirstKeyColumn, sum = TreeListModel::FirstSummaryColumn;
    const struct {
        int column;
        Qt::SortOrder order;
        const char *ids; // in the order shown; those after "|" have no figure, in any order
    } cases[] = {
        {key + BreastDiameter, Qt::AscendingOrder, "T10 T3 T1 T2"},
        {key + BreastDiameter, Qt::DescendingOrder, "T2 T1 T3 T10"},
        {TreeListModel::IdColumn, Qt::AscendingOrder, "T1 T2 T3 T10"},
        {TreeListModel::IdColumn, Qt::DescendingOrder, "T10 T3 T2 T1"},
        {sum + NetNow, Qt::AscendingOrder, "T1 T3 T10 | T2"},
        {sum + NetNow, Qt::DescendingOrder, "T10 T3 T1 | T2"},
        {sum + BestYear, Qt::DescendingOrder, "T1 T3 T10 | T2"},
        {sum + GrowthNextTen, Qt::AscendingOrder, "T10 T1 | T2 T3"},
        {sum + GrowthNextTen, Qt::DescendingOrder, "T1 T10 | T2 T3"},
    };
    for (const auto &c : cases) {
        sorted.sort(c.column, c.order);
        QStringList shown;
        for (int r = 0; r < sorted.rowCount(); ++r)
            shown << sorted.index(r, TreeListModel::IdColumn).data().toString();
        const QStringList parts = QString::fromLatin1(c.ids).split(u'|');
        const QStringList ordered = parts[0].split(u' ', Qt::SkipEmptyParts);
        QStringList withoutFigure = parts.value(1).split(u' ', Qt::SkipEmptyParts);
        const std::string what = std::to_string(c.column) + (c.order ? " down" : " up");
        EXPECT_EQ(shown.mid(0, ordered.size()), ordered) << what;
        QStringList tail = shown.mid(ordered.size());
        tail.sort();
        withoutFigure.sort();
        EXPECT_EQ(tail, withoutFigure) << what;
    }

    // The values the sort keeps follow the list: an edited diameter moves its tree, a removed
    // tree and a new one are sorted by their own values.
    sorted.setDynamicSortFilter(true);
    sorted.sort(key + BreastDiameter, Qt::AscendingOrder);
    auto shownIds = [&] {
        QStringList shown;
        for (int r = 0; r < sorted.rowCount(); ++r)
            shown << sorted.index(r, TreeListModel::IdColumn).data().toString();
        return shown.join(u' ');
    };
    ASSERT_EQ(shownIds(), "T10 T3 T1 T2");
    ASSERT_TRUE(list.model.setData(list.model.index(0, key + BreastDiameter), "300", Qt::EditRole));
    EXPECT_EQ(shownIds(), "T3 T1 T2 T10");
    list.model.removeTrees({2});
    EXPECT_EQ(shownIds(), "T3 T2 T10");
}

TEST(TreeListModel, GivesANewTreeTheIdAfterTheHighestNumberAmongTheIds) {
    const struct {
        const char *ids; // the list's trees, or nothing for a new list
        int removed;     // the row taken away before the new tree, or -1
        const char *next;
    } cases[] = {
        {"", -1, "1"},        {"1 2 7", -1, "8"}, {"T1 T2", -1, "1"}, {"3 x9 -5", -1, "4"},
        {"0012 4", -1, "13"}, {"1 2 3", 2, "3"},  {"5 1", 1, "6"},
    };
    for (const auto &c : cases) {
        QStringList lines{"id;bdm"};
        for (const QString &id : QString::fromLatin1(c.ids).split(u' ', Qt::SkipEmptyParts))
            lines << id + QStringLiteral(";30");
        ListFile list(lines);
        if (c.removed >= 0)
            list.model.removeTrees({c.removed});
        const int row = list.model.addTree(homeTexts);
        EXPECT_EQ(list.model.tree(row).id, QString::fromLatin1(c.next)) << c.ids;
        EXPECT_EQ(list.model.index(row, TreeListModel::IdColumn).data().toString(),
                  QString::fromLatin1(c.next))
            << c.ids;
        EXPECT_TRUE(list.model.isModified());
    }
}
