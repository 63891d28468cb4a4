// The result as it leaves the program, made from the calculation alone: no window.
#include "core/parameters/controlfile.h"
#include "core/parameters/parameters.h"
#include "core/results/resultcsv.h"
#include "core/results/resultsheet.h"
#include "core/results/treecalculation.h"
#include "sampleresult.h"
#include "testsupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

// The sample tree calculated in a home of its own, as the result window calculates it.
struct CalculatedSheet {
    TempHome home;
    TreeCalculation calculation{home.directory()};
    ControlFile controlFile{home.directory()};
    InputSummary shown;

    CalculatedSheet() {
        home.writeLines("trad.sty", sampleControlLines());
        home.write("priser_ac.txt", samplePriceList());
    }
    ShownCalculation calculate(QChar separator) {
        ShownCalculation c = calculateSheet(calculation, controlFile, shown, separator);
        shown = c.sheet.summary;
        return c;
    }
};

} // namespace

TEST(InputSummary, ShowsTheWindowsLabelsHeadingsAndUnitsWithTheFilesTexts) {
    CalculatedSheet s;
    ASSERT_TRUE(s.shown.readOver(s.controlFile).ok());
    const QList<SummaryItem> items = s.shown.items();
    const QList<SummaryItem> expected = sampleSummary();
    ASSERT_EQ(items.size(), expected.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].column, expected[i].column) << i;
        EXPECT_EQ(items[i].heading, expected[i].heading) << i;
        EXPECT_EQ(items[i].label, expected[i].label) << i;
        EXPECT_EQ(items[i].value, expected[i].value) << i;
        EXPECT_EQ(items[i].unit, expected[i].unit) << i;
    }
}

TEST(InputSummary, AFileThatCannotBeReadLeavesEveryTextAsItWas) {
    CalculatedSheet s;
    ASSERT_TRUE(s.shown.readOver(s.controlFile).ok());
    QFile::remove(s.home.path("trad.sty"));
    const Outcome read = s.shown.readOver(s.controlFile);
    EXPECT_FALSE(read.ok());
    EXPECT_TRUE(read.message().contains("trad.sty")) << qPrintable(read.message());
    EXPECT_EQ(s.shown.text(Keys::art), "Tall");
    EXPECT_EQ(s.shown.text(Keys::rant), "3");
}

class SheetInLocale : public ::testing::TestWithParam<QChar> {};

// The copy and the CSV file of the sample tree's calculation are those of the sample result.
TEST_P(SheetInLocale, GivesTheSampleTreesCsvAndCopy) {
    const QChar separator = GetParam();
    CalculatedSheet s;
    const ShownCalculation c = s.calculate(separator);
    ASSERT_TRUE(c.outcome) << qPrintable(c.outcome.message());
    ASSERT_TRUE(c.report);
    const ResultSheet &sheet = c.sheet;
    const auto sample = sampleResultModel(separator);
    const ResultTable sampleTable = resultTableOf(*sample, QStringLiteral("År"));
    // The file is written for a Swedish spreadsheet whatever the screen shows.
    const auto commaSample = sampleResultModel(u',');
    EXPECT_EQ(sheet.csv(),
              resultCsv(sampleSummary(u','), resultTableOf(*commaSample, QStringLiteral("År")), u','));
    EXPECT_EQ(sheet.clipboardText(), tabSeparatedText(sampleTable));
    EXPECT_EQ(sheet.fileName(u"csv"), "tall_30cm.csv");
    EXPECT_TRUE(sheet.verdict.startsWith("Låt trädet stå och avverka om 40 år"))
        << qPrintable(sheet.verdict);
}

INSTANTIATE_TEST_SUITE_P(BothSeparators, SheetInLocale,
                         ::testing::Values(QChar(u','), QChar(u'.')));

TEST(ResultSheet, WhatIfsValueTheSameTreeOnlyWhenTheCalculationRanToItsEnd) {
    CalculatedSheet s;
    ShownCalculation c = s.calculate(u'.');
    EXPECT_TRUE(c.sheet.whatIfs.isEmpty()) << "valued only when asked for";
    c.sheet.valueWhatIfs();
    ASSERT_EQ(c.sheet.whatIfs.size(), 5);
    EXPECT_EQ(c.sheet.whatIfs[1].change, "Räntekrav 3 % (som beräknat)");
    EXPECT_EQ(c.sheet.whatIfs[1].bestYears, 40);

    s.home.writeLines("trad.sty",
                      QStringList(sampleControlLines()).replaceInStrings("bkv:/1/", "bkv:/9/"));
    ShownCalculation stopped = s.calculate(u'.');
    ASSERT_FALSE(stopped.sheet.valuation.complete());
    EXPECT_EQ(stopped.sheet.verdict, stopped.outcome.message());
    stopped.sheet.valueWhatIfs();
    EXPECT_TRUE(stopped.sheet.whatIfs.isEmpty());
}

// A file that cannot be read: the summary shows what the control file holds, no row is left
// of the tree before, and the message names the file.
TEST(ResultSheet, AFileThatCannotBeReadGivesTheSummaryAndNoRows) {
    CalculatedSheet s;
    ASSERT_TRUE(s.calculate(u'.').report);
    s.home.writeLines("trad.sty",
                      QStringList(sampleControlLines()).replaceInStrings("bdm:/30/", "bdm:/44/"));
    QFile::remove(s.home.path("priser_ac.txt"));
    const ShownCalculation c = s.calculate(u'.');
    EXPECT_FALSE(c.report);
    EXPECT_TRUE(c.outcome.message().contains("priser_ac.txt")) << qPrintable(c.outcome.message());
    EXPECT_EQ(c.sheet.summary.text(Keys::bdm), "44");
    EXPECT_EQ(c.sheet.valuation.yearsValued, 0);
    EXPECT_TRUE(c.sheet.verdict.isEmpty());
    EXPECT_EQ(c.sheet.fileName(u"pdf"), "tall_44cm.pdf");
    const QStringList copied = c.sheet.clipboardText().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(copied.size(), 13);
    EXPECT_EQ(copied[12], QStringLiteral("110") + QString(17, u'\t'));
}
