#include "batch/batch.h"
#include "core/files/diskaccess.h"
#include "gui/app/mainmenu.h"
#include "gui/app/makehome.h"
#include "gui/app/sessionend.h"
#include "gui/app/startup.h"
#include "gui/app/windowfactory.h"
#include "gui/shared/appicon.h"
#include "gui/shared/messages.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTimer>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

#include <utility>

int main(int argc, char *argv[]) {
    if (wantsMakeHome(argc, argv))
        return makeHomeFromCommandLine(argc, argv);
#ifdef KVISTEL_WINDOW_PROGRAM
    if (wantsBatch(argc, argv) && !hasStandardOutput())
        return pointToConsoleProgram(argc, argv);
#endif
    // A list of trees from the command line needs no window and no display.
    if (wantsBatch(argc, argv)) {
        // Settled first, before anything is opened that could take a closed stream's number.
        const StandardStreams streams = settleStandardStreams();
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Kvistel"));
        QCoreApplication::setApplicationVersion(QStringLiteral(KVISTEL_VERSION));
        const ConsoleCodePage consoleShowsSwedish;
        // Unbuffered, so that every write of the result is checked as it is made. A closed
        // standard out stays unopened: the command line then says so.
        QFile out, err;
        if (streams.outputOpen)
            out.open(standardOutputFd, QIODevice::WriteOnly | QIODevice::Unbuffered);
        if (streams.errorsOpen)
            err.open(standardErrorFd, QIODevice::WriteOnly | QIODevice::Unbuffered);
        return runBatch(QCoreApplication::arguments(), out, err);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kvistel"));
    // Where the windows' places are remembered (~/.config/Kvistel/Kvistel.conf).
    QApplication::setOrganizationName(QStringLiteral("Kvistel"));
    QApplication::setDesktopFileName(QStringLiteral("se.kvistel.Kvistel"));
    // Windows are hidden, never closed, while the program runs; it ends only through the menu.
    QApplication::setQuitOnLastWindowClosed(false);

    // kvistel --home DIR opens the windows on DIR; without it the program looks where it was
    // started, then where it worked last.
    QCommandLineParser parser;
    const QCommandLineOption homeOption(QStringLiteral("home"), QString(),
                                        QStringLiteral("KATALOG"));
    parser.addOption(homeOption);
    parser.parse(QApplication::arguments());
    QSettings settings;
    QStringList candidates;
    Outcome wrongHome;
    if (const QStringList homes = parser.values(homeOption); homes.size() > 1) {
        // Which of them was meant is not guessed: start-up asks.
        wrongHome = Outcome::failure(QStringLiteral("--home anges %1 gånger (%2); ange det en "
                                                    "gång.")
                                         .arg(homes.size())
                                         .arg(homes.join(QStringLiteral(", "))));
    } else if (parser.isSet(homeOption)) {
        const QString given = QDir(expandAnswer(parser.value(homeOption))).absolutePath();
        wrongHome = checkHomeDirectory(HomeDirectory(given));
        if (wrongHome)
            candidates << given;
    } else {
        candidates = homeCandidates(QDir::currentPath(), rememberedHome(settings),
                                    MainMenu::defaultHomePath());
    }
    // The program's icon, and Qt's own Swedish texts: without them the standard buttons would
    // read "Cancel" among Swedish texts (the program works in English buttons too, so a missing
    // translation is no reason to stop). The menu needs neither to be seen: they are loaded
    // once it is on screen, or before it when start-up asks the user first.
    const auto iconAndQtTexts = [&app] {
        QApplication::setWindowIcon(kvistelIcon());
        installSwedishQtTexts(app);
    };
    const bool asksFirst = !firstHomeAmong(candidates);
    if (asksFirst)
        iconAndQtTexts();
    if (!wrongHome)
        tellWrongHome(wrongHome.message());
    else if (const QString gone = rememberedHomeGone(settings); asksFirst && !gone.isEmpty())
        showKvistelMessage(nullptr, gone);
    const std::optional<HomeDirectory> home =
        settleHomeDirectory(candidates, recentHomes(settings));
    if (!home)
        return 0;
    // A home the user has just chosen (answered, or given with --home) is remembered before the
    // menu is seen: the choice is kept however the program ends. An unchanged one costs nothing.
    if (asksFirst || parser.isSet(homeOption)) {
        rememberHome(settings, *home);
        settings.sync();
    }

    MainMenu menu(*home, makeWindow);
    // Log-off, shutdown or the end of the desktop session: unsaved edits are asked about as at
    // Avsluta, or kept for the next start where no question is allowed.
    SessionEnd sessionEnd(menu, SessionEnd::defaultRecoveryDirectory());
#if QT_CONFIG(sessionmanager)
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &menu,
                     [&sessionEnd](QSessionManager &manager) {
                         if (!sessionEnd.end(manager.allowsInteraction()))
                             manager.cancel();
                         manager.release();
                     });
#endif
    // Start-up is measured from outside (bench/startup_bench): with KVISTEL_END_AFTER_MENU set,
    // the program ends as soon as the menu has first been painted. Otherwise it does nothing.
    if (qEnvironmentVariableIsSet("KVISTEL_END_AFTER_MENU"))
        QObject::connect(&menu, &MainMenu::firstPainted, &app, [] { QCoreApplication::exit(0); });
    // Only the menu is made and loaded before it is seen; the rest follows as soon as it has
    // been painted, or after a second should it start minimised and not be painted at all.
    bool restLoaded = false;
    const auto loadTheRest = [&] {
        if (std::exchange(restLoaded, true))
            return;
        if (!asksFirst)
            iconAndQtTexts();
        rememberHome(settings, *home);
        settings.sync();
    };
    QObject::connect(&menu, &MainMenu::firstPainted, &app, loadTheRest, Qt::QueuedConnection);
    QTimer::singleShot(1000, &app, loadTheRest);
    menu.showWindow();
    if (sessionEnd.hasKeptEdits())
        QTimer::singleShot(0, &menu, [&sessionEnd] { sessionEnd.offerKeptEdits(); });
    return app.exec();
}
