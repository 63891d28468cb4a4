// Trees and files the engine cannot value: each stops the calculation with one clear message,
// the report says why, and no row of an earlier tree is left in the grid.
#include "core/files/textfile.h"
#include "core/parameters/controlfile.h"
#include "core/parameters/parameters.h"
#include "core/results/resultsheet.h"
#include "enginetestsupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

struct Fault {
    const char *name;
    KeyValues control;
    const char *inMessage; // a part of the message that names the cause
    int rowsKept;          // harvest years finished before the stop
};

class StoppedCalculation : public ::testing::TestWithParam<Fault> {};

TEST_P(StoppedCalculation, saysWhyInTheMessageAndTheReportAndEmptiesTheRowsNotReached) {
    const Fault &f = GetParam();
    EngineHome h;
    ASSERT_EQ(h.run(), QString()); // an earlier tree fills all twelve rows
    h.setControl(f.control);
    const QString message = h.run();
    ASSERT_FALSE(message.isEmpty());
    EXPECT_TRUE(message.contains(QString::fromUtf8(f.inMessage))) << message;
    EXPECT_FALSE(message.contains(u'\n')) << message;

    const QStringList report = h.report();
    ASSERT_FALSE(report.isEmpty());
    EXPECT_TRUE(report.last().startsWith("Beräkningen avbröts: ")) << report.last();
    EXPECT_TRUE(message.endsWith(report.last().mid(21))) << report.last();
    EXPECT_EQ(report[1], "            RÄNTABILITETEN HOS TRÄD");
    const qsizetype yearsInReport = h.reportLines("AVVERKNING OM").size();
    EXPECT_GE(yearsInReport, f.rowsKept) << "the report goes as far as the calculation went";
    EXPECT_LE(yearsInReport, f.rowsKept + 1);
    const QString all = report.join(u'\n');
    EXPECT_FALSE(all.contains("NaN") || all.contains("Inf"));

    for (int row = 1; row <= 12; ++row)
        for (int col = 1; col <= 17; ++col) {
            const QString cell = h.cell(row, col);
            if (row <= f.rowsKept)
                EXPECT_FALSE(cell.isEmpty()) << row << "/" << col;
            else
                EXPECT_TRUE(cell.isEmpty()) << row << "/" << col << " " << cell;
        }
}

// A price list that pays only for logs of 30 cm and more: the sample tree is worth exactly
// nothing now and something in ten years.
QByteArray pricesFromThirtyCentimetres() {
    QStringList lines{"\"Län\"", "\"t\""};
    for (int q = 1; q <= 5; ++q)
        lines << "0,0,0,0,0,0,0,0,0,500";
    lines << "\"g\"";
    for (int q = 1; q <= 5; ++q)
        lines << "0,0,0,0,0,0,0,0,0,500";
    lines << QString();
    return joinLinesCrLf(lines);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, StoppedCalculation,
    ::testing::Values(
        Fault{"birch", {{"art:", "b"}}, "ingen höjdmodell och ingen stamform för björk", 0},
        Fault{"broadleaf", {{"art:", "l"}}, "övrigt löv", 0},
        Fault{"unknownSpecies", {{"art:", "T"}}, "trädarten \"T\"", 0},
        Fault{"lowerCaseRegion", {{"sv:", "s"}}, "landsdelen \"s\"", 0},
        Fault{"tooShortToBuck",
              {{"bdm:", "10"}, {"hojdjust:", "-7.5"}},
              "för litet för att kapas",
              0},
        Fault{"noHeight", {{"hojdjust:", "-30"}}, "höjd blir -", 0},
        Fault{"zeroDiameter", {{"bdm:", "0"}}, "Brösthöjdsdiametern är 0.00 cm", 0},
        Fault{"negativeDiameter", {{"bdm:", "-4"}}, "Brösthöjdsdiametern är -4.00 cm", 0},
        Fault{"shrinkingToNothing",
              {{"bdm:", "3"}, {"ring5:", "-1"}, {"kronst:", "100"}},
              "Brösthöjdsdiametern är -1.00 cm vid avverkning om 20 år",
              2},
        Fault{"diameterTooSmallForTheTop", {{"bdm:", "0.001"}}, "Trädets topp går inte", 0},
        Fault{"qualityOutsideThePriceList",
              {{"bkv:", "7"}},
              "Första stocken har kvalitetsklass 7",
              0},
        Fault{"negativeQualityOnSpruce",
              {{"art:", "g"}, {"akv:", "-1"}},
              "Andra stocken har kvalitetsklass -1",
              0},
        Fault{"rateMinus100", {{"rant:", "-100"}}, "Räntekravet -100.0 %", 0},
        Fault{"rateBelowMinus100", {{"rant:", "-250"}}, "Räntekravet -250.0 %", 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(StoppedCalculation, aPositiveNetValueAfterExactlyZeroStopsAtThatYear) {
    EngineHome h({{"mt:", "0"}, {"avvjust:", "0"}, {"plant:", "n"}});
    h.home.write("priser_ac.txt", pricesFromThirtyCentimetres());
    const QString message = h.run();
    EXPECT_TRUE(message.contains("Värdetillväxten vid avverkning om 10 år")) << message;
    EXPECT_EQ(h.cell(1, 3), "0");
    EXPECT_EQ(h.cell(2, 3), QString());
}

TEST(StoppedCalculation, aQualityOutsideThePriceListIsHarmlessOnALogBelowTwelveCentimetres) {
    // Pine of 20 cm in the north: its second log is 11.38 cm and the third is never cut.
    EngineHome h({{"sv:", "N"},
                  {"bdm:", "20"},
                  {"site:", "20"},
                  {"dkvot:", "1.0"},
                  {"ring5:", "0"},
                  {"akv:", "9"},
                  {"tkv:", "-3"}});
    EXPECT_EQ(h.run(), QString());
    EXPECT_EQ(h.cell(1, 12), "0");
}

TEST(StoppedCalculation, theEngineCalculatesTheNextTreeNormallyAfterAStop) {
    EngineHome h({{"art:", "b"}});
    ASSERT_NE(h.run(), QString());
    h.setControl({});
    EXPECT_EQ(h.run(), QString());
    EXPECT_EQ(h.cell(12, 7), "94");
}

struct FileFault {
    const char *name;
    void (*spoil)(TempHome &home);
    const char *inMessage;
    bool controlFileFault; // the inputs then stay those of the previous calculation
};

class UnreadableInput : public ::testing::TestWithParam<FileFault> {};

TEST_P(UnreadableInput, stopsBeforeTheReportIsTouchedAndLeavesNoOldRows) {
    const FileFault &f = GetParam();
    EngineHome h;
    ASSERT_EQ(h.run(), QString());
    const QByteArray previousReport = h.home.read("resultat.txt");
    const TreeInputs before = h.engine.inputs();
    f.spoil(h.home);
    const ControlFile controlFile(h.home.directory());
    ShownCalculation shown = calculateSheet(h.engine, controlFile, InputSummary(), u'.');
    // The parameter summary is read first in any case: it shows what the file holds.
    EXPECT_EQ(shown.sheet.summary.text(Keys::bdm).isEmpty(), !h.home.exists("trad.sty"));
    EXPECT_FALSE(shown.report);
    const QString message = shown.outcome.message();
    h.valuation = shown.sheet.valuation;
    EXPECT_TRUE(message.contains(QString::fromUtf8(f.inMessage))) << message;
    EXPECT_TRUE(message.contains("förra rapporten är oförändrad")) << message;
    EXPECT_EQ(h.home.read("resultat.txt"), previousReport);
    for (int row = 1; row <= 12; ++row)
        EXPECT_EQ(h.gridRow(row), QStringList(17, QString())) << row;
    if (f.controlFileFault) {
        EXPECT_EQ(h.engine.inputs().diameter, before.diameter) << "the inputs stay as they were";
        EXPECT_EQ(h.engine.inputs(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnreadableInput,
    ::testing::Values(
        FileFault{"noControlFile", [](TempHome &home) { QFile::remove(home.path("trad.sty")); },
                  "trad.sty", true},
        FileFault{"noPriceList", [](TempHome &home) { QFile::remove(home.path("priser_ac.txt")); },
                  "priser_ac.txt", false},
        FileFault{"priceListWithoutItsFinalEmptyLine",
                  [](TempHome &home) {
                      QByteArray bytes = samplePriceList();
                      bytes.chop(2);
                      home.write("priser_ac.txt", bytes);
                  },
                  "priser_ac.txt", false},
        FileFault{"qualityBeyondSixteenBits",
                  [](TempHome &home) {
                      home.writeLines("trad.sty", controlWith({{"bdm:", "44"}, {"tkv:", "40000"}}));
                  },
                  "\"40000\" för tkv:", true},
        FileFault{"numberTooLargeForADouble",
                  [](TempHome &home) {
                      home.writeLines("trad.sty", controlWith({{"bdm:", "1e999"}}));
                  },
                  "\"1e999\" för bdm:", true}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
