#include "textfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QStringDecoder>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

// The disk is reached through POSIX calls rather than QFile: only they tell the real cause of a
// failure (errno), open without following a link (O_EXCL) and without waiting on a named pipe
// (O_NONBLOCK).

namespace {

QString notTextMessage(const QString &path, const QString &looksLike) {
    return QStringLiteral("Filen \"%1\" kan inte läsas, eftersom den inte är text i "
                          "teckenkodningen Windows-1252 eller UTF-8 (den ser ut att vara %2). "
                          "Spara den som vanlig text i Windows-1252 (ANSI) eller UTF-8 och "
                          "försök igen. Filen har inte ändrats.")
        .arg(path, looksLike);
}

// Valid UTF-8, as Qt's decoder judges it.
bool decodeUtf8(QByteArrayView bytes, QString *text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    *text = decoder.decode(bytes);
    return !decoder.hasError();
}

bool allAscii(const QByteArray &bytes) {
    for (const char c : bytes)
        if (uchar(c) >= 0x80)
            return false;
    return true;
}

} // namespace

Outcome decodeFileText(const QByteArray &bytes, const QString &path, QString *text,
                       TextEncoding *encoding) {
    if (bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff"))
        return Outcome::failure(notTextMessage(path, QStringLiteral("UTF-16")));
    if (bytes.contains('\0'))
        return Outcome::failure(
            notTextMessage(path, QStringLiteral("UTF-16 eller en binärfil med nolltecken")));
    TextEncoding found = TextEncoding::Windows1252;
    if (bytes.startsWith("\xef\xbb\xbf")) {
        if (!decodeUtf8(QByteArrayView(bytes).sliced(3), text))
            return Outcome::failure(notTextMessage(
                path, QStringLiteral("UTF-8 med byte order mark men med ogiltiga tecken")));
        found = TextEncoding::Utf8;
    } else if (!allAscii(bytes) && decodeUtf8(bytes, text)) {
        // Windows-1252 text with Swedish letters is practically never valid UTF-8 by chance:
        // "ä" alone (0xE4) would need two continuation bytes after it.
        found = TextEncoding::Utf8;
    } else {
        *text = decodeCp1252(bytes);
    }
    if (encoding)
        *encoding = found;
    return {};
}

Outcome encodeForFile(const QString &text, const QString &path, QByteArray *bytes) {
    *bytes = encodeCp1252(text);
    if (decodeCp1252(*bytes) == text)
        return {};
    // Find the first character that does not come back, to name it and its line.
    qsizetype line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size();
        const QString ch = text.mid(i, pair ? 2 : 1);
        if (decodeCp1252(encodeCp1252(ch)) != ch)
            return Outcome::failure(
                QStringLiteral("Filen \"%1\" sparades inte: tecknet \"%2\" (U+%3) på rad %4 "
                               "finns inte i filens teckenkodning Windows-1252. Byt ut eller "
                               "ta bort tecknet och spara igen. Filen är oförändrad.")
                    .arg(path, ch)
                    .arg(ch.toUcs4().value(0), 4, 16, QLatin1Char('0'))
                    .arg(line));
        if (text.at(i) == u'\n' ||
            (text.at(i) == u'\r' && (i + 1 == text.size() || text.at(i + 1) != u'\n')))
            ++line;
        if (pair)
            ++i;
    }
    return Outcome::failure(
        QStringLiteral("Filen \"%1\" sparades inte: texten kan inte skrivas i teckenkodningen "
                       "Windows-1252. Filen är oförändrad.")
            .arg(path));
}

QStringList splitLines(const QString &text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QByteArray joinLinesCrLf(const QStringList &lines) {
    QByteArray out;
    for (const QString &line : lines) {
        out += encodeCp1252(line);
        out += "\r\n";
    }
    return out;
}

FileStamp FileStamp::of(const QByteArray &content) {
    FileStamp stamp;
    stamp.m_state = State::Read;
    stamp.m_hash = QCryptographicHash::hash(content, QCryptographicHash::Sha256);
    return stamp;
}

FileStamp FileStamp::ofFailedRead() {
    FileStamp stamp;
    stamp.m_state = State::Failed;
    return stamp;
}

bool FileStamp::matches(const FileStamp &now) const {
    if (m_state == State::Unknown)
        return true;
    return m_state == State::Read && now.m_state == State::Read && m_hash == now.m_hash;
}

namespace {

QByteArray nativePath(const QString &path) {
    return QFile::encodeName(path);
}

QString directoryOf(const QString &path) {
    return QFileInfo(path).absolutePath();
}

QString readFailure(const QString &path, int error) {
    switch (error) {
    case ENOENT:
        return QStringLiteral("Filen \"%1\" finns inte.").arg(path);
    case EACCES:
    case EPERM:
        return QStringLiteral("Filen \"%1\" kunde inte öppnas för läsning, eftersom du saknar "
                              "rätt att läsa den.")
            .arg(path);
    case EISDIR:
        return QStringLiteral("\"%1\" är en katalog och inte en fil.").arg(path);
    case EIO:
        return QStringLiteral("Filen \"%1\" kunde inte läsas, eftersom ett läsfel uppstod på "
                              "disken. Kontrollera disken eller nätverksanslutningen.")
            .arg(path);
    default:
        return QStringLiteral("Filen \"%1\" kunde inte öppnas för läsning (%2).")
            .arg(path, QString::fromLocal8Bit(std::strerror(error)));
    }
}

QString notRegularMessage(const QString &path) {
    return QStringLiteral("\"%1\" är ingen vanlig fil (utan till exempel en namngiven "
                          "rörledning eller en enhet), och Kvistel läser och skriver bara vanliga "
                          "filer. Ersätt den med den riktiga filen.")
        .arg(path);
}

// Why a save failed, from the errno of the step that failed.
QString saveFailure(const QString &target, int error) {
    const QString dir = QDir::toNativeSeparators(directoryOf(target));
    QString why;
    switch (error) {
    case ENOSPC:
        why = QStringLiteral("disken är full. Frigör utrymme på disken och spara igen.");
        break;
    case EDQUOT:
        why = QStringLiteral("ditt diskutrymme (din diskkvot) är slut. Frigör utrymme och spara "
                             "igen.");
        break;
    case EROFS:
        why = QStringLiteral("disken som katalogen \"%1\" ligger på bara går att läsa (den är "
                             "monterad skrivskyddad).")
                  .arg(dir);
        break;
    case EACCES:
    case EPERM:
        why = QStringLiteral("katalogen \"%1\" är skrivskyddad: du saknar rätt att skriva i den.")
                  .arg(dir);
        break;
    case ENOENT:
    case ENOTDIR:
        why = QStringLiteral("katalogen \"%1\" inte finns längre (är en utdelning eller ett "
                             "minne bortkopplat?).")
                  .arg(dir);
        break;
    case EIO:
        why = QStringLiteral("ett skrivfel uppstod på disken. Kontrollera disken eller "
                             "nätverksanslutningen och spara igen.");
        break;
    default:
        why = QStringLiteral("ett fel uppstod vid skrivningen: %1.")
                  .arg(QString::fromLocal8Bit(std::strerror(error)));
        break;
    }
    return QStringLiteral("Filen \"%1\" kunde inte sparas, eftersom %2 Den tidigare filen är "
                          "oförändrad.")
        .arg(target, why);
}

std::atomic<int> simulatedWriteError{0};

ssize_t writeSome(int fd, const char *data, size_t size) {
    if (const int error = simulatedWriteError.load()) {
        errno = error;
        return -1;
    }
    return ::write(fd, data, size);
}

// The lock on the home directory that every save holds, so that two copies of the program never
// save at the same time. A copy that died leaves a lock that the next save recognises as stale.
class DirectoryLock {
public:
    explicit DirectoryLock(const QString &target)
        : m_path(directoryOf(target) + QStringLiteral("/.kvistel.lock")), m_lock(m_path) {
        // A directory or anything else of the lock's name would make every save wait for a
        // lock no one holds: it is named instead.
        struct stat info {};
        if (::lstat(nativePath(m_path).constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
            m_inTheWay = true;
            return;
        }
        // Long enough for another copy to finish a save, even on a slow share.
        m_locked = m_lock.tryLock(3000);
    }

    Outcome outcome(const QString &target) const {
        if (m_locked)
            return {};
        if (m_inTheWay)
            return Outcome::failure(
                QStringLiteral("Filen \"%1\" kunde inte sparas, eftersom \"%2\" inte är en vanlig "
                               "fil (utan till exempel en katalog). Kvistel behöver det namnet "
                               "för sin låsfil: ta bort eller byt namn på den och spara igen. "
                               "Den tidigare filen är oförändrad.")
                    .arg(target, QDir::toNativeSeparators(m_path)));
        if (m_lock.error() == QLockFile::LockFailedError)
            return Outcome::failure(
                QStringLiteral("Filen \"%1\" kunde inte sparas, eftersom en annan kopia av "
                               "Kvistel sparar i samma katalog just nu. Försök igen om en "
                               "stund. Den tidigare filen är oförändrad.")
                    .arg(target));
        // The lock file could not be made: the directory and its disk tell why.
        const QByteArray dir = nativePath(directoryOf(target));
        int error = EIO;
        struct statvfs disk {};
        if (::access(dir.constData(), W_OK) != 0)
            error = errno;
        else if (::statvfs(dir.constData(), &disk) == 0 && (disk.f_flag & ST_RDONLY))
            error = EROFS;
        else if (::statvfs(dir.constData(), &disk) == 0 && disk.f_bavail == 0)
            error = ENOSPC;
        return Outcome::failure(saveFailure(target, error));
    }

private:
    QString m_path;
    QLockFile m_lock;
    bool m_locked = false;
    bool m_inTheWay = false;
};

// Temporary files of earlier saves of `target` that a crash left behind ("trad.sty.x7Kq2a.tmp"):
// only names of the program's own pattern, only regular files, and a link is never followed.
// The caller holds the directory lock, so no save of another copy is using one.
void removeLeftoverTemporaries(const QString &target) {
    const QFileInfo info(target);
    const QString prefix = info.fileName() + u'.';
    const QDir dir = info.absoluteDir();
    const QStringList names =
        dir.entryList({prefix + QStringLiteral("??????.tmp")},
                      QDir::Files | QDir::System | QDir::Hidden | QDir::NoSymLinks);
    for (const QString &name : names) {
        bool own = name.size() == prefix.size() + 10;
        for (qsizetype i = prefix.size(); own && i < prefix.size() + 6; ++i)
            own = name[i].isLetterOrNumber() && name[i].unicode() < 0x80;
        struct stat entry {};
        const QByteArray path = nativePath(dir.filePath(name));
        if (own && ::lstat(path.constData(), &entry) == 0 && S_ISREG(entry.st_mode))
            ::unlink(path.constData());
    }
}

Outcome checkTarget(const QString &target, struct stat *old, bool *exists) {
    const QByteArray path = nativePath(target);
    *exists = ::lstat(path.constData(), old) == 0;
    if (!*exists)
        return errno == ENOENT ? Outcome() : Outcome::failure(saveFailure(target, errno));
    if (S_ISDIR(old->st_mode))
        return Outcome::failure(
            QStringLiteral("\"%1\" är en katalog och inte en fil.").arg(target));
    // Writing through a link could change a file anywhere; replacing it would silently undo the
    // user's own arrangement. Neither happens: the user is told.
    if (S_ISLNK(old->st_mode))
        return Outcome::failure(
            QStringLiteral("Filen \"%1\" sparades inte, eftersom den är en symbolisk länk (till "
                           "\"%2\"). Kvistel skriver aldrig genom en länk, så att inget utanför "
                           "hemkatalogen ändras. Ersätt länken med en vanlig fil och spara igen.")
                .arg(target, QFileInfo(target).symLinkTarget()));
    if (!S_ISREG(old->st_mode))
        return Outcome::failure(notRegularMessage(target));
    // A file the user has write-protected is not replaced behind his back (the rename would
    // otherwise succeed in a writable directory); any other file keeps its permissions.
    if ((old->st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return Outcome::failure(QStringLiteral("Filen \"%1\" är skrivskyddad och sparades inte. "
                                               "Den tidigare filen är oförändrad.")
                                    .arg(target));
    return {};
}

// A new file of a name no one else uses, next to the target: "trad.sty.x7Kq2a.tmp".
int createTemporary(const QString &target, QByteArray *tempPath) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray suffix(6, 'x');
        for (char &c : suffix)
            c = letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
        *tempPath = nativePath(target) + '.' + suffix + ".tmp";
        // O_EXCL: a link or anything else of that name makes this fail rather than be followed.
        const int fd = ::open(tempPath->constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// The save proper; the caller holds the directory lock.
Outcome writeLocked(const QString &target, const QByteArray &bytes) {
    struct stat old {};
    bool exists = false;
    if (Outcome checked = checkTarget(target, &old, &exists); !checked)
        return checked;
    removeLeftoverTemporaries(target);
    QByteArray temp;
    const int fd = createTemporary(target, &temp);
    if (fd < 0)
        return Outcome::failure(saveFailure(target, errno));
    int error = 0;
    if (exists && ::fchmod(fd, old.st_mode & 07777) != 0)
        error = errno;
    qsizetype done = 0;
    while (!error && done < bytes.size()) {
        const ssize_t n = writeSome(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            error = errno;
        else if (n == 0)
            error = EIO;
        else
            done += n;
    }
    // The data must be on the disk before the rename makes it the file of record.
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && std::rename(temp.constData(), nativePath(target).constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(temp.constData());
        return Outcome::failure(saveFailure(target, error));
    }
    return {};
}

} // namespace

Outcome readWholeFile(const QString &path, QByteArray *bytes) {
    // Non-blocking, so that a named pipe in place of the file is refused instead of waited on.
    const int fd = ::open(nativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Outcome::failure(readFailure(path, errno));
    struct stat info {};
    Outcome outcome;
    if (::fstat(fd, &info) != 0)
        outcome = Outcome::failure(readFailure(path, errno));
    else if (S_ISDIR(info.st_mode))
        outcome = Outcome::failure(readFailure(path, EISDIR));
    else if (!S_ISREG(info.st_mode))
        outcome = Outcome::failure(notRegularMessage(path));
    if (!outcome) {
        ::close(fd);
        return outcome;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QByteArray content;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            outcome = Outcome::failure(readFailure(path, errno));
            break;
        }
        if (n == 0)
            break;
        content.append(buffer, n);
    }
    ::close(fd);
    if (outcome)
        *bytes = std::move(content);
    return outcome;
}

Outcome readTextFile(const QString &path, QString *text, FileStamp *stamp) {
    QByteArray bytes;
    Outcome outcome = readWholeFile(path, &bytes);
    if (outcome)
        outcome = decodeFileText(bytes, path, text);
    if (stamp)
        *stamp = outcome ? FileStamp::of(bytes) : FileStamp::ofFailedRead();
    return outcome;
}

SaveOutcome SaveOutcome::changedOnDisk(const QString &path) {
    SaveOutcome result(Outcome::failure(
        QStringLiteral("Filen \"%1\" har ändrats av ett annat program (eller en annan kopia av "
                       "Kvistel) sedan den lästes.")
            .arg(path)));
    result.m_changed = true;
    return result;
}

namespace {

// Every save: the directory locked against another copy of the program saving there, then
// `save` under that lock.
template <class Save> auto whileLocked(const QString &target, Save save) -> decltype(save()) {
    const DirectoryLock lock(target);
    if (Outcome locked = lock.outcome(target); !locked)
        return locked;
    return save();
}

} // namespace

Outcome checkSaveTarget(const QString &target) {
    struct stat old {};
    bool exists = false;
    return checkTarget(target, &old, &exists);
}

Outcome replaceFileSafely(const QString &target, const QByteArray &bytes) {
    return whileLocked(target, [&] { return writeLocked(target, bytes); });
}

SaveOutcome replaceFileUnlessChanged(const QString &target, const QByteArray &bytes,
                                     const FileStamp &readStamp) {
    return whileLocked(target, [&]() -> SaveOutcome {
        if (readStamp.known()) {
            QByteArray now;
            const bool read = readWholeFile(target, &now).ok();
            if (!readStamp.matches(read ? FileStamp::of(now) : FileStamp::ofFailedRead()))
                return SaveOutcome::changedOnDisk(target);
        }
        return writeLocked(target, bytes);
    });
}

SaveOutcome rewriteFileSafely(const QString &target, const FileEdit &edit) {
    return whileLocked(target, [&]() -> SaveOutcome {
        QString current;
        if (Outcome read = readTextFile(target, &current); !read)
            return read;
        QByteArray replacement;
        if (SaveOutcome edited = edit(current, &replacement); !edited)
            return edited;
        return writeLocked(target, replacement);
    });
}

void simulateWriteFailure(int error) {
    simulatedWriteError.store(error);
}
