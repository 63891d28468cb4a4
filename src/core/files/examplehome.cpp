#include "core/files/examplehome.h"

#include "core/files/homedirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

Outcome copyExampleHome(const QString &example, const QString &target) {
    const QDir from(example);
    const QString shownTarget = QDir::toNativeSeparators(target);
    if (!QFileInfo(HomeDirectory(example).controlFile()).isFile())
        return Outcome::failure(
            QStringLiteral("Exemplet med styrfilen trad.sty finns inte i \"%1\". Installera "
                           "Kvistel på nytt, eller ange en befintlig hemkatalog.")
                .arg(QDir::toNativeSeparators(example)));
    if (QFileInfo(target).exists() && !QFileInfo(target).isDir())
        return Outcome::failure(
            QStringLiteral("\"%1\" är en fil, ingen katalog. Välj ett annat namn för den nya "
                           "hemkatalogen.")
                .arg(shownTarget));
    if (!QDir().mkpath(target))
        return Outcome::failure(
            QStringLiteral("Katalogen \"%1\" kunde inte skapas. Välj en plats där du får skriva.")
                .arg(shownTarget));
    const QDir to(target);
    QStringList copied;
    for (const QFileInfo &file : from.entryInfoList(QDir::Files, QDir::Name)) {
        const QString destination = to.filePath(file.fileName());
        if (QFileInfo::exists(destination))
            continue;
        if (!QFile::copy(file.filePath(), destination)) {
            for (const QString &done : std::as_const(copied))
                QFile::remove(done);
            return Outcome::failure(
                QStringLiteral("Filen %1 kunde inte kopieras till \"%2\". Välj en plats där du "
                               "får skriva.")
                    .arg(file.fileName(), shownTarget));
        }
        copied << destination;
        // An installed example is read-only; the user's copy is theirs to change.
        QFile::setPermissions(destination, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                               QFile::ReadOther);
    }
    return {};
}
