// What stands in the way of a save on Windows, and the words the user gets for it.
#include "core/files/textfile.h"
#include "testsupport.h"

#include <QDir>

#include <windows.h>

#include <gtest/gtest.h>

namespace {

std::wstring native(const QString &path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

QStringList temporaries(const TempHome &home) {
    return QDir(home.withSlash()).entryList({"*.tmp"}, QDir::Files | QDir::Hidden);
}

} // namespace

TEST(WindowsSave, AReadOnlyAttributeIsNamedAndTheFileKept) {
    TempHome home;
    home.write("f.txt", "old");
    ASSERT_TRUE(SetFileAttributesW(native(home.path("f.txt")).c_str(), FILE_ATTRIBUTE_READONLY));
    const Outcome saved = replaceFileSafely(home.path("f.txt"), "new");
    EXPECT_TRUE(saved.message().contains("\"Skrivskyddad\" är markerad i filens egenskaper"))
        << saved.message().toStdString();
    EXPECT_EQ(home.read("f.txt"), QByteArray("old"));
    EXPECT_EQ(temporaries(home), QStringList());
    SetFileAttributesW(native(home.path("f.txt")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(WindowsSave, AFileAnotherProgramHoldsOpenIsNamedAndKept) {
    TempHome home;
    home.write("f.txt", "old");
    // As a spreadsheet program holds the file it shows: shared with no one.
    const HANDLE other = CreateFileW(native(home.path("f.txt")).c_str(), GENERIC_READ, 0, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    const Outcome saved = replaceFileSafely(home.path("f.txt"), "new");
    CloseHandle(other);
    EXPECT_TRUE(saved.message().contains("öppen i ett annat program"))
        << saved.message().toStdString();
    EXPECT_EQ(home.read("f.txt"), QByteArray("old"));
    EXPECT_EQ(temporaries(home), QStringList());
    EXPECT_TRUE(replaceFileSafely(home.path("f.txt"), "new").ok());
}

TEST(WindowsSave, HiddenFileStaysHidden) {
    TempHome home;
    home.write("f.txt", "old");
    SetFileAttributesW(native(home.path("f.txt")).c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(replaceFileSafely(home.path("f.txt"), "new").ok());
    EXPECT_TRUE(GetFileAttributesW(native(home.path("f.txt")).c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(home.read("f.txt"), QByteArray("new"));
}

TEST(WindowsRead, ANamedPipeIsRefusedNotWaitedOn) {
    const QString name = QStringLiteral("\\\\.\\pipe\\kvistel-test-%1").arg(GetCurrentProcessId());
    const HANDLE pipe = CreateNamedPipeW(native(name).c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE,
                                         1, 0, 0, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    const Expected<QByteArray> read = readWholeFile(name);
    CloseHandle(pipe);
    EXPECT_TRUE(read.message().contains("ingen vanlig fil")) << read.message().toStdString();
}
