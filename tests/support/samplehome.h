#pragma once

#include "testsupport.h"

#include <QFile>

// The program's own sample/ files, byte for byte, in a test's home directory: the app tests
// meet the program as a user who starts it on sample/ does.
inline void copySampleFiles(TempHome &home) {
    for (const char *name : {"trad.sty", "priser_ac.txt"}) {
        QFile f(QStringLiteral(KVISTEL_SOURCE_DIR "/sample/") + QLatin1String(name));
        f.open(QIODevice::ReadOnly);
        home.write(QLatin1String(name), f.readAll());
    }
}
