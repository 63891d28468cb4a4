#include "core/files/diskaccessparts.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <memory>
#include <utility>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <windows.h>

// The Win32 calls rather than QFile: only they tell the real cause of a failure (GetLastError),
// create a file only where no name exists yet (CREATE_NEW), flush it to the disk
// (FlushFileBuffers) and put it in place in one step (MoveFileExW).

namespace {

// Not named in MinGW's headers.
constexpr DWORD errorDiskQuotaExceeded = 1295;

std::wstring nativePath(const QString &path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

DiskResult fault(DiskFault f) {
    return {f, {}};
}

DiskResult faultFromWindows(DWORD error) {
    switch (error) {
    case ERROR_SUCCESS:
        return {};
    case ERROR_FILE_NOT_FOUND:
        return fault(DiskFault::NotFound);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_NETNAME_DELETED:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_NOT_READY:
    case ERROR_INVALID_DRIVE:
        return fault(DiskFault::DirectoryGone);
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
        return fault(DiskFault::NoRights);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return fault(DiskFault::OpenElsewhere);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return fault(DiskFault::DiskFull);
    case errorDiskQuotaExceeded:
        return fault(DiskFault::QuotaUsedUp);
    case ERROR_WRITE_PROTECT:
        return fault(DiskFault::WriteProtectedDisk);
    case ERROR_CRC:
    case ERROR_SEEK:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
    case ERROR_UNEXP_NET_ERR:
        return fault(DiskFault::DiskError);
    default: {
        wchar_t *text = nullptr;
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
        QString detail = text ? QString::fromWCharArray(text).trimmed() : QString();
        LocalFree(text);
        if (detail.endsWith(u'.'))
            detail.chop(1);
        return {DiskFault::Other, QStringLiteral("%1, felkod %2").arg(detail).arg(error)};
    }
    }
}

DiskResult lastFault() {
    return faultFromWindows(GetLastError());
}

class Handle {
public:
    explicit Handle(HANDLE h) : m_h(h) {}
    ~Handle() { close(); }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    bool valid() const { return m_h != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_h; }
    bool close() {
        const bool ok = !valid() || CloseHandle(m_h);
        m_h = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE m_h;
};

// A link of any kind (a symbolic link, a junction, a mount point) is a name for something else.
// Other reparse points (a OneDrive file, a deduplicated file) are the user's files themselves.
bool isLink(const FILE_ATTRIBUTE_TAG_INFO &info) {
    return (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
           IsReparseTagNameSurrogate(info.ReparseTag);
}

// What stands at `target`, looked at without following a link.
DiskResult checkTarget(const std::wstring &target, bool *exists, DWORD *attributes) {
    Handle h(CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                         nullptr));
    if (!h.valid()) {
        const DWORD error = GetLastError();
        *exists = false;
        return error == ERROR_FILE_NOT_FOUND ? DiskResult() : faultFromWindows(error);
    }
    *exists = true;
    FILE_ATTRIBUTE_TAG_INFO info{};
    if (!GetFileInformationByHandleEx(h.get(), FileAttributeTagInfo, &info, sizeof info))
        return lastFault();
    *attributes = info.FileAttributes;
    if (isLink(info))
        return fault(DiskFault::IsLink);
    if (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return fault(DiskFault::IsDirectory);
    if (GetFileType(h.get()) != FILE_TYPE_DISK)
        return fault(DiskFault::NotRegular);
    // MoveFileExW would refuse it too, but only with "access denied": the user is told plainly.
    if (info.FileAttributes & FILE_ATTRIBUTE_READONLY)
        return fault(DiskFault::ReadOnlyAttribute);
    return {};
}

// A new file of a name no one else uses, next to the target.
HANDLE createTemporary(const QString &target, std::wstring *tempPath) {
    for (int attempt = 0; attempt < temporaryNameAttempts; ++attempt) {
        *tempPath = nativePath(newTemporaryName(target));
        // CREATE_NEW: a link or anything else of that name makes this fail rather than be
        // followed. Shared with no one while it is written.
        const HANDLE h = CreateFileW(tempPath->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return h;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

DiskResult writeAll(HANDLE h, QByteArrayView bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = DWORD(std::min<qsizetype>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr))
            return lastFault();
        if (written == 0)
            return fault(DiskFault::DiskError);
        done += written;
    }
    return {};
}

// Puts the written file in place. A virus scanner or an indexer that has just opened the target
// holds it for a moment: such a brief hold is waited out, a program that keeps the file open is
// reported.
bool moveIntoPlace(const std::wstring &temp, const std::wstring &target) {
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(temp.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        if (attempt == 10 || (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
                              error != ERROR_LOCK_VIOLATION))
            return false;
        QThread::msleep(50);
    }
}

} // namespace

DiskResult readRegularFile(const QString &path, QByteArray *bytes) {
    const std::wstring name = nativePath(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return fault(DiskFault::IsDirectory);
    Handle h(CreateFileW(name.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid())
        return lastFault();
    // A pipe or a device (CON, a serial port) in the file's place is refused, never waited on.
    if (GetFileType(h.get()) != FILE_TYPE_DISK)
        return fault(DiskFault::NotRegular);
    QByteArray content;
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(h.get(), buffer, sizeof buffer, &n, nullptr))
            return lastFault();
        if (n == 0)
            break;
        content.append(buffer, n);
    }
    *bytes = std::move(content);
    return {};
}

struct FileReplacement::Native {
    std::wstring target;
    std::wstring temp;
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool exists = false;
    DWORD oldAttributes = 0;
};

bool isQuotaErrno(int) {
    // The C library of Windows has no such number: GetLastError tells a quota.
    return false;
}

DiskResult FileReplacement::beginNative() {
    auto native = std::make_unique<Native>();
    const QString target = QFileInfo(m_target).absoluteFilePath();
    native->target = nativePath(target);
    if (DiskResult checked = checkTarget(native->target, &native->exists, &native->oldAttributes);
        !checked.ok())
        return checked;
    native->handle = createTemporary(target, &native->temp);
    if (native->handle == INVALID_HANDLE_VALUE)
        return lastFault();
    m_native = native.release();
    return {};
}

DiskResult FileReplacement::writeNative(QByteArrayView bytes) {
    return writeAll(m_native->handle, bytes);
}

DiskResult FileReplacement::commitNative() {
    Native &n = *m_native;
    // The data must be on the disk before the move makes it the file of record; a full disk or
    // a failing share may first tell at the flush or the close.
    if (!FlushFileBuffers(n.handle))
        return lastFault();
    const BOOL closed = CloseHandle(std::exchange(n.handle, INVALID_HANDLE_VALUE));
    if (!closed)
        return lastFault();
    // A hidden file stays hidden, an archived one archived.
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_SYSTEM |
                       FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (n.exists && (n.oldAttributes & kept))
        SetFileAttributesW(n.temp.c_str(), n.oldAttributes & kept);
    if (!moveIntoPlace(n.temp, n.target)) {
        // The temporary file was just made in the same directory, and a read-only target was
        // refused at the start: "access denied" here means another program holds the target
        // open.
        return GetLastError() == ERROR_ACCESS_DENIED ? fault(DiskFault::OpenElsewhere)
                                                     : lastFault();
    }
    delete std::exchange(m_native, nullptr);
    return {};
}

void FileReplacement::abandonNative() {
    if (m_native->handle != INVALID_HANDLE_VALUE)
        CloseHandle(m_native->handle);
    DeleteFileW(m_native->temp.c_str());
    delete std::exchange(m_native, nullptr);
}

DiskResult checkReplaceable(const QString &target) {
    bool exists = false;
    DWORD attributes = 0;
    return checkTarget(nativePath(target), &exists, &attributes);
}

DiskResult whyNotWritable(const QString &directory) {
    // Trying is the only sure way to learn why: rights on Windows come from access lists.
    const std::wstring probe = nativePath(directory + QStringLiteral("/.kvistel-prov.tmp"));
    Handle h(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!h.valid())
        return lastFault();
    return fault(DiskFault::DiskError);
}

int openForReading(const QString &path, bool, SourceKind *kind, DiskResult *why) {
    // A file name on Windows never blocks on opening: a pipe is a stream like standard input.
    // The file is opened with CreateFileW, whose error tells a file another program holds open
    // from one the user may not read (the C library calls both "access denied").
    int fd = -1;
    if (path == u"-") {
        fd = _dup(_fileno(stdin));
        if (fd < 0) {
            *why = faultFromErrno(errno);
            return -1;
        }
        _setmode(fd, _O_BINARY);
    } else {
        const HANDLE h = CreateFileW(nativePath(path).c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            *why = lastFault();
            return -1;
        }
        BY_HANDLE_FILE_INFORMATION info{};
        if (GetFileInformationByHandle(h, &info) &&
            (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            CloseHandle(h);
            *why = fault(DiskFault::IsDirectory);
            return -1;
        }
        fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
        if (fd < 0) {
            CloseHandle(h);
            *why = faultFromErrno(errno);
            return -1;
        }
    }
    struct _stat64 info {};
    if (_fstat64(fd, &info) != 0) {
        *why = faultFromErrno(errno);
        _close(fd);
        return -1;
    }
    *kind = (info.st_mode & _S_IFDIR)   ? SourceKind::Directory
            : (info.st_mode & _S_IFREG) ? SourceKind::RegularFile
                                        : SourceKind::Stream;
    return fd;
}

void closeForReading(int fd) {
    _close(fd);
}

bool isSameFile(const QString &path, const QString &other) {
    auto identity = [](HANDLE h, BY_HANDLE_FILE_INFORMATION *info) {
        return h != INVALID_HANDLE_VALUE && GetFileInformationByHandle(h, info);
    };
    auto opened = [](const QString &name) {
        return CreateFileW(nativePath(name).c_str(), 0,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    };
    Handle a(opened(path));
    BY_HANDLE_FILE_INFORMATION ia{}, ib{};
    if (!identity(a.get(), &ia))
        return false;
    if (other == u"-")
        return identity(GetStdHandle(STD_INPUT_HANDLE), &ib) &&
               ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
               ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
    Handle b(opened(other));
    return identity(b.get(), &ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

QString placeForNewHome() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

bool hasDriveLetters() {
    return true;
}

QString pathAsUserKnowsIt(const QString &path) {
    return QDir::toNativeSeparators(path);
}

void makeBinary(std::FILE *stream) {
    _setmode(_fileno(stream), _O_BINARY);
}

bool keepStandardStream(int fd) {
    // A program without a console (or with its output closed) has no handle there; the C
    // library does not give the number to a file opened later.
    // (-2: the C library's numbers 0 to 2 exist but stand for no stream.)
    const intptr_t handle = _get_osfhandle(fd);
    return handle != -1 && handle != -2;
}

StandardStreams settleStandardStreams() {
    StandardStreams streams;
    streams.outputOpen = keepStandardStream(standardOutputFd);
    streams.errorsOpen = keepStandardStream(standardErrorFd);
    // A closed pipe fails the write itself here: there is no signal to ignore.
    makeBinary(stdout);
    return streams;
}

bool hasConsoleProgramBeside() {
    return true;
}

bool hasStandardOutput() {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    return out != nullptr && out != INVALID_HANDLE_VALUE;
}

ConsoleCodePage::ConsoleCodePage() {
    if (!GetConsoleWindow())
        return;
    const UINT ansi = GetACP();
    const UINT now = GetConsoleOutputCP();
    if (now != 0 && now != ansi && SetConsoleOutputCP(ansi))
        m_previous = now;
}

ConsoleCodePage::~ConsoleCodePage() {
    if (m_previous != 0)
        SetConsoleOutputCP(m_previous);
}
