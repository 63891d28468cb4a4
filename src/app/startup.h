#pragma once

#include <QString>

#include <functional>
#include <optional>

// True when `path` + "trad.sty" is an existing file (an empty one counts). Nothing is opened.
bool checkPath(const QString &path);

// Settles the home directory before any window is shown: the current directory, then the
// default path, then the user's answers until one holds a control file. `ask` returns the
// user's answer (empty when cancelled); `tellWrong` tells the user that an answer was wrong.
// Returns the home directory, ending with "/", or nothing when the user gave up.
std::optional<QString> settleHomeDirectory(const QString &currentDirectory,
                                           const QString &defaultPath,
                                           const std::function<QString()> &ask,
                                           const std::function<void()> &tellWrong);

// The same, asking with the program's input box "Ange sökväg till hemkatalogen" and answering a
// wrong path with "Felaktig sökväg".
std::optional<QString> settleHomeDirectory(const QString &currentDirectory,
                                           const QString &defaultPath);
