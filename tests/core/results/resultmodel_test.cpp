// The result model shows a valuation as the report does: the same texts under the same
// headings, numbers for whoever reads the model rather than the screen.
#include "core/engine/decision.h"
#include "core/files/textfile.h"
#include "core/results/resultmodel.h"
#include "enginetestsupport.h"
#include "sampleresult.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>

namespace {

QStringList goldenRows(const char *name) {
    QFile f(QStringLiteral(KVISTEL_ENGINE_GOLDEN_DIR) + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return splitLines(decodeCp1252(f.readAll()));
}

TreeValuation sampleValuation() {
    EngineHome h;
    TreeInputs inputs;
    PriceTables prices;
    EXPECT_EQ(take(loadTreeInputs(h.home.directory(), inputs), inputs), QString());
    EXPECT_EQ(take(loadPriceTables(h.home.directory(), prices), prices), QString());
    return valueTree(inputs, prices);
}

class ResultModelText : public ::testing::TestWithParam<QChar> {};

// Every cell reads as the independently computed grid of the sample pine, with the separator
// the user's locale gives; the numbers behind the texts are the valuation's own.
TEST_P(ResultModelText, ShowsTheGridsTextsAndKeepsTheNumbers) {
    const QChar separator = GetParam();
    const TreeValuation valuation = sampleValuation();
    ResultModel model;
    model.setValuation(valuation, separator);
    const QStringList rows = goldenRows("pine_south_grid.txt");
    ASSERT_EQ(rows.size(), harvestYearCount);
    ASSERT_EQ(model.rowCount(), harvestYearCount);
    ASSERT_EQ(model.columnCount(), resultColumnCount);
    for (int r = 0; r < harvestYearCount; ++r) {
        const QStringList expected = QString(rows[r]).replace(u'.', separator).split(u'|');
        for (int c = 0; c < resultColumnCount; ++c) {
            const QModelIndex i = model.index(r, c);
            EXPECT_EQ(i.data(Qt::DisplayRole).toString(), expected[c]) << r << "," << c;
            const double v = valuation.rows[r].values[c];
            if (std::isnan(v)) {
                EXPECT_FALSE(i.data(Qt::EditRole).isValid());
            } else {
                EXPECT_EQ(i.data(Qt::EditRole).toDouble(), v);
                EXPECT_EQ(i.data(Qt::UserRole).toDouble(), v);
            }
            EXPECT_EQ(i.data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                      Qt::AlignRight | Qt::AlignVCenter);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Separators, ResultModelText, ::testing::Values(u'.', u','));

TEST(ResultModel, HeadingsAndYearsStandWhateverTheValuation) {
    ResultModel model;
    EXPECT_EQ(ResultModel::yearHeading(), "År");
    for (int c = 0; c < resultColumnCount; ++c)
        EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(),
                  QString::fromUtf8(sampleResultHeadings[std::size_t(c)]));
    for (int r = 0; r < harvestYearCount; ++r)
        EXPECT_EQ(model.headerData(r, Qt::Vertical).toString(), QString::number(r * 10));
    // Before any calculation every data cell is empty.
    for (int r = 0; r < harvestYearCount; ++r)
        for (int c = 0; c < resultColumnCount; ++c)
            EXPECT_EQ(model.index(r, c).data().toString(), QString());
}

// A valuation that stopped shows the years it reached; the others stay empty, and there is no
// best year to mark.
TEST(ResultModel, AStoppedValuationShowsOnlyTheYearsItReached) {
    TreeValuation valuation = sampleValuation();
    ResultModel model;
    model.setValuation(valuation, u'.');
    EXPECT_GE(model.bestRow(), 0);
    EXPECT_TRUE(model.index(model.bestRow(), 3).data(ResultModel::BestYearRole).toBool());
    valuation.yearsValued = 4;
    valuation.stop = Outcome::failure(QStringLiteral("Trädet kan inte värderas."));
    model.setValuation(valuation, u'.');
    EXPECT_EQ(model.bestRow(), -1);
    for (int r = 0; r < harvestYearCount; ++r) {
        EXPECT_EQ(model.index(r, 2).data().toString().isEmpty(), r >= 4) << r;
        EXPECT_EQ(model.index(r, 2).data(Qt::UserRole).isValid(), r < 4) << r;
        EXPECT_FALSE(model.index(r, 2).data(ResultModel::BestYearRole).toBool());
    }
}

} // namespace

// A value growth from a net value of 0 kr or less has no meaning. The grid shows -100,00, the
// report's figure, and tells why under the pointer; a file gets an empty cell, and the decision
// no figure, so that no spreadsheet, list or verdict counts with it.
TEST(ResultModel, AValueGrowthFromNoNetValueIsExplainedOnScreenAndEmptyInAFile) {
    struct Year {
        double net, growth;
        bool meaningful;
    };
    const Year years[] = {{-40, NAN, false}, {-10, -100, false}, {0, -100, false},
                          {25, -100, false}, {60, 9.16, true},   {-5, -100, true}};
    TreeValuation v;
    v.yearsValued = int(std::size(years));
    for (int r = 0; r < v.yearsValued; ++r) {
        v.rows[std::size_t(r)].values[NetValue] = years[r].net;
        v.rows[std::size_t(r)].values[InterestAchieved] = years[r].growth;
    }
    ResultModel model;
    model.setValuation(v, u',');
    for (int r = 1; r < v.yearsValued; ++r) {
        const QModelIndex cell = model.index(r, InterestAchieved);
        const QString shown = cell.data().toString();
        EXPECT_EQ(std::isnan(valueGrowth(v, r)), !years[r].meaningful) << r;
        EXPECT_EQ(cell.data(ResultModel::ExportTextRole).toString(),
                  years[r].meaningful ? shown : QString())
            << r;
        EXPECT_EQ(cell.data(Qt::ToolTipRole).toString().isEmpty(), years[r].meaningful) << r;
        EXPECT_EQ(model.index(r, NetValue).data(ResultModel::ExportTextRole).toString(),
                  model.index(r, NetValue).data().toString());
    }
    EXPECT_EQ(model.index(1, InterestAchieved).data().toString(), QStringLiteral("-100,00"));
}
