#include "core/files/diskaccessparts.h"

#include <QRandomGenerator>

#include <cerrno>
#include <cstring>

// The part of the disk seam that is the same on every system: the C library's error numbers,
// the temporary file's name, and the order of a replacement's steps.

DiskResult faultFromErrno(int error) {
    const auto cause = [error](DiskFault fault) {
        return DiskResult{fault, QString::fromLocal8Bit(std::strerror(error))};
    };
    switch (error) {
    case 0:
        return {};
    case ENOENT:
        return cause(DiskFault::NotFound);
    case ENOTDIR:
        return cause(DiskFault::DirectoryGone);
    case EACCES:
    case EPERM:
        return cause(DiskFault::NoRights);
    case EISDIR:
        return cause(DiskFault::IsDirectory);
    case EIO:
        return cause(DiskFault::DiskError);
    case ENOSPC:
        return cause(DiskFault::DiskFull);
    case EROFS:
        return cause(DiskFault::ReadOnlyMount);
    case EPIPE:
        return cause(DiskFault::PipeClosed);
    default:
        return cause(isQuotaErrno(error) ? DiskFault::QuotaUsedUp : DiskFault::Other);
    }
}

int errnoOf(const DiskResult &result) {
    return result.fault == DiskFault::DiskFull ? ENOSPC : EIO;
}

QString newTemporaryName(const QString &target) {
    static const char16_t letters[] =
        u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix(temporaryUniqueLength, u'x');
    for (QChar &c : suffix)
        c = letters[QRandomGenerator::global()->bounded(int(std::size(letters)) - 1)];
    return target + QString::fromUtf16(temporaryMarker) + suffix + QStringLiteral(".tmp");
}

FileReplacement::FileReplacement(QString target, int simulatedWriteError)
    : m_target(std::move(target)), m_simulatedWriteError(simulatedWriteError) {}

FileReplacement::~FileReplacement() {
    abandon();
}

DiskResult FileReplacement::fail(DiskResult result) {
    if (m_failure.ok())
        m_failure = result;
    abandon();
    return m_failure;
}

DiskResult FileReplacement::begin() {
    if (m_native)
        return fail({DiskFault::Other, {}});
    if (DiskResult begun = beginNative(); !begun.ok())
        return fail(begun);
    return {};
}

DiskResult FileReplacement::write(QByteArrayView bytes) {
    if (!m_failure.ok() || !m_native)
        return m_failure.ok() ? DiskResult{DiskFault::Other, {}} : m_failure;
    if (m_simulatedWriteError)
        return fail(faultFromErrno(m_simulatedWriteError));
    if (DiskResult written = writeNative(bytes); !written.ok())
        return fail(written);
    return {};
}

DiskResult FileReplacement::commit() {
    if (!m_failure.ok() || !m_native)
        return m_failure.ok() ? DiskResult{DiskFault::Other, {}} : m_failure;
    if (DiskResult committed = commitNative(); !committed.ok())
        return fail(committed);
    return {};
}

void FileReplacement::abandon() {
    if (m_native)
        abandonNative();
}

DiskResult replaceRegularFile(const QString &target, const QByteArray &bytes,
                              int simulatedWriteError) {
    FileReplacement replacement(target, simulatedWriteError);
    if (DiskResult begun = replacement.begin(); !begun.ok())
        return begun;
    if (DiskResult written = replacement.write(bytes); !written.ok())
        return written;
    return replacement.commit();
}
