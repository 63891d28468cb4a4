#include "core/files/homedirectory.h"
#include "core/files/outcome.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

struct DirectoryCase {
    const char *given;
    const char *path;        // relative to the current directory when not starting with "/"
    const char *controlFile; // the same
};

class HomeDirectoryPaths : public testing::TestWithParam<DirectoryCase> {};

// On Windows a path from "/" lies on the drive of the current directory ("C:/home/ola").
QString currentDrive() {
    const QString current = QDir::currentPath();
    return current.size() > 1 && current[1] == u':' ? current.left(2) : QString();
}

QString fromCurrent(const char *path) {
    const QString p = QString::fromUtf8(path);
    return p.startsWith(u'/') ? currentDrive() + p : QDir::currentPath() + u'/' + p;
}

} // namespace

TEST_P(HomeDirectoryPaths, OneFormWhateverTheSeparatorsTyped) {
    const DirectoryCase &c = GetParam();
    const HomeDirectory home{QString::fromUtf8(c.given)};
    EXPECT_EQ(home.path(), fromCurrent(c.path));
    EXPECT_EQ(home.controlFile(), fromCurrent(c.controlFile));
}

INSTANTIATE_TEST_SUITE_P(
    Given, HomeDirectoryPaths,
    testing::Values(DirectoryCase{"/home/ola/skog", "/home/ola/skog", "/home/ola/skog/trad.sty"},
                    DirectoryCase{"/home/ola/skog/", "/home/ola/skog", "/home/ola/skog/trad.sty"},
                    DirectoryCase{"/home//ola/./skog//", "/home/ola/skog",
                                  "/home/ola/skog/trad.sty"},
                    DirectoryCase{"/", "/", "/trad.sty"},
                    DirectoryCase{"skog/", "skog", "skog/trad.sty"},
                    DirectoryCase{"skog/../ek", "ek", "ek/trad.sty"}));

TEST(HomeDirectory, EachFileHasItsOwnNameInTheDirectory) {
    const HomeDirectory home(QStringLiteral("/data/Skog 1"));
    EXPECT_EQ(home.controlFile(), fromCurrent("/data/Skog 1/trad.sty"));
    EXPECT_EQ(home.priceList(), fromCurrent("/data/Skog 1/priser_ac.txt"));
    EXPECT_EQ(home.report(), fromCurrent("/data/Skog 1/resultat.txt"));
    EXPECT_EQ(home.filePath("tall_30cm.csv"), fromCurrent("/data/Skog 1/tall_30cm.csv"));
    EXPECT_EQ(home, HomeDirectory(QStringLiteral("/data/Skog 1/")));
    EXPECT_NE(home, HomeDirectory(QStringLiteral("/data/Skog 2")));
}

TEST(Expected, HoldsEitherTheValueOrWhyThereIsNone) {
    const Expected<int> value = 7;
    ASSERT_TRUE(value.ok());
    EXPECT_EQ(*value, 7);
    EXPECT_TRUE(value.message().isEmpty());

    const Expected<int> none = Outcome::failure(QStringLiteral("Filen finns inte."));
    EXPECT_FALSE(none.ok());
    EXPECT_FALSE(none.outcome().ok());
    EXPECT_EQ(none.message(), "Filen finns inte.");
}
