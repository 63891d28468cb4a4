#include "appicon.h"
#include "batch.h"
#include "diskaccess.h"
#include "forkvistel.h"
#include "startup.h"
#include "windowfactory.h"

#include <QApplication>
#include <QDir>
#include <QFile>

int main(int argc, char *argv[]) {
    // A list of trees from the command line needs no window and no display.
    if (wantsBatch(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Kvistel"));
        QCoreApplication::setApplicationVersion(QStringLiteral(KVISTEL_VERSION));
        QFile out, err;
        makeBinary(stdout);
        out.open(stdout, QIODevice::WriteOnly);
        err.open(stderr, QIODevice::WriteOnly);
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

    const auto sokvag = settleHomeDirectory(QDir::currentPath(), forKvistel::defaultHomePath());
    if (!sokvag)
        return 0;

    forKvistel menu(*sokvag, makeWindow);
    menu.showWindow();
    return app.exec();
}
