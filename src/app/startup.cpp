#include "app/startup.h"

#include "core/files/diskaccess.h"
#include "core/files/examplehome.h"
#include "shared/messages.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QPushButton>
#include <QSettings>
#include <QTranslator>

bool checkPath(const HomeDirectory &home) {
    const QFileInfo info(home.controlFile());
    return info.exists() && info.isFile();
}

Outcome checkHomeDirectory(const HomeDirectory &home) {
    if (checkPath(home))
        return {};
    const QFileInfo dir(home.path());
    const QString shown = QDir::toNativeSeparators(home.path());
    if (!dir.exists())
        return Outcome::failure(QStringLiteral("katalogen \"%1\" finns inte.").arg(shown));
    if (!dir.isDir())
        return Outcome::failure(QStringLiteral("\"%1\" är ingen katalog.").arg(shown));
    const QFileInfo file(home.controlFile());
    if (file.exists() || file.isSymLink())
        return Outcome::failure(QStringLiteral("\"%1\" i katalogen \"%2\" är ingen vanlig fil.")
                                    .arg(HomeDirectory::controlFileName(), shown));
    return Outcome::failure(
        QStringLiteral("katalogen \"%1\" innehåller ingen styrfil trad.sty.").arg(shown));
}

QString expandAnswer(const QString &answer) {
    const QString trimmed = answer.trimmed();
    if (trimmed == u"~")
        return QDir::homePath();
    if (trimmed.startsWith(QStringLiteral("~/")))
        return QDir::homePath() + trimmed.mid(1);
    return trimmed;
}

std::optional<HomeDirectory> firstHomeAmong(const QStringList &candidates) {
    for (const QString &candidate : candidates) {
        if (candidate.isEmpty())
            continue;
        const HomeDirectory home(candidate);
        if (checkPath(home))
            return home;
    }
    return std::nullopt;
}

std::optional<HomeDirectory>
settleHomeDirectory(const QStringList &candidates, const std::function<QString()> &ask,
                    const std::function<void(const QString &)> &tellWrong) {
    if (auto found = firstHomeAmong(candidates))
        return found;
    for (;;) {
        const QString answer = expandAnswer(ask());
        if (answer.isEmpty())
            return std::nullopt;
        const HomeDirectory home(answer);
        const Outcome checked = checkHomeDirectory(home);
        if (checked)
            return home;
        tellWrong(checked.message());
    }
}

std::optional<HomeDirectory>
settleHomeDirectory(const QString &currentDirectory, const QString &defaultPath,
                    const std::function<QString()> &ask,
                    const std::function<void(const QString &)> &tellWrong) {
    return settleHomeDirectory(QStringList{currentDirectory, defaultPath}, ask, tellWrong);
}

QStringList homeCandidates(const QString &currentDirectory, const QString &remembered,
                           const QString &defaultPath) {
#ifdef Q_OS_WIN
    return {currentDirectory, remembered, defaultPath};
#else
    Q_UNUSED(defaultPath);
    return {currentDirectory, remembered};
#endif
}

namespace {

const QString homeKey = QStringLiteral("hemkatalog");

} // namespace

QString rememberedHome(const QSettings &settings) {
    return settings.value(homeKey).toString();
}

void rememberHome(QSettings &settings, const HomeDirectory &home) {
    // An unchanged value is not written again: no file is rewritten at every start.
    if (rememberedHome(settings) != home.path())
        settings.setValue(homeKey, home.path());
}

QString exampleDirectory() {
    // Installed on Windows, the example lies beside the program (exempel\), wherever the user
    // installed it; on Linux in share/kvistel/exempel.
    const QString programDir = QCoreApplication::applicationDirPath();
    QStringList places{programDir + QStringLiteral("/exempel"),
                       programDir + QStringLiteral("/../share/kvistel/exempel")};
#ifdef KVISTEL_SAMPLE_DIR
    places << QStringLiteral(KVISTEL_SAMPLE_DIR);
#endif
    for (const QString &place : std::as_const(places))
        if (checkPath(HomeDirectory(place)))
            return QDir::cleanPath(place);
    return {};
}

void tellWrongHome(const QString &problem) {
    showKvistelMessage(nullptr,
                       QStringLiteral("Felaktig sökväg: %1 Hemkatalogen är den katalog där "
                                      "Kvistels styrfil trad.sty ligger; ange den, till "
                                      "exempel ~/Kvistel.")
                           .arg(problem));
}

namespace {

// A name for a new home directory that is not taken yet: ~/Kvistel (Dokument\Kvistel on
// Windows), else ~/Kvistel 2, ...
QString proposedNewHome() {
    const QString base = placeForNewHome() + QStringLiteral("/Kvistel");
    QString name = base;
    for (int n = 2; QFileInfo::exists(name) && !checkPath(HomeDirectory(name)); ++n)
        name = base + QStringLiteral(" %1").arg(n);
    return name;
}

// The folder dialog of the question: an existing home directory.
void browseForHome(QInputDialog &dialog) {
    const QString start = QFileInfo(expandAnswer(dialog.textValue())).isDir()
                              ? expandAnswer(dialog.textValue())
                              : QDir::homePath();
    const QString dir =
        QFileDialog::getExistingDirectory(&dialog, QStringLiteral("Välj hemkatalog"), start);
    if (!dir.isEmpty())
        dialog.setTextValue(QDir::toNativeSeparators(dir));
}

// Where a new home directory is to be: a name not taken yet, or an existing home directory or
// empty folder, which is taken as it is (the file dialog would otherwise open any folder
// named, so that an existing home could never be chosen). Qt's own dialog, whose choice this
// can decide.
class NewHomeDialog : public QFileDialog {
public:
    explicit NewHomeDialog(QWidget *parent)
        : QFileDialog(parent, QStringLiteral("Ny hemkatalog med exemplet")) {
        setObjectName(QStringLiteral("dlgNyHemkatalog"));
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
        setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontConfirmOverwrite |
                   QFileDialog::DontUseNativeDialog);
        setLabelText(QFileDialog::Accept, QStringLiteral("&Skapa"));
        setLabelText(QFileDialog::FileName, QStringLiteral("&Katalognamn:"));
    }

    void accept() override {
        const QString chosen = selectedFiles().value(0);
        const QFileInfo info(chosen);
        if (info.isDir() &&
            (checkPath(HomeDirectory(chosen)) ||
             QDir(chosen).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))) {
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }
};

// A new home directory, copied from the example into a folder the user names; the question is
// answered with it.
void createHomeFromExample(QInputDialog &dialog) {
    const QString example = exampleDirectory();
    if (example.isEmpty()) {
        showKvistelMessage(&dialog, QStringLiteral("Exemplet som hör till Kvistel hittades inte. "
                                                   "Installera Kvistel på nytt, eller ange en "
                                                   "befintlig hemkatalog."));
        return;
    }
    NewHomeDialog chooser(&dialog);
    chooser.selectFile(proposedNewHome());
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().value(0).isEmpty())
        return;
    const QString target = chooser.selectedFiles().constFirst();
    if (const Outcome copied = copyExampleHome(example, target); !copied) {
        showKvistelMessage(&dialog, copied.message());
        return;
    }
    dialog.setTextValue(QDir::toNativeSeparators(target));
    dialog.accept();
}

QString askForHome() {
    QInputDialog dialog;
    dialog.setObjectName(QStringLiteral("inpSokvag"));
    dialog.setWindowTitle(QStringLiteral("Sökväg"));
    dialog.setLabelText(QStringLiteral("Ange sökväg till hemkatalogen"));
    dialog.setTextValue(QString());
    dialog.setOkButtonText(QStringLiteral("&OK"));
    dialog.setCancelButtonText(QStringLiteral("&Avbryt"));
    if (auto *buttons = dialog.findChild<QDialogButtonBox *>()) {
        auto *browse =
            buttons->addButton(QStringLiteral("&Bläddra..."), QDialogButtonBox::ActionRole);
        browse->setObjectName(QStringLiteral("btnBladdra"));
        browse->setToolTip(QStringLiteral("Välj en befintlig hemkatalog i en mappdialog"));
        QObject::connect(browse, &QPushButton::clicked, &dialog,
                         [&dialog] { browseForHome(dialog); });
        auto *create = buttons->addButton(QStringLiteral("&Skapa en ny hemkatalog med exemplet"),
                                          QDialogButtonBox::ActionRole);
        create->setObjectName(QStringLiteral("btnSkapaHem"));
        create->setToolTip(QStringLiteral("Kopierar exemplet som följer med Kvistel (styrfil, "
                                          "prislista och en trädlista) till en ny katalog som "
                                          "du väljer och börjar arbeta där"));
        QObject::connect(create, &QPushButton::clicked, &dialog,
                         [&dialog] { createHomeFromExample(dialog); });
    }
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

} // namespace

std::optional<HomeDirectory> settleHomeDirectory(const QStringList &candidates) {
    return settleHomeDirectory(candidates, askForHome, tellWrongHome);
}

std::optional<HomeDirectory> settleHomeDirectory(const QString &currentDirectory,
                                                 const QString &defaultPath) {
    return settleHomeDirectory(QStringList{currentDirectory, defaultPath});
}

namespace {

// Qt 6 takes the texts of its standard buttons from the context "QPlatformTheme", which the
// Swedish catalogue Debian ships (a Qt 4 one) does not hold; nor does it hold a few words of Qt's
// own file dialog, shown where the desktop offers none. These are Qt's own Swedish words.
class SwedishStandardButtons : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        static const struct {
            const char *context;
            const char *english;
            const char *swedish;
        } words[] = {
            {"QPlatformTheme", "OK", "OK"},
            {"QPlatformTheme", "Save", "Spara"},
            {"QPlatformTheme", "Save All", "Spara alla"},
            {"QPlatformTheme", "Open", "Öppna"},
            {"QPlatformTheme", "&Yes", "&Ja"},
            {"QPlatformTheme", "Yes to &All", "Ja till &alla"},
            {"QPlatformTheme", "&No", "&Nej"},
            {"QPlatformTheme", "N&o to All", "N&ej till alla"},
            {"QPlatformTheme", "Abort", "Avbryt"},
            {"QPlatformTheme", "Retry", "Försök igen"},
            {"QPlatformTheme", "Ignore", "Ignorera"},
            {"QPlatformTheme", "Close", "Stäng"},
            {"QPlatformTheme", "Cancel", "Avbryt"},
            {"QPlatformTheme", "Discard", "Kasta"},
            {"QPlatformTheme", "Don't Save", "Spara inte"},
            {"QPlatformTheme", "Close without Saving", "Stäng utan att spara"},
            {"QPlatformTheme", "Help", "Hjälp"},
            {"QPlatformTheme", "Apply", "Verkställ"},
            {"QPlatformTheme", "Reset", "Återställ"},
            {"QPlatformTheme", "Restore Defaults", "Återställ standardvärden"},
            {"QFileDialog", "Look in:", "Sök i:"},
            {"QFileDialog", "&Choose", "&Välj"},
            {"QFileDialog", "Back", "Bakåt"},
            {"QFileDialog", "Forward", "Framåt"},
            {"QFileDialog", "Parent Directory", "Överliggande katalog"},
            {"QFileDialog", "Create New Folder", "Skapa ny mapp"},
            {"QFileDialog", "List View", "Listvy"},
            {"QFileDialog", "Detail View", "Detaljvy"},
            {"QFileSystemModel", "Computer", "Dator"},
        };
        for (const auto &w : words)
            if (qstrcmp(context, w.context) == 0 && qstrcmp(sourceText, w.english) == 0)
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
