#include "testsupport.h"
#include "textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include <gtest/gtest.h>

TEST(Cp1252, EveryByteValueSurvivesADecodeAndEncode) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(encodeCp1252(decodeCp1252(all)), all);
}

TEST(Cp1252, SwedishLettersAreSingleBytes) {
    EXPECT_EQ(encodeCp1252(QStringLiteral("åäöÅÄÖ")), QByteArray("\xe5\xe4\xf6\xc5\xc4\xd6"));
    EXPECT_EQ(decodeCp1252("\x80"), QStringLiteral("€"));
}

TEST(SplitLines, CrLfCrAndLoneLfAllEndALine) {
    EXPECT_EQ(splitLines(QStringLiteral("a\r\nb\r\n")), (QStringList{"a", "b"}));
    EXPECT_EQ(splitLines(QStringLiteral("a\nb\n")), (QStringList{"a", "b"}));
    EXPECT_EQ(splitLines(QStringLiteral("a\rb")), (QStringList{"a", "b"}));
    EXPECT_EQ(splitLines(QStringLiteral("a\r\n\r\nb")), (QStringList{"a", "", "b"}));
    EXPECT_EQ(splitLines(QString()), QStringList());
    EXPECT_EQ(splitLines(QStringLiteral("\r\n")), QStringList{""});
}

TEST(SplitLines, JoinWritesCrLfAfterEveryLine) {
    EXPECT_EQ(joinLinesCrLf({"a", "", "ö"}), QByteArray("a\r\n\r\n\xf6\r\n"));
    EXPECT_EQ(joinLinesCrLf({}), QByteArray());
}

TEST(SafeReplace, ReplacesTheFileAndLeavesNoTemporaryFile) {
    TempHome home;
    home.write("f.txt", "old");
    QString error;
    ASSERT_TRUE(replaceFileSafely(home.path("f.txt"), "new", home.path("tmp.x"), &error));
    EXPECT_EQ(home.read("f.txt"), QByteArray("new"));
    EXPECT_FALSE(home.exists("tmp.x"));
}

TEST(SafeReplace, AReadOnlyDirectoryKeepsTheOldFileAndSaysSo) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only directories; the failure is simulated below";
    TempHome home;
    home.write("f.txt", "old");
    QFile::setPermissions(home.sokvag(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QString error;
    EXPECT_FALSE(replaceFileSafely(home.path("f.txt"), "new", home.path("tmp.x"), &error));
    QFile::setPermissions(home.sokvag(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(home.read("f.txt"), QByteArray("old"));
    EXPECT_TRUE(error.contains("kunde inte sparas"));
}

TEST(SafeReplace, ATemporaryFileThatCannotBeMadeKeepsTheOldFile) {
    // A directory standing where the temporary file should go fails the write even for root.
    TempHome home;
    home.write("f.txt", "old");
    QDir(home.sokvag()).mkdir("tmp.x");
    QString error;
    EXPECT_FALSE(replaceFileSafely(home.path("f.txt"), "new", home.path("tmp.x"), &error));
    EXPECT_EQ(home.read("f.txt"), QByteArray("old"));
    EXPECT_TRUE(error.contains("f.txt"));
}

TEST(SafeReplace, ADirectoryInPlaceOfTheTargetIsRefused) {
    TempHome home;
    QDir(home.sokvag()).mkdir("f.txt");
    QString error;
    EXPECT_FALSE(replaceFileSafely(home.path("f.txt"), "new", home.path("tmp.x"), &error));
    EXPECT_TRUE(QFileInfo(home.path("f.txt")).isDir());
    EXPECT_FALSE(home.exists("tmp.x"));
}

TEST(ReadWholeFile, MissingFileAndDirectoryGiveSwedishMessages) {
    TempHome home;
    QByteArray bytes;
    QString error;
    EXPECT_FALSE(readWholeFile(home.path("nej.txt"), &bytes, &error));
    EXPECT_TRUE(error.contains("finns inte"));
    QDir(home.sokvag()).mkdir("d");
    EXPECT_FALSE(readWholeFile(home.path("d"), &bytes, &error));
    EXPECT_TRUE(error.contains("katalog"));
}

TEST(SafeReplace, AWriteProtectedFileIsNotReplacedAndOthersKeepTheirPermissions) {
    TempHome home;
    home.write("skydd.txt", "old");
    QFile::setPermissions(home.path("skydd.txt"), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    QString error;
    EXPECT_FALSE(replaceFileSafely(home.path("skydd.txt"), "new", home.path("tmp.x"), &error));
    EXPECT_TRUE(error.contains("skrivskyddad")) << error.toStdString();
    EXPECT_EQ(home.read("skydd.txt"), QByteArray("old"));
    EXPECT_FALSE(home.exists("tmp.x"));

    home.write("egen.txt", "old");
    const auto mine = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QFile::setPermissions(home.path("egen.txt"), mine);
    ASSERT_TRUE(replaceFileSafely(home.path("egen.txt"), "new", home.path("tmp.x"), &error));
    EXPECT_EQ(home.read("egen.txt"), QByteArray("new"));
    const int ownerGroupOther = 0x7077; // the current user's own flags are derived from these
    EXPECT_EQ(QFile::permissions(home.path("egen.txt")) & ownerGroupOther, mine & ownerGroupOther);
}
