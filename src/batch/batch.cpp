#include "batch/batch.h"

#include "core/files/diskaccess.h"
#include "core/files/homedirectory.h"

#include "core/files/textfile.h"
#include "core/treelist/treelistbatch.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

namespace {

enum ExitStatus { AllValued = 0, SomeNotValued = 1, UsageOrFileProblem = 2 };

const char *const batchSwitches[] = {"--batch", "--help", "-h", "--version", "-v"};

QString usage() {
    return QStringLiteral(
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
        "  --home KATALOG    hemkatalogen (förval: den aktuella katalogen)\n"
        "  -o UT.csv         skriv resultatet till filen i stället för till standard ut\n"
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
}

void say(QIODevice &device, const QString &text) {
    device.write(text.toLocal8Bit());
}

int problem(QIODevice &errors, const QString &message) {
    say(errors, QStringLiteral("kvistel: ") + message + u'\n');
    return UsageOrFileProblem;
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
        if (Outcome r = reader(parser.value(name), value); !r)
            return Outcome::failure(QStringLiteral("--%1: %2").arg(name, r.message()));
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

    const QString home = parser.isSet(homeOption) ? parser.value(homeOption) : QDir::currentPath();
    if (!QFileInfo(home).isDir())
        return problem(errors, QStringLiteral("hemkatalogen \"%1\" finns inte.").arg(home));
    TreeListHome treeHome;
    if (const Outcome loaded = loadTreeListHome(HomeDirectory(home), treeHome); !loaded)
        return problem(errors, loaded.message());

    TreeListBatch batch;
    batch.input = parser.value(batchOption);
    batch.full = parser.isSet(fullOption);
    batch.plan = parser.isSet(planOption);
    batch.entries = entries;

    if (!parser.isSet(outputOption)) {
        if (const Outcome done = valueTreeListFile(batch, treeHome, output); !done)
            return problem(errors, done.message());
        if (auto *file = qobject_cast<QFileDevice *>(&output); file && !file->flush())
            return problem(errors, writeFailure(errno));
    } else {
        // The result file appears whole or not at all; an old one stays as it was on failure.
        const QString target = parser.value(outputOption);
        if (const Outcome may = checkOutput(target, batch.input); !may)
            return problem(errors, may.message());
        QSaveFile file(target);
        if (!file.open(QIODevice::WriteOnly))
            return problem(errors, QStringLiteral("Filen \"%1\" kunde inte skapas. Kontrollera "
                                                  "att katalogen finns och går att skriva i.")
                                       .arg(target));
        const Outcome done = valueTreeListFile(batch, treeHome, file);
        if (!done) {
            file.cancelWriting();
            return problem(errors, done.message());
        }
        if (!file.commit())
            return problem(errors, QStringLiteral("Filen \"%1\" kunde inte sparas, eftersom "
                                                  "katalogen inte går att skriva i eller "
                                                  "disken är full.")
                                       .arg(target));
    }
    if (batch.faulty > 0) {
        const QString where = batch.plan ? QStringLiteral("de ingår inte i planen; värdera "
                                                          "listan utan --plan för att se varför")
                                         : QStringLiteral("se kolumnen fel");
        say(errors, QStringLiteral("kvistel: %1 av %2 träd kunde inte värderas; %3.\n")
                        .arg(batch.faulty)
                        .arg(batch.trees)
                        .arg(where));
        return SomeNotValued;
    }
    return AllValued;
}
