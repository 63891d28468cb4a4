#include "gui/app/startup.h"

#include "core/files/diskaccess.h"
#include "core/files/examplehome.h"
#include "gui/shared/helpwindow.h"
#include "gui/shared/messages.h"

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
#include <QShortcut>
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
    if (hasDriveLetters())
        return {currentDirectory, remembered, defaultPath};
    return {currentDirectory, remembered};
}

namespace {

const QString homeKey = QStringLiteral("hemkatalog");
const QString recentKey = QStringLiteral("senaste_hemkataloger");
constexpr int recentCount = 5;

} // namespace

QString rememberedHome(const QSettings &settings) {
    return settings.value(homeKey).toString();
}

QStringList recentHomes(const QSettings &settings) {
    QStringList recent = settings.value(recentKey).toStringList();
    const QString last = rememberedHome(settings);
    if (!last.isEmpty() && !recent.contains(last))
        recent.prepend(last);
    return recent.mid(0, recentCount);
}

void rememberHome(QSettings &settings, const HomeDirectory &home) {
    // An unchanged value is not written again: no file is rewritten at every start.
    QStringList recent = recentHomes(settings);
    recent.removeAll(home.path());
    recent.prepend(home.path());
    recent = recent.mid(0, recentCount);
    if (rememberedHome(settings) != home.path())
        settings.setValue(homeKey, home.path());
    if (settings.value(recentKey).toStringList() != recent)
        settings.setValue(recentKey, recent);
}

QString rememberedHomeGone(const QSettings &settings) {
    const QString last = rememberedHome(settings);
    if (last.isEmpty())
        return {};
    const Outcome checked = checkHomeDirectory(HomeDirectory(last));
    if (checked)
        return {};
    return QStringLiteral("Hemkatalogen som användes senast går inte att öppna: %1 Har den "
                          "flyttats eller tagits bort? Ange var hemkatalogen finns nu, eller "
                          "skapa en ny.")
        .arg(checked.message());
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

QString emptyAnswerText() {
    return QStringLiteral("Ingen sökväg är angiven. Skriv sökvägen till den katalog där "
                          "Kvistels styrfil trad.sty ligger, välj den med Bläddra... eller skapa "
                          "en ny hemkatalog med exemplet. Avbryt avslutar Kvistel.");
}

// The question itself: an empty answer is told what is missing and asked again, only
// "Avbryt" gives up. No Q_OBJECT: to the rest of the program it is Qt's input box.
class HomeQuestion : public QInputDialog {
public:
    using QInputDialog::QInputDialog;

    void done(int result) override {
        if (result == QDialog::Accepted && expandAnswer(textValue()).isEmpty()) {
            showKvistelMessage(this, emptyAnswerText());
            return;
        }
        // The guide, opened over the question, is given back to no one but itself.
        if (HelpWindow *help = HelpWindow::instance(); help && help->parentWidget() == this) {
            help->setParent(nullptr, help->windowFlags());
            help->show();
        }
        QInputDialog::done(result);
    }

    // The guide's section on the home directory. The question holds the whole program; the
    // guide is made a window of its own so that it can be read and scrolled meanwhile.
    void showHelp() {
        HelpWindow *help = HelpWindow::showSection(QStringLiteral("hemkatalog"));
        if (help->parentWidget() != this) {
            help->setParent(this, help->windowFlags() | Qt::Window);
            help->show();
            help->raise();
            help->activateWindow();
        }
    }
};

QString askForHome(const QStringList &recent) {
    HomeQuestion dialog;
    dialog.setObjectName(QStringLiteral("inpSokvag"));
    dialog.setWindowTitle(QStringLiteral("Sökväg"));
    dialog.setLabelText(QStringLiteral("Ange sökväg till hemkatalogen"));
    if (!recent.isEmpty()) {
        // The homes used last, to be chosen from the list or typed over.
        QStringList shown;
        for (const QString &path : recent)
            shown << QDir::toNativeSeparators(path);
        dialog.setComboBoxItems(shown);
        dialog.setComboBoxEditable(true);
    }
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
        auto *help = buttons->addButton(QStringLiteral("&Hjälp"), QDialogButtonBox::HelpRole);
        help->setObjectName(QStringLiteral("btnHjalp"));
        help->setToolTip(QStringLiteral("Vad hemkatalogen är och hur du anger den (F1)"));
        QObject::connect(help, &QPushButton::clicked, &dialog, [&dialog] { dialog.showHelp(); });
    }
    QObject::connect(new QShortcut(QKeySequence::HelpContents, &dialog), &QShortcut::activated,
                     &dialog, [&dialog] { dialog.showHelp(); });
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

} // namespace

std::optional<HomeDirectory> settleHomeDirectory(const QStringList &candidates,
                                                 const QStringList &recent) {
    return settleHomeDirectory(
        candidates, [&recent] { return askForHome(recent); }, tellWrongHome);
}

std::optional<HomeDirectory> settleHomeDirectory(const QString &currentDirectory,
                                                 const QString &defaultPath) {
    return settleHomeDirectory(QStringList{currentDirectory, defaultPath});
}

namespace {

// Qt 6 takes the texts of its standard buttons from the context "QPlatformTheme", which the
// Swedish catalogue Debian ships (a Qt 4 one) does not hold; nor does it hold a few words of Qt's
// own file dialog, shown where the desktop offers none, nor most of Qt 6's print dialog. These
// are those words in Swedish.
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
            {"QAbstractFileIconProvider", "Folder", "Mapp"},
            {"QAbstractFileIconProvider", "Drive", "Enhet"},
            {"QTabBar", "Scroll Left", "Rulla åt vänster"},
            {"QTabBar", "Scroll Right", "Rulla åt höger"},
            // The print dialog (Qt's own on Linux): what Qt 6's dialog says that the Qt 4
            // catalogue does not hold, or holds under another English text.
            {"QPrintWidget", "Printer", "Skrivare"},
            {"QPrintWidget", "&Name:", "&Namn:"},
            {"QPrintWidget", "P&roperties", "&Egenskaper"},
            {"QPrintWidget", "Location:", "Plats:"},
            {"QPrintWidget", "Preview", "Förhandsgranska"},
            {"QPrintWidget", "Type:", "Typ:"},
            {"QPrintWidget", "Output &file:", "Utskrifts&fil:"},
            {"QPrintDialog", "&Options >>", "&Alternativ >>"},
            {"QPrintDialog", "&Options <<", "&Alternativ <<"},
            {"QPrintDialog", "&Print", "&Skriv ut"},
            {"QPrintDialog", "Print", "Skriv ut"},
            {"QPrintDialog", "Print to File (PDF)", "Skriv till fil (PDF)"},
            {"QPrintDialog", "Local file", "Lokal fil"},
            {"QPrintDialog", "Write PDF file", "Skriv en PDF-fil"},
            {"QPrintDialog", "Print To File ...", "Skriv till fil..."},
            {"QPrintDialog", "All Pages", "Alla sidor"},
            {"QPrintDialog", "Odd Pages", "Udda sidor"},
            {"QPrintDialog", "Even Pages", "Jämna sidor"},
            {"QPrintDialog", "Left to Right, Top to Bottom",
             "Vänster till höger, uppifrån och ned"},
            {"QPrintDialog", "Left to Right, Bottom to Top",
             "Vänster till höger, nedifrån och upp"},
            {"QPrintDialog", "Right to Left, Bottom to Top",
             "Höger till vänster, nedifrån och upp"},
            {"QPrintDialog", "Right to Left, Top to Bottom",
             "Höger till vänster, uppifrån och ned"},
            {"QPrintDialog", "Bottom to Top, Left to Right",
             "Nedifrån och upp, vänster till höger"},
            {"QPrintDialog", "Bottom to Top, Right to Left",
             "Nedifrån och upp, höger till vänster"},
            {"QPrintDialog", "Top to Bottom, Left to Right",
             "Uppifrån och ned, vänster till höger"},
            {"QPrintDialog", "Top to Bottom, Right to Left",
             "Uppifrån och ned, höger till vänster"},
            {"QPrintDialog", "%1 is a directory.\nPlease choose a different file name.",
             "%1 är en katalog.\nVälj ett annat filnamn."},
            {"QPrintDialog", "File %1 is not writable.\nPlease choose a different file name.",
             "Det går inte att skriva i filen %1.\nVälj ett annat filnamn."},
            {"QPrintDialog", "%1 already exists.\nDo you want to overwrite it?",
             "%1 finns redan.\nVill du skriva över den?"},
            {"QPrintDialog", "Invalid Pages Definition", "Felaktigt angivna sidor"},
            {"QPrintDialog",
             "%1 does not follow the correct syntax. Please use ',' to separate ranges and "
             "pages, '-' to define ranges and make sure ranges do not intersect with each other.",
             "%1 är inte rätt skrivet. Skilj sidor och intervall åt med ',', skriv ett intervall "
             "med '-' och se till att intervallen inte överlappar varandra."},
            {"QPrintDialog", "Duplex Settings Conflicts",
             "Inställningarna för dubbelsidig utskrift strider mot varandra"},
            {"QPrintDialog", "There are conflicts in duplex settings. Do you want to fix them?",
             "Inställningarna för dubbelsidig utskrift strider mot varandra. Vill du rätta dem?"},
            {"QPrintDialog", "Advanced Option Conflicts",
             "Avancerade alternativ strider mot varandra"},
            {"QPrintDialog",
             "There are conflicts in some advanced options. Do you want to fix them?",
             "Några avancerade alternativ strider mot varandra. Vill du rätta dem?"},
            {"QPrintSettingsOutput", "Copies", "Kopior"},
            {"QPrintSettingsOutput", "Copies:", "Kopior:"},
            {"QPrintSettingsOutput", "Print range", "Utskriftsintervall"},
            {"QPrintSettingsOutput", "Print all", "Skriv ut alla"},
            {"QPrintSettingsOutput", "Pages from", "Sidor från"},
            {"QPrintSettingsOutput", "to", "till"},
            {"QPrintSettingsOutput", "Pages", "Sidor"},
            {"QPrintSettingsOutput", "Current Page", "Aktuell sida"},
            {"QPrintSettingsOutput", "Selection", "Markering"},
            {"QPrintSettingsOutput", "Page Set:", "Sidurval:"},
            {"QPrintSettingsOutput", "Output Settings", "Utskriftsinställningar"},
            {"QPrintSettingsOutput", "Collate", "Sortera"},
            {"QPrintSettingsOutput", "Reverse", "Omvänd ordning"},
            {"QPrintSettingsOutput", "Options", "Alternativ"},
            {"QPrintSettingsOutput", "Color Mode", "Färgläge"},
            {"QPrintSettingsOutput", "Color", "Färg"},
            {"QPrintSettingsOutput", "Grayscale", "Gråskala"},
            {"QPrintSettingsOutput", "Double Sided Printing", "Dubbelsidig utskrift"},
            {"QPrintSettingsOutput", "Off", "Av"},
            {"QPrintSettingsOutput", "Long side binding", "Bindning längs långsidan"},
            {"QPrintSettingsOutput", "Short side binding", "Bindning längs kortsidan"},
            {"QPrintSettingsOutput",
             "Specify pages or ranges separated by commas. Ranges are specified by two numbers "
             "separated by a hyphen. E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
             "Ange sidor eller intervall åtskilda med kommatecken. Ett intervall skrivs som två "
             "tal med ett bindestreck emellan. Till exempel skriver 3,5-7,9 ut sidorna 3, 5, 6, "
             "7 och 9."},
            {"QPrintPropertiesDialog", "Printer Properties", "Skrivarens egenskaper"},
            {"QPrintPropertiesDialog", "Job Options", "Jobbalternativ"},
            {"QPrintPropertiesWidget", "Page", "Sida"},
            {"QPrintPropertiesWidget", "Advanced", "Avancerat"},
            {"QPrintPropertiesWidget", "There are conflicts in some options. Please fix them.",
             "Några alternativ strider mot varandra. Rätta dem."},
            {"QPrintPreviewDialog", "Page Setup", "Utskriftsformat"},
            {"QPageSetupWidget", "Paper", "Papper"},
            {"QPageSetupWidget", "Page size:", "Sidstorlek:"},
            {"QPageSetupWidget", "Width:", "Bredd:"},
            {"QPageSetupWidget", "Height:", "Höjd:"},
            {"QPageSetupWidget", "Paper source:", "Papperskälla:"},
            {"QPageSetupWidget", "Orientation", "Orientering"},
            {"QPageSetupWidget", "Portrait", "Stående"},
            {"QPageSetupWidget", "Landscape", "Liggande"},
            {"QPageSetupWidget", "Reverse landscape", "Omvänt liggande"},
            {"QPageSetupWidget", "Reverse portrait", "Omvänt stående"},
            {"QPageSetupWidget", "Margins", "Marginaler"},
            {"QPageSetupWidget", "top margin", "övre marginal"},
            {"QPageSetupWidget", "left margin", "vänster marginal"},
            {"QPageSetupWidget", "right margin", "höger marginal"},
            {"QPageSetupWidget", "bottom margin", "nedre marginal"},
            {"QPageSetupWidget", "Page Layout", "Sidlayout"},
            {"QPageSetupWidget", "Page order:", "Sidordning:"},
            {"QPageSetupWidget", "Pages per sheet:", "Sidor per ark:"},
            {"QPageSetupWidget", "Millimeters (mm)", "Millimeter (mm)"},
            {"QPageSetupWidget", "Inches (in)", "Tum (in)"},
            {"QPageSetupWidget", "Points (pt)", "Punkter (pt)"},
            {"QPageSetupWidget", "Custom", "Anpassad"},
            {"QCupsJobWidget", "Job", "Jobb"},
            {"QCupsJobWidget", "Job Control", "Jobbhantering"},
            {"QCupsJobWidget", "Scheduled printing:", "Schemalagd utskrift:"},
            {"QCupsJobWidget", "Billing information:", "Faktureringsuppgifter:"},
            {"QCupsJobWidget", "Job priority:", "Prioritet:"},
            {"QCupsJobWidget", "Banner Pages", "Försättsblad"},
            {"QCupsJobWidget", "Start:", "Början:"},
            {"QCupsJobWidget", "End:", "Slutet:"},
            {"QCupsJobWidget", "Print Immediately", "Skriv ut genast"},
            {"QCupsJobWidget", "Hold Indefinitely", "Vänta tills vidare"},
            {"QCupsJobWidget", "Day (06:00 to 17:59)", "Dag (06:00 till 17:59)"},
            {"QCupsJobWidget", "Night (18:00 to 05:59)", "Natt (18:00 till 05:59)"},
            {"QCupsJobWidget", "Second Shift (16:00 to 23:59)", "Andra skiftet (16:00 till 23:59)"},
            {"QCupsJobWidget", "Third Shift (00:00 to 07:59)", "Tredje skiftet (00:00 till 07:59)"},
            {"QCupsJobWidget", "Weekend (Saturday to Sunday)", "Helg (lördag till söndag)"},
            {"QCupsJobWidget", "Specific Time", "Vid en viss tid"},
            {"QCupsJobWidget", "None", "Inget"},
            {"QCupsJobWidget", "Unclassified", "Oklassificerat"},
            {"QCupsJobWidget", "Confidential", "Konfidentiellt"},
            {"QCupsJobWidget", "Classified", "Klassificerat"},
            {"QCupsJobWidget", "Secret", "Hemligt"},
            {"QCupsJobWidget", "Top Secret", "Kvalificerat hemligt"},
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
