#pragma once

#include "core/files/cp1252.h"
#include "core/files/outcome.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class FileReplacement;
struct DiskResult;

// The program's files are single-byte Windows-1252 text with CR LF line ends. These helpers are
// the one place that knows it, so the control file, the price list and the report agree. They
// are also the one place that touches the disk: every file is read only when it is a regular
// file, and every save goes through a new temporary file under the home directory's lock.

// How a file's bytes were read.
enum class TextEncoding { Windows1252, Utf8 };

// The text of a file that the user may have saved with another editor: UTF-8 (with or without a
// byte order mark) when the bytes are valid UTF-8 with at least one non-ASCII character,
// Windows-1252 otherwise. UTF-16, UTF-32 and anything else with NUL bytes is no text the program
// can read: a Swedish message naming `path`, so that the file is never rewritten.
struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Windows1252;
};
Expected<DecodedText> decodeFileText(const QByteArray &bytes, const QString &path);

// The bytes of `text` in Windows-1252, or a message naming `path`, the character and its line
// when the text holds a character Windows-1252 has no byte for (it is never written as "?").
Expected<QByteArray> encodeForFile(const QString &text, const QString &path);

// Splits text into lines the way the files are read: a line ends at CR, and an LF after it
// belongs to the line end. A lone LF (a file edited on Linux) ends a line too. A final line
// end does not start another, empty line.
QStringList splitLines(const QString &text);

// Joins lines into file text, every line (the last included) ended by CR LF. For text the
// program made itself; see encodeForFile.
QByteArray joinLinesCrLf(const QStringList &lines);

// What a window read from a file, kept to tell at save time whether someone else (a second copy
// of the program, a text editor) changed it since. A default stamp knows nothing and matches
// everything; a stamp of a failed read matches nothing.
class FileStamp {
public:
    FileStamp() = default;
    static FileStamp of(QByteArrayView content);
    static FileStamp ofFailedRead();

    bool known() const { return m_state != State::Unknown; }
    bool matches(const FileStamp &now) const;

private:
    friend class FileStampHasher;
    enum class State { Unknown, Read, Failed };
    State m_state = State::Unknown;
    std::array<quint64, 2> m_hash{};
    qint64 m_size = 0;
};

// The stamp of bytes read in pieces, the same as that of them all at once. It tells a file
// changed since it was read, by a person or a program, not one forged to look the same: a fast
// hash in two independent halves and the length, not a cryptographic one, so that a large list
// is not read twice as slowly for it.
class FileStampHasher {
public:
    void addData(QByteArrayView bytes);
    FileStamp result() const;

private:
    static constexpr qsizetype blockSize = 1 << 16;
    void addBlock(QByteArrayView block);

    QByteArray m_pending; // the start of a block not yet whole
    std::array<quint64, 2> m_hash{0x9e3779b97f4a7c15u, 0xc2b2ae3d27d4eb4fu};
    qint64 m_size = 0;
};

// Reads a whole file: only a regular file (a named pipe or a device is refused at once, never
// waited on). On failure a Swedish message naming the file and the cause.
Expected<QByteArray> readWholeFile(const QString &path);

// A file's text and the stamp of the bytes it was read from.
struct FileText {
    QString text;
    FileStamp stamp;
};

// readWholeFile and decodeFileText in one. A caller that keeps a stamp takes
// FileStamp::ofFailedRead() when it fails.
Expected<FileText> readTextFile(const QString &path);

// A save that refuses to overwrite what someone else changed since the window read the file ends
// in one of three ways: saved, failed (with a message), or changed on disk: nothing was written,
// and the window should ask the user what to do.
class [[nodiscard]] SaveOutcome {
public:
    SaveOutcome() = default; // saved
    SaveOutcome(Outcome outcome) : m_outcome(std::move(outcome)) {}
    static SaveOutcome changedOnDisk(const QString &path);

    bool ok() const { return m_outcome.ok(); }
    explicit operator bool() const { return ok(); }
    bool changedOnDisk() const { return m_changed; }
    const QString &message() const { return m_outcome.message(); }
    const Outcome &outcome() const { return m_outcome; }
    // For callers that only need to know whether it worked.
    operator Outcome() const { return m_outcome; }

private:
    Outcome m_outcome;
    bool m_changed = false;
};

// What a save does when the file changed since it was read.
enum class IfChangedSinceRead { Stop, Overwrite };

// Replaces the file `target` by `bytes` without a moment in which the file is missing or half
// written, and without ever meeting another save of the same home directory:
// - the save holds the directory's lock file (a second copy of the program that is saving makes
//   this one wait a moment, then give up with a message);
// - the bytes go to a new temporary file of a unique name in the same directory, created
//   exclusively, so that no link or leftover of that name is ever opened or written through;
// - the temporary file is flushed to disk and then renamed over the target.
// A target that is a link, a directory or some other non-regular file, or that the user has
// write-protected, is refused. On failure the target is as it was, the temporary file is gone,
// and the message names the real cause (full disk, read-only disk, missing rights, ...).
Outcome replaceFileSafely(const QString &target, const QByteArray &bytes);

// Whether `target` may be replaced by a save: nothing there yet, or a regular file the user has
// not write-protected (a link, a directory, a pipe or a device is refused with a message).
Outcome checkSaveTarget(const QString &target);

// The same, but stops (writing nothing) when the target's bytes no longer match `readStamp`.
SaveOutcome replaceFileUnlessChanged(const QString &target, const QByteArray &bytes,
                                     const FileStamp &readStamp);

// A read-change-write of `target` under the lock: `edit` gets the file's text as it is now and
// returns the new bytes, or why not (a failure or changedOnDisk; then nothing is written).
using FileEdit = std::function<SaveOutcome(const QString &current, QByteArray *replacement)>;
SaveOutcome rewriteFileSafely(const QString &target, const FileEdit &edit);

// A save of content that is too large to gather first (a whole inventory's result): written as
// it comes, with every write checked, and put in place of `target` by commit() only when all of
// it was written; the directory's lock is held while it is put in place. Until then, and
// whenever anything failed, `target` stays as it was and no temporary file is left behind.
class ReplacingFile : public QIODevice {
public:
    explicit ReplacingFile(const QString &target);
    ~ReplacingFile() override; // abandons what was not committed

    // Checks the target and opens the device for writing.
    Outcome begin();
    // The first failed write (full disk, ...), with the message that says why.
    Outcome outcome() const;
    // Puts the file in place; fails, and leaves the target as it was, when any write failed.
    Outcome commit();
    void cancel();

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    QString m_target;
    std::unique_ptr<FileReplacement> m_replacement;
};

// The message for a file that could not be opened for reading, from the system's cause.
QString cannotReadMessage(const QString &path, const DiskResult &cause);

// For the fault tests: while set, every write of a save fails with this errno value (ENOSPC for
// a full disk, EIO, ...), as the disk would; 0 writes normally again.
void simulateWriteFailure(int error);
