#include "textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString decodeCp1252(const QByteArray &bytes) {
    QStringDecoder decoder("windows-1252");
    return decoder.decode(bytes);
}

QByteArray encodeCp1252(const QString &text) {
    QStringEncoder encoder("windows-1252");
    return encoder.encode(text);
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

bool readWholeFile(const QString &path, QByteArray *bytes, QString *error) {
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = QStringLiteral("Filen \"%1\" finns inte.").arg(path);
        return false;
    }
    if (info.isDir()) {
        *error = QStringLiteral("\"%1\" är en katalog och inte en fil.").arg(path);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Filen \"%1\" kunde inte öppnas för läsning.").arg(path);
        return false;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("Filen \"%1\" kunde inte läsas.").arg(path);
        return false;
    }
    return true;
}

namespace {

QString writeFailure(const QString &target) {
    return QStringLiteral("Filen \"%1\" kunde inte sparas, eftersom katalogen inte går att "
                          "skriva i eller disken är full. Den tidigare filen är oförändrad.")
        .arg(target);
}

} // namespace

bool replaceFileSafely(const QString &target, const QByteArray &bytes, const QString &tempPath,
                       QString *error) {
    if (QFileInfo(target).isDir()) {
        *error = QStringLiteral("\"%1\" är en katalog och inte en fil.").arg(target);
        return false;
    }
    // A file the user has write-protected is not replaced behind his back (the rename would
    // otherwise succeed in a writable directory); any other file keeps its permissions.
    struct stat old;
    const bool exists = ::stat(QFile::encodeName(target).constData(), &old) == 0;
    if (exists && (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        *error = QStringLiteral("Filen \"%1\" är skrivskyddad och sparades inte. Den tidigare "
                                "filen är oförändrad.")
                     .arg(target);
        return false;
    }
    const QByteArray temp = QFile::encodeName(tempPath);
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = writeFailure(target);
        return false;
    }
    bool ok = !exists || ::fchmod(fd, old.st_mode & 07777) == 0;
    qsizetype done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ok = false;
        else
            done += n;
    }
    // The data must be on the disk before the rename makes it the file of record.
    if (ok && ::fsync(fd) != 0)
        ok = false;
    if (::close(fd) != 0)
        ok = false;
    if (ok && std::rename(temp.constData(), QFile::encodeName(target).constData()) != 0)
        ok = false;
    if (!ok) {
        ::unlink(temp.constData());
        *error = writeFailure(target);
        return false;
    }
    return true;
}

bool replaceFileSafely(const QString &target, const QByteArray &bytes, QString *error) {
    return replaceFileSafely(target, bytes, target + QStringLiteral(".tmp"), error);
}
