// Log and pulpwood volumes, the wood value, and trees without timber or without any wood.
#include "core/engine/volumes.h"
#include "core/files/numberformat.h"
#include "enginetestsupport.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

TEST(TimberVolume, aLogOf199CentimetresHoldsTheTabledVolume) {
    EXPECT_DOUBLE_EQ(timberVolume("t", 19.9), 0.123841872);
    EXPECT_DOUBLE_EQ(timberVolume("g", 19.9), 0.126810684);
    EXPECT_EQ(formatNumber(timberVolume("t", 19.9), u"0.0000", u'.'), "0.1238");
    EXPECT_EQ(formatNumber(timberVolume("g", 19.9), u"0.0000", u','), "0,1268");
    EXPECT_EQ(timberVolume("b", 19.9), 0);
    EXPECT_EQ(timberVolume("l", 19.9), 0);
}

TEST(PulpwoodVolume, isATruncatedConeLessElevenPercentFromAboveThreeMetres) {
    EXPECT_DOUBLE_EQ(pulpwoodVolume(5, 20, 10), 0.0815507);
    EXPECT_EQ(pulpwoodVolume(3.0, 20, 10), 0);
    EXPECT_EQ(pulpwoodVolume(-2.0, 20, 10), 0);
    EXPECT_GT(pulpwoodVolume(3.0001, 20, 10), 0);
}

// The lines of the first harvest year in the report.
QStringList firstYear(const EngineHome &h) {
    const QStringList report = h.report();
    const qsizetype start = report.indexOf("AVVERKNING OM 0 ÅR");
    const qsizetype end = report.indexOf("AVVERKNING OM 10 ÅR");
    return report.mid(start, end - start);
}

bool hasLineStarting(const QStringList &lines, const QString &start) {
    for (const QString &line : lines)
        if (line.startsWith(start))
            return true;
    return false;
}

TEST(WoodValue, aFirstLogBelowTwelveCentimetresLeavesOnlyPulpwood) {
    // Pine of 10 cm: a first log of 7.42 cm, the pulpwood runs from the stump.
    EngineHome h({{"bdm:", "10"}});
    ASSERT_EQ(h.run(), QString());
    const QStringList year = firstYear(h);
    EXPECT_TRUE(year.contains("  förstastockens toppdiameter är 7.42 cm"));
    EXPECT_FALSE(hasLineStarting(year, "  andrastockens")) << "bucking ends after the first log";
    EXPECT_FALSE(hasLineStarting(year, "Massaved ovan timret"));
    EXPECT_FALSE(hasLineStarting(year, "Värde: första stock"));
    EXPECT_TRUE(year.contains("Massaved nedre diam, cm 11.93 Massaved övre diam, cm  4.86"))
        << year.join(u'\n');
    EXPECT_EQ(h.cell(1, 11), "0");
    // Wood value per m3 equals the pulpwood price: all the value is pulpwood.
    EXPECT_EQ(h.cell(1, 15), "250");
    EXPECT_NE(h.cell(1, 14), "0");
}

TEST(WoodValue, aNegativePulpwoodPriceGivesNoValueRatherThanALoss) {
    EngineHome h({{"mt:", "-100"}});
    ASSERT_EQ(h.run(), QString());
    for (int row = 1; row <= 12; ++row)
        EXPECT_EQ(h.cell(row, 14), "0") << "row " << row;
    for (const QString &line : h.reportLines("Massaved ovan timret"))
        EXPECT_TRUE(line.endsWith(" värde 0 kr")) << line;
}

TEST(WoodValue, aTreeWithoutMerchantableWoodShowsAMillionCubicMetresAndZerosPerCubicMetre) {
    // Pine of 6 cm: one log of 3.68 cm, a pulpwood piece under 3 m.
    EngineHome h({{"bdm:", "6"}, {"ring5:", "0.1"}});
    ASSERT_EQ(h.run(), QString());
    const QStringList year = firstYear(h);
    const QStringList total = year.filter(QRegularExpression("^Totalvolym enl vol.formel= "));
    ASSERT_EQ(total.size(), 1);
    EXPECT_TRUE(total[0].endsWith(",gagnvirkesvol 0.000m3f p.b.")) << total[0];
    EXPECT_TRUE(year.contains("           Trädet ger inget gagnvirke"));
    EXPECT_EQ(h.cell(1, 5), "1000000.00");
    for (int col : {4, 15, 16, 17})
        EXPECT_EQ(h.cell(1, col), "0") << "column " << col;
    // The harvest cost is the part fixed per tree alone: 30 % of 75 kr for 0.168 m3, at a
    // harvest intensity of 50 %.
    EXPECT_TRUE(year.contains("avv.kostn. 5 kr/träd,  0 kr/m3")) << year.join(u'\n');
}

TEST(WoodValue, aTreeUnderSixAndAHalfCentimetresIsFlaggedOncePerLogCut) {
    EngineHome h({{"bdm:", "6"}, {"ring5:", "0.1"}});
    ASSERT_EQ(h.run(), QString());
    // One log in each of the twelve harvest years; the tree stays under 6.5 cm for three of
    // them (6.0, 6.16, 6.34, then 6.54 cm).
    EXPECT_EQ(h.reportLines("     trädets virkesvärde 0  kr").size(), 3);
    EXPECT_EQ(h.reportLines("  förstastockens").size(), 12);
}

} // namespace
