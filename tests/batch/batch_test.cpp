// A list of trees on the command line gives every tree exactly what the tree form and the
// result window give it alone; and the command line answers a wrong call with status 2.
#include "batch/batch.h"
#include "core/files/numberformat.h"
#include "core/files/textfile.h"
#include "core/treelist/treelistcsv.h"
#include "enginetestsupport.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <sys/stat.h>
#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The result grid's digit pattern of each of its seventeen columns.
const NumberPattern gridPatterns[resultColumnCount] = {
    u"#0.00", u"#0", u"#0", u"#0", u"#0.00", u"#0.0", u"#0", u"#0", u"#0",
    u"#0",    u"#0", u"#0", u"#0", u"#0",    u"#0",   u"#0", u"#0"};

// The list's columns, "kronst" left out: every tree takes it from "trad.sty".
const QStringList listKeys{"art",   "bdm",   "hojdjust", "site", "plant",
                           "ring5", "dkvot", "bkv",      "akv",  "tkv"};

struct ListTree {
    QString id;
    QStringList cells;    // as the list holds them: decimal commas, names, "ja"
    QStringList keyTexts; // as the tree form saves them in "trad.sty"
};

// Pine and spruce of all kinds, one that stops at a quality class the price list lacks, a
// birch (no height model), and a quality exactly between two classes.
const QList<ListTree> trees{
    {"A1",
     {"Tall", "32,5", "1", "24", "n", "1,5", "0,6", "1", "2", "3"},
     {"t", "32.5", "1", "24", "n", "1.5", "0.6", "1", "2", "3"}},
    {"B2",
     {"g", "45", "-2", "28", "ja", "2", "0,8", "2", "2", "3"},
     {"g", "45", "-2", "28", "y", "2", "0.8", "2", "2", "3"}},
    {"C3",
     {"gran", "18", "0", "20", "Nej", "2,5", "0,5", "3", "3", "4"},
     {"g", "18", "0", "20", "n", "2.5", "0.5", "3", "3", "4"}},
    {"D4",
     {"t", "30", "0", "24", "n", "1", "0,6", "9", "2", "3"},
     {"t", "30", "0", "24", "n", "1", "0.6", "9", "2", "3"}},
    {"E5",
     {"Björk", "20", "0", "22", "n", "2", "0,7", "1", "1", "1"},
     {"b", "20", "0", "22", "n", "2", "0.7", "1", "1", "1"}},
    {"F6",
     {"t", "52", "0,5", "26", "y", "0,6", "1", "2,5", "3,5", "1"},
     {"t", "52", "0.5", "26", "y", "0.6", "1", "2.5", "3.5", "1"}},
};

QStringList cellsOf(const QString &line) {
    return splitCsvLine(line, u';');
}

TEST(TreeListOnTheCommandLine, GivesEachTreeWhatTheSingleTreeCalculationGivesIt) {
    TempHome home;
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    QStringList list{QStringLiteral("id;") + listKeys.join(u';')};
    for (const ListTree &t : trees)
        list << t.id + u';' + t.cells.join(u';');
    home.write("lista.csv", encodeCp1252(list.join(QStringLiteral("\r\n")) + "\r\n"));
    const QByteArray listBytes = home.read("lista.csv");

    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    const int status = runBatch({"kvistel", "--batch", home.path("lista.csv"), "--home",
                                 home.withSlash(), "-o", home.path("ut.csv"), "--full"},
                                out, err);
    EXPECT_EQ(status, 1) << err.data().toStdString(); // D4 and E5 cannot be valued to the end
    EXPECT_EQ(home.read("lista.csv"), listBytes);
    const QStringList lines = splitLines(decodeCp1252(home.read("ut.csv")));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(cellsOf(lines[0]).mid(0, 3), (QStringList{"id", "år", QStringLiteral("Ränta, %")}));
    EXPECT_EQ(cellsOf(lines[0]).last(), "fel");

    qsizetype at = 1;
    int stopped = 0;
    for (const ListTree &t : trees) {
        // The tree alone, as the tree form saves it and the result window calculates it.
        TempHome single;
        KeyValues values;
        for (qsizetype k = 0; k < listKeys.size(); ++k)
            values.append({listKeys[k] + u':', t.keyTexts[k]});
        single.writeLines("trad.sty", controlWith(values));
        single.write("priser_ac.txt", samplePriceList());
        TreeCalculation engine(single.directory());
        TreeValuation alone;
        (void)engine.calculateAndSave(alone);

        for (int r = 0; r < alone.yearsValued; ++r, ++at) {
            ASSERT_LT(at, lines.size()) << t.id.toStdString();
            const QStringList cells = cellsOf(lines[at]);
            ASSERT_EQ(cells.size(), 2 + resultColumnCount + 1) << lines[at];
            EXPECT_EQ(cells[0], t.id);
            EXPECT_EQ(cells[1], QString::number(r * 10));
            for (int c = 0; c < resultColumnCount; ++c) {
                const double v = alone.rows[std::size_t(r)].values[std::size_t(c)];
                const QString expected =
                    std::isnan(v) ? QString() : numberText(v, gridPatterns[c], u',');
                EXPECT_EQ(cells[2 + c], expected) << t.id << " year " << r * 10 << " column " << c;
            }
            EXPECT_EQ(cells.last(), QString());
        }
        if (!alone.complete()) {
            ++stopped;
            ASSERT_LT(at, lines.size());
            const QStringList cells = cellsOf(lines[at++]);
            EXPECT_EQ(cells[0], t.id);
            EXPECT_EQ(cells[1], QString());
            EXPECT_EQ(cells.last(), alone.stop.message());
        }
    }
    EXPECT_EQ(stopped, 2);
    EXPECT_EQ(at, lines.size());
}

// A tree worth nothing today has no rate of value growth: the list leaves the cell empty rather
// than write the -100 a spreadsheet would count with.
TEST(TreeListOnTheCommandLine, GivesNoGrowthRateForATreeWithoutNetValueToday) {
    TempHome home;
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv", "id;bdm\r\nsmal;8\r\ngrov;30\r\n");
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    ASSERT_EQ(runBatch({"kvistel", "--batch", home.path("lista.csv"), "--home", home.withSlash()},
                       out, err),
              0);
    const QStringList lines = splitLines(decodeCp1252(out.data()));
    ASSERT_GE(lines.size(), 3);
    const qsizetype netNow = cellsOf(lines[0]).indexOf("netto nu");
    const qsizetype growth = cellsOf(lines[0]).indexOf(QStringLiteral("ränta 10 år"));
    ASSERT_TRUE(netNow > 0 && growth > 0);
    EXPECT_LE(cellsOf(lines[1])[netNow].toInt(), 0) << lines[1];
    EXPECT_EQ(cellsOf(lines[1])[growth], QString()) << lines[1];
    EXPECT_GT(cellsOf(lines[2])[netNow].toInt(), 0) << lines[2];
    EXPECT_FALSE(cellsOf(lines[2])[growth].isEmpty()) << lines[2];
}

// A list with no tree, or whose first tree line cannot be read, is answered with its heading.
TEST(TreeListOnTheCommandLine, AnswersAListWithoutTreesWithItsHeading) {
    for (const QByteArray &list : {QByteArray("id;bdm\r\n"), QByteArray("id;bdm\r\n\r\n  \r\n"),
                                   QByteArray("id;bdm\r\n1;30\r\n") + QByteArray(1100, ';')}) {
        TempHome home;
        home.writeLines("trad.sty", controlWith({}));
        home.write("priser_ac.txt", samplePriceList());
        home.write("lista.csv", list);
        for (const char *mode : {"", "--full"}) {
            QBuffer out, err;
            out.open(QIODevice::WriteOnly);
            err.open(QIODevice::WriteOnly);
            QStringList arguments{"kvistel", "--batch", home.path("lista.csv"), "--home",
                                  home.withSlash()};
            if (*mode)
                arguments << mode;
            runBatch(arguments, out, err);
            EXPECT_TRUE(out.data().startsWith("id;")) << list.left(20).toStdString() << mode;
            EXPECT_TRUE(out.data().endsWith("fel\r\n")) << list.left(20).toStdString() << mode;
        }
    }
}

struct CallCase {
    const char *name;
    QStringList arguments; // after the program's name; LIST and HOME stand for the test's
    int status;
    const char *says; // in the output (status 0) or the message (otherwise)
};

class CommandLine : public ::testing::TestWithParam<CallCase> {};

TEST_P(CommandLine, AnswersWithItsStatusAndASwedishMessage) {
#ifdef _WIN32
    const std::string name = GetParam().name;
    if (name == "OutputIsALink" || name == "OutputIsANamedPipe")
        GTEST_SKIP() << "no links or named pipes among the files a Windows user saves to";
#endif
    TempHome home;
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv", "id,bdm\r\n1,30\r\n2,31.5\r\n");
    home.write("fler.csv", "\"Plats, avd\";id;bdm\r\n\"7, 2\";=1+1;30;x;y\r\n");
    QDir(home.withSlash()).mkdir("katalog");
    QDir(home.withSlash()).mkdir("utanrant");
    QFile::copy(home.path("priser_ac.txt"), home.path("utanrant/priser_ac.txt"));
    {
        QStringList control = controlWith({});
        control.removeIf([](const QString &l) { return l.startsWith("rant:"); });
        QFile f(home.path("utanrant/trad.sty"));
        f.open(QIODevice::WriteOnly);
        f.write(joinLinesCrLf(control));
    }
    home.write("skyddad.csv", "gammalt");
    QFile::setPermissions(home.path("skyddad.csv"), QFile::ReadOwner);
    QFile::link(home.path("nytt.csv"), home.path("lank.csv"));
#ifndef _WIN32 // a named pipe has no place among files on Windows
    ::mkfifo(QFile::encodeName(home.path("ror")).constData(), 0600);
#endif
    QStringList arguments{"kvistel"};
    for (QString a : GetParam().arguments)
        arguments << a.replace("LIST", home.path("lista.csv")).replace("HOME", home.withSlash());
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    EXPECT_EQ(runBatch(arguments, out, err), GetParam().status);
    const QString said = QString::fromLocal8Bit(GetParam().status == 0 ? out.data() : err.data()) +
                         QString::fromLocal8Bit(out.data());
    EXPECT_TRUE(said.contains(QString::fromUtf8(GetParam().says))) << said;
}

INSTANTIATE_TEST_SUITE_P(
    Calls, CommandLine,
    ::testing::Values(
        CallCase{"EveryTreeValued", {"--batch", "LIST", "--home", "HOME"}, 0, "\r\n2,31.5,"},
        CallCase{"Help", {"--help"}, 0, "kvistel --batch TRÄD.csv"},
        CallCase{"NoList", {}, 2, "ange trädlistan med --batch"},
        CallCase{"ListWithoutName", {"--batch"}, 2, "saknar sitt värde"},
        CallCase{"UnknownSwitch", {"--batch", "LIST", "--snabb"}, 2, "okänt val \"snabb\""},
        CallCase{"MissingList", {"--batch", "HOMEnej.csv", "--home", "HOME"}, 2, "finns inte"},
        CallCase{
            "HomeWithoutControlFile", {"--batch", "LIST", "--home", "HOMEkatalog"}, 2, "trad.sty"},
        CallCase{"OutputIsADirectory",
                 {"--batch", "LIST", "--home", "HOME", "-o", "HOMEkatalog"},
                 2,
                 "är en katalog"},
        CallCase{"OutputWithoutName",
                 {"--batch", "LIST", "--home", "HOME", "-o", ""},
                 2,
                 "ange efter -o namnet"},
        CallCase{"OutputIsTheList",
                 {"--batch", "LIST", "--home", "HOME", "-o", "LIST"},
                 2,
                 "skrivs inte över listan"},
        CallCase{"OutputIsReadOnly",
                 {"--batch", "LIST", "--home", "HOME", "-o", "HOMEskyddad.csv"},
                 2,
                 "är skrivskyddad"},
        CallCase{"OutputIsALink",
                 {"--batch", "LIST", "--home", "HOME", "-o", "HOMElank.csv"},
                 2,
                 "symbolisk länk"},
        CallCase{"OutputIsANamedPipe",
                 {"--batch", "LIST", "--home", "HOME", "-o", "HOMEror"},
                 2,
                 "ingen vanlig fil"},
        CallCase{"StandParameterMissing",
                 {"--batch", "LIST", "--home", "HOMEutanrant"},
                 2,
                 "saknar parametern rant"},
        // A quoted heading with commas, a formula in an id and cells beyond the heading's.
        CallCase{"AFormulaGuarded",
                 {"--batch", "HOMEfler.csv", "--home", "HOME"},
                 1,
                 "\r\n7, 2;'=1+1;30;;;;;;Rad 2 har 5 f"},
        CallCase{"HomeIsAFile",
                 {"--batch", "LIST", "--home", "LIST"},
                 2,
                 "är en fil och inte en katalog"},
        CallCase{"ListTwice",
                 {"--batch", "LIST", "--home", "HOME", "--batch", "HOMEfler.csv"},
                 2,
                 "--batch anges 2 gånger"},
        CallCase{"HomeTwice",
                 {"--batch", "LIST", "--home", "HOME", "--home", "HOMEkatalog"},
                 2,
                 "--home anges 2 gånger"},
        CallCase{"OutputTwice",
                 {"--batch", "LIST", "--home", "HOME", "-o", "HOMEa.csv", "--output", "HOMEb.csv"},
                 2,
                 "-o anges 2 gånger"},
        CallCase{"OutputDashIsStandardOut",
                 {"--batch", "LIST", "--home", "HOME", "-o", "-"},
                 0,
                 "\r\n2,31.5,"},
        CallCase{"CellsBeyondTheHeadingAfterTheReason",
                 {"--batch", "HOMEfler.csv", "--home", "HOME"},
                 1,
                 "namnger 3.;x;y\r\n"}),
    [](const auto &info) { return std::string(info.param.name); });

// A reason holding a character Windows-1252 lacks (here the Arabic decimal separator of the
// user's settings) makes the answer to a Windows-1252 list UTF-8, never a substitute byte.
TEST(CommandLine, AnswersInUtf8WhenAReasonDoesNotFitWindows1252) {
    LocaleScope arabic{QLocale(QLocale::Arabic, QLocale::Egypt)};
    TempHome home;
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv", "id,bdm,dkvot\r\n1,30,9\r\n");
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    EXPECT_EQ(runBatch({"kvistel", "--batch", home.path("lista.csv"), "--home", home.withSlash()},
                       out, err),
              1);
    EXPECT_TRUE(out.data().startsWith("\xEF\xBB\xBFid,bdm,dkvot,beslut"))
        << out.data().toStdString();
    EXPECT_FALSE(out.data().contains('\x1A'));
    EXPECT_TRUE(QString::fromUtf8(out.data()).contains(QStringLiteral("0\u066B2")))
        << out.data().toStdString();
}

// A closed standard out is named as such, not by the system's words for a failed write.
TEST(CommandLine, AClosedStandardOutIsStatusTwoWithAMessage) {
    TempHome home;
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv", "id,bdm\r\n1,30\r\n");
    for (const QStringList &output : {QStringList(), QStringList{"-o", "-"}}) {
        QFile closed; // as main() leaves it when standard out was closed
        QBuffer err;
        err.open(QIODevice::WriteOnly);
        EXPECT_EQ(runBatch(QStringList{"kvistel", "--batch", home.path("lista.csv"), "--home",
                                       home.withSlash()} +
                               output,
                           closed, err),
                  2);
        EXPECT_TRUE(
            QString::fromLocal8Bit(err.data()).contains(QStringLiteral("standard ut är stängd")))
            << err.data().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists("-"));
}

// A result file on a full disk: every write counts, the last one too (a small result is written
// only at the end). The file that was there stays as it was, no temporary file is left, and the
// status is 2 with the disk's own words.
TEST(CommandLine, AResultFileOnAFullDiskKeepsTheOldFileAndIsStatusTwo) {
    TempHome home;
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv", "id,bdm\r\n1,30\r\n2,31\r\n");
    home.write("ut.csv", "det förra resultatet");
    for (const char *kind : {"", "--plan", "--full"}) {
        QStringList arguments{"kvistel",        "--batch", home.path("lista.csv"), "--home",
                              home.withSlash(), "-o",      home.path("ut.csv")};
        if (*kind)
            arguments << kind;
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        simulateWriteFailure(ENOSPC);
        const int status = runBatch(arguments, out, err);
        simulateWriteFailure(0);
        EXPECT_EQ(status, 2) << kind;
        EXPECT_TRUE(QString::fromLocal8Bit(err.data()).contains(QStringLiteral("disken är full")))
            << kind << err.data().toStdString();
        EXPECT_EQ(home.read("ut.csv"), QByteArray("det förra resultatet")) << kind;
        EXPECT_EQ(QDir(home.withSlash()).entryList({"*.tmp"}, QDir::Files | QDir::Hidden),
                  QStringList())
            << kind;
        // With room on the disk the same call writes the whole result.
        QBuffer out2, err2;
        out2.open(QIODevice::WriteOnly);
        err2.open(QIODevice::WriteOnly);
        EXPECT_EQ(runBatch(arguments, out2, err2), 0) << kind << err2.data().toStdString();
        EXPECT_TRUE(home.read("ut.csv").endsWith("\r\n")) << kind;
        home.write("ut.csv", "det förra resultatet");
    }
}

#ifdef _WIN32
// A file another program holds open, as a spreadsheet holds the file it shows (shared with no
// one), is named as such: for the list read and for the result written.
TEST(CommandLine, AFileAnotherProgramHoldsOpenIsNamedAsSuch) {
    TempHome home;
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv", "id,bdm\r\n1,30\r\n");
    home.write("ut.csv", "det förra resultatet");
    struct Held {
        const char *file;
        const char *says;
    };
    for (const Held held : {Held{"lista.csv", "ett annat program har den öppen"},
                            Held{"ut.csv", "öppen i ett annat program"}}) {
        const HANDLE other =
            CreateFileW(QDir::toNativeSeparators(home.path(held.file)).toStdWString().c_str(),
                        GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(other, INVALID_HANDLE_VALUE);
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        const int status = runBatch({"kvistel", "--batch", home.path("lista.csv"), "--home",
                                     home.withSlash(), "-o", home.path("ut.csv")},
                                    out, err);
        CloseHandle(other);
        EXPECT_EQ(status, 2) << held.file;
        EXPECT_TRUE(QString::fromLocal8Bit(err.data()).contains(QString::fromUtf8(held.says)))
            << held.file << ": " << err.data().toStdString();
        EXPECT_EQ(home.read("ut.csv"), QByteArray("det förra resultatet"));
    }
}
#endif

#ifndef _WIN32 // /dev/full and closed pipes are the Unix way of a failing standard output
// The result that cannot be written whole (a full disk, a reader that stopped) is a failure.
TEST(CommandLine, AFullDiskOnStandardOutIsStatusTwoWithAMessage) {
    TempHome home;
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv", "id,bdm\r\n1,30\r\n");
    QFile full("/dev/full");
    ASSERT_TRUE(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    QBuffer err;
    err.open(QIODevice::WriteOnly);
    EXPECT_EQ(runBatch({"kvistel", "--batch", home.path("lista.csv"), "--home", home.withSlash()},
                       full, err),
              2);
    EXPECT_TRUE(QString::fromLocal8Bit(err.data()).contains("disken är full"))
        << err.data().toStdString();
    EXPECT_EQ(home.read("lista.csv"), "id,bdm\r\n1,30\r\n");
}
#endif

} // namespace

// Started where no trad.sty is and without --home, the command line works in the home
// directory the program used last and says so; with none to fall back on, its refusal names
// --home.
TEST(CommandLine, WithoutHomeUsesTheRememberedOneAndSaysSo) {
    QStandardPaths::setTestModeEnabled(true);
    TempHome home, elsewhere;
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv", "id,bdm\r\n1,30\r\n");
    const QString started = QDir::currentPath();
    // Where test mode does not reach (the registry on Windows) the user's own setting is kept.
    const QVariant before = QSettings("Kvistel", "Kvistel").value("hemkatalog");
    ASSERT_TRUE(QDir::setCurrent(elsewhere.withSlash()));
    struct Case {
        QString remembered;
        int status;
        const char *says;
    };
    for (const Case &c :
         {Case{home.withSlash(), 0, "använder hemkatalogen"}, Case{QString(), 2, "--home KATALOG"},
          Case{elsewhere.path("borta"), 2, "--home KATALOG"}}) {
        QSettings settings("Kvistel", "Kvistel");
        settings.setValue("hemkatalog", c.remembered);
        settings.sync();
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        EXPECT_EQ(runBatch({"kvistel", "--batch", home.path("lista.csv")}, out, err), c.status)
            << err.data().toStdString();
        EXPECT_TRUE(QString::fromLocal8Bit(err.data()).contains(QString::fromUtf8(c.says)))
            << err.data().toStdString();
        EXPECT_EQ(out.data().isEmpty(), c.status != 0);
    }
    if (before.isValid())
        QSettings("Kvistel", "Kvistel").setValue("hemkatalog", before);
    else
        QSettings("Kvistel", "Kvistel").remove("hemkatalog");
    QDir::setCurrent(started);
    QStandardPaths::setTestModeEnabled(false);
}
