#include "core/files/diskaccessparts.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <utility>

// POSIX calls rather than QFile: only they tell the real cause of a failure (errno), open without
// following a link (O_EXCL, O_NOFOLLOW) and without waiting on a named pipe (O_NONBLOCK).

namespace {

QByteArray nativePath(const QString &path) {
    return QFile::encodeName(path);
}

DiskResult fault(DiskFault f) {
    return {f, {}};
}

DiskResult checkTarget(const QByteArray &path, struct stat *old, bool *exists) {
    *exists = ::lstat(path.constData(), old) == 0;
    if (!*exists)
        return errno == ENOENT ? DiskResult() : faultFromErrno(errno);
    if (S_ISDIR(old->st_mode))
        return fault(DiskFault::IsDirectory);
    if (S_ISLNK(old->st_mode))
        return fault(DiskFault::IsLink);
    if (!S_ISREG(old->st_mode))
        return fault(DiskFault::NotRegular);
    // The rename would succeed in a writable directory: a file the user has write-protected is
    // not replaced behind his back.
    if ((old->st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return fault(DiskFault::WriteProtectedFile);
    return {};
}

// A new file of a name no one else uses, next to the target.
int createTemporary(const QString &target, QByteArray *tempPath) {
    for (int attempt = 0; attempt < temporaryNameAttempts; ++attempt) {
        *tempPath = nativePath(newTemporaryName(target));
        // O_EXCL: a link or anything else of that name makes this fail rather than be followed.
        const int fd = ::open(tempPath->constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

int writeAll(int fd, QByteArrayView bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;
        done += n;
    }
    return 0;
}

} // namespace

DiskResult readRegularFile(const QString &path, QByteArray *bytes) {
    // Non-blocking, so that a named pipe in place of the file is refused instead of waited on.
    const int fd = ::open(nativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return faultFromErrno(errno);
    struct stat info {};
    DiskResult result;
    if (::fstat(fd, &info) != 0)
        result = faultFromErrno(errno);
    else if (S_ISDIR(info.st_mode))
        result = fault(DiskFault::IsDirectory);
    else if (!S_ISREG(info.st_mode))
        result = fault(DiskFault::NotRegular);
    if (!result.ok()) {
        ::close(fd);
        return result;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QByteArray content;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result = faultFromErrno(errno);
            break;
        }
        if (n == 0)
            break;
        content.append(buffer, n);
    }
    ::close(fd);
    if (result.ok())
        *bytes = std::move(content);
    return result;
}

struct FileReplacement::Native {
    QByteArray target;
    QByteArray temp;
    int fd = -1;
};

bool isQuotaErrno(int error) {
    return error == EDQUOT;
}

DiskResult FileReplacement::beginNative() {
    const QByteArray path = nativePath(m_target);
    struct stat old {};
    bool exists = false;
    if (DiskResult checked = checkTarget(path, &old, &exists); !checked.ok())
        return checked;
    auto native = std::make_unique<Native>();
    native->target = path;
    native->fd = createTemporary(m_target, &native->temp);
    if (native->fd < 0)
        return faultFromErrno(errno);
    m_native = native.release();
    // Any other file keeps its permissions.
    if (exists && ::fchmod(m_native->fd, old.st_mode & 07777) != 0)
        return faultFromErrno(errno);
    return {};
}

DiskResult FileReplacement::writeNative(QByteArrayView bytes) {
    return faultFromErrno(writeAll(m_native->fd, bytes));
}

DiskResult FileReplacement::commitNative() {
    // The data must be on the disk before the rename makes it the file of record; a full disk
    // or a failing share may first tell at the flush or the close.
    int error = ::fsync(m_native->fd) != 0 ? errno : 0;
    if (::close(std::exchange(m_native->fd, -1)) != 0 && !error)
        error = errno;
    if (!error && std::rename(m_native->temp.constData(), m_native->target.constData()) != 0)
        error = errno;
    if (error)
        return faultFromErrno(error);
    delete std::exchange(m_native, nullptr);
    return {};
}

void FileReplacement::abandonNative() {
    if (m_native->fd >= 0)
        ::close(m_native->fd);
    ::unlink(m_native->temp.constData());
    delete std::exchange(m_native, nullptr);
}

DiskResult checkReplaceable(const QString &target) {
    struct stat old {};
    bool exists = false;
    return checkTarget(nativePath(target), &old, &exists);
}

DiskResult whyNotWritable(const QString &directory) {
    const QByteArray dir = nativePath(directory);
    if (::access(dir.constData(), W_OK) != 0)
        return faultFromErrno(errno);
    // Writable by its rights, yet nothing could be made there: the disk tells why.
    struct statvfs disk {};
    if (::statvfs(dir.constData(), &disk) == 0 && (disk.f_flag & ST_RDONLY))
        return faultFromErrno(EROFS);
    if (::statvfs(dir.constData(), &disk) == 0 && disk.f_bavail == 0)
        return faultFromErrno(ENOSPC);
    return fault(DiskFault::DiskError);
}

int openForReading(const QString &path, bool streams, SourceKind *kind, DiskResult *why) {
    // Where streams are refused, opened without waiting, so that a named pipe chosen in a window
    // is refused at once; where they are read, a named pipe is opened as a reader of a pipe
    // opens it, waiting for its writer (opened without waiting it would read as empty, and a
    // second opening could miss a writer that came and went in between).
    const bool standardInput = path == u"-";
    const int fd = standardInput ? ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0)
                                 : ::open(nativePath(path).constData(),
                                          O_RDONLY | O_CLOEXEC | (streams ? 0 : O_NONBLOCK));
    if (fd < 0) {
        *why = faultFromErrno(errno);
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        *why = faultFromErrno(errno);
        ::close(fd);
        return -1;
    }
    *kind = S_ISDIR(info.st_mode)   ? SourceKind::Directory
            : S_ISREG(info.st_mode) ? SourceKind::RegularFile
                                    : SourceKind::Stream;
    if (!streams)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

void closeForReading(int fd) {
    ::close(fd);
}

bool isSameFile(const QString &path, const QString &other) {
    struct stat a {
    }, b{};
    if (::stat(nativePath(path).constData(), &a) != 0)
        return false;
    const bool known = other == u"-" ? ::fstat(STDIN_FILENO, &b) == 0
                                     : ::stat(nativePath(other).constData(), &b) == 0;
    return known && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

QString placeForNewHome() {
    return QDir::homePath();
}

bool hasDriveLetters() {
    return false;
}

QString pathAsUserKnowsIt(const QString &path) {
    const QString home = QDir::homePath() + u'/';
    if (path.startsWith(home))
        return QStringLiteral("~/") + path.mid(home.size());
    return path;
}

void makeBinary(std::FILE *) {
    // POSIX streams have no text mode.
}

bool keepStandardStream(int fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
        return true;
    const int nothing = ::open("/dev/null", O_RDWR);
    if (nothing >= 0 && nothing != fd) {
        ::dup2(nothing, fd);
        ::close(nothing);
    }
    return false;
}

StandardStreams settleStandardStreams() {
    StandardStreams streams;
    streams.outputOpen = keepStandardStream(STDOUT_FILENO);
    streams.errorsOpen = keepStandardStream(STDERR_FILENO);
    std::signal(SIGPIPE, SIG_IGN);
    return streams;
}

bool hasConsoleProgramBeside() {
    return false;
}

bool hasStandardOutput() {
    return true;
}

// A terminal shows the locale's own bytes.
ConsoleCodePage::ConsoleCodePage() = default;
ConsoleCodePage::~ConsoleCodePage() = default;
