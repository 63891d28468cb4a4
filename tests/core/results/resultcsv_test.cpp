#include "core/results/resultcsv.h"
#include "core/results/resulttable.h"
#include "sampleresult.h"
#include "testsupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

// The sample tree's result as a spreadsheet gets it, line ends shown as "\n" for reading.
const char *const swedishCsv = R"(Landsdel;Södra
Art;Tall
Diam bh;30;cm
Plantkostnad;"5,00";Kr
Räntekrav;3;%
Avv.intens.vol;50;%
"Bonitet, 100 år";24;m
Plantering;Ja
Massapris Tall;250
Massapris Gran;270
Massapris Björk;240
Potent. kvalitet Förstastock;1
Potent. kvalitet Andrastock;2
Potent. kvalitet Tredjestock;3

År;"Ränta, %";Nuvärde kr/träd;Netto kr/träd;Netto kr/m3;Gagnvirke volym m3;Trädhöjd m;Diameter cm;Toppdiam. för 1:a stock. cm;Toppdiam. för 2:a stock. cm;Toppdiam. för 3:e stock. cm;Värde för 1:a stock. kr;Värde för 2:a stock. kr;Värde för 3:e stock. kr;Värde för massaveden. kr;Virkesvärde. kr/m3;Avverknings- kostnad. kr/m3;Planterings- kostnad. kr/m3
0;;174;174;386;"0,45";"20,2";30;26;21;15;156;83;25;8;605;76;142
10;"5,71";225;303;451;"0,67";"21,9";35;30;25;19;230;131;49;18;637;73;113
20;"4,94";272;491;504;"0,97";"23,6";40;35;30;24;309;208;97;33;664;70;90
30;"3,90";297;720;523;"1,38";"25,2";46;41;35;29;409;284;165;57;665;69;73
40;"3,13";300;980;530;"1,85";"26,6";52;46;40;33;524;371;235;86;658;68;60
50;"2,62";290;1270;530;"2,39";"27,7";58;51;45;38;652;470;307;123;648;68;51
60;"2,31";271;1596;530;"3,01";"28,8";64;57;50;43;795;580;387;167;640;67;43
70;"2,07";247;1959;529;"3,70";"29,7";70;62;55;47;951;701;476;217;633;67;37
80;"1,87";222;2358;528;"4,47";"30,5";76;67;60;52;1120;833;574;275;627;67;33
90;"1,71";195;2794;526;"5,31";"31,2";82;72;65;57;1304;976;681;339;622;67;29
100;"1,57";170;3266;525;"6,22";"31,9";88;78;70;61;1501;1130;796;411;617;66;26
110;"1,46";146;3775;524;"7,20";"32,4";94;83;75;66;1712;1296;920;490;613;66;23
)";

const char *const pointCsv = R"(Landsdel,Södra
Art,Tall
Diam bh,30,cm
Plantkostnad,5.00,Kr
Räntekrav,3,%
Avv.intens.vol,50,%
"Bonitet, 100 år",24,m
Plantering,Ja
Massapris Tall,250
Massapris Gran,270
Massapris Björk,240
Potent. kvalitet Förstastock,1
Potent. kvalitet Andrastock,2
Potent. kvalitet Tredjestock,3

År,"Ränta, %",Nuvärde kr/träd,Netto kr/träd,Netto kr/m3,Gagnvirke volym m3,Trädhöjd m,Diameter cm,Toppdiam. för 1:a stock. cm,Toppdiam. för 2:a stock. cm,Toppdiam. för 3:e stock. cm,Värde för 1:a stock. kr,Värde för 2:a stock. kr,Värde för 3:e stock. kr,Värde för massaveden. kr,Virkesvärde. kr/m3,Avverknings- kostnad. kr/m3,Planterings- kostnad. kr/m3
0,,174,174,386,0.45,20.2,30,26,21,15,156,83,25,8,605,76,142
10,5.71,225,303,451,0.67,21.9,35,30,25,19,230,131,49,18,637,73,113
20,4.94,272,491,504,0.97,23.6,40,35,30,24,309,208,97,33,664,70,90
30,3.90,297,720,523,1.38,25.2,46,41,35,29,409,284,165,57,665,69,73
40,3.13,300,980,530,1.85,26.6,52,46,40,33,524,371,235,86,658,68,60
50,2.62,290,1270,530,2.39,27.7,58,51,45,38,652,470,307,123,648,68,51
60,2.31,271,1596,530,3.01,28.8,64,57,50,43,795,580,387,167,640,67,43
70,2.07,247,1959,529,3.70,29.7,70,62,55,47,951,701,476,217,633,67,37
80,1.87,222,2358,528,4.47,30.5,76,67,60,52,1120,833,574,275,627,67,33
90,1.71,195,2794,526,5.31,31.2,82,72,65,57,1304,976,681,339,622,67,29
100,1.57,170,3266,525,6.22,31.9,88,78,70,61,1501,1130,796,411,617,66,26
110,1.46,146,3775,524,7.20,32.4,94,83,75,66,1712,1296,920,490,613,66,23
)";

QByteArray fileBytes(const char *lines) {
    return QByteArray("\xEF\xBB\xBF") + QByteArray(lines).replace("\n", "\r\n");
}

struct LocaleCase {
    const char *name;
    QChar decimalSeparator;
    const char *expected;
};

class ResultCsvInLocale : public ::testing::TestWithParam<LocaleCase> {};

} // namespace

TEST_P(ResultCsvInLocale, WritesTheSummaryAndTheTwelveRowsAsASpreadsheetReadsThem) {
    const LocaleCase &c = GetParam();
    const auto model = sampleResultModel(c.decimalSeparator);
    const QByteArray csv =
        resultCsv(sampleSummary(), resultTableOf(*model, QStringLiteral("År")), c.decimalSeparator);
    EXPECT_EQ(csv, fileBytes(c.expected));
}

INSTANTIATE_TEST_SUITE_P(BothSettings, ResultCsvInLocale,
                         ::testing::Values(LocaleCase{"Swedish", u',', swedishCsv},
                                           LocaleCase{"Point", u'.', pointCsv}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ResultCsv, QuotesWhatWouldSplitAFieldAndGivesSummaryDecimalsTheSeparator) {
    const QList<SummaryItem> summary{
        {1, {}, "Räntekrav", "2.5", "%"},      // a decimal from the control file
        {1, {}, "Bonitet, 100 år", "24", "m"}, // the separator inside a label
        {0, {}, "Art", "a \"b\"; c", {}},      // quotes and both separators
        {0, {}, "Anm", " 12.5x", {}},          // not a plain number; blanks kept by quoting
    };
    ResultTable table{{"År", "x"}, {{"0", "1,5"}}};
    EXPECT_EQ(resultCsv(summary, table, u','), QByteArray("\xEF\xBB\xBF"
                                                          "Räntekrav;\"2,5\";%\r\n"
                                                          "\"Bonitet, 100 år\";24;m\r\n"
                                                          "Art;\"a \"\"b\"\"; c\"\r\n"
                                                          "Anm;12.5x\r\n"
                                                          "\r\n"
                                                          "År;x\r\n"
                                                          "0;\"1,5\"\r\n"));
    EXPECT_EQ(resultCsv(summary, table, u'.'), QByteArray("\xEF\xBB\xBF"
                                                          "Räntekrav,2.5,%\r\n"
                                                          "\"Bonitet, 100 år\",24,m\r\n"
                                                          "Art,\"a \"\"b\"\"; c\"\r\n"
                                                          "Anm,12.5x\r\n"
                                                          "\r\n"
                                                          "År,x\r\n"
                                                          "0,\"1,5\"\r\n"));
}

TEST(ResultCsv, AValueASpreadsheetWouldRunIsGuardedANegativeNumberIsNot) {
    const QList<SummaryItem> summary{
        {2, "Massapris", "Tall", "=1+1", {}},
        {1, {}, "Höjdavv", "-2.5", "m"},
        {0, {}, "Anm", "@SUM(1)", {}},
    };
    ResultTable table{{"År", "x"}, {{"0", "-1,5"}}};
    EXPECT_EQ(resultCsv(summary, table, u','), QByteArray("\xEF\xBB\xBF"
                                                          "Massapris Tall;'=1+1\r\n"
                                                          "Höjdavv;\"-2,5\";m\r\n"
                                                          "Anm;'@SUM(1)\r\n"
                                                          "\r\n"
                                                          "År;x\r\n"
                                                          "0;\"-1,5\"\r\n"));
}

TEST(ResultTableText, CopiesTheSelectedRectangleWithItsHeadingsAndYears) {
    const auto model = sampleResultModel(u',');
    // Present value and net value of harvest in 20 and 30 years, and the rate of 30 years only.
    const QModelIndexList selection{model->index(2, 1), model->index(2, 2), model->index(3, 0),
                                    model->index(3, 1), model->index(3, 2)};
    EXPECT_EQ(tabSeparatedText(resultTableOf(*model, QStringLiteral("År"), selection)),
              QStringLiteral("År\tRänta, %\tNuvärde kr/träd\tNetto kr/träd\n"
                             "20\t\t272\t491\n"
                             "30\t3,90\t297\t720\n"));
}

TEST(ResultTableText, QuotesACellThatWouldSplitTheTable) {
    ResultTable table{{"a\tb", "c"}, {{"x\"y", "line\nbreak"}}};
    EXPECT_EQ(tabSeparatedText(table),
              QStringLiteral("\"a\tb\"\tc\n\"x\"\"y\"\t\"line\nbreak\"\n"));
}

TEST(ExportFile, AFailedWriteSaysWhyAndKeepsTheEarlierFile) {
    TempHome home;
    home.write("tall_30cm.csv", "earlier");
    QFile::setPermissions(home.path("tall_30cm.csv"), QFileDevice::ReadOwner);
    const struct {
        QString path;
        const char *says;
    } cases[] = {
        {home.path("saknas/tall_30cm.csv"), "kunde inte sparas"},
        {home.path("tall_30cm.csv"), "skrivskyddad"},
        {home.withSlash(), "katalog"},
    };
    for (const auto &c : cases) {
        const Outcome saved = saveExportFile(c.path, "new");
        EXPECT_FALSE(saved.ok()) << qPrintable(c.path);
        EXPECT_TRUE(saved.message().contains(QString::fromUtf8(c.says)))
            << qPrintable(saved.message());
    }
    EXPECT_EQ(home.read("tall_30cm.csv"), QByteArray("earlier"));
    EXPECT_FALSE(home.exists("tall_30cm.csv.tmp"));

    ASSERT_TRUE(saveExportFile(home.path("ny.csv"), "new").ok());
    EXPECT_EQ(home.read("ny.csv"), QByteArray("new"));
}
