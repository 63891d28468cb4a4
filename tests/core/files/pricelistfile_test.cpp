#include "core/files/pricelistfile.h"
#include "core/files/textfile.h"
#include "testsupport.h"

#include <QDir>
#include <QRegularExpression>

#include <cmath>
#include <limits>

#include <cerrno>

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
QString readList(const QString &path, QString &county, PriceTable &pine, PriceTable &spruce) {
    const Expected<PriceList> read = readPriceList(path);
    if (read) {
        county = read->county;
        pine = read->pine;
        spruce = read->spruce;
    }
    return read.message();
}

QString writeList(const QString &path, const QString &county, const PriceTable &pine,
                  const PriceTable &spruce) {
    return writePriceList(path, PriceList{county, pine, spruce, {}}).message();
}

QString readEngine(const QString &path, PriceTable &pine, PriceTable &spruce) {
    const Expected<PriceTables> read = readTimberPrices(path, {pine, spruce});
    if (read) {
        pine = read->pine;
        spruce = read->spruce;
    }
    return read.message();
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
    ASSERT_EQ(writeList(home.path("priser_ac.txt"), "Västerbotten", pine, spruce), "");
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
    ASSERT_EQ(writeList(path, "Jönköpings län", pine, spruce), "");
    QString county;
    PriceTable p1{}, s1{}, p2{}, s2{};
    ASSERT_EQ(readList(path, county, p1, s1), "");
    ASSERT_EQ(readEngine(path, p2, s2), "");
    EXPECT_EQ(county, "Jönköpings län");
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
        writeList(home.path("priser_ac.txt"), "Säg \"hej\"", filled(100), filled(200));
    EXPECT_TRUE(message.contains("citattecken")) << message.toStdString();
    EXPECT_EQ(home.read("priser_ac.txt"), samplePriceList());
}

TEST(PriceListWriting, AFailedWriteKeepsTheOldFile) {
    TempHome home;
    home.write("priser_ac.txt", samplePriceList());
    simulateWriteFailure(EIO); // the disk fails while the new list is written
    const QString message = writeList(home.path("priser_ac.txt"), "Län", filled(100), filled(200));
    simulateWriteFailure(0);
    EXPECT_FALSE(message.isEmpty());
    EXPECT_EQ(home.read("priser_ac.txt"), samplePriceList());
}

TEST(PriceListReading, BlocksMayComeInEitherOrder) {
    TempHome home;
    home.write("priser_ac.txt", fileOf(QStringList{"\"Län\""} + block("g", 200) + block("t", 100) +
                                       QStringList{""}));
    QString county;
    PriceTable p1{}, s1{}, p2{}, s2{};
    ASSERT_EQ(readList(home.path("priser_ac.txt"), county, p1, s1), "");
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
    QString county;
    PriceTable p1{}, s1{}, p2{}, s2{};
    EXPECT_EQ(readList(home.path("priser_ac.txt"), county, p1, s1), "");
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
    QString county;
    PriceTable p{}, s{};
    const QString editor = readList(home.path("priser_ac.txt"), county, p, s);
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
    QString county;
    PriceTable p{}, s{};
    ASSERT_EQ(readList(home.path("priser_ac.txt"), county, p, s), "");
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
    QString county = "förut";
    PriceTable ep{}, es{};
    const QString message = readList(home.path("priser_ac.txt"), county, ep, es);
    EXPECT_TRUE(message.contains("priser_ac.txt")) << message.toStdString();
    EXPECT_EQ(county, "förut");
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
    QString county;
    PriceTable p{}, s{};
    EXPECT_EQ(readList(home.path("priser_ac.txt"), county, p, s), "");
    EXPECT_EQ(s, filled(2));
}

TEST(PriceListReading, TheSampleHomeDirectoryHoldsAValidPriceList) {
    QString county;
    PriceTable p{}, s{};
    const QString path = QStringLiteral(KVISTEL_SOURCE_DIR "/sample/priser_ac.txt");
    ASSERT_EQ(readList(path, county, p, s), "");
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

namespace {

QStringList lanLine() {
    return {"\"Jönköpings län\""};
}

struct KeptLayout {
    const char *name;
    QStringList lines;
    int editedPineBase; // the block a calculation prices pine with
};

class PriceListLayouts : public ::testing::TestWithParam<KeptLayout> {};

} // namespace

TEST_P(PriceListLayouts, SavingKeepsEveryBlockTheEditorDoesNotEditByteForByte) {
    const KeptLayout &c = GetParam();
    TempHome home;
    const QString path = home.path("priser_ac.txt");
    const QByteArray original = fileOf(c.lines);
    home.write("priser_ac.txt", original);

    PriceList list;
    ASSERT_EQ(take(readPriceList(path), list), QString());
    EXPECT_EQ(list.pine, filled(c.editedPineBase));
    PriceTable enginePine{}, engineSpruce{};
    ASSERT_EQ(readEngine(path, enginePine, engineSpruce), QString());
    EXPECT_EQ(enginePine, list.pine) << "the editor shows other pine prices than are calculated";
    EXPECT_EQ(engineSpruce, list.spruce);

    // Saved as read: the same file.
    ASSERT_TRUE(writePriceList(path, list).ok());
    EXPECT_EQ(home.read("priser_ac.txt"), original);

    // One price changed: only its line changes, and the calculation sees it.
    list.pine[2][3] = 777.5;
    ASSERT_TRUE(writePriceList(path, list).ok());
    QStringList expected = c.lines;
    int lastPineTag = int(expected.lastIndexOf("\"t\""));
    QStringList row = expected[lastPineTag + 2].split(',');
    row[2] = "777.5";
    expected[lastPineTag + 2] = row.join(',');
    EXPECT_EQ(home.read("priser_ac.txt"), fileOf(expected));
    ASSERT_EQ(readEngine(path, enginePine, engineSpruce), QString());
    EXPECT_EQ(enginePine[2][3], 777.5);
}

INSTANTIATE_TEST_SUITE_P(
    Kept, PriceListLayouts,
    ::testing::Values(
        KeptLayout{
            "BirchBlockAfter",
            lanLine() + block("t", 100) + block("g", 200) + block("b", 300) + QStringList{""}, 100},
        KeptLayout{
            "BirchBlockBetween",
            lanLine() + block("t", 100) + block("b", 300) + block("g", 200) + QStringList{""}, 100},
        KeptLayout{
            "RepeatedPineBlock",
            lanLine() + block("t", 100) + block("g", 200) + block("t", 500) + QStringList{""}, 500},
        KeptLayout{"SpruceFirst", lanLine() + block("g", 200) + block("t", 100) + QStringList{""},
                   100},
        KeptLayout{"UnknownTags",
                   lanLine() + block("T", 900) + block("t", 100) + block("g", 200) +
                       block("gran", 400) + QStringList{""},
                   100}),
    [](const auto &info) { return std::string(info.param.name); });

namespace {

struct MissingBlock {
    const char *name;
    QStringList lines;
    const char *says;
};

class PriceListWithoutASpecies : public ::testing::TestWithParam<MissingBlock> {};

} // namespace

TEST_P(PriceListWithoutASpecies, IsRefusedByBothReadersNamingTheMissingSpecies) {
    const MissingBlock &c = GetParam();
    TempHome home;
    const QByteArray bytes = fileOf(c.lines);
    home.write("priser_ac.txt", bytes);
    const QString path = home.path("priser_ac.txt");

    PriceList list;
    list.county = "förut";
    list.pine = filled(1);
    const Expected<PriceList> editor = readPriceList(path);
    ASSERT_FALSE(editor.ok());
    EXPECT_EQ(take(editor, list), editor.message());
    EXPECT_TRUE(editor.message().contains(path)) << editor.message().toStdString();
    EXPECT_TRUE(editor.message().contains(QString::fromUtf8(c.says)))
        << editor.message().toStdString();
    EXPECT_EQ(list.county, "förut");
    EXPECT_EQ(list.pine, filled(1));
    EXPECT_TRUE(list.blocks.isEmpty());

    PriceTable pine = filled(1), spruce = filled(2);
    const QString engine = readEngine(path, pine, spruce);
    EXPECT_EQ(engine, editor.message());
    EXPECT_EQ(pine, filled(1));
    EXPECT_EQ(spruce, filled(2));
    EXPECT_EQ(home.read("priser_ac.txt"), bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Missing, PriceListWithoutASpecies,
    ::testing::Values(
        MissingBlock{
            "PineTaggedUpperCase", lanLine() + block("T", 100) + block("g", 200) + QStringList{""},
            "prisblocket för tall (\"t\") saknas. Filens prisblock är märkta \"T\", \"g\""},
        MissingBlock{"OnlyPine", lanLine() + block("t", 100) + QStringList{""},
                     "prisblocket för gran (\"g\") saknas"},
        MissingBlock{"PineAndBirch",
                     lanLine() + block("t", 100) + block("b", 200) + QStringList{""},
                     "prisblocket för gran (\"g\") saknas"},
        MissingBlock{"NoBlockAtAll", lanLine() + QStringList{""},
                     "prisblocken för tall (\"t\") och gran (\"g\") saknas"}),
    [](const auto &info) { return std::string(info.param.name); });

namespace {

struct CommaCase {
    const char *name;
    QString tag;
    int quality, diameterClass; // where the decimal comma is typed
    QString typed;
    const char *says;
};

class PriceWithADecimalComma : public ::testing::TestWithParam<CommaCase> {};

} // namespace

TEST_P(PriceWithADecimalComma, IsNamedWhereItStandsNotAsABlockThatDoesNotExist) {
    const CommaCase &c = GetParam();
    QStringList lines = lanLine() + block("t", 100) + block("g", 200) + QStringList{""};
    const int tagLine = int(lines.indexOf('"' + c.tag + '"'));
    QStringList row = lines[tagLine + c.quality].split(',');
    row[c.diameterClass - 1] = c.typed;
    lines[tagLine + c.quality] = row.join(',');
    TempHome home;
    const QByteArray bytes = fileOf(lines);
    home.write("priser_ac.txt", bytes);
    const QString path = home.path("priser_ac.txt");

    PriceList list;
    PriceTable pine{}, spruce{};
    for (const QString &m : {take(readPriceList(path), list), readEngine(path, pine, spruce)}) {
        ASSERT_FALSE(m.isEmpty());
        EXPECT_TRUE(m.contains(QString::fromUtf8(c.says))) << m.toStdString();
        EXPECT_TRUE(m.contains("decimalkomma")) << m.toStdString();
        EXPECT_FALSE(m.contains(QRegularExpression("prisblocket \"[0-9]"))) << m.toStdString();
    }
    EXPECT_EQ(pine, PriceTable{});
    EXPECT_EQ(home.read("priser_ac.txt"), bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Comma, PriceWithADecimalComma,
    ::testing::Values(
        CommaCase{"InPine", "t", 2, 3, "128,5",
                  "i prisblocket \"t\", kvalitet 2, diameterklass 16 står \"128,5\""},
        CommaCase{"LastSprucePrice", "g", 5, 10, "295,75",
                  "i prisblocket \"g\", kvalitet 5, diameterklass 30 står \"295,75\""},
        CommaCase{"FirstPinePrice", "t", 1, 1, "109,5",
                  "i prisblocket \"t\", kvalitet 1, diameterklass 12 står \"109,5\""},
        // "12,345" could be 12.345 or two prices: the row is named, not a guessed column.
        CommaCase{"NoTellingWhich", "t", 4, 5, "12,345",
                  "i prisblocket \"t\", kvalitet 4 står 11 priser där det ska stå 10"}),
    [](const auto &info) { return std::string(info.param.name); });
