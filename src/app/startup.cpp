#include "startup.h"

#include "messages.h"

#include <QFileInfo>
#include <QInputDialog>

bool checkPath(const QString &path) {
    const QFileInfo info(path + QStringLiteral("trad.sty"));
    return info.exists() && info.isFile();
}

namespace {

QString withSlash(QString path) {
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

} // namespace

std::optional<QString> settleHomeDirectory(const QString &currentDirectory,
                                           const QString &defaultPath,
                                           const std::function<QString()> &ask,
                                           const std::function<void()> &tellWrong) {
    QString sokvag = withSlash(currentDirectory);
    if (checkPath(sokvag))
        return sokvag;
    sokvag = withSlash(defaultPath);
    if (checkPath(sokvag))
        return sokvag;
    for (;;) {
        const QString answer = ask();
        if (answer.isEmpty())
            return std::nullopt;
        sokvag = withSlash(answer);
        if (checkPath(sokvag))
            return sokvag;
        tellWrong();
    }
}

std::optional<QString> settleHomeDirectory(const QString &currentDirectory,
                                           const QString &defaultPath) {
    auto ask = [] {
        QInputDialog dialog;
        dialog.setObjectName(QStringLiteral("inpSokvag"));
        dialog.setWindowTitle(QStringLiteral("Sökväg"));
        dialog.setLabelText(QStringLiteral("Ange sökväg till hemkatalogen"));
        dialog.setTextValue(QString());
        return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
    };
    auto tellWrong = [] { showKvistelMessage(nullptr, QStringLiteral("Felaktig sökväg")); };
    return settleHomeDirectory(currentDirectory, defaultPath, ask, tellWrong);
}
