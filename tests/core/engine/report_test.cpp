// The report and the grid of whole calculations. The golden files were produced by
// golden/reference_valuation.py, a separate Python implementation of the valuation.
#include "core/engine/report.h"
#include "core/files/textfile.h"
#include "enginetestsupport.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <cerrno>

#include <gtest/gtest.h>

namespace {

QByteArray golden(const QString &name) {
    QFile f(QStringLiteral(KVISTEL_ENGINE_GOLDEN_DIR) + name);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void expectSameLines(const QStringList &actual, const QStringList &expected) {
    ASSERT_FALSE(expected.isEmpty());
    for (qsizetype i = 0; i < qMin(actual.size(), expected.size()); ++i)
        EXPECT_EQ(actual[i], expected[i]) << "report line " << i + 1;
    EXPECT_EQ(actual.size(), expected.size());
}

void expectGrid(const EngineHome &h, const QString &goldenName) {
    const QStringList rows = splitLines(decodeCp1252(golden(goldenName)));
    ASSERT_EQ(rows.size(), 12);
    for (int r = 1; r <= 12; ++r)
        EXPECT_EQ(h.gridRow(r), rows[r - 1].split(u'|')) << "grid row " << r;
}

struct GoldenCase {
    const char *name;
    KeyValues control;
    QLocale locale;
};

class WholeCalculation : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(WholeCalculation, reportAndGridMatchAnIndependentCalculationToTheLastDigit) {
    const GoldenCase &c = GetParam();
    LocaleScope locale(c.locale);
    EngineHome h(c.control);
    ASSERT_EQ(h.run(), QString());

    const QString name = QString::fromLatin1(c.name);
    const QByteArray expected = golden(name + "_report.txt");
    expectSameLines(h.report(), splitLines(decodeCp1252(expected)));
    EXPECT_EQ(h.home.read("resultat.txt"), expected) << "Windows-1252 bytes and CR LF line ends";
    expectGrid(h, name + "_grid.txt");
}

INSTANTIATE_TEST_SUITE_P(Trees, WholeCalculation,
                         ::testing::Values(GoldenCase{"pine_south", {}, QLocale::c()},
                                           GoldenCase{"spruce_north",
                                                      {{"sv:", "N"},
                                                       {"plantcost:", "8.5"},
                                                       {"rant:", "2.5"},
                                                       {"harvpr:", "100"},
                                                       {"avvandel:", "0"},
                                                       {"avvjust:", "120"},
                                                       {"art:", "g"},
                                                       {"bdm:", "24"},
                                                       {"site:", "22"},
                                                       {"plant:", "n"},
                                                       {"ring5:", "2"},
                                                       {"kronst:", "100"},
                                                       {"hojdjust:", "1.5"},
                                                       {"dkvot:", "0.9"},
                                                       {"bkv:", "1"},
                                                       {"akv:", "1"},
                                                       {"tkv:", "2"}},
                                                      QLocale(QLocale::Swedish, QLocale::Sweden)}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Report, requiredRateShowsInPercentWithTheLocaleSeparator) {
    LocaleScope locale(QLocale(QLocale::Swedish, QLocale::Sweden));
    EngineHome h({{"rant:", "3"}});
    ASSERT_EQ(h.run(), QString());
    const QStringList header = h.reportLines("Räntekrav ");
    ASSERT_EQ(header.size(), 1);
    EXPECT_TRUE(header[0].startsWith("Räntekrav 3,0 %,   Bonitet, m 100 år = ")) << header[0];
    const QStringList present = h.reportLines(" Trädets nuvärde: ");
    ASSERT_EQ(present.size(), 11);
    for (const QString &line : present)
        EXPECT_TRUE(line.endsWith(" år, (räntekrav= 3%)")) << line;
}

TEST(Report, regionLineIsNorthernOnlyForCapitalN) {
    struct {
        const char *region;
        const char *line;
    } cases[] = {{"N", "Norra Sverige"}, {"S", "Södra Sverige"}};
    for (const auto &c : cases) {
        EngineHome h({{"sv:", c.region}});
        ASSERT_EQ(h.run(), QString());
        EXPECT_EQ(h.report().at(5), QString::fromUtf8(c.line));
    }
    // A lower-case region is southern in the header; the calculation itself stops, since
    // neither region's model applies.
    EngineHome h({{"sv:", "n"}});
    EXPECT_NE(h.run(), QString());
    EXPECT_EQ(h.report().at(5), "Södra Sverige");
}

TEST(Report, growthLinesFromTheSecondHarvestYearAndCrownLinesInTheFirstTwo) {
    EngineHome h;
    ASSERT_EQ(h.run(), QString());
    const QStringList lines = h.report();
    QList<int> yearsWithCrownLine, yearsWithGrowthLines;
    int years = -1;
    bool crownPending = false;
    for (const QString &line : lines) {
        if (line.startsWith("pga liten krona"))
            crownPending = true;
        if (line.startsWith("AVVERKNING OM ")) {
            years = line.mid(14).section(u' ', 0, 0).toInt();
            if (crownPending)
                yearsWithCrownLine << years;
            crownPending = false;
        }
        if (line.startsWith(" Trädets värdeökning"))
            yearsWithGrowthLines << years;
    }
    EXPECT_EQ(yearsWithCrownLine, (QList<int>{0, 10}));
    EXPECT_EQ(yearsWithGrowthLines, (QList<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110}));
}

TEST(Report, endsWithTheTrailerAndFourEmptyLines) {
    EngineHome h;
    ASSERT_EQ(h.run(), QString());
    const QStringList lines = h.report();
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[lines.size() - 5], " " + QString(53, u'-'));
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(lines[lines.size() - i], QString());
}

TEST(Report, aSecondCalculationReplacesTheReportInsteadOfAppending) {
    EngineHome h;
    ASSERT_EQ(h.run(), QString());
    const QByteArray first = h.home.read("resultat.txt");
    ASSERT_EQ(h.run(), QString());
    EXPECT_EQ(h.home.read("resultat.txt"), first);
}

TEST(Report, aReportThatCannotBeSavedIsAMessageAndTheOldReportStays) {
    EngineHome h;
    h.home.write("resultat.txt", "tidigare rapport\r\n");
    // A disk error while the new report is written makes the save fail.
    simulateWriteFailure(EIO);
    const QString message = h.run();
    simulateWriteFailure(0);
    EXPECT_TRUE(message.contains("Rapporten kunde inte sparas")) << message.toStdString();
    EXPECT_EQ(h.home.read("resultat.txt"), "tidigare rapport\r\n");
}

// Windows-1252 holds "," and "." but not every locale's separator: the report writes a byte that
// looks alike rather than the encoder's substitute for a character it cannot hold.
TEST(Report, aSeparatorWindows1252CannotHoldFallsBackToACommaOrAPoint) {
    struct {
        char16_t separator;
        char byte;
    } cases[] = {{u'.', '.'},      {u',', ','},        {u'\u066B', ','}, {u'\u060C', ','},
                 {u'\uFF0C', ','}, {u'\uFE50', ','},   {u'\u3001', ','}, {u'\u2396', '.'},
                 {u'\u2027', '.'}, {u'\u00B7', '\xB7'}};
    for (const auto &c : cases)
        EXPECT_EQ(reportDecimalSeparator(QChar(c.separator)), c.byte) << int(c.separator);

    QSet<QChar> seen;
    for (const QLocale &locale : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript,
                                                          QLocale::AnyTerritory)) {
        const QChar separator = locale.decimalPoint().at(0);
        seen << separator;
        const char byte = reportDecimalSeparator(separator);
        EXPECT_NE(byte, '\x1A') << locale.name();
        if (encodeCp1252(QString(separator)) != "\x1A") {
            EXPECT_EQ(decodeCp1252(QByteArray(1, byte)), QString(separator)) << locale.name();
        }
    }
    EXPECT_TRUE(seen.contains(QChar(u'\u066B')))
        << "some locale of Qt's has a separator to fall back from";
}

TEST(Report, anArabicLocaleGivesAReportWithDecimalCommasAndTheGridItsOwnSeparator) {
    const QLocale arabic(QLocale::Arabic, QLocale::Egypt);
    ASSERT_EQ(arabic.decimalPoint(), QString(u'\u066B'));
    LocaleScope locale(arabic);
    EngineHome h({{"rant:", "3"}});
    ASSERT_EQ(h.run(), QString());
    const QByteArray bytes = h.home.read("resultat.txt");
    EXPECT_FALSE(bytes.contains('\x1A'));
    EXPECT_EQ(h.reportLines("Räntekrav ").value(0).left(14), "Räntekrav 3,0 ");
    EXPECT_EQ(h.gridRow(2).value(0).count(u'\u066B'), 1) << "the screen shows the locale's own";
}

} // namespace
