#include "core/files/textfile.h"

#include "core/files/diskaccess.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QStringDecoder>

#include <atomic>
#include <cerrno>

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

Expected<DecodedText> decodeFileText(const QByteArray &bytes, const QString &path) {
    if (bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff"))
        return Outcome::failure(notTextMessage(path, QStringLiteral("UTF-16")));
    if (bytes.contains('\0'))
        return Outcome::failure(
            notTextMessage(path, QStringLiteral("UTF-16 eller en binärfil med nolltecken")));
    DecodedText decoded;
    if (bytes.startsWith("\xef\xbb\xbf")) {
        if (!decodeUtf8(QByteArrayView(bytes).sliced(3), &decoded.text))
            return Outcome::failure(notTextMessage(
                path, QStringLiteral("UTF-8 med byte order mark men med ogiltiga tecken")));
        decoded.encoding = TextEncoding::Utf8;
    } else if (!allAscii(bytes) && decodeUtf8(bytes, &decoded.text)) {
        // Windows-1252 text with Swedish letters is practically never valid UTF-8 by chance:
        // "ä" alone (0xE4) would need two continuation bytes after it.
        decoded.encoding = TextEncoding::Utf8;
    } else {
        decoded.text = decodeCp1252(bytes);
    }
    return decoded;
}

Expected<QByteArray> encodeForFile(const QString &text, const QString &path) {
    QByteArray bytes = encodeCp1252(text);
    if (decodeCp1252(bytes) == text)
        return bytes;
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

FileStamp FileStamp::of(QByteArrayView content) {
    FileStampHasher hasher;
    hasher.addData(content);
    return hasher.result();
}

void FileStampHasher::addBlock(QByteArrayView block) {
    // Each half goes on from the one before, so a change anywhere changes the end.
    m_hash[0] = quint64(qHashBits(block.data(), std::size_t(block.size()), size_t(m_hash[0])));
    m_hash[1] = quint64(qHashBits(block.data(), std::size_t(block.size()), size_t(m_hash[1])));
}

void FileStampHasher::addData(QByteArrayView bytes) {
    m_size += bytes.size();
    // Whole blocks are hashed alike however the bytes come, in one piece or many.
    if (!m_pending.isEmpty()) {
        const qsizetype room = blockSize - m_pending.size();
        m_pending += bytes.first(std::min(room, bytes.size()));
        bytes = bytes.sliced(std::min(room, bytes.size()));
        if (m_pending.size() < blockSize)
            return;
        addBlock(m_pending);
        m_pending.clear();
    }
    while (bytes.size() >= blockSize) {
        addBlock(bytes.first(blockSize));
        bytes = bytes.sliced(blockSize);
    }
    m_pending = bytes.toByteArray();
}

FileStamp FileStampHasher::result() const {
    FileStampHasher last = *this;
    if (!last.m_pending.isEmpty())
        last.addBlock(last.m_pending);
    FileStamp stamp;
    stamp.m_state = FileStamp::State::Read;
    stamp.m_hash = last.m_hash;
    stamp.m_size = m_size;
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
    return m_state == State::Read && now.m_state == State::Read && m_hash == now.m_hash &&
           m_size == now.m_size;
}

namespace {

QString directoryOf(const QString &path) {
    return QFileInfo(path).absolutePath();
}

QString notRegularMessage(const QString &path) {
    return QStringLiteral("\"%1\" är ingen vanlig fil (utan till exempel en namngiven "
                          "rörledning eller en enhet), och Kvistel läser och skriver bara vanliga "
                          "filer. Ersätt den med den riktiga filen.")
        .arg(path);
}

QString readFailure(const QString &path, const DiskResult &result) {
    switch (result.fault) {
    case DiskFault::NotFound:
    case DiskFault::DirectoryGone:
        return QStringLiteral("Filen \"%1\" finns inte.").arg(path);
    case DiskFault::NoRights:
        return QStringLiteral("Filen \"%1\" kunde inte öppnas för läsning, eftersom du saknar "
                              "rätt att läsa den.")
            .arg(path);
    case DiskFault::IsDirectory:
        return QStringLiteral("\"%1\" är en katalog och inte en fil.").arg(path);
    case DiskFault::NotRegular:
        return notRegularMessage(path);
    case DiskFault::DiskError:
        return QStringLiteral("Filen \"%1\" kunde inte läsas, eftersom ett läsfel uppstod på "
                              "disken. Kontrollera disken eller nätverksanslutningen.")
            .arg(path);
    case DiskFault::OpenElsewhere:
        return QStringLiteral("Filen \"%1\" kunde inte läsas, eftersom ett annat program har den "
                              "öppen och inte tillåter att den läses. Stäng filen i det andra "
                              "programmet och försök igen.")
            .arg(path);
    default:
        return QStringLiteral("Filen \"%1\" kunde inte öppnas för läsning (%2).")
            .arg(path, result.detail);
    }
}

// Why a save failed: what stood in the file's place, or the cause of the step that failed.
QString saveFailure(const QString &target, const DiskResult &result) {
    switch (result.fault) {
    case DiskFault::IsDirectory:
        return QStringLiteral("\"%1\" är en katalog och inte en fil.").arg(target);
    // Writing through a link could change a file anywhere; replacing it would silently undo the
    // user's own arrangement. Neither happens: the user is told.
    case DiskFault::IsLink:
        return QStringLiteral("Filen \"%1\" sparades inte, eftersom den är en symbolisk länk "
                              "(till \"%2\"). Kvistel skriver aldrig genom en länk, så att inget "
                              "utanför hemkatalogen ändras. Ersätt länken med en vanlig fil och "
                              "spara igen.")
            .arg(target, QFileInfo(target).symLinkTarget());
    case DiskFault::NotRegular:
        return notRegularMessage(target);
    case DiskFault::WriteProtectedFile:
        return QStringLiteral("Filen \"%1\" är skrivskyddad och sparades inte. Den tidigare filen "
                              "är oförändrad.")
            .arg(target);
    case DiskFault::ReadOnlyAttribute:
        return QStringLiteral("Filen \"%1\" är skrivskyddad och sparades inte: rutan "
                              "\"Skrivskyddad\" är markerad i filens egenskaper. Ta bort "
                              "markeringen (högerklicka på filen i Utforskaren och välj "
                              "Egenskaper) och spara igen. Den tidigare filen är oförändrad.")
            .arg(target);
    default:
        break;
    }
    const QString dir = QDir::toNativeSeparators(directoryOf(target));
    QString why;
    switch (result.fault) {
    case DiskFault::DiskFull:
        why = QStringLiteral("disken är full. Frigör utrymme på disken och spara igen.");
        break;
    case DiskFault::QuotaUsedUp:
        why = QStringLiteral("ditt diskutrymme (din diskkvot) är slut. Frigör utrymme och spara "
                             "igen.");
        break;
    case DiskFault::ReadOnlyMount:
        why = QStringLiteral("disken som katalogen \"%1\" ligger på bara går att läsa (den är "
                             "monterad skrivskyddad).")
                  .arg(dir);
        break;
    case DiskFault::WriteProtectedDisk:
        why = QStringLiteral("disken eller minnet som katalogen \"%1\" ligger på är "
                             "skrivskyddat.")
                  .arg(dir);
        break;
    case DiskFault::NoRights:
        why = QStringLiteral("katalogen \"%1\" är skrivskyddad: du saknar rätt att skriva i den.")
                  .arg(dir);
        break;
    case DiskFault::NotFound:
    case DiskFault::DirectoryGone:
        why = QStringLiteral("katalogen \"%1\" inte finns längre (är en utdelning eller ett "
                             "minne bortkopplat?).")
                  .arg(dir);
        break;
    case DiskFault::DiskError:
        why = QStringLiteral("ett skrivfel uppstod på disken. Kontrollera disken eller "
                             "nätverksanslutningen och spara igen.");
        break;
    case DiskFault::OpenElsewhere:
        why = QStringLiteral("filen är öppen i ett annat program (till exempel Excel) som inte "
                             "låter den ersättas. Stäng filen i det programmet och spara igen.");
        break;
    default:
        why = QStringLiteral("ett fel uppstod vid skrivningen: %1.").arg(result.detail);
        break;
    }
    return QStringLiteral("Filen \"%1\" kunde inte sparas, eftersom %2 Den tidigare filen är "
                          "oförändrad.")
        .arg(target, why);
}

std::atomic<int> simulatedWriteError{0};

// The lock on the home directory that every save holds, so that two copies of the program never
// save at the same time. A copy that died leaves a lock that the next save recognises as stale.
class DirectoryLock {
public:
    explicit DirectoryLock(const QString &target)
        : m_path(directoryOf(target) + QStringLiteral("/.kvistel.lock")), m_lock(m_path) {
        // A directory or anything else of the lock's name would make every save wait for a
        // lock no one holds: it is named instead.
        const QFileInfo info(m_path);
        if ((info.exists() || info.isSymLink()) && (info.isSymLink() || !info.isFile())) {
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
        // The lock file could not be made: the directory tells why.
        return Outcome::failure(saveFailure(target, whyNotWritable(directoryOf(target))));
    }

private:
    QString m_path;
    QLockFile m_lock;
    bool m_locked = false;
    bool m_inTheWay = false;
};

// How long a temporary file of the program's own pattern must have been left untouched before a
// save takes it for the leftover of a crash: a save that is still writing (a long list on the
// command line, another copy on a slow share) touches its file far more often.
constexpr qint64 leftoverAgeSeconds = 24 * 60 * 60;

// Temporary files of earlier saves of `target` that a crash left behind
// ("trad.sty.~kvistel-x7Kq2a9B.tmp"): only names of the program's own pattern, which no user
// gives a file, only regular files untouched for a day, and a link is never followed.
void removeLeftoverTemporaries(const QString &target) {
    const QFileInfo info(target);
    const QString prefix = info.fileName() + QString::fromUtf16(temporaryMarker);
    const QDir dir = info.absoluteDir();
    const QStringList names =
        dir.entryList({prefix + QString(temporaryUniqueLength, u'?') + QStringLiteral(".tmp")},
                      QDir::Files | QDir::System | QDir::Hidden | QDir::NoSymLinks);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const QString &name : names) {
        bool own = name.size() == prefix.size() + temporaryUniqueLength + 4 &&
                   name.startsWith(prefix) && name.endsWith(QStringLiteral(".tmp"));
        for (qsizetype i = prefix.size(); own && i < prefix.size() + temporaryUniqueLength; ++i)
            own = name[i].isLetterOrNumber() && name[i].unicode() < 0x80;
        const QFileInfo entry(dir.filePath(name));
        const QDateTime touched = entry.lastModified();
        if (own && !entry.isSymLink() && !entry.isJunction() && entry.isFile() &&
            touched.isValid() && touched.secsTo(now) > leftoverAgeSeconds)
            QFile::remove(entry.filePath());
    }
}

// The save proper; the caller holds the directory lock.
Outcome writeLocked(const QString &target, const QByteArray &bytes) {
    removeLeftoverTemporaries(target);
    const DiskResult result = replaceRegularFile(target, bytes, simulatedWriteError.load());
    if (result.ok())
        return {};
    return Outcome::failure(saveFailure(target, result));
}

} // namespace

Expected<QByteArray> readWholeFile(const QString &path) {
    QByteArray bytes;
    const DiskResult result = readRegularFile(path, &bytes);
    if (result.ok())
        return bytes;
    return Outcome::failure(readFailure(path, result));
}

Expected<FileText> readTextFile(const QString &path) {
    Expected<QByteArray> bytes = readWholeFile(path);
    if (!bytes)
        return bytes.outcome();
    Expected<DecodedText> decoded = decodeFileText(*bytes, path);
    if (!decoded)
        return decoded.outcome();
    return FileText{std::move(decoded).value().text, FileStamp::of(*bytes)};
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
    const DiskResult checked = checkReplaceable(target);
    return checked.ok() ? Outcome() : Outcome::failure(saveFailure(target, checked));
}

Outcome replaceFileSafely(const QString &target, const QByteArray &bytes) {
    return whileLocked(target, [&] { return writeLocked(target, bytes); });
}

SaveOutcome replaceFileUnlessChanged(const QString &target, const QByteArray &bytes,
                                     const FileStamp &readStamp) {
    return whileLocked(target, [&]() -> SaveOutcome {
        if (readStamp.known()) {
            const Expected<QByteArray> now = readWholeFile(target);
            if (!readStamp.matches(now ? FileStamp::of(*now) : FileStamp::ofFailedRead()))
                return SaveOutcome::changedOnDisk(target);
        }
        return writeLocked(target, bytes);
    });
}

SaveOutcome rewriteFileSafely(const QString &target, const FileEdit &edit) {
    return whileLocked(target, [&]() -> SaveOutcome {
        const Expected<FileText> current = readTextFile(target);
        if (!current)
            return current.outcome();
        QByteArray replacement;
        if (SaveOutcome edited = edit(current->text, &replacement); !edited)
            return edited;
        return writeLocked(target, replacement);
    });
}

QString cannotReadMessage(const QString &path, const DiskResult &cause) {
    return readFailure(path, cause);
}

ReplacingFile::ReplacingFile(const QString &target)
    : m_target(target),
      m_replacement(std::make_unique<FileReplacement>(target, simulatedWriteError.load())) {}

ReplacingFile::~ReplacingFile() = default;

Outcome ReplacingFile::begin() {
    if (const DiskResult begun = m_replacement->begin(); !begun.ok())
        return Outcome::failure(saveFailure(m_target, begun));
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    return {};
}

Outcome ReplacingFile::outcome() const {
    const DiskResult &failure = m_replacement->failure();
    return failure.ok() ? Outcome() : Outcome::failure(saveFailure(m_target, failure));
}

Outcome ReplacingFile::commit() {
    QIODevice::close();
    if (Outcome written = outcome(); !written) {
        m_replacement->abandon();
        return written;
    }
    // Only putting the file in place meets other saves: the lock is held for that alone, so that
    // a long list written here never keeps a window's save waiting.
    return whileLocked(m_target, [&]() -> Outcome {
        removeLeftoverTemporaries(m_target);
        if (const DiskResult committed = m_replacement->commit(); !committed.ok())
            return Outcome::failure(saveFailure(m_target, committed));
        return {};
    });
}

void ReplacingFile::cancel() {
    QIODevice::close();
    m_replacement->abandon();
}

qint64 ReplacingFile::readData(char *, qint64) {
    return -1;
}

qint64 ReplacingFile::writeData(const char *data, qint64 size) {
    if (!m_replacement->write(QByteArrayView(data, size)).ok()) {
        // For a caller that asks the C library why (CsvWriter): the cause as errno.
        errno = errnoOf(m_replacement->failure());
        return -1;
    }
    return size;
}

void simulateWriteFailure(int error) {
    simulatedWriteError.store(error);
}
