#include "batch/batch.h"

#include "core/files/diskaccess.h"
#include "core/files/homedirectory.h"

#include "core/files/textfile.h"
#include "core/treelist/treelistbatch.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <cstring>
#include <utility>

namespace {

enum ExitStatus { AllValued = 0, SomeNotValued = 1, UsageOrFileProblem = 2 };

const char *const batchSwitches[] = {"--batch", "--help", "-h", "--version", "-v"};

QString usage() {
    QString text = QStringLiteral(
        "Användning: kvistel [--home KATALOG]\n"
        "            kvistel --batch TRÄD.csv [--home KATALOG] [-o UT.csv] [--full | --plan]\n"
        "                    [--entries N | --entry-years ÅR,ÅR] [--entry-cost KR]\n"
        "                    [--min-volume M3]\n"
        "\n"
        "Utan --batch öppnar Kvistel sina fönster på hemkatalogen: den som anges med --home,\n"
        "annars den aktuella katalogen om den har en styrfil trad.sty, annars den som\n"
        "användes senast.\n"
        "\n"
        "Värderar varje träd i listan för sig, utan fönster, med parametrarna och prislistan\n"
        "i hemkatalogen (trad.sty och priser_ac.txt).\n"
        "\n"
        "  --batch TRÄD.csv  trädlistan: en rubrikrad med kolumnerna id, art, bdm, hojdjust,\n"
        "                    site, plant, ring5, dkvot, kronst, bkv, akv och tkv i valfri\n"
        "                    ordning; en kolumn som saknas tas från trad.sty\n"
        "  --home KATALOG    hemkatalogen (förval: den aktuella katalogen om den har en\n"
        "                    trad.sty, annars den som användes senast)\n"
        "  -o UT.csv         skriv resultatet till filen i stället för till standard ut\n"
        "                    (-o - är standard ut)\n"
        "  --full            en rad per träd och avverkningsår med resultattabellens\n"
        "                    sjutton kolumner\n"
        "  --plan            beståndets avverkningsplan: varje träd avverkas sitt bästa år;\n"
        "                    en rad per avverkningsår med antal träd, volym, netto och\n"
        "                    nuvärde, en rad totalt och en jämförelse med att avverka allt nu\n"
        "  --entries N       planen i högst N avverkningstillfällen (1 till 4), de år som\n"
        "                    ger beståndet högst nuvärde efter kostnaderna\n"
        "  --entry-years ÅR,ÅR  planen i de angivna avverkningsåren (0, 10, ..., 110)\n"
        "  --entry-cost KR   kostnad per avverkningstillfälle i kronor (förval 0)\n"
        "  --min-volume M3   minsta volym per tillfälle; ett tillfälle under den görs inte\n"
        "                    (förval 0)\n"
        "                    En kolumn åtgärd med \"lämnas\" eller \"avverkas\" gäller i planen.\n"
        "  -h, --help        visa den här hjälpen\n"
        "  -v, --version     visa programmets version\n"
        "\n"
        "Slutstatus: 0 när alla träd värderades, 1 när något träd inte kunde värderas\n"
        "(se kolumnen fel), 2 vid fel på kommandoraden eller i en fil.\n");
    if (hasConsoleProgramBeside())
        text += QStringLiteral(
            "\n"
            "I Windows är kvistel.exe fönsterprogrammet. Från cmd och PowerShell körs\n"
            "kommandoraden med kvistel-batch.exe i samma mapp, med samma flaggor:\n"
            "  \"C:\\Program Files\\Kvistel\\kvistel-batch.exe\" --batch bestand.csv > ut.csv\n");
    return text;
}

void say(QIODevice &device, const QString &text) {
    device.write(text.toLocal8Bit());
}

int problem(QIODevice &errors, const QString &message) {
    say(errors, QStringLiteral("kvistel: ") + message + u'\n');
    return UsageOrFileProblem;
}

// Without --home: the current directory when it holds a control file, else the home directory
// the program used last, as the windows do; the user is told which one is used.
QString batchHome(QIODevice &errors) {
    const QString current = QDir::currentPath();
    if (QFileInfo(HomeDirectory(current).controlFile()).isFile())
        return current;
    const QString remembered = QSettings(QStringLiteral("Kvistel"), QStringLiteral("Kvistel"))
                                   .value(QStringLiteral("hemkatalog"))
                                   .toString();
    if (remembered.isEmpty() || !QFileInfo(HomeDirectory(remembered).controlFile()).isFile())
        return current;
    say(errors, QStringLiteral("kvistel: den aktuella katalogen har ingen trad.sty; använder "
                               "hemkatalogen \"%1\" som användes senast (välj en annan med "
                               "--home KATALOG).\n")
                    .arg(QDir::toNativeSeparators(QDir::cleanPath(remembered))));
    return remembered;
}

// The file -o names may be replaced only when it is a new name or a regular file of the user's
// that is not the list being read (a second run would read its own result).
Outcome checkOutput(const QString &target, const QString &input) {
    if (target.isEmpty())
        return Outcome::failure(QStringLiteral("ange efter -o namnet på filen som resultatet ska "
                                               "skrivas till."));
    if (const Outcome may = checkSaveTarget(target); !may)
        return may;
    if (isSameFile(target, input))
        return Outcome::failure(
            QStringLiteral("resultatet skrivs inte över listan \"%1\" som läses. Ange ett "
                           "annat filnamn efter -o.")
                .arg(target));
    return {};
}

// Standard out was closed before the program started ("kvistel ... >&-"): there is nowhere to
// write the result.
QString closedOutputMessage() {
    return QStringLiteral("standard ut är stängd, så resultatet kan inte skrivas. Skriv det till "
                          "en fil med -o UT.csv, eller låt standard ut vara öppen.");
}

// The plan's entry settings, when any is given; fails naming the option and what to write.
Outcome readEntrySettings(const QCommandLineParser &parser, std::optional<EntrySettings> &out) {
    const QString entries = QStringLiteral("entries"), years = QStringLiteral("entry-years"),
                  cost = QStringLiteral("entry-cost"), volume = QStringLiteral("min-volume");
    if (!parser.isSet(entries) && !parser.isSet(years) && !parser.isSet(cost) &&
        !parser.isSet(volume))
        return {};
    if (parser.isSet(entries) && parser.isSet(years))
        return Outcome::failure(QStringLiteral("välj antingen --entries eller --entry-years."));
    EntrySettings s;
    auto read = [&parser](const QString &name, auto reader, auto &value) {
        if (!parser.isSet(name))
            return Outcome();
        if (parser.values(name).size() > 1)
            return Outcome::failure(QStringLiteral("--%1 är angivet mer än en gång.").arg(name));
        auto r = reader(parser.value(name));
        if (!r)
            return Outcome::failure(QStringLiteral("--%1: %2").arg(name, r.message()));
        value = std::move(r).value();
        return Outcome();
    };
    for (Outcome r :
         {read(entries, readEntryCount, s.maxEntries), read(years, readEntryYears, s.years),
          read(cost, readEntryCost, s.costPerEntry), read(volume, readMinVolume, s.minVolume)})
        if (!r)
            return r;
    out = s;
    return {};
}

} // namespace

bool wantsBatch(int argc, char *argv[]) {
    for (int i = 1; i < argc; ++i)
        for (const char *s : batchSwitches)
            if (std::strcmp(argv[i], s) == 0 || std::strncmp(argv[i], "--batch=", 8) == 0)
                return true;
    return false;
}

int runBatch(const QStringList &arguments, QIODevice &output, QIODevice &errors) {
    QCommandLineParser parser;
    const QCommandLineOption batchOption(QStringLiteral("batch"), QString(),
                                         QStringLiteral("TRÄD.csv"));
    const QCommandLineOption homeOption(QStringLiteral("home"), QString(),
                                        QStringLiteral("KATALOG"));
    const QCommandLineOption outputOption(
        QStringList{QStringLiteral("o"), QStringLiteral("output")}, QString(),
        QStringLiteral("UT.csv"));
    const QCommandLineOption fullOption(QStringLiteral("full"));
    const QCommandLineOption planOption(QStringLiteral("plan"));
    const QCommandLineOption entriesOption(QStringLiteral("entries"), QString(),
                                           QStringLiteral("N"));
    const QCommandLineOption entryYearsOption(QStringLiteral("entry-years"), QString(),
                                              QStringLiteral("ÅR"));
    const QCommandLineOption entryCostOption(QStringLiteral("entry-cost"), QString(),
                                             QStringLiteral("KR"));
    const QCommandLineOption minVolumeOption(QStringLiteral("min-volume"), QString(),
                                             QStringLiteral("M3"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption versionOption(
        QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({batchOption, homeOption, outputOption, fullOption, planOption, entriesOption,
                       entryYearsOption, entryCostOption, minVolumeOption, helpOption,
                       versionOption});

    const QString more = QStringLiteral(" Skriv kvistel --help för hjälp.");
    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty())
            return problem(
                errors,
                QStringLiteral("okänt val \"%1\".").arg(parser.unknownOptionNames().first()) +
                    more);
        return problem(errors, QStringLiteral("ett val saknar sitt värde.") + more);
    }
    if (parser.isSet(helpOption)) {
        say(output, usage());
        return AllValued;
    }
    if (parser.isSet(versionOption)) {
        say(output, QStringLiteral("kvistel %1\n").arg(QCoreApplication::applicationVersion()));
        return AllValued;
    }
    if (!parser.isSet(batchOption))
        return problem(errors, QStringLiteral("ange trädlistan med --batch TRÄD.csv.") + more);
    if (parser.isSet(fullOption) && parser.isSet(planOption))
        return problem(errors, QStringLiteral("välj antingen --full eller --plan.") + more);
    if (!parser.positionalArguments().isEmpty())
        return problem(
            errors,
            QStringLiteral("okänt argument \"%1\".").arg(parser.positionalArguments().first()) +
                more);

    std::optional<EntrySettings> entries;
    if (const Outcome read = readEntrySettings(parser, entries); !read)
        return problem(errors, read.message() + more);
    if (entries && !parser.isSet(planOption))
        return problem(errors,
                       QStringLiteral("--entries, --entry-years, --entry-cost och --min-volume "
                                      "gäller avverkningsplanen: lägg till --plan.") +
                           more);

    // A value given twice is a slip of the user's (an edited command, a script's default and
    // its override): which one was meant is not guessed.
    for (const auto &[option, shown] :
         {std::pair{&batchOption, "--batch"}, {&homeOption, "--home"}, {&outputOption, "-o"}})
        if (parser.values(*option).size() > 1)
            return problem(errors, QStringLiteral("%1 anges %2 gånger (%3); ange det en gång.")
                                           .arg(QString::fromLatin1(shown))
                                           .arg(parser.values(*option).size())
                                           .arg(parser.values(*option).join(QStringLiteral(", "))) +
                                       more);

    const bool homeGiven = parser.isSet(homeOption);
    const QString home = homeGiven ? parser.value(homeOption) : batchHome(errors);
    const QString another =
        homeGiven ? QString() : QStringLiteral(" Välj hemkatalog med --home KATALOG.");
    if (const QFileInfo info(home); !info.isDir())
        return problem(errors,
                       (info.exists()
                            ? QStringLiteral("hemkatalogen \"%1\" är en fil och inte en katalog. "
                                             "Ange katalogen som har styrfilen trad.sty.")
                                  .arg(home)
                            : QStringLiteral("hemkatalogen \"%1\" finns inte.").arg(home)) +
                           another);
    const Expected<TreeListHome> loadedHome = loadTreeListHome(HomeDirectory(home));
    if (!loadedHome)
        return problem(errors, loadedHome.message() + another);
    const TreeListHome &treeHome = *loadedHome;

    TreeListBatch batch;
    batch.input = parser.value(batchOption);
    batch.full = parser.isSet(fullOption);
    batch.plan = parser.isSet(planOption);
    batch.entries = entries;

    // "-o -" is standard out, as "--batch -" is standard in.
    const QString target = parser.value(outputOption);
    if (!parser.isSet(outputOption) || target == u"-") {
        if (!output.isWritable())
            return problem(errors, closedOutputMessage());
        if (const Outcome done = valueTreeListFile(batch, treeHome, output); !done)
            return problem(errors, done.message());
        if (auto *file = qobject_cast<QFileDevice *>(&output); file && !file->flush())
            return problem(errors, writeFailure(errno));
    } else {
        // The result file appears whole or not at all; an old one stays as it was when any
        // write fails, the last one included.
        if (const Outcome may = checkOutput(target, batch.input); !may)
            return problem(errors, may.message());
        ReplacingFile file(target);
        if (const Outcome begun = file.begin(); !begun)
            return problem(errors, begun.message());
        const Outcome done = valueTreeListFile(batch, treeHome, file);
        // A failed write says what the disk said; the writer's own words come second.
        if (const Outcome written = file.outcome(); !written) {
            file.cancel();
            return problem(errors, written.message());
        }
        if (!done) {
            file.cancel();
            return problem(errors, done.message());
        }
        if (const Outcome committed = file.commit(); !committed)
            return problem(errors, committed.message());
    }
    if (batch.faulty > 0) {
        const QString where = batch.plan ? QStringLiteral("de ingår inte i planen, som "
                                                          "namnger dem sist med skälet")
                                         : QStringLiteral("se kolumnen fel");
        say(errors, QStringLiteral("kvistel: %1 av %2 träd kunde inte värderas; %3.\n")
                        .arg(batch.faulty)
                        .arg(batch.trees)
                        .arg(where));
        return SomeNotValued;
    }
    return AllValued;
}
