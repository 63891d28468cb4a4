#include "app/mainmenu.h"
#include "app/startup.h"
#include "app/windowfactory.h"
#include "batch/batch.h"
#include "core/files/diskaccess.h"
#include "shared/appicon.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QSettings>

#include <csignal>
#include <unistd.h>

int main(int argc, char *argv[]) {
    // A list of trees from the command line needs no window and no display.
    if (wantsBatch(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Kvistel"));
        QCoreApplication::setApplicationVersion(QStringLiteral(KVISTEL_VERSION));
        // Unbuffered, so that every write of the result is checked as it is made; a reader that
        // stops early (a closed pipe) is a failed write, not the end of the program.
#ifdef SIGPIPE
        std::signal(SIGPIPE, SIG_IGN);
#endif
        QFile out, err;
        makeBinary(stdout);
        out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
        err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
        return runBatch(QCoreApplication::arguments(), out, err);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kvistel"));
    // Where the windows' places are remembered (~/.config/Kvistel/Kvistel.conf).
    QApplication::setOrganizationName(QStringLiteral("Kvistel"));
    QApplication::setDesktopFileName(QStringLiteral("se.kvistel.Kvistel"));
    QApplication::setWindowIcon(kvistelIcon());
    // Windows are hidden, never closed, while the program runs; it ends only through the menu.
    QApplication::setQuitOnLastWindowClosed(false);
    // Without them the standard buttons would read "Cancel" among Swedish texts; the program
    // works in English buttons too, so a missing translation is no reason to stop.
    installSwedishQtTexts(app);

    // kvistel --home DIR opens the windows on DIR; without it the program looks where it was
    // started, then where it worked last.
    QCommandLineParser parser;
    const QCommandLineOption homeOption(QStringLiteral("home"), QString(),
                                        QStringLiteral("KATALOG"));
    parser.addOption(homeOption);
    parser.parse(QApplication::arguments());
    QSettings settings;
    QStringList candidates;
    if (parser.isSet(homeOption)) {
        const QString given = QDir(expandAnswer(parser.value(homeOption))).absolutePath();
        if (const Outcome home = checkHomeDirectory(HomeDirectory(given)); home)
            candidates << given;
        else
            tellWrongHome(home.message());
    } else {
        candidates = homeCandidates(QDir::currentPath(), rememberedHome(settings),
                                    MainMenu::defaultHomePath());
    }
    const std::optional<HomeDirectory> home = settleHomeDirectory(candidates);
    if (!home)
        return 0;
    rememberHome(settings, *home);
    settings.sync();

    MainMenu menu(*home, makeWindow);
    menu.showWindow();
    return app.exec();
}
