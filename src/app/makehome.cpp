#include "app/makehome.h"

#include "app/startup.h"
#include "core/files/diskaccess.h"
#include "core/files/examplehome.h"

#include <QCoreApplication>
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
