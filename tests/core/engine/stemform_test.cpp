// Stem volume, the bucking into logs and the quality each log is sold under.
#include "core/engine/growth.h"
#include "core/engine/stemform.h"
#include "core/files/numberformat.h"
#include "core/files/textfile.h"
#include "enginetestsupport.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

QString f2(double v) {
    return formatNumber(v, u"#0.00", u'.');
}

// The first harvest year of a tree, bucked as far as the bucking goes.
struct Bucked {
    ValuationState s;
    QStringList tops;
};

Bucked buck(const QString &species, const QString &region, double diameter, double siteIndex,
            double diameterQuotient) {
    Bucked b{firstPassState(species, region, diameter, siteIndex, diameterQuotient), {}};
    computeHeight(b.s);
    b.s.stemVolume = stemVolume(species, diameter, b.s.height, 0);
    for (b.s.logNumber = 1; b.s.logNumber <= 3; ++b.s.logNumber) {
        buckLog(b.s);
        b.tops << f2(b.s.logTopDiameter);
        if (!continuesBucking(b.s.logTopDiameter))
            break;
    }
    return b;
}

TEST(StemForm, southernPineOfThirtyCentimetresIsBuckedIntoThreeLogs) {
    const Bucked b = buck("t", "S", 30, 24, 1.0);
    EXPECT_EQ(f2(b.s.height), "18.47");
    EXPECT_EQ(f2(b.s.breastHeightPercent), "61.14");
    EXPECT_EQ(f2(b.s.referenceDiameter), "49.07");
    EXPECT_EQ(b.tops, (QStringList{"25.81", "20.29", "12.18"}));
    EXPECT_EQ(f2(b.s.stumpDiameter), "35.42");
    EXPECT_EQ(f2(b.s.topLength), "1.73");
    EXPECT_EQ(f2(b.s.topPieceDiameter), "4.91");
    EXPECT_EQ(formatNumber(b.s.stemVolume, u"#0.000", u'.'), "0.623");
}

TEST(StemForm, northernSpruceOfThirtyCentimetresIsBuckedIntoThreeLogs) {
    const Bucked b = buck("g", "N", 30, 24, 0.8);
    EXPECT_EQ(f2(b.s.height), "21.46");
    EXPECT_EQ(b.tops, (QStringList{"26.34", "21.88", "16.17"}));
    EXPECT_EQ(formatNumber(b.s.stemVolume, u"#0.000", u'.'), "0.692");
}

TEST(StemForm, northernPineOfTwentyCentimetresStopsAfterTheSecondLog) {
    const Bucked b = buck("t", "N", 20, 20, 1.0);
    EXPECT_EQ(f2(b.s.height), "14.63");
    EXPECT_EQ(b.tops, (QStringList{"16.81", "11.38"}));

    EngineHome h({{"sv:", "N"}, {"bdm:", "20"}, {"site:", "20"}, {"dkvot:", "1.0"}});
    ASSERT_EQ(h.run(), QString());
    const QStringList report = h.report();
    const qsizetype start = report.indexOf("AVVERKNING OM 0 ÅR");
    const qsizetype end = report.indexOf("AVVERKNING OM 10 ÅR");
    ASSERT_GE(start, 0);
    const QStringList firstYear = report.mid(start, end - start);
    EXPECT_TRUE(firstYear.contains("  förstastockens toppdiameter är 16.81 cm"));
    EXPECT_TRUE(firstYear.contains("  andrastockens toppdiameter är 11.38 cm"));
    EXPECT_FALSE(firstYear.join(u'\n').contains("tredjestockens"));
    EXPECT_EQ(h.cell(1, 10), "0") << "the third log was not cut";
    EXPECT_EQ(h.cell(1, 13), "0");
}

TEST(StemForm, atExactlySixtyPercentOfTheHeightTheMiddleSegmentGivesTheDiameter) {
    ValuationState s = firstPassState("t", "S", 12, 24, 1.0);
    s.height = 7.833333333333334;
    ASSERT_EQ(4.7 / s.height, 0.6);
    buckLog(s);
    const double ln10 = std::log(10.0);
    const double middle = s.referenceDiameter * (98.601 * std::log(0.4 * 3.24 + 1) / ln10) / 100;
    const double top = s.referenceDiameter * (171.7 * std::log(0.4 * 1.529 + 1) / ln10) / 100;
    ASSERT_NE(middle, top);
    EXPECT_EQ(s.logTopDiameter, middle);
}

TEST(StemForm, stumpAndTreeTopAreTheSameForEveryLogOfAYear) {
    ValuationState s = firstPassState("g", "S", 35, 26, 0.9);
    computeHeight(s);
    s.logNumber = 1;
    buckLog(s);
    const double stump = s.stumpDiameter, top = s.topLength, piece = s.topPieceDiameter;
    s.logNumber = 3;
    buckLog(s);
    EXPECT_EQ(s.stumpDiameter, stump);
    EXPECT_EQ(s.topLength, top);
    EXPECT_EQ(s.topPieceDiameter, piece);
}

TEST(StemForm, volumeFunctionsForPineSpruceAndBirchAndNoneForBroadleaf) {
    // d 30 cm, h 20 m, summed as the volume tables give their terms.
    EXPECT_DOUBLE_EQ(stemVolume("t", 30, 20, 9), (552.42 + 83.826 + 33.816) / 1000);
    EXPECT_DOUBLE_EQ(stemVolume("g", 30, 20, 9), (270.72 + 108.18 + 280.92 - 26.36) / 1000);
    EXPECT_DOUBLE_EQ(stemVolume("b", 30, 20, 9), (520.56 + 33.435 + 59.796) / 1000);
    EXPECT_EQ(stemVolume("l", 30, 20, 9), 9);
}

TEST(StemForm, bucksOnOnlyAboveFifteenCentimetresAndCountsTimberFromTwelve) {
    EXPECT_FALSE(continuesBucking(15.0));
    EXPECT_TRUE(continuesBucking(15.01));
    EXPECT_FALSE(continuesBucking(11.9));
    EXPECT_TRUE(isTimberLog(12.0));
    EXPECT_FALSE(isTimberLog(11.99));
}

TEST(WorkingQuality, followsTheTopDiameterForClassesOneAndThreeOnly) {
    struct {
        int potential;
        double d;
        int working;
    } cases[] = {
        {1, 25.81, 1}, {1, 20.29, 3}, {3, 12.18, 4}, {1, 25.0, 3}, {1, 25.01, 1},
        {1, 20.0, 3},  {1, 19.99, 4}, {3, 20.0, 3},  {3, 19.9, 4}, {2, 5.0, 2},
        {2, 30.0, 2},  {4, 12.0, 4},  {5, 10.0, 5},  {0, 10.0, 0}, {7, 15.0, 7},
    };
    for (const auto &c : cases)
        EXPECT_EQ(workingQuality(std::int16_t(c.potential), c.d), c.working)
            << "class " << c.potential << " at " << c.d << " cm";
}

// A price list in which each quality class has its own price, so that the log price line tells
// the class a log was sold under.
QByteArray pricesByQuality() {
    QStringList lines{"\"Test\"", "\"t\""};
    for (int q = 1; q <= 5; ++q)
        lines << QStringList(10, QString::number(100 * q)).join(u',');
    lines << "\"g\"";
    for (int q = 1; q <= 5; ++q)
        lines << QStringList(10, QString::number(1000 * q)).join(u',');
    lines << QString();
    return joinLinesCrLf(lines);
}

QStringList firstYearPrices(EngineHome &h) {
    h.home.write("priser_ac.txt", pricesByQuality());
    EXPECT_EQ(h.run(), QString());
    QStringList prices = h.reportLines(" kubikmeterpriset");
    return prices.mid(0, 3);
}

TEST(WorkingQuality, pineIsSoldUnderTheWorkingQualitySpruceUnderTheQualityEntered) {
    EngineHome pine({{"bdm:", "30"},
                     {"site:", "24"},
                     {"dkvot:", "1.0"},
                     {"bkv:", "1"},
                     {"akv:", "1"},
                     {"tkv:", "3"}});
    EXPECT_EQ(firstYearPrices(pine), (QStringList{" kubikmeterpriset på timret är 100 kr",
                                                  " kubikmeterpriset på timret är 300 kr",
                                                  " kubikmeterpriset på timret är 400 kr"}));
    // Spruce logs of 26.34, 21.88 and 16.17 cm would fall to 3 and 4 as pine.
    EngineHome spruce({{"art:", "g"},
                       {"sv:", "N"},
                       {"bdm:", "30"},
                       {"site:", "24"},
                       {"dkvot:", "0.8"},
                       {"bkv:", "1"},
                       {"akv:", "1"},
                       {"tkv:", "3"}});
    EXPECT_EQ(firstYearPrices(spruce), (QStringList{" kubikmeterpriset på timret är 1000 kr",
                                                    " kubikmeterpriset på timret är 1000 kr",
                                                    " kubikmeterpriset på timret är 3000 kr"}));
}

} // namespace
