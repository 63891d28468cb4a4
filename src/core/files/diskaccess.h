#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdio>

// The disk as the operating system offers it: the only code of the program that knows whether it
// runs on Linux or on Windows (diskaccess_posix.cpp or diskaccess_windows.cpp is built beside the
// shared diskaccess.cpp). It reads a regular file and puts a new file in place in one step;
// textfile.cpp builds the program's promises (the lock, the changed-on-disk check, the messages)
// on top.

// Why a step on the disk failed, in the causes the user can act on. Each system maps its own
// error codes onto these; the words for them are written once, in textfile.cpp.
enum class DiskFault {
    None,
    NotFound,
    NoRights,
    IsDirectory,
    NotRegular,
    IsLink,             // a symbolic link, or on Windows a junction or another name-surrogate
    WriteProtectedFile, // the user has taken away the write permissions
    ReadOnlyAttribute,  // on Windows: the file's read-only attribute is set
    DiskFull,
    QuotaUsedUp,
    ReadOnlyMount,      // a Linux file system mounted read-only
    WriteProtectedDisk, // a write-protected medium (a memory card's switch, a read-only share)
    DirectoryGone,
    DiskError,
    OpenElsewhere, // on Windows: another program holds the file open and does not share it
    PipeClosed,    // the reader at the other end of a pipe stopped reading
    Other,
};

struct DiskResult {
    DiskFault fault = DiskFault::None;
    // The system's own words for the error: always for Other, and for a C library error number.
    QString detail;

    bool ok() const { return fault == DiskFault::None; }
};

// The whole content of `path`, which must be a regular file: a named pipe or a device is refused
// at once, never waited on.
DiskResult readRegularFile(const QString &path, QByteArray *bytes);

// The program's own temporary files, and only they, are named "<file>.~kvistel-XXXXXXXX.tmp"
// (eight letters or digits): a name no user gives a file, so that a leftover of a crash can be
// told from the user's own "trad.sty.backup.tmp".
inline constexpr char16_t temporaryMarker[] = u".~kvistel-";
inline constexpr int temporaryUniqueLength = 8;

// A new content for `target` (a regular file, or none yet), written piece by piece and put in
// place in one step: a new temporary file of a unique name in the same directory, created
// exclusively so that no link or leftover is ever written through; every write checked; at
// commit flushed to the disk, closed and moved over the target. A target that is a link, a
// directory or another non-regular file, or that is write-protected, is refused untouched.
// Once any step failed the target is never replaced, and a replacement not committed leaves no
// temporary file behind. `simulatedWriteError` (an errno value, 0 for none) makes the writing
// fail as the disk would, for the tests.
class FileReplacement {
public:
    explicit FileReplacement(QString target, int simulatedWriteError = 0);
    ~FileReplacement();
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;

    // Checks the target and creates the temporary file.
    DiskResult begin();
    DiskResult write(QByteArrayView bytes);
    // Flushes, closes and moves the temporary file over the target; refused (the first
    // failure again) when any earlier step failed.
    DiskResult commit();
    // Removes the temporary file; the target is as it was.
    void abandon();
    // The first failure of any step, or None.
    const DiskResult &failure() const { return m_failure; }

private:
    DiskResult fail(DiskResult result);
    // Each system's own steps; the checks around them are shared.
    DiskResult beginNative();
    DiskResult writeNative(QByteArrayView bytes);
    DiskResult commitNative(); // frees m_native when it succeeds
    void abandonNative();      // frees m_native
    struct Native;             // the system's handle and names
    QString m_target;
    int m_simulatedWriteError;
    DiskResult m_failure;
    Native *m_native = nullptr;
};

// Puts `bytes` in place of `target` in one step with a FileReplacement.
DiskResult replaceRegularFile(const QString &target, const QByteArray &bytes,
                              int simulatedWriteError);

// Whether replaceRegularFile would take `target` at all: none yet, or a regular file that is
// neither a link nor write-protected. Nothing is written.
DiskResult checkReplaceable(const QString &target);

// Why nothing can be created in `directory` (after the lock file could not be made there).
DiskResult whyNotWritable(const QString &directory);

// The cause behind a C library error number, on every system, with the C library's words for it
// in `detail`: the one place an error number becomes text.
DiskResult faultFromErrno(int error);

// The C library error number that tells `result`'s cause to code that asks the C library why a
// write failed (ENOSPC for a full disk, EIO for anything else).
int errnoOf(const DiskResult &result);

// What a list to be read turned out to be.
enum class SourceKind { RegularFile, Stream, Directory };

// Opens `path` for reading, "-" being standard input, and says what it is; a named pipe is
// opened without waiting for a writer when `streams` is false (it is then refused by the caller
// at once), and waiting for one when true. Returns a C library file descriptor, or -1 with the
// cause in `why`.
int openForReading(const QString &path, bool streams, SourceKind *kind, DiskResult *why);

// Closes a descriptor openForReading returned, one no QFile has taken over.
void closeForReading(int fd);

// Whether `path` is the very file `other` ("-": standard input) is, under whatever name.
bool isSameFile(const QString &path, const QString &other);

// Where a new home directory is proposed by default: the user's own directory on Linux (as
// ~/Kvistel), the Documents folder on Windows (as Dokument\Kvistel).
QString placeForNewHome();

// Whether paths start with a drive letter here ("n:\arb" is a path on Windows and a file name
// with a colon elsewhere), so that a drive path is worth looking at.
bool hasDriveLetters();

// A path as the user knows it: in the system's own separators, and on Linux one inside the
// user's own directory started with "~".
QString pathAsUserKnowsIt(const QString &path);

// Makes `stream` (standard output) carry the program's bytes unchanged: on Windows the C library
// would otherwise write each LF as CR LF, and a list's CR LF lines as CR CR LF.
void makeBinary(std::FILE *stream);

inline constexpr int standardOutputFd = 1;
inline constexpr int standardErrorFd = 2;

// Whether the standard stream `fd` (standardOutputFd or standardErrorFd) was open when the
// program started. A closed one is given a descriptor for nothing (the null device) in its
// place, so that no file the program opens later gets its number and has the program's output
// or messages written into it.
bool keepStandardStream(int fd);

// The command line's standard streams, settled before anything is opened that could take a
// closed stream's number: each kept (keepStandardStream), standard output made binary
// (makeBinary), and a reader that stops early (a closed pipe) turned into a failed write rather
// than the end of the program.
struct StandardStreams {
    bool outputOpen = false;
    bool errorsOpen = false;
};
StandardStreams settleStandardStreams();

// Whether the command line has a console program of its own beside the window program: on
// Windows a window program has no console, and kvistel-batch.exe is installed beside kvistel.exe.
bool hasConsoleProgramBeside();

// Whether the program has a standard output to write to: on Windows a window program started
// from cmd without a redirection has none (its text would go nowhere).
bool hasStandardOutput();

// While it lives, a console the program writes to shows its text as the program writes it, in
// the system's own 8-bit code page (Windows-1252 on a Swedish Windows, where a console uses the
// DOS code page 850 and would show "Användning" as "Anv„ndning"); the console's code page is
// given back at the end. Does nothing where there is no console or no such difference.
class ConsoleCodePage {
public:
    ConsoleCodePage();
    ~ConsoleCodePage();
    ConsoleCodePage(const ConsoleCodePage &) = delete;
    ConsoleCodePage &operator=(const ConsoleCodePage &) = delete;

private:
    unsigned m_previous = 0;
};
