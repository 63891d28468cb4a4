#include "startup.h"

#include "messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool checkPath(const QString &path) {
    const QFileInfo info(path + QStringLiteral("trad.sty"));
    return info.exists() && info.isFile();
}

QString homeDirectoryProblem(const QString &path) {
    if (checkPath(path))
        return {};
    const QFileInfo dir(path);
    const QString shown = QDir::toNativeSeparators(QDir::cleanPath(path));
    if (!dir.exists())
        return QStringLiteral("katalogen \"%1\" finns inte.").arg(shown);
    if (!dir.isDir())
        return QStringLiteral("\"%1\" är ingen katalog.").arg(shown);
    const QFileInfo file(path + QStringLiteral("trad.sty"));
    if (file.exists() || file.isSymLink())
        return QStringLiteral("\"%1\" i katalogen \"%2\" är ingen vanlig fil.")
            .arg(QStringLiteral("trad.sty"), shown);
    return QStringLiteral("katalogen \"%1\" innehåller ingen styrfil trad.sty.").arg(shown);
}

QString expandAnswer(const QString &answer) {
    const QString trimmed = answer.trimmed();
    if (trimmed == u"~")
        return QDir::homePath();
    if (trimmed.startsWith(QStringLiteral("~/")))
        return QDir::homePath() + trimmed.mid(1);
    return trimmed;
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
                                           const std::function<void(const QString &)> &tellWrong) {
    QString sokvag = withSlash(currentDirectory);
    if (checkPath(sokvag))
        return sokvag;
    sokvag = withSlash(defaultPath);
    if (checkPath(sokvag))
        return sokvag;
    for (;;) {
        const QString answer = expandAnswer(ask());
        if (answer.isEmpty())
            return std::nullopt;
        sokvag = withSlash(answer);
        const QString problem = homeDirectoryProblem(sokvag);
        if (problem.isEmpty())
            return sokvag;
        tellWrong(problem);
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
    auto tellWrong = [](const QString &problem) {
        showKvistelMessage(nullptr,
                           QStringLiteral("Felaktig sökväg: %1 Hemkatalogen är den katalog där "
                                          "Kvistels styrfil trad.sty ligger; ange den, till "
                                          "exempel ~/kvistel.")
                               .arg(problem));
    };
    return settleHomeDirectory(currentDirectory, defaultPath, ask, tellWrong);
}

namespace {

// Qt 6 takes the texts of its standard buttons from the context "QPlatformTheme", which the
// Swedish catalogue Debian ships (a Qt 4 one) does not hold; these are Qt's own Swedish words.
class SwedishStandardButtons : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QPlatformTheme") != 0)
            return {};
        static const struct {
            const char *english;
            const char *swedish;
        } words[] = {
            {"OK", "OK"},
            {"Save", "Spara"},
            {"Save All", "Spara alla"},
            {"Open", "Öppna"},
            {"&Yes", "&Ja"},
            {"Yes to &All", "Ja till &alla"},
            {"&No", "&Nej"},
            {"N&o to All", "N&ej till alla"},
            {"Abort", "Avbryt"},
            {"Retry", "Försök igen"},
            {"Ignore", "Ignorera"},
            {"Close", "Stäng"},
            {"Cancel", "Avbryt"},
            {"Discard", "Kasta"},
            {"Don't Save", "Spara inte"},
            {"Close without Saving", "Stäng utan att spara"},
            {"Help", "Hjälp"},
            {"Apply", "Verkställ"},
            {"Reset", "Återställ"},
            {"Restore Defaults", "Återställ standardvärden"},
        };
        for (const auto &w : words)
            if (qstrcmp(sourceText, w.english) == 0)
                return QString::fromUtf8(w.swedish);
        return {};
    }
};

} // namespace

bool installSwedishQtTexts(QCoreApplication &app) {
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QLocale swedish(QLocale::Swedish, QLocale::Sweden);
    // "qt_sv" holds the texts of Qt's dialogs; a "qtbase_sv" exists on some systems only.
    for (const char *name : {"qt", "qtbase"}) {
        auto *translator = new QTranslator(&app);
        if (!translator->load(swedish, QString::fromLatin1(name), QStringLiteral("_"), dir) ||
            !QCoreApplication::installTranslator(translator))
            delete translator;
    }
    // Installed last, so asked first.
    return QCoreApplication::installTranslator(new SwedishStandardButtons(&app));
}
