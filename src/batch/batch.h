#pragma once

#include <QStringList>

class QIODevice;

// The command line: kvistel --batch TREES.csv [--home DIR] [-o OUT.csv] [--full] values a list
// of trees without a window or a display, for advisers and researchers with whole inventories.

// True when the arguments ask for the command line rather than the windows.
bool wantsBatch(int argc, char *argv[]);

// Runs the command line on `arguments` (the program's name first). Results go to `output`
// unless -o names a file; messages, in Swedish, to `errors`. Returns the exit status: 0 when
// every tree was valued, 1 when some could not be, 2 for a usage or file problem.
int runBatch(const QStringList &arguments, QIODevice &output, QIODevice &errors);
