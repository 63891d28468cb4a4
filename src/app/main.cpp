#include "forkvistel.h"
#include "startup.h"
#include "windowfactory.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kvistel"));
    // Windows are hidden, never closed, while the program runs; it ends only through the menu.
    QApplication::setQuitOnLastWindowClosed(false);

    const auto sokvag = settleHomeDirectory(QDir::currentPath(), forKvistel::defaultHomePath());
    if (!sokvag)
        return 0;

    forKvistel menu(*sokvag, makeWindow);
    menu.showWindow();
    return app.exec();
}
