#include "core/files/examplehome.h"

#include "core/files/homedirectory.h"
#include "core/files/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

// The directories from `target` up to the first that exists, the outermost first: those a new
// home directory has to create, and remove again should it fail.
QStringList missingDirectories(const QString &target) {
    QStringList missing;
    QString dir = QDir::cleanPath(QDir(target).absolutePath());
    while (!QFileInfo(dir).exists() && !QFileInfo(dir).isSymLink()) {
        missing.prepend(dir);
        const QString parent = QFileInfo(dir).path();
        if (parent == dir)
            break;
        dir = parent;
    }
    return missing;
}

// Why a directory could not be made in `parent`, in words for the user.
QString whyNoDirectory(const QString &parent) {
    const QFileInfo info(parent);
    const QString shown = QDir::toNativeSeparators(parent);
    if (info.isSymLink() && !info.exists())
        return QStringLiteral("\"%1\" är en länk till \"%2\", som inte finns.")
            .arg(shown, QDir::toNativeSeparators(info.symLinkTarget()));
    if (!info.isDir())
        return QStringLiteral("\"%1\" är ingen katalog.").arg(shown);
    const QStorageInfo disk(parent);
    if (disk.isValid() && disk.isReadOnly())
        return QStringLiteral("disken som \"%1\" ligger på går bara att läsa.").arg(shown);
    if (disk.isValid() && disk.bytesAvailable() == 0)
        return QStringLiteral("disken är full.");
    if (!info.isWritable())
        return QStringLiteral("du saknar rätt att skriva i \"%1\".").arg(shown);
    return QStringLiteral("systemet tillät det inte.");
}

// Takes back what a failed copy made: the files it copied, then the directories it created
// (each only when empty, so nothing else is ever removed).
void undo(const QStringList &copied, const QStringList &made) {
    for (const QString &file : copied)
        QFile::remove(file);
    for (auto dir = made.crbegin(); dir != made.crend(); ++dir)
        QDir().rmdir(*dir);
}

} // namespace

Outcome copyExampleHome(const QString &example, const QString &target) {
    const QDir from(example);
    const QString shownTarget = QDir::toNativeSeparators(target);
    if (!QFileInfo(HomeDirectory(example).controlFile()).isFile())
        return Outcome::failure(
            QStringLiteral("Exemplet med styrfilen trad.sty finns inte i \"%1\". Installera "
                           "Kvistel på nytt, eller ange en befintlig hemkatalog.")
                .arg(QDir::toNativeSeparators(example)));
    const QFileInfo targetInfo(target);
    if (targetInfo.isSymLink() && !targetInfo.exists())
        return Outcome::failure(
            QStringLiteral("\"%1\" är en länk till \"%2\", som inte finns. Välj ett annat namn "
                           "eller en annan plats för den nya hemkatalogen.")
                .arg(shownTarget, QDir::toNativeSeparators(targetInfo.symLinkTarget())));
    if (targetInfo.exists() && !targetInfo.isDir())
        return Outcome::failure(
            QStringLiteral("\"%1\" är en fil, ingen katalog. Välj ett annat namn för den nya "
                           "hemkatalogen.")
                .arg(shownTarget));

    QStringList made;
    for (const QString &dir : missingDirectories(target)) {
        if (!QDir().mkdir(dir)) {
            const QString why = whyNoDirectory(QFileInfo(dir).path());
            undo({}, made);
            return Outcome::failure(QStringLiteral("Katalogen \"%1\" kunde inte skapas: %2 "
                                                   "Välj en annan plats för den nya "
                                                   "hemkatalogen.")
                                        .arg(shownTarget, why));
        }
        made << dir;
    }
    const QDir to(target);
    QStringList copied;
    // The example's own files only: whatever else lies in its folder is no part of it.
    for (const char *name : {"trad.sty", "priser_ac.txt", "bestand.csv"}) {
        const QFileInfo file(from.filePath(QLatin1String(name)));
        if (!file.isFile())
            continue;
        const QString destination = to.filePath(file.fileName());
        // A home directory chosen again keeps every file it has.
        if (QFileInfo::exists(destination) || QFileInfo(destination).isSymLink())
            continue;
        const Expected<QByteArray> bytes = readWholeFile(file.filePath());
        const Outcome done = bytes ? replaceFileSafely(destination, *bytes) : bytes.outcome();
        if (!done) {
            undo(copied, made);
            return Outcome::failure(
                QStringLiteral("Exemplet kunde inte kopieras till \"%1\"; inget har lämnats "
                               "kvar där. %2")
                    .arg(shownTarget, done.message()));
        }
        copied << destination;
    }
    return {};
}
