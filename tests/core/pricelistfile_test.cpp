#include "pricelistfile.h"
#include "testsupport.h"
#include "textfile.h"

#include <QDir>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

PriceTable filled(double base) {
    PriceTable t{};
    for (int q = 1; q <= 5; ++q)
        for (int j = 1; j <= 10; ++j)
            t[q][j] = base + 10 * j - q;
    return t;
}

// The readers and the writer with the tables and the county text as plain values, and the
// failure as its message (empty on success).
QString las(const QString &path, QString &lan, PriceTable &pine, PriceTable &spruce) {
    PriceList list{lan, pine, spruce, {}};
    const Outcome read = las_prislista(path, list);
    lan = list.lan;
    pine = list.pine;
    spruce = list.spruce;
    return read.message();
}

QString skriv(const QString &path, const QString &lan, const PriceTable &pine,
              const PriceTable &spruce) {
    return skriv_prislista(path, PriceList{lan, pine, spruce, {}}).message();
}

QString readEngine(const QString &path, PriceTable &pine, PriceTable &spruce) {
    return read_pricelist(path, pine, spruce).message();
}

QByteArray fileOf(const QStringList &lines) {
    return joinLinesCrLf(lines);
}

QStringList block(const QString &tag, int base) {
    QStringList lines{'"' + tag + '"'};
    for (int q = 1; q <= 5; ++q) {
        QStringList row;
        for (int j = 1; j <= 10; ++j)
            row << QString::number(base + 10 * j - q);
        lines << row.join(',');
    }
    return lines;
}

} // namespace

TEST(PriceListWriting, WritesTheFourteenLineLayoutExactly) {
    TempHome home;
    PriceTable pine{}, spruce{};
    pine[1][1] = 450;
    pine[1][2] = 452.5;
    pine[2][3] = 0.05;
    spruce[5][10] = -12;
    ASSERT_EQ(skriv(home.path("priser_ac.txt"), "Västerbotten", pine, spruce), "");
    const QByteArray bytes = home.read("priser_ac.txt");
    EXPECT_TRUE(bytes.startsWith("\"V\xe4sterbotten\"\r\n\"t\"\r\n450,452.5,0,0,0,0,0,0,0,0\r\n"
                                 "0,0,0.05,0,0,0,0,0,0,0\r\n"));
    EXPECT_TRUE(bytes.endsWith("\"g\"\r\n0,0,0,0,0,0,0,0,0,0\r\n0,0,0,0,0,0,0,0,0,0\r\n"
                               "0,0,0,0,0,0,0,0,0,0\r\n0,0,0,0,0,0,0,0,0,0\r\n"
                               "0,0,0,0,0,0,0,0,0,-12\r\n\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 14);
    EXPECT_EQ(bytes.count('\n'), 14);
    EXPECT_FALSE(home.exists("priser_ac.txt.tmp"));
}

TEST(PriceListWriting, EveryPriceReadsBackExactlyInBothReaders) {
    TempHome home;
    const double odd[] = {450,           452.5,     0.05,    -3.25,  1e9,
                          123456789.123, 0.1 + 0.2, 1.0 / 3, 2.5e-7, 0};
    PriceTable pine{}, spruce{};
    for (int q = 1; q <= 5; ++q)
        for (int j = 1; j <= 10; ++j) {
            pine[q][j] = odd[j - 1] * q;
            spruce[q][j] = -odd[10 - j] / q;
        }
    const QString path = home.path("priser_ac.txt");
    ASSERT_EQ(skriv(path, "Jönköpings län", pine, spruce), "");
    QString lan;
    PriceTable p1{}, s1{}, p2{}, s2{};
    ASSERT_EQ(las(path, lan, p1, s1), "");
    ASSERT_EQ(readEngine(path, p2, s2), "");
    EXPECT_EQ(lan, "Jönköpings län");
    EXPECT_EQ(p1, pine);
    EXPECT_EQ(s1, spruce);
    EXPECT_EQ(p2, pine);
    EXPECT_EQ(s2, spruce);
}

TEST(PriceListWriting, PriceTextIsAPlainDecimal) {
    EXPECT_EQ(priceText(450), "450");
    EXPECT_EQ(priceText(452.5), "452.5");
    EXPECT_EQ(priceText(0.05), "0.05");
    EXPECT_EQ(priceText(-0.0), "0");
    EXPECT_EQ(priceText(-7), "-7");
    EXPECT_EQ(priceText(1e21), "1000000000000000000000");
    EXPECT_EQ(priceText(1e-7), "0.0000001");
}

TEST(PriceListWriting, ACountyTextWithAQuoteIsRefusedAndTheFileKept) {
    TempHome home;
    home.write("priser_ac.txt", samplePriceList());
    const QString message =
        skriv(home.path("priser_ac.txt"), "Säg \"hej\"", filled(100), filled(200));
    EXPECT_TRUE(message.contains("citattecken")) << message.toStdString();
    EXPECT_EQ(home.read("priser_ac.txt"), samplePriceList());
}

TEST(PriceListWriting, AFailedWriteKeepsTheOldFile) {
    TempHome home;
    home.write("priser_ac.txt", samplePriceList());
    QDir(home.sokvag()).mkdir("priser_ac.txt.tmp");
    const QString message = skriv(home.path("priser_ac.txt"), "Län", filled(100), filled(200));
    EXPECT_FALSE(message.isEmpty());
    EXPECT_EQ(home.read("priser_ac.txt"), samplePriceList());
}

TEST(PriceListReading, BlocksMayComeInEitherOrder) {
    TempHome home;
    home.write("priser_ac.txt", fileOf(QStringList{"\"Län\""} + block("g", 200) + block("t", 100) +
                                       QStringList{""}));
    QString lan;
    PriceTable p1{}, s1{}, p2{}, s2{};
    ASSERT_EQ(las(home.path("priser_ac.txt"), lan, p1, s1), "");
    ASSERT_EQ(readEngine(home.path("priser_ac.txt"), p2, s2), "");
    EXPECT_EQ(p1, filled(100));
    EXPECT_EQ(s1, filled(200));
    EXPECT_EQ(p2, filled(100));
    EXPECT_EQ(s2, filled(200));
}

TEST(PriceListReading, AThirdBlockIsIgnoredByTheEditorAndDroppedByTheEngine) {
    TempHome home;
    home.write("priser_ac.txt", fileOf(QStringList{"\"Län\""} + block("t", 100) + block("g", 200) +
                                       block("b", 300) + QStringList{""}));
    QString lan;
    PriceTable p1{}, s1{}, p2{}, s2{};
    EXPECT_EQ(las(home.path("priser_ac.txt"), lan, p1, s1), "");
    EXPECT_EQ(readEngine(home.path("priser_ac.txt"), p2, s2), "");
    EXPECT_EQ(s2, filled(200));
    // A later block with a tag already read overwrites the earlier one for the engine.
    home.write("priser_ac.txt", fileOf(QStringList{"\"Län\""} + block("t", 100) + block("g", 200) +
                                       block("t", 500) + QStringList{""}));
    EXPECT_EQ(readEngine(home.path("priser_ac.txt"), p2, s2), "");
    EXPECT_EQ(p2, filled(500));
}

TEST(PriceListReading, TagsAreExactAndCaseSensitive) {
    // "T" and "g " are not the tags of pine and spruce: neither reader takes such a file for a
    // price list, and neither tells the calculation that pine or spruce costs nothing.
    TempHome home;
    home.write("priser_ac.txt", fileOf(QStringList{"\"Län\""} + block("T", 100) + block("g ", 200) +
                                       QStringList{""}));
    QString lan;
    PriceTable p{}, s{};
    const QString editor = las(home.path("priser_ac.txt"), lan, p, s);
    EXPECT_TRUE(editor.contains("\"T\"")) << editor.toStdString();
    EXPECT_FALSE(readEngine(home.path("priser_ac.txt"), p, s).isEmpty());
    EXPECT_EQ(p, PriceTable{});
    EXPECT_EQ(s, PriceTable{});
}

TEST(PriceListReading, ItemsMayBeSplitOrJoinedAcrossLinesAndEmptyItemsAreZero) {
    TempHome home;
    QStringList lines{"\"Län\"", "\"t\""};
    QStringList all;
    for (int i = 0; i < 50; ++i)
        all << (i == 7 ? QString() : QString::number(i));
    lines << all.mid(0, 25).join(", ") << all.mid(25).join(",");
    lines += block("g", 200);
    lines << "";
    home.write("priser_ac.txt", fileOf(lines));
    QString lan;
    PriceTable p{}, s{};
    ASSERT_EQ(las(home.path("priser_ac.txt"), lan, p, s), "");
    EXPECT_EQ(p[1][1], 0);
    EXPECT_EQ(p[1][8], 0);
    EXPECT_EQ(p[3][6], 25);
    EXPECT_EQ(p[5][10], 49);
}

TEST(PriceListReading, OnlyThePineBlockFailsBothReaders) {
    // The spruce prices would otherwise be whatever the tables held before: 0, or the prices
    // of the list read for the calculation before.
    TempHome home;
    home.write("priser_ac.txt", fileOf(QStringList{"\"Län\""} + block("t", 100) + QStringList{""}));
    PriceTable p{}, s = filled(7);
    const QString engine = readEngine(home.path("priser_ac.txt"), p, s);
    EXPECT_TRUE(engine.contains("priser_ac.txt")) << engine.toStdString();
    EXPECT_TRUE(engine.contains("gran")) << engine.toStdString();
    EXPECT_EQ(p, PriceTable{});
    EXPECT_EQ(s, filled(7));
    QString lan = "förut";
    PriceTable ep{}, es{};
    const QString message = las(home.path("priser_ac.txt"), lan, ep, es);
    EXPECT_TRUE(message.contains("priser_ac.txt")) << message.toStdString();
    EXPECT_EQ(lan, "förut");
    EXPECT_EQ(ep, PriceTable{});
}

TEST(PriceListReading, MalformedFilesAreReportedAndChangeNothing) {
    const QList<QPair<const char *, QByteArray>> files = {
        {"missing", QByteArray()},
        {"empty", ""},
        {"text where a price is due",
         fileOf(QStringList{"\"Län\"", "\"t\"", "1,2,abc,4,5,6,7,8,9,10"})},
        {"ends inside a block", fileOf(QStringList{"\"Län\"", "\"t\"", "1,2,3"})},
        {"no final empty line",
         fileOf(QStringList{"\"Län\""} + block("t", 1) + block("g", 2)).chopped(2)},
        {"unclosed quote", "\"Län\r\n"},
    };
    for (const auto &[name, bytes] : files) {
        TempHome home;
        if (QByteArray(name) != "missing")
            home.write("priser_ac.txt", bytes);
        PriceTable p = filled(1), s = filled(2);
        const QString message = readEngine(home.path("priser_ac.txt"), p, s);
        EXPECT_TRUE(message.contains("priser_ac.txt")) << name << ": " << message.toStdString();
        EXPECT_EQ(p, filled(1)) << name;
        EXPECT_EQ(s, filled(2)) << name;
        if (QByteArray(name) != "missing") {
            EXPECT_EQ(home.read("priser_ac.txt"), bytes) << name;
        }
    }
}

TEST(PriceListReading, TheEditorReadsAFileWithoutTheFinalEmptyLine) {
    TempHome home;
    home.write("priser_ac.txt",
               fileOf(QStringList{"\"Län\""} + block("t", 1) + block("g", 2)).chopped(2));
    QString lan;
    PriceTable p{}, s{};
    EXPECT_EQ(las(home.path("priser_ac.txt"), lan, p, s), "");
    EXPECT_EQ(s, filled(2));
}

TEST(PriceListReading, TheSampleHomeDirectoryHoldsAValidPriceList) {
    QString lan;
    PriceTable p{}, s{};
    const QString path = QStringLiteral(KVISTEL_SOURCE_DIR "/sample/priser_ac.txt");
    ASSERT_EQ(las(path, lan, p, s), "");
    ASSERT_EQ(readEngine(path, p, s), "");
    for (int q = 1; q <= 5; ++q)
        for (int j = 1; j <= 10; ++j) {
            EXPECT_GT(p[q][j], 100);
            if (j > 1) {
                EXPECT_GT(p[q][j], p[q][j - 1]); // rising with the top diameter
            }
            if (q > 1) {
                EXPECT_LT(s[q][j], s[q - 1][j]); // falling with the quality class
            }
        }
}
