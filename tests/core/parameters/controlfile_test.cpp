#include "core/files/numberformat.h"
#include "core/files/textfile.h"
#include "core/parameters/controlfile.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cmath>

#include <gtest/gtest.h>

TEST(SlashCodec, DecodesTheTextBetweenTheFirstTwoSlashes) {
    EXPECT_EQ(valueOfLine("rant:/3/"), "3");
    EXPECT_EQ(valueOfLine("rant://"), "");
    EXPECT_EQ(valueOfLine("rant: x /3/ räntekrav / mer"), "3");
    EXPECT_EQ(valueOfLine("rant:/3"), "");
    EXPECT_EQ(valueOfLine("rant:"), "");
}

TEST(SlashCodec, EncodingKeepsEverythingOutsideTheValue) {
    EXPECT_EQ(withValue("rant:/3/", "4.5"), "rant:/4.5/");
    EXPECT_EQ(withValue("rant: x /3/ räntekrav /mer", "10"), "rant: x /10/ räntekrav /mer");
    EXPECT_EQ(withValue("rant:/3/", ""), "rant://");
    EXPECT_EQ(withValue("rant://", " 7 "), "rant:/ 7 /");
    // A line without two slashes cannot take a value and stays as it is.
    EXPECT_EQ(withValue("rant:/3", "4"), "rant:/3");
    EXPECT_EQ(withValue("rant: 3", "4"), "rant: 3");
}

TEST(SlashCodec, KeysMatchOnlyAtTheStartAndInTheirOwnCase) {
    EXPECT_TRUE(carriesKey(u"rant:/3/", u"rant:"));
    EXPECT_FALSE(carriesKey(u" rant:/3/", u"rant:"));
    EXPECT_FALSE(carriesKey(u"RANT:/3/", u"rant:"));
    EXPECT_FALSE(carriesKey(u"ranta/3/", u"rant:"));
    EXPECT_FALSE(carriesKey(u"ran", u"rant:"));
}

namespace {

QList<QPair<QString, QString>> readAll(const TempHome &home, const QStringList &keys,
                                       ControlFile::Lines lines) {
    QList<QPair<QString, QString>> seen;
    const Outcome read =
        ControlFile(home.directory()).read(keys, lines, [&](const QString &k, const QString &v) {
            seen.append({k, v});
        });
    EXPECT_TRUE(read.ok()) << read.message().toStdString();
    return seen;
}

} // namespace

TEST(ControlFileReading, DuplicateKeysAreAllAppliedInFileOrder) {
    TempHome home;
    home.writeLines("trad.sty", {"head", "rant:/3/", "bdm:/30/", "rant:/4/", "tail"});
    const auto seen = readAll(home, {"rant:", "bdm:"}, ControlFile::Lines::AllButLast);
    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen[0], qMakePair(QString("rant:"), QString("3")));
    EXPECT_EQ(seen[2], qMakePair(QString("rant:"), QString("4")));
}

TEST(ControlFileReading, EachReaderSkipsItsOwnEndLine) {
    TempHome home;
    home.writeLines("trad.sty", {"rant:/1/", "rant:/2/", "rant:/3/"});
    auto values = [&](ControlFile::Lines lines) {
        QStringList v;
        for (const auto &p : readAll(home, {"rant:"}, lines))
            v << p.second;
        return v;
    };
    EXPECT_EQ(values(ControlFile::Lines::AllButLast), (QStringList{"1", "2"}));
    EXPECT_EQ(values(ControlFile::Lines::AllButFirst), (QStringList{"2", "3"}));
}

TEST(ControlFileReading, LinesWithoutTwoSlashesAreSkippedNotFatal) {
    TempHome home;
    home.writeLines("trad.sty", {"head", "rant:3", "rant:/3", "bdm:/30/", "tail"});
    const auto seen = readAll(home, {"rant:", "bdm:"}, ControlFile::Lines::AllButLast);
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].first, "bdm:");
}

TEST(ControlFileReading, LfOnlyFilesAreReadLineByLine) {
    TempHome home;
    home.write("trad.sty", "head\nrant:/3/\nbdm:/30/\ntail\n");
    EXPECT_EQ(readAll(home, {"rant:", "bdm:"}, ControlFile::Lines::AllButLast).size(), 2);
}

TEST(ControlFileReading, AnEmptyFileHoldsNothing) {
    TempHome home;
    home.write("trad.sty", "");
    EXPECT_TRUE(readAll(home, {"rant:"}, ControlFile::Lines::AllButLast).isEmpty());
    EXPECT_TRUE(readAll(home, {"rant:"}, ControlFile::Lines::AllButFirst).isEmpty());
}

TEST(ControlFileReading, AMissingFileIsReportedAndNothingApplied) {
    TempHome home;
    bool called = false;
    const Outcome read = ControlFile(home.directory())
                             .read({"rant:"}, ControlFile::Lines::AllButLast,
                                   [&](const QString &, const QString &) { called = true; });
    EXPECT_FALSE(read.ok());
    EXPECT_FALSE(called);
    EXPECT_TRUE(read.message().contains("trad.sty"));
}

TEST(ControlFileSaving, OnlyTheSavingFormsKeysChangeEveryOtherByteStays) {
    TempHome home;
    const QByteArray before = "Styrfil f\xf6r Kvistel\r\n"
                              "sv:/S/ region\r\n"
                              "rant: r\xe4ntekrav /3/ procent / extra\r\n"
                              "rant:/9/\r\n"
                              "bdm:/30/\r\n"
                              "okänd rad\r\n"
                              "\r\n"
                              "mt:/250/\r\n"
                              "Slut";
    home.write("trad.sty", before);
    QString error;
    ASSERT_TRUE(ControlFile(home.directory())
                    .save({{"rant:", "4.5"}, {"mt:", "300"}, {"harvpr:", "50"}})
                    .ok());
    EXPECT_EQ(home.read("trad.sty"), QByteArray("Styrfil f\xf6r Kvistel\r\n"
                                                "sv:/S/ region\r\n"
                                                "rant: r\xe4ntekrav /4.5/ procent / extra\r\n"
                                                "rant:/4.5/\r\n"
                                                "bdm:/30/\r\n"
                                                "okänd rad\r\n"
                                                "\r\n"
                                                "mt:/300/\r\n"
                                                "harvpr:/50/\r\n"
                                                "Slut\r\n"));
    EXPECT_FALSE(home.exists("tmp.sty"));
}

// A value whose key has no line that every reader reads gets a line of its own just before
// the closing line: the stand form skips the first line, the other readers the last.
struct MissingKey {
    const char *name;
    QByteArray before;
    QList<std::pair<QString, QString>> values;
    QByteArray after;
};

void PrintTo(const MissingKey &m, std::ostream *os) {
    *os << m.name;
}

class SavingAKeyWithoutALine : public ::testing::TestWithParam<MissingKey> {};

TEST_P(SavingAKeyWithoutALine, AddsItBeforeTheClosingLineOnceAndForAll) {
    const MissingKey &m = GetParam();
    TempHome home;
    home.write("trad.sty", m.before);
    QHash<QString, QString> values;
    for (const auto &[key, value] : m.values)
        values.insert(key, value);
    for (int i = 0; i < 3; ++i) // a second and a third save add nothing more
        ASSERT_TRUE(ControlFile(home.directory()).save(values).ok());
    EXPECT_EQ(home.read("trad.sty"), m.after);

    // Every reader finds the value: the engine's lines and the stand form's lines.
    for (const auto lines : {ControlFile::Lines::AllButLast, ControlFile::Lines::AllButFirst}) {
        QHash<QString, QString> read;
        ASSERT_TRUE(
            ControlFile(home.directory())
                .read(values.keys(), lines,
                      [&](const QString &key, const QString &value) { read.insert(key, value); })
                .ok());
        EXPECT_EQ(read, values);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, SavingAKeyWithoutALine,
    ::testing::Values(
        MissingKey{"NoLine",
                   "head\r\nbdm:/30/\r\ntail\r\n",
                   {{"rant:", "4"}},
                   "head\r\nbdm:/30/\r\nrant:/4/\r\ntail\r\n"},
        MissingKey{"TwoMissingInTableOrder",
                   "head\r\ntail",
                   {{"mt:", "1"}, {"rant:", "4"}},
                   "head\r\nrant:/4/\r\nmt:/1/\r\ntail\r\n"},
        MissingKey{"KeyInCapitals",
                   "head\r\nRant:/3/\r\ntail\r\n",
                   {{"rant:", "4"}},
                   "head\r\nRant:/3/\r\nrant:/4/\r\ntail\r\n"},
        MissingKey{"OnlyOnTheFirstLine",
                   "rant:/1/\r\ntail\r\n",
                   {{"rant:", "4"}},
                   "rant:/4/\r\nrant:/4/\r\ntail\r\n"},
        MissingKey{"OnlyOnTheLastLine",
                   "head\r\nrant:/2/",
                   {{"rant:", "4"}},
                   "head\r\nrant:/4/\r\nrant:/4/\r\n"},
        MissingKey{"LineWithoutSlashes",
                   "head\r\nrant:3\r\nrant:/3\r\ntail\r\n",
                   {{"rant:", "7"}},
                   "head\r\nrant:3\r\nrant:/3\r\nrant:/7/\r\ntail\r\n"},
        MissingKey{"OneLineFile", "Styrfil", {{"rant:", "4"}}, "Styrfil\r\nrant:/4/\r\n\r\n"},
        MissingKey{"EmptyFile", "", {{"rant:", "4"}}, "\r\nrant:/4/\r\n\r\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ControlFileSaving, AValueTheFileCannotHoldIsRefusedAndNothingIsWritten) {
    for (const char *value : {"3ł", "😀", "3/4", "3\r\nbdm:/999/"}) {
        TempHome home;
        const QByteArray before = "head\r\nrant:/3/\r\ntail\r\n";
        home.write("trad.sty", before);
        const Outcome saved =
            ControlFile(home.directory()).save({{"rant:", QString::fromUtf8(value)}, {"mt:", "5"}});
        EXPECT_FALSE(saved.ok()) << value;
        EXPECT_TRUE(saved.message().contains("rant:")) << saved.message().toStdString();
        EXPECT_EQ(home.read("trad.sty"), before) << value;
        EXPECT_FALSE(home.exists("tmp.sty"));
    }
}

TEST(ControlFileSaving, LfOnlyFileIsSavedWithCrLf) {
    TempHome home;
    home.write("trad.sty", "head\nrant:/3/\ntail\n");
    QString error;
    ASSERT_TRUE(ControlFile(home.directory()).save({{"rant:", "5"}}).ok());
    EXPECT_EQ(home.read("trad.sty"), QByteArray("head\r\nrant:/5/\r\ntail\r\n"));
}

TEST(ControlFileSaving, EveryLineThatCarriesTheKeyGetsTheValueTheFirstAndLastToo) {
    TempHome home;
    home.writeLines("trad.sty", {"rant:/0/", "rant:/1/", "rant:/2/"});
    ASSERT_TRUE(ControlFile(home.directory()).save({{"rant:", "7"}}).ok());
    EXPECT_EQ(home.readLines("trad.sty"), (QStringList{"rant:/7/", "rant:/7/", "rant:/7/"}));
}

TEST(ControlFileSaving, EveryByteValueOutsideTheValuesRoundTrips) {
    TempHome home;
    QByteArray foreign;
    // NUL excepted: a file with NUL bytes is no Windows-1252 text (it is refused unread).
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            foreign.append(char(b));
    home.write("trad.sty", "head\r\n" + foreign + "\r\nrant:/3/\r\ntail\r\n");
    QString error;
    ASSERT_TRUE(ControlFile(home.directory()).save({{"rant:", "4"}}).ok());
    EXPECT_EQ(home.read("trad.sty"), "head\r\n" + foreign + "\r\nrant:/4/\r\ntail\r\n");
}

TEST(ControlFileSaving, AFailedSaveKeepsTheControlFileAndRemovesTmpSty) {
    TempHome home;
    const QByteArray before = "head\r\nrant:/3/\r\ntail\r\n";
    home.write("trad.sty", before);
    QString error;
    if (permissionsStopWrites()) {
        // A read-only home directory.
        QFile::setPermissions(home.withSlash(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        EXPECT_FALSE(ControlFile(home.directory()).save({{"rant:", "4"}}).ok());
        QFile::setPermissions(home.withSlash(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner);
        EXPECT_EQ(home.read("trad.sty"), before);
        EXPECT_FALSE(home.exists("tmp.sty"));
    }
    // A disk error while the new file is written fails the save for anyone.
    simulateWriteFailure(EIO);
    const Outcome saved = ControlFile(home.directory()).save({{"rant:", "4"}});
    simulateWriteFailure(0);
    EXPECT_FALSE(saved.ok());
    EXPECT_EQ(home.read("trad.sty"), before);
    EXPECT_TRUE(saved.message().contains("trad.sty")) << saved.message().toStdString();
}

TEST(ControlFileSaving, AControlFileThatVanishedIsReportedNotCreated) {
    TempHome home;
    const Outcome saved = ControlFile(home.directory()).save({{"rant:", "4"}});
    EXPECT_FALSE(saved.ok());
    EXPECT_FALSE(home.exists("trad.sty"));
    EXPECT_FALSE(home.exists("tmp.sty"));
    EXPECT_FALSE(saved.message().isEmpty());
}
