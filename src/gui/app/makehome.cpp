#include "gui/app/makehome.h"

#include "gui/app/startup.h"
#include "core/files/diskaccess.h"
#include "core/files/examplehome.h"

#include "gui/shared/messages.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

bool wantsMakeHome(int argc, char *argv[]) {
    return argc >= 2 && qstrcmp(argv[1], "--make-home") == 0;
}

int makeHomeFromCommandLine(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const ConsoleCodePage consoleShowsSwedish;
    const auto say = [](const QString &text) {
        std::fputs(text.toLocal8Bit().constData(), stderr);
    };
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        say(QStringLiteral("Användning: kvistel --make-home KATALOG\n"));
        return 2;
    }
    const QString target = QDir(arguments.at(2)).absolutePath();
    const QString example = exampleDirectory();
    const Outcome made =
        example.isEmpty()
            ? Outcome::failure(QStringLiteral("Exemplet som hör till Kvistel hittades inte. "
                                              "Installera Kvistel på nytt."))
            : copyExampleHome(example, target);
    if (!made) {
        say(QStringLiteral("kvistel: %1\n").arg(made.message()));
        return 2;
    }
    say(QStringLiteral("Hemkatalog: %1\n").arg(QDir::toNativeSeparators(target)));
    return 0;
}

int pointToConsoleProgram(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const QString batch = QDir::toNativeSeparators(QCoreApplication::applicationDirPath() +
                                                   QStringLiteral("/kvistel-batch.exe"));
    showKvistelMessage(
        nullptr, QStringLiteral("kvistel.exe är Kvistels fönsterprogram och skriver inget i "
                                "kommandotolken. Kommandoraden körs med kvistel-batch.exe, med "
                                "samma flaggor, till exempel:\n\n\"%1\" --batch bestand.csv > "
                                "resultat.csv\n\n\"%1\" --help visar alla flaggor.")
                     .arg(batch));
    return 2;
}
