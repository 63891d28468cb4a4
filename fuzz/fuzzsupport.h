#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What the fuzz targets share: a home directory of the fuzzing process's own (several fuzzers
// may run side by side, and a crashed run must not disturb the next), raw file access that
// bypasses the program's own readers, and a check that stops the run with a readable reason.

// The home directory of this process, ending with "/". Created on first use, removed at exit.
QString fuzzHome();

// Writes or reads a file directly; a failure here is a fault of the machine, not of the program,
// and stops the run.
void writeFileOrDie(const QString &path, const QByteArray &bytes);
QByteArray readFileOrEmpty(const QString &path);
bool fileExists(const QString &path);

// The lines of raw file bytes, split exactly as the program splits text: a line ends at CR (an
// LF after it belongs to the line end) or at a lone LF, and a final line end does not start
// another, empty line. Windows-1252 is one byte a character, so byte lines and text lines agree.
QList<QByteArray> byteLines(const QByteArray &bytes);

// True when every line of `bytes` ends with CR LF.
bool allLinesEndCrLf(const QByteArray &bytes);

// A cheap, stable hash of the input, to vary the program's options from input to input.
std::uint32_t inputHash(const std::uint8_t *data, std::size_t size);

[[noreturn]] void fuzzFailure(const char *file, int line, const char *what, const QString &detail);

#define FUZZ_CHECK(condition, detail)                                                              \
    do {                                                                                           \
        if (!(condition))                                                                          \
            fuzzFailure(__FILE__, __LINE__, #condition, (detail));                                 \
    } while (false)
