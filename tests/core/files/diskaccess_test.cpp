#include "core/files/diskaccess.h"

#include <QDir>

#include <cerrno>

#include <gtest/gtest.h>

namespace {

// What the C library reports, as the cause the user is told of; the system's own words always
// come along for a message that has none of its own.
struct ErrnoCase {
    int error;
    DiskFault fault;
};

class FaultFromErrno : public testing::TestWithParam<ErrnoCase> {};

TEST_P(FaultFromErrno, NamesTheCauseAndKeepsTheSystemsWords) {
    const DiskResult result = faultFromErrno(GetParam().error);
    EXPECT_EQ(result.fault, GetParam().fault);
    EXPECT_EQ(result.detail.isEmpty(), GetParam().error == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, FaultFromErrno,
    testing::Values(ErrnoCase{0, DiskFault::None}, ErrnoCase{ENOENT, DiskFault::NotFound},
                    ErrnoCase{EACCES, DiskFault::NoRights}, ErrnoCase{ENOSPC, DiskFault::DiskFull},
                    ErrnoCase{EIO, DiskFault::DiskError}, ErrnoCase{EPIPE, DiskFault::PipeClosed},
                    ErrnoCase{EROFS, DiskFault::ReadOnlyMount},
#ifdef EDQUOT
                    ErrnoCase{EDQUOT, DiskFault::QuotaUsedUp},
#endif
                    ErrnoCase{EINVAL, DiskFault::Other}));

TEST(DiskAccess, ACauseGoesBackToTheErrnoACallerOfTheCLibraryReadsAgain) {
    EXPECT_EQ(errnoOf(faultFromErrno(ENOSPC)), ENOSPC);
    EXPECT_EQ(errnoOf(faultFromErrno(EACCES)), EIO);
}

TEST(DiskAccess, APathIsShownAsTheUserKnowsIt) {
    const QString inHome = QDir::homePath() + QStringLiteral("/skog/lista.csv");
    const QString elsewhere = QStringLiteral("/tmp/lista.csv");
    if (hasDriveLetters()) {
        EXPECT_EQ(pathAsUserKnowsIt(inHome), QDir::toNativeSeparators(inHome));
        EXPECT_EQ(pathAsUserKnowsIt(elsewhere), QStringLiteral("\\tmp\\lista.csv"));
    } else {
        EXPECT_EQ(pathAsUserKnowsIt(inHome), QStringLiteral("~/skog/lista.csv"));
        EXPECT_EQ(pathAsUserKnowsIt(elsewhere), elsewhere);
    }
}

} // namespace
