// Tree lists as calliper software and spreadsheet programs write them: either separator,
// either decimal mark, UTF-8 or Windows-1252, CR LF or LF; bad rows named with their reason,
// and the file never changed by reading it.
#include "core/files/textfile.h"
#include "core/results/resultcsv.h"
#include "core/treelist/treelistcsv.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sys/stat.h>
#include <thread>

namespace {

using Encoding = CsvDialect::Encoding;
constexpr double fault = std::numeric_limits<double>::quiet_NaN();

struct ReadCase {
    const char *name;
    QByteArray bytes;
    char separator, decimalMark;
    Encoding encoding;
    QStringList ids;
    QList<double> diameter; // as the valuation gets it; `fault` for a tree that cannot be valued
    QStringList problems;   // the start of each tree's reason, empty for a tree without one
};

QByteArray cp1252(const char *utf8) {
    return encodeCp1252(QString::fromUtf8(utf8));
}

class ListFile : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ListFile, IsReadInItsDialectWithEachBadRowsReason) {
    const ReadCase &c = GetParam();
    TempHome home;
    home.write("lista.csv", c.bytes);
    TreeListReader reader;
    const Outcome opened = reader.open(home.path("lista.csv"));
    ASSERT_TRUE(opened.ok()) << opened.message().toStdString();
    QList<TreeListLine> all, chunk;
    while (reader.read(2, chunk)) // small chunks: a list is read in pieces
        all += chunk;
    EXPECT_TRUE(reader.status().ok());
    EXPECT_EQ(reader.dialect().separator, QLatin1Char(c.separator));
    EXPECT_EQ(reader.dialect().decimalMark, QLatin1Char(c.decimalMark));
    EXPECT_EQ(reader.dialect().encoding, c.encoding);

    ASSERT_EQ(all.size(), c.ids.size());
    for (qsizetype i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].tree.id, c.ids[i]) << "tree " << i;
        TreeInputs inputs;
        inputs.diameter = -1; // a list without "bdm" leaves it to the home directory
        const Outcome laid = all[i].fault ? overlayTree(inputs, all[i].tree) : all[i].fault;
        const QString problem = laid.ok() ? QString() : laid.message();
        EXPECT_TRUE(c.problems.value(i).isEmpty() ? problem.isEmpty()
                                                  : problem.startsWith(c.problems[i]))
            << "tree " << i << ": " << problem.toStdString();
        if (laid.ok())
            EXPECT_EQ(inputs.diameter, c.diameter[i]) << "tree " << i;
        else
            EXPECT_TRUE(std::isnan(c.diameter[i])) << "tree " << i;
    }
    EXPECT_EQ(home.read("lista.csv"), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Dialects, ListFile,
    ::testing::Values(
        ReadCase{"SwedishSpreadsheet",
                 cp1252("id;art;bdm\r\nT1;Tall;32,5\r\nBjörk-1;b;20\r\n"),
                 ';',
                 ',',
                 Encoding::Cp1252,
                 {"T1", QStringLiteral("Björk-1")},
                 {32.5, 20},
                 {}},
        ReadCase{"Utf8WithByteOrderMarkAndLf",
                 "\xEF\xBB\xBF"
                 "bdm,ID,art\n30.5,\xC3\x96"
                 "1,g\n",
                 ',',
                 '.',
                 Encoding::Utf8Bom,
                 {QStringLiteral("Ö1")},
                 {30.5},
                 {}},
        ReadCase{"Utf8WithoutByteOrderMark",
                 "id;bdm\nGr\xC3\xA4s;28\n",
                 ';',
                 ',',
                 Encoding::Utf8,
                 {QStringLiteral("Gräs")},
                 {28},
                 {}},
        ReadCase{"SemicolonsWithDecimalPoints",
                 "id;bdm;site\r\n1;32.5;24\r\n",
                 ';',
                 '.',
                 Encoding::Cp1252,
                 {"1"},
                 {32.5},
                 {}},
        ReadCase{"QuotedCells",
                 "id,bdm,art\r\n\"A,1\",\"30,5\",t\r\n\"say \"\"x\"\"\",31,g\r\n",
                 ',',
                 '.',
                 Encoding::Cp1252,
                 {"A,1", "say \"x\""},
                 {30.5, 31},
                 {}},
        ReadCase{"NoIdColumnAndBlankLines",
                 "BDM:\r\n\r\n30\r\n  \r\n31\r\n",
                 ';',
                 ',',
                 Encoding::Cp1252,
                 {"1", "2"},
                 {30, 31},
                 {}},
        ReadCase{"OldMacLineEnds",
                 "id;bdm\r1;30\r2;31",
                 ';',
                 ',',
                 Encoding::Cp1252,
                 {"1", "2"},
                 {30, 31},
                 {}},
        ReadCase{"MissingColumnTakenFromHome",
                 "id;bdm;site\r\nx;30;24\r\n",
                 ';',
                 ',',
                 Encoding::Cp1252,
                 {"x"},
                 {30},
                 {}},
        ReadCase{"BadRows",
                 "id;bdm;site;art;bkv;plant\r\n"
                 "a;400;24;t;1;n\r\n"
                 "b;;24;t;1;n\r\n"
                 "c;30;abc;t;1;n\r\n"
                 "d;30;24;ek;1;n\r\n"
                 "e;30;24;t;1;n;extra\r\n"
                 "f;30;24;t;2,5;ja\r\n"
                 "g;30;24;t;99999;n\r\n"
                 "h;30;24;t;1;kanske\r\n"
                 "i;1e400;24;t;1;n\r\n",
                 ';',
                 ',',
                 Encoding::Cp1252,
                 {"a", "b", "c", "d", "e", "f", "g", "h", "i"},
                 {fault, fault, fault, fault, fault, 30, fault, fault, fault},
                 {"bdm: Värdet måste ligga mellan 0 och 300", "bdm: Fältet får ej lämnas tomt",
                  "site: Värdet måste vara numeriskt", "art: Okänd trädart \"ek\"",
                  "Rad 6 har 7 fält men den första raden namnger 6", "", "bkv: Kvalitetsklassen",
                  "plant: Skriv Ja eller Nej", "bdm: Värdet måste ligga mellan"}},
        // A list is no control file: a character it could not hold is no digit either.
        ReadCase{"SignOutsideWindows1252InANumber",
                 "id;bdm\nj;3\xE2\x89\xA4"
                 "0\n",
                 ';',
                 ',',
                 Encoding::Utf8,
                 {"j"},
                 {fault},
                 {"bdm: Värdet måste vara numeriskt"}},
        // A comma inside a quoted heading does not make the list comma separated.
        ReadCase{"QuotedHeadingWithCommas",
                 "\"Plats, avd, del, nr\";id;bdm\r\n\"7, 2, 1, 4\";T1;30\r\n",
                 ';',
                 ',',
                 Encoding::Cp1252,
                 {"T1"},
                 {30},
                 {}},
        // What the program guarded against a spreadsheet's formulas reads back as it was.
        ReadCase{"GuardedFormulaReadBack",
                 "id;bdm\r\n'=1+1;30\r\n'-x;31\r\n",
                 ';',
                 ',',
                 Encoding::Cp1252,
                 {"=1+1", "-x"},
                 {30, 31},
                 {}}),
    [](const auto &info) { return std::string(info.param.name); });

struct UnreadableCase {
    const char *name;
    QByteArray bytes;
    const char *says;
};

class UnreadableListFile : public ::testing::TestWithParam<UnreadableCase> {};

TEST_P(UnreadableListFile, IsRefusedWithAMessageThatSaysWhatToDo) {
    TempHome home;
    home.write("lista.csv", GetParam().bytes);
    TreeListReader reader;
    const Outcome opened = reader.open(home.path("lista.csv"));
    ASSERT_FALSE(opened.ok());
    EXPECT_TRUE(opened.message().contains(QString::fromUtf8(GetParam().says)))
        << opened.message().toStdString();
    EXPECT_EQ(home.read("lista.csv"), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnreadableListFile,
    ::testing::Values(UnreadableCase{"Empty", "", "är tom"},
                      UnreadableCase{"OnlyBlankLines", "\r\n \r\n", "är tom"},
                      UnreadableCase{"ColumnTwice", "id;bdm;BDM\r\n1;2;3\r\n",
                                     "Kolumnerna \"bdm\" och \"BDM\""},
                      UnreadableCase{"NoColumnOfTheProgram", "namn;vikt\r\nx;1\r\n",
                                     "har ingen kolumn för trädens diameter"},
                      UnreadableCase{"EndlessLine", QByteArray(300000, ';'), "Rad 1 i"},
                      UnreadableCase{"HeadingOfThousandsOfFields", "id" + QByteArray(5000, ','),
                                     "fler än 1024 fält"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ListFile, LongLinesOrTooManyFieldsInTheRowsStopTheReadingWithTheirLineNumber) {
    for (const QByteArray &row : {QByteArray(100000, 'x'), QByteArray(3000, ';')}) {
        TempHome home;
        home.write("lista.csv", "id;bdm\r\n1;30\r\n" + row + "\r\n");
        TreeListReader reader;
        ASSERT_TRUE(reader.open(home.path("lista.csv")).ok());
        QList<TreeListLine> lines;
        while (reader.read(100, lines)) {
        }
        ASSERT_FALSE(reader.status().ok());
        EXPECT_TRUE(reader.status().message().startsWith("Rad 3 i"))
            << reader.status().message().toStdString();
    }
}

#ifndef _WIN32 // a named pipe has no place among files on Windows
// A named pipe: a window refuses it at once, the command line reads it as the stream it is.
TEST(ListFile, FromANamedPipeIsRefusedByAWindowAndReadAsAStreamByTheCommandLine) {
    TempHome home;
    const QByteArray fifo = QFile::encodeName(home.path("ror.csv"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    TreeListReader window;
    const Outcome refused = window.open(home.path("ror.csv"));
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.message().contains("ingen vanlig fil")) << refused.message().toStdString();

    std::thread writer([&] {
        QFile f(home.path("ror.csv"));
        if (f.open(QIODevice::WriteOnly))
            f.write("id;bdm\r\nA;30\r\nB;31,5\r\n");
    });
    TreeListReader stream;
    const Outcome opened = stream.open(home.path("ror.csv"), ListSource::FileOrStream);
    QList<TreeListLine> lines;
    if (opened.ok())
        stream.read(100, lines);
    writer.join();
    ASSERT_TRUE(opened.ok()) << opened.message().toStdString();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1].tree.id, "B");
    EXPECT_EQ(lines[1].tree.values[BreastDiameter], "31,5");
}
#endif

// Every cell a spreadsheet would run as a formula is guarded; numbers with a sign are not.
TEST(CsvLine, GuardsCellsASpreadsheetWouldRun) {
    const QStringList cells{"=1+1", "+cmd", "-x",    "@SUM(1)", "\tA",
                            "-5",   "+2,5", "-0.25", "a=b",     ""};
    EXPECT_EQ(joinCsvLine(cells, u';'),
              QStringLiteral("'=1+1;'+cmd;'-x;'@SUM(1);'\tA;-5;+2,5;-0.25;a=b;"));
}

// A chunk holds each line's cells as splitCsvLine splits them, a guard the program wrote
// removed; the lines of a list read as TreeListLine are the same cells and the same tree.
TEST(ListChunk, HoldsTheCellsSplitCsvLineGives) {
    const QStringList lines{"A;t;30;x",
                            "\"a;b\";g;24,5;\"say \"\"hi\"\"\"",
                            "  \"q\" ;t;30;\"x\"y",
                            "'=1;t;'-5;''=2",
                            ";;;",
                            "B;t;30;\"open",
                            "C;t",
                            "D;t;30;note;extra;more",
                            "'-x;g;\"'=3\";'"};
    TempHome home;
    home.write("lista.csv",
               encodeCp1252(QStringLiteral("id;art;bdm;anm\r\n") +
                            lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    TreeListReader chunked, listed;
    ASSERT_TRUE(chunked.open(home.path("lista.csv")).ok());
    ASSERT_TRUE(listed.open(home.path("lista.csv")).ok());
    ListChunk chunk;
    ASSERT_TRUE(chunked.read(100, chunk));
    QList<TreeListLine> read;
    ASSERT_TRUE(listed.read(100, read));
    ASSERT_EQ(chunk.size(), lines.size());
    ASSERT_EQ(read.size(), lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringList expected = splitCsvLine(lines[i], u';');
        for (QString &cell : expected)
            cell = withoutSpreadsheetGuard(cell);
        const ListChunk::Line &line = chunk.line(i);
        QStringList cells;
        for (qsizetype c = 0; c < line.cellCount; ++c)
            cells << chunk.cell(line, c).toString();
        EXPECT_EQ(cells, expected) << lines[i].toStdString();
        EXPECT_EQ(line.lineNumber, i + 2);
        ChunkTree tree;
        chunked.treeOf(chunk, i, tree);
        EXPECT_EQ(tree.id(), read[i].tree.id);
        EXPECT_EQ(tree.fault.message(), read[i].fault.message());
        for (int k = 0; k < treeKeyCount; ++k) {
            EXPECT_EQ(tree.texts.given[std::size_t(k)], read[i].tree.given[std::size_t(k)]);
            EXPECT_EQ(tree.texts.values[std::size_t(k)].toString(),
                      read[i].tree.values[std::size_t(k)]);
        }
        expected.resize(std::max(expected.size(), qsizetype(4)));
        EXPECT_EQ(read[i].cells, expected) << lines[i].toStdString();
    }
}

// A cell joined in place is written as joinCsvLine writes it.
TEST(CsvLine, ACellFinishedInPlaceIsJoinedAsAnyOther) {
    const QStringList cells{"=1",  "-5",  "-x",  "a;b",  "say \"hi\"", "'=2", "",
                            "'-5", "\tA", "2,5", "-Inf", "x\ny",       "@",   "+"};
    for (const QString &cell : cells) {
        QString line = QStringLiteral("id;");
        const qsizetype start = line.size();
        line += cell;
        finishCsvCell(line, start, u';');
        EXPECT_EQ(line, joinCsvLine({"id", cell}, u';')) << cell.toStdString();
        QString appended = QStringLiteral("id;");
        appendCsvCell(appended, cell, u';');
        EXPECT_EQ(appended, line) << cell.toStdString();
    }
}

// Ids with apostrophes, signs and formula characters: what a file holds is read as the user wrote
// it, apart from the one apostrophe the program itself puts before a text a spreadsheet would
// run; and every id comes back unchanged after a save and a second open.
struct IdCase {
    const char *inFile; // the id cell as a file holds it
    const char *read;   // the id the program shows
};

TEST(ListFile, EveryIdSurvivesOpenSaveOpenUnchanged) {
    const IdCase table[] = {
        {"'-5", "'-5"}, // the user's own apostrophe before a number stays
        {"-5", "-5"},
        {"+2,5", "+2,5"},
        {"'=1", "=1"}, // the program's guard goes
        {"''=1", "'=1"},
        {"'''=1", "''=1"},
        {"=1", "=1"}, // as a spreadsheet may save it
        {"'@SUM(1)", "@SUM(1)"},
        {"'-x", "-x"},
        {"-x", "-x"},
        {"'", "'"},
        {"''", "''"},
        {"'abc", "'abc"},
        {"''abc", "''abc"},
        {"'+", "+"},
        {"'-", "-"},
        {"'''-5", "'''-5"},
        {"Gran 'nr 3'", "Gran 'nr 3'"},
    };
    QByteArray file = "id;bdm\r\n";
    for (const IdCase &c : table)
        file += QByteArray(c.inFile) + ";30\r\n";
    TempHome home;
    home.write("lista.csv", file);
    auto idsIn = [&](const QString &name) {
        TreeListReader reader;
        EXPECT_TRUE(reader.open(home.path(name)).ok());
        QList<TreeListLine> lines;
        reader.read(1000, lines);
        QStringList ids;
        for (const TreeListLine &l : lines)
            ids << l.tree.id;
        return ids;
    };
    const QStringList first = idsIn("lista.csv");
    ASSERT_EQ(first.size(), qsizetype(std::size(table)));
    QByteArray saved = "id;bdm\r\n";
    for (qsizetype i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i], QString::fromUtf8(table[i].read)) << "in the file: " << table[i].inFile;
        saved += joinCsvLine({first[i], "30"}, u';').toUtf8() + "\r\n";
    }
    home.write("sparad.csv", saved);
    EXPECT_EQ(idsIn("sparad.csv"), first) << saved.toStdString();
}

} // namespace

#ifndef _WIN32 // a named pipe has no place among files on Windows
namespace {

// A list from a pipe: a megabyte and more of plain digits before its first other byte.
struct StreamCase {
    const char *name;
    QByteArray late;    // the line that comes after the plain first megabyte
    QByteArray start;   // a line before the megabyte ("" for none)
    bool readWhole;     // the reading reaches the end
    const char *lateId; // the late line's id as read
    const char *says;   // the start of the message when the reading stops
    bool bom = false;   // the stream begins with UTF-8's byte order mark
};

void PrintTo(const StreamCase &c, std::ostream *os) {
    *os << c.name;
}

class ListFromAPipe : public ::testing::TestWithParam<StreamCase> {};

TEST_P(ListFromAPipe, NeverReplacesALateByteSilently) {
    const StreamCase &c = GetParam();
    TempHome home;
    const QByteArray fifo = QFile::encodeName(home.path("ror.csv"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    QByteArray bytes = (c.bom ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + "id;bdm\r\n" + c.start;
    while (bytes.size() < 1300000)
        bytes += "123456;30\r\n";
    const qsizetype plainLines = bytes.count('\n');
    bytes += c.late + "\r\n9;30\r\n";
    std::thread writer([&] {
        QFile f(home.path("ror.csv"));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    });
    TreeListReader reader;
    const Outcome opened = reader.open(home.path("ror.csv"), ListSource::FileOrStream);
    QList<TreeListLine> all, chunk;
    while (opened.ok() && reader.read(5000, chunk))
        all += chunk;
    writer.join();
    ASSERT_TRUE(opened.ok()) << opened.message().toStdString();
    for (const TreeListLine &l : all)
        EXPECT_FALSE(l.tree.id.contains(QChar::ReplacementCharacter)) << l.lineNumber;
    if (c.readWhole) {
        EXPECT_TRUE(reader.status().ok()) << reader.status().message().toStdString();
        ASSERT_EQ(all.size(), plainLines + 1);
        EXPECT_EQ(all[all.size() - 2].tree.id, QString::fromUtf8(c.lateId));
    } else {
        ASSERT_FALSE(reader.status().ok());
        EXPECT_TRUE(reader.status().message().startsWith(
            QStringLiteral("Rad %1 i ").arg(plainLines + 1) + QString::fromUtf8(c.says)))
            << reader.status().message().toStdString();
        EXPECT_EQ(all.size(), plainLines - 1); // every whole line before it, and none after
    }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, ListFromAPipe,
    ::testing::Values(
        StreamCase{"LateWindows1252", "Bj\xf6rk;30", "", true, "Björk", ""},
        StreamCase{"LateUtf8", "Bj\xc3\xb6rk;30", "", true, "Björk", ""},
        StreamCase{"Utf8ThenWindows1252", "Bj\xf6rk;30", "Gr\xc3\xb6n;30\r\n", false, "", "\""},
        StreamCase{"Utf8WithBomThenWindows1252", "Bj\xf6rk;30", "", false, "", "\"", true}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
#endif
