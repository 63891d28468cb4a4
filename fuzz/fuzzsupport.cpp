#include "fuzzsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

// Memory-backed when the machine has it: every save syncs its file to the disk, and a fuzzer
// saves thousands of files a second.
QString temporaryBase() {
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    if (shm.isDir() && shm.isWritable())
        return shm.filePath();
    return QDir::tempPath();
}

} // namespace

QString fuzzHome() {
    static QTemporaryDir dir(temporaryBase() + QStringLiteral("/kvistel-fuzz-XXXXXX"));
    if (!dir.isValid())
        fuzzFailure(__FILE__, __LINE__, "temporary home directory", dir.errorString());
    return dir.path() + QStringLiteral("/");
}

void writeFileOrDie(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size())
        fuzzFailure(__FILE__, __LINE__, "writing the input file", path);
}

QByteArray readFileOrEmpty(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    return file.readAll();
}

bool fileExists(const QString &path) {
    return QFile::exists(path);
}

QList<QByteArray> byteLines(const QByteArray &bytes) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c == '\r' || c == '\n') {
            lines.append(bytes.mid(start, i - start));
            if (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(bytes.mid(start));
    return lines;
}

bool allLinesEndCrLf(const QByteArray &bytes) {
    if (bytes.isEmpty())
        return true;
    if (!bytes.endsWith("\r\n"))
        return false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '\r' && (i + 1 >= bytes.size() || bytes.at(i + 1) != '\n'))
            return false;
        if (c == '\n' && (i == 0 || bytes.at(i - 1) != '\r'))
            return false;
    }
    return true;
}

std::uint32_t inputHash(const std::uint8_t *data, std::size_t size) {
    std::uint32_t h = 2166136261u; // FNV-1a
    for (std::size_t i = 0; i < size; ++i)
        h = (h ^ data[i]) * 16777619u;
    return h;
}

void fuzzFailure(const char *file, int line, const char *what, const QString &detail) {
    std::fprintf(stderr, "\n%s:%d: check failed: %s\n  %s\n", file, line, what,
                 detail.toUtf8().constData());
    std::abort();
}
