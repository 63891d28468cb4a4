#include "core/files/textfile.h"
#include "core/parameters/controlfile.h"
#include "testsupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <thread>
#include <vector>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

namespace {

// No temporary file of a save is left in the directory.
QStringList temporaries(const TempHome &home) {
    return QDir(home.withSlash()).entryList({"*.tmp", "tmp.sty"}, QDir::AllEntries | QDir::Hidden);
}

} // namespace

TEST(Cp1252, EveryByteValueSurvivesADecodeAndEncode) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(encodeCp1252(decodeCp1252(all)), all);
    // The table agrees with ICU's converter, which Qt uses where it has one (not on Windows).
    if (QStringDecoder icu("windows-1252"); icu.isValid()) {
        EXPECT_EQ(decodeCp1252(all), QString(icu.decode(all)));
    }
}

TEST(Cp1252, EveryCharacterItLacksBecomesOneSubstituteAsInIcu) {
    QString held = decodeCp1252(QByteArray(1, '\0'));
    for (int b = 1; b < 256; ++b)
        held += decodeCp1252(QByteArray(1, char(b)));
    QString lacking;
    qsizetype count = 0;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (QChar::isSurrogate(c) || (c <= 0xFFFF && held.contains(QChar(char16_t(c)))))
            continue;
        if (QChar::requiresSurrogates(c))
            lacking.append(QChar(QChar::highSurrogate(c))).append(QChar(QChar::lowSurrogate(c)));
        else
            lacking.append(QChar(char16_t(c)));
        ++count;
    }
    ASSERT_EQ(count, 0x110000 - 0x800 - 256);
    // ICU writes 0x1A for each, or nothing for a character that is meant to be invisible; never
    // a byte of another character.
    const QByteArray icu = QStringEncoder("windows-1252").encode(lacking);
    EXPECT_EQ(icu.count('\x1a'), icu.size());
    EXPECT_EQ(encodeCp1252(lacking), QByteArray(count, '\x1a'));
    // A surrogate half without its other half is no character either.
    EXPECT_EQ(encodeCp1252(QString(QChar(0xD800)) + u'a' + QChar(0xDC00)), QByteArray("\x1a"
                                                                                      "a\x1a"));
}

TEST(Cp1252, SwedishLettersAndTheEuroSignAreSingleBytes) {
    EXPECT_EQ(encodeCp1252(QStringLiteral("åäöÅÄÖ")), QByteArray("\xe5\xe4\xf6\xc5\xc4\xd6"));
    EXPECT_EQ(decodeCp1252("\x80"), QStringLiteral("€"));
}

TEST(SplitLines, CrLfCrAndLfAllEndALine) {
    EXPECT_EQ(splitLines(QStringLiteral("a\r\nb\r\n")), (QStringList{"a", "b"}));
    EXPECT_EQ(splitLines(QStringLiteral("a\nb\n")), (QStringList{"a", "b"}));
    EXPECT_EQ(splitLines(QStringLiteral("a\rb")), (QStringList{"a", "b"}));
    EXPECT_EQ(splitLines(QStringLiteral("a\r\n\r\nb")), (QStringList{"a", "", "b"}));
    EXPECT_EQ(splitLines(QString()), QStringList());
    EXPECT_EQ(splitLines(QStringLiteral("\r\n")), QStringList{""});
}

TEST(JoinLines, EveryLineEndsWithCrLf) {
    EXPECT_EQ(joinLinesCrLf({"a", "", "ö"}), QByteArray("a\r\n\r\n\xf6\r\n"));
    EXPECT_EQ(joinLinesCrLf({}), QByteArray());
}

// ---- Files saved by other editors: which encoding is read, and which files are refused.

struct EncodingCase {
    const char *name;
    QByteArray bytes;
    const char *text;    // what is read, or nullptr when the file is refused
    const char *refusal; // what the refusal says
};

void PrintTo(const EncodingCase &c, std::ostream *os) {
    *os << c.name;
}

class FileEncoding : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(FileEncoding, IsReadAsTheEditorWroteItOrRefusedAndNeverRewritten) {
    const EncodingCase &c = GetParam();
    TempHome home;
    home.write("f.txt", c.bytes);
    const Expected<FileText> read = readTextFile(home.path("f.txt"));
    if (c.text) {
        ASSERT_TRUE(read.ok()) << read.message().toStdString();
        EXPECT_EQ(read->text, QString::fromUtf8(c.text));
        EXPECT_TRUE(read->stamp.matches(FileStamp::of(c.bytes)));
    } else {
        EXPECT_FALSE(read.ok());
        EXPECT_TRUE(read.message().contains(QString::fromUtf8(c.refusal)))
            << read.message().toStdString();
        EXPECT_TRUE(read.message().contains(home.path("f.txt")));
    }
    EXPECT_EQ(home.read("f.txt"), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileEncoding,
    ::testing::Values(
        EncodingCase{"Windows1252", "V\xe4sterbotten\r\n", "Västerbotten\r\n", nullptr},
        EncodingCase{"Utf8", "V\xc3\xa4sterbotten\r\n", "Västerbotten\r\n", nullptr},
        EncodingCase{"Utf8WithByteOrderMark", "\xef\xbb\xbfrant:/3/\r\n", "rant:/3/\r\n", nullptr},
        EncodingCase{"PlainAscii", "rant:/3/\n", "rant:/3/\n", nullptr},
        // Bytes Windows-1252 leaves undefined still come back as they were.
        EncodingCase{"UndefinedWindows1252Bytes", "a\x81\x8d\x8f\x90\x9d",
                     "a\u0081\u008d\u008f\u0090\u009d", nullptr},
        EncodingCase{"Utf16WithByteOrderMark", QByteArray("\xff\xfer\0a\0n\0t\0", 10), nullptr,
                     "UTF-16"},
        EncodingCase{"Utf16BigEndian", QByteArray("\xfe\xff\0r\0a", 6), nullptr, "UTF-16"},
        EncodingCase{"Utf16WithoutMark", QByteArray("r\0a\0n\0t\0:\0", 10), nullptr, "nolltecken"},
        EncodingCase{"NulInTheMiddle", QByteArray("rant:/3/\r\n\0\0\0\r\n", 15), nullptr,
                     "nolltecken"},
        EncodingCase{"ByteOrderMarkWithBrokenUtf8", "\xef\xbb\xbf\xe4r", nullptr, "UTF-8"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(EncodeForFile, ACharacterWindows1252LacksIsRefusedByNameAndLine) {
    const Expected<QByteArray> bytes = encodeForFile(QStringLiteral("a €\r\nå"), "f");
    ASSERT_TRUE(bytes.ok());
    EXPECT_EQ(*bytes, QByteArray("a \x80\r\n\xe5"));
    const struct {
        QString text;
        QString says;
    } refused[] = {
        {QStringLiteral("Łódź"), QStringLiteral("\"Ł\" (U+0141) på rad 1")},
        {QStringLiteral("a\r\nb\nc 😀"), QStringLiteral("\"😀\" (U+1f600) på rad 3")},
    };
    for (const auto &r : refused) {
        const Expected<QByteArray> o = encodeForFile(r.text, "f.txt");
        EXPECT_FALSE(o.ok());
        EXPECT_TRUE(o.message().contains(r.says)) << o.message().toStdString();
    }
}

// A folder of the user's own files that look like temporary files of a save: a save keeps every
// one of them. Only the program's own name, untouched for a day, is taken for a crash's leftover;
// a fresh one may be another copy's save in progress.
TEST(SafeReplace, KeepsEveryFileOfTheUsersThatLooksLikeATemporaryFile) {
    TempHome home;
    const QStringList users{"trad.sty.backup.tmp",
                            "trad.sty.kopia2.tmp",
                            "bestand.csv.kopia2.tmp",
                            "bestand.csv.x7Kq2a.tmp",
                            "bestand.csv.ABCDEF.tmp",
                            "bestand.csv.~kvistel-.tmp",
                            "bestand.csv.~kvistel-abc.tmp",
                            "bestand.csv.~kvistel-abcdefgh.tmp.bak",
                            "bestand.csv.~kvistel-abcd_fgh.tmp",
                            "bestand.csv.~kvistel-abcdefghi.tmp",
                            "bestand.csv.tmp",
                            "bestand.csvXabcdef.tmp"};
    const QString fresh = "bestand.csv.~kvistel-Fresh123.tmp";
    const QString crashed = "bestand.csv.~kvistel-Crash123.tmp";
    for (const QString &name : users + QStringList{fresh, crashed})
        home.write(name, name.toUtf8());
    QFile old(home.path(crashed));
    ASSERT_TRUE(old.open(QIODevice::ReadWrite));
    ASSERT_TRUE(old.setFileTime(QDateTime::currentDateTimeUtc().addDays(-2),
                                QFileDevice::FileModificationTime));
    old.close();
    home.write("trad.sty", "old");
    home.write("bestand.csv", "old");

    ASSERT_TRUE(replaceFileSafely(home.path("trad.sty"), "new").ok());
    ASSERT_TRUE(replaceFileSafely(home.path("bestand.csv"), "new").ok());
    for (const QString &name : users + QStringList{fresh})
        EXPECT_EQ(home.read(name), name.toUtf8()) << name.toStdString();
    EXPECT_FALSE(home.exists(crashed));
}

// ---- Saves: what stands in the way, and what the message says.

TEST(SafeReplace, ReplacesTheFileKeepsItRegularAndLeavesNoTemporaryFile) {
    TempHome home;
    home.write("f.txt", "old");
    ASSERT_TRUE(replaceFileSafely(home.path("f.txt"), "new").ok());
    EXPECT_EQ(home.read("f.txt"), QByteArray("new"));
    EXPECT_TRUE(QFileInfo(home.path("f.txt")).isFile());
    EXPECT_FALSE(QFileInfo(home.path("f.txt")).isSymLink());
    EXPECT_EQ(temporaries(home), QStringList());
    EXPECT_FALSE(home.exists(".kvistel.lock"));
}

// Entries planted under names a temporary file of a save could have: a link to a file
// elsewhere, a link to nowhere, a leftover from a crash, a directory.
struct Planted {
    const char *name;
    const char *entry;
    const char *target; // the file the save replaces
    enum Kind { LinkOutside, DanglingLink, Leftover, Directory, OwnLeftover } kind;
};

void PrintTo(const Planted &p, std::ostream *os) {
    *os << p.name;
}

class PlantedTemporaryName : public ::testing::TestWithParam<Planted> {};

TEST_P(PlantedTemporaryName, IsNeverFollowedNorInTheWayAndItsTargetStaysUntouched) {
    const Planted &p = GetParam();
    TempHome home, elsewhere;
    const QString target = QString::fromLatin1(p.target);
    home.write(target, "old");
    elsewhere.write("victim", "someone else's file");
    const QString entry = home.path(p.entry);
    switch (p.kind) {
    case Planted::LinkOutside:
        if (!makeSymbolicLink(elsewhere.path("victim"), entry))
            GTEST_SKIP() << "no symbolic links on this system";
        break;
    case Planted::DanglingLink:
        if (!makeSymbolicLink(elsewhere.path("nothing"), entry))
            GTEST_SKIP() << "no symbolic links on this system";
        break;
    case Planted::Leftover:
        home.write(p.entry, "half a file from a crash");
        break;
    case Planted::OwnLeftover: {
        home.write(p.entry, "half a file from a crash");
        // A crash's leftover is old; one being written by another save is not.
        QFile old(entry);
        ASSERT_TRUE(old.open(QIODevice::ReadWrite));
        ASSERT_TRUE(old.setFileTime(QDateTime::currentDateTimeUtc().addDays(-2),
                                    QFileDevice::FileModificationTime));
        break;
    }
    case Planted::Directory:
        QDir(home.withSlash()).mkdir(p.entry);
        break;
    }
    const QFileInfo before(entry);

    ASSERT_TRUE(replaceFileSafely(home.path(target), "new").ok());

    EXPECT_EQ(home.read(target), QByteArray("new"));
    EXPECT_FALSE(QFileInfo(home.path(target)).isSymLink());
    EXPECT_EQ(elsewhere.read("victim"), QByteArray("someone else's file"));
    EXPECT_FALSE(elsewhere.exists("nothing"));
    const QFileInfo after(entry);
    EXPECT_EQ(after.isSymLink(), before.isSymLink());
    EXPECT_EQ(after.symLinkTarget(), before.symLinkTarget());
    if (p.kind == Planted::OwnLeftover) {
        EXPECT_FALSE(home.exists(p.entry)); // the program's own leftover is cleared away
        return;
    }
    EXPECT_EQ(after.isDir(), before.isDir());
    if (p.kind == Planted::Leftover) {
        EXPECT_EQ(home.read(p.entry), QByteArray("half a file from a crash"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, PlantedTemporaryName,
    ::testing::Values(
        Planted{"TmpStyLinkedOutside", "tmp.sty", "trad.sty", Planted::LinkOutside},
        Planted{"PriceListTmpLinkedOutside", "priser_ac.txt.tmp", "priser_ac.txt",
                Planted::LinkOutside},
        Planted{"ReportTmpLinkedOutside", "resultat.txt.tmp", "resultat.txt", Planted::LinkOutside},
        Planted{"TmpStyLinkedToNothing", "tmp.sty", "trad.sty", Planted::DanglingLink},
        Planted{"TmpStyLeftByACrash", "tmp.sty", "trad.sty", Planted::Leftover},
        Planted{"TmpStyDirectory", "tmp.sty", "trad.sty", Planted::Directory},
        Planted{"OwnTemporaryLeftByACrash", "trad.sty.~kvistel-x7Kq2a9B.tmp", "trad.sty",
                Planted::OwnLeftover},
        Planted{"OwnTemporaryNameLinkedOutside", "trad.sty.~kvistel-x7Kq2a9B.tmp", "trad.sty",
                Planted::LinkOutside},
        Planted{"OwnTemporaryNameDirectory", "trad.sty.~kvistel-x7Kq2a9B.tmp", "trad.sty",
                Planted::Directory},
        Planted{"AnotherFilesTemporary", "trad.styx.~kvistel-x7Kq2a9B.tmp", "trad.sty",
                Planted::Leftover},
        // A name a save's temporary file could have, which a user's own files match too.
        Planted{"UsersSixLetterTmp", "trad.sty.x7Kq2a.tmp", "trad.sty", Planted::Leftover}),
    [](const auto &info) { return std::string(info.param.name); });

// What stands in place of the file itself.
struct Target {
    const char *name;
    std::function<void(const TempHome &home, const TempHome &elsewhere)> make;
    const char *says;
};

void PrintTo(const Target &t, std::ostream *os) {
    *os << t.name;
}

class UnusualTarget : public ::testing::TestWithParam<Target> {};

TEST_P(UnusualTarget, IsRefusedWithAMessageAndNothingIsWrittenAnywhere) {
    TempHome home, elsewhere;
    elsewhere.write("real.txt", "the user's own file");
    GetParam().make(home, elsewhere);
    if (!QFileInfo(home.path("f.txt")).exists() && !QFileInfo(home.path("f.txt")).isSymLink())
        GTEST_SKIP() << "this system cannot make one";
    const QFileInfo before(home.path("f.txt"));
    const Outcome saved = replaceFileSafely(home.path("f.txt"), "new");
    EXPECT_FALSE(saved.ok());
    EXPECT_TRUE(saved.message().contains(QString::fromUtf8(GetParam().says)))
        << saved.message().toStdString();
    EXPECT_EQ(elsewhere.read("real.txt"), QByteArray("the user's own file"));
    const QFileInfo after(home.path("f.txt"));
    EXPECT_EQ(after.isSymLink(), before.isSymLink());
    EXPECT_EQ(after.isDir(), before.isDir());
    EXPECT_EQ(temporaries(home), QStringList());
}

std::vector<Target> unusualTargets() {
    std::vector<Target> targets{
        Target{"SymbolicLink",
               [](const TempHome &h, const TempHome &e) {
                   makeSymbolicLink(e.path("real.txt"), h.path("f.txt"));
               },
               "symbolisk länk"},
        Target{"Directory",
               [](const TempHome &h, const TempHome &) { QDir().mkdir(h.path("f.txt")); },
               "är en katalog och inte en fil"},
        // On Windows: the read-only attribute.
        Target{"WriteProtected",
               [](const TempHome &h, const TempHome &) {
                   h.write("f.txt", "old");
                   QFile::setPermissions(h.path("f.txt"), QFileDevice::ReadOwner);
               },
               "skrivskyddad och sparades inte"}};
#ifndef _WIN32 // a named pipe on Windows has no place among files
    targets.push_back(Target{"NamedPipe",
                             [](const TempHome &h, const TempHome &) {
                                 ::mkfifo(QFile::encodeName(h.path("f.txt")).constData(), 0644);
                             },
                             "ingen vanlig fil"});
#endif
    return targets;
}

INSTANTIATE_TEST_SUITE_P(Targets, UnusualTarget, ::testing::ValuesIn(unusualTargets()),
                         [](const auto &info) { return std::string(info.param.name); });

#ifndef _WIN32 // Windows keeps rights in access lists, which the temporary file inherits
TEST(SafeReplace, AnyOtherFileKeepsItsPermissions) {
    TempHome home;
    home.write("egen.txt", "old");
    const auto mine = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QFile::setPermissions(home.path("egen.txt"), mine);
    ASSERT_TRUE(replaceFileSafely(home.path("egen.txt"), "new").ok());
    EXPECT_EQ(home.read("egen.txt"), QByteArray("new"));
    const int ownerGroupOther = 0x7077; // the current user's own flags are derived from these
    EXPECT_EQ(QFile::permissions(home.path("egen.txt")) & ownerGroupOther, mine & ownerGroupOther);
}
#endif

// Each cause of a failed write has its own words, and none of them changes the file.
struct WriteFault {
    const char *name;
    int error;
    const char *says;
};

void PrintTo(const WriteFault &f, std::ostream *os) {
    *os << f.name;
}

class FailedWrite : public ::testing::TestWithParam<WriteFault> {};

TEST_P(FailedWrite, NamesItsCauseAndKeepsTheOldFile) {
    TempHome home;
    home.write("f.txt", "old");
    simulateWriteFailure(GetParam().error);
    const Outcome saved = replaceFileSafely(home.path("f.txt"), "new");
    simulateWriteFailure(0);
    EXPECT_FALSE(saved.ok());
    EXPECT_TRUE(saved.message().contains(QString::fromUtf8(GetParam().says)))
        << saved.message().toStdString();
    EXPECT_TRUE(saved.message().contains("Den tidigare filen är oförändrad"));
    EXPECT_EQ(home.read("f.txt"), QByteArray("old"));
    EXPECT_EQ(temporaries(home), QStringList());
}

std::vector<WriteFault> writeFaults() {
    return {WriteFault{"DiskFull", ENOSPC, "disken är full"},
#ifdef EDQUOT
            WriteFault{"QuotaUsedUp", EDQUOT, "diskkvot"},
#endif
            WriteFault{"ReadOnlyDisk", EROFS, "monterad skrivskyddad"},
            WriteFault{"NoRights", EACCES, "saknar rätt att skriva"},
            WriteFault{"DiskError", EIO, "skrivfel"},
            WriteFault{"Other", EFBIG, "ett fel uppstod vid skrivningen"}};
}

INSTANTIATE_TEST_SUITE_P(Causes, FailedWrite, ::testing::ValuesIn(writeFaults()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ReadWholeFile, SaysWhyAFileCannotBeReadAndNeverWaitsOnAPipe) {
    TempHome home;
    EXPECT_TRUE(readWholeFile(home.path("nej.txt")).message().contains("finns inte"));
    QDir(home.withSlash()).mkdir("d");
    EXPECT_TRUE(readWholeFile(home.path("d")).message().contains("katalog"));
#ifndef _WIN32
    // No program writes into this pipe: a blocking open would wait forever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(home.path("rör")).constData(), 0644), 0);
    EXPECT_TRUE(readWholeFile(home.path("rör")).message().contains("ingen vanlig fil"));
#endif
}

// ---- Two copies of the program on one home directory.

TEST(TwoCopies, ASaveWaitsForTheOtherCopysLockThenGivesUpWithAMessage) {
    TempHome home;
    home.write("f.txt", "old");
    QLockFile other(home.path(".kvistel.lock"));
    ASSERT_TRUE(other.tryLock(0));
    std::thread theOtherCopy([&] {
        // Still saving when this copy starts; done long before its patience ends.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.unlock();
    });
    EXPECT_TRUE(replaceFileSafely(home.path("f.txt"), "after").ok());
    theOtherCopy.join();
    EXPECT_EQ(home.read("f.txt"), QByteArray("after"));

    ASSERT_TRUE(other.tryLock(0));
    const Outcome stuck = replaceFileSafely(home.path("f.txt"), "never");
    EXPECT_TRUE(stuck.message().contains("en annan kopia av Kvistel"))
        << stuck.message().toStdString();
    EXPECT_EQ(home.read("f.txt"), QByteArray("after"));
}

#ifndef _WIN32 // the second copy is a forked process
TEST(TwoCopies, RacingSavesNeverMixAndEachFileIsOneWholeSave) {
    TempHome home;
    home.write("f.txt", "old");
    // Large enough that an unguarded save would be caught in the middle.
    const QByteArray a(400 * 1024, 'a'), b(400 * 1024, 'b');
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) { // the second copy of the program
        for (int i = 0; i < 15; ++i)
            if (!replaceFileSafely(home.path("f.txt"), b).ok())
                ::_exit(1);
        ::_exit(0);
    }
    for (int i = 0; i < 15; ++i) {
        ASSERT_TRUE(replaceFileSafely(home.path("f.txt"), a).ok());
        const QByteArray now = home.read("f.txt");
        EXPECT_TRUE(now == a || now == b) << "a mixed file of " << now.size() << " bytes";
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const QByteArray last = home.read("f.txt");
    EXPECT_TRUE(last == a || last == b);
    EXPECT_EQ(temporaries(home), QStringList());
}
#endif

TEST(TwoCopies, AFileChangedSinceItWasReadIsNotOverwrittenUnlessTheUserSaysSo) {
    TempHome home;
    home.write("f.txt", "as read");
    const Expected<FileText> read = readTextFile(home.path("f.txt"));
    ASSERT_TRUE(read.ok());
    FileStamp stamp = read->stamp;
    EXPECT_TRUE(replaceFileUnlessChanged(home.path("f.txt"), "mine", stamp).ok());
    stamp = FileStamp::of("mine");
    home.write("f.txt", "the other copy's");
    const SaveOutcome stopped = replaceFileUnlessChanged(home.path("f.txt"), "mine again", stamp);
    EXPECT_TRUE(stopped.changedOnDisk());
    EXPECT_EQ(home.read("f.txt"), QByteArray("the other copy's"));
    EXPECT_TRUE(replaceFileUnlessChanged(home.path("f.txt"), "mine again", FileStamp()).ok());
    EXPECT_EQ(home.read("f.txt"), QByteArray("mine again"));
}

TEST(TwoCopies, TheControlFileAsksOnlyWhenTheFormsOwnValuesChanged) {
    TempHome home;
    const QStringList file{"Styrfil", "rant:/3/", "bdm:/30/", ""};
    home.writeLines("trad.sty", file);
    const ControlFile form(home.directory());
    ASSERT_TRUE(form.read({"rant:"}, ControlFile::Lines::AllButFirst,
                          [](const QString &, const QString &) {})
                    .ok());

    // The other form (or copy) saved another key: merged, no question.
    home.writeLines("trad.sty", {"Styrfil", "rant:/3/", "bdm:/41/", ""});
    EXPECT_TRUE(form.save({{"rant:", "4"}}, IfChangedSinceRead::Stop).ok());
    EXPECT_EQ(home.readLines("trad.sty"), (QStringList{"Styrfil", "rant:/4/", "bdm:/41/", ""}));
    // The form's own save is no change made elsewhere.
    EXPECT_TRUE(form.save({{"rant:", "5"}}, IfChangedSinceRead::Stop).ok());

    // Another copy changed this form's own value: stop, then overwrite when told to.
    home.writeLines("trad.sty", {"Styrfil", "rant:/9/", "bdm:/41/", ""});
    const QByteArray theirs = home.read("trad.sty");
    const SaveOutcome stopped = form.save({{"rant:", "6"}}, IfChangedSinceRead::Stop);
    EXPECT_TRUE(stopped.changedOnDisk());
    EXPECT_TRUE(stopped.message().contains("trad.sty"));
    EXPECT_EQ(home.read("trad.sty"), theirs);
    EXPECT_TRUE(form.save({{"rant:", "6"}}, IfChangedSinceRead::Overwrite).ok());
    EXPECT_TRUE(home.readLines("trad.sty").contains("rant:/6/"));
}

// A stamp is that of the bytes however they were read, and any change of them shows: one
// byte anywhere in a file of several blocks, bytes added or taken away at the end.
TEST(FileStampOfPieces, IsThatOfTheWholeAndTellsEveryChange) {
    QByteArray content;
    for (int i = 0; i < 200000; ++i)
        content += char('a' + i % 23);
    const FileStamp whole = FileStamp::of(content);
    for (const qsizetype piece : {qsizetype(1), qsizetype(4096), qsizetype(65535), qsizetype(65536),
                                  qsizetype(100000), content.size()}) {
        FileStampHasher hasher;
        for (qsizetype at = 0; at < content.size(); at += piece)
            hasher.addData(
                QByteArrayView(content).sliced(at, std::min(piece, content.size() - at)));
        EXPECT_TRUE(whole.matches(hasher.result())) << piece;
    }
    for (const qsizetype at : {qsizetype(0), qsizetype(65535), qsizetype(65536), qsizetype(131072),
                               content.size() - 1}) {
        QByteArray changed = content;
        changed[at] = 'Z';
        EXPECT_FALSE(whole.matches(FileStamp::of(changed))) << at;
    }
    EXPECT_FALSE(whole.matches(FileStamp::of(content + '\0')));
    EXPECT_FALSE(whole.matches(FileStamp::of(content.chopped(1))));
    EXPECT_FALSE(FileStamp::of("").matches(FileStamp::of(QByteArray(1, '\0'))));
    EXPECT_TRUE(FileStamp::of("").matches(FileStamp::of(QByteArray())));
}
