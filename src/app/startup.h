#pragma once

#include <QString>

#include <functional>
#include <optional>

class QCoreApplication;

// True when `path` + "trad.sty" is an existing file (an empty one counts). Nothing is opened.
bool checkPath(const QString &path);

// Why `path` is no home directory, in words for the user (after "Felaktig sökväg: "); empty when
// it holds a control file.
QString homeDirectoryProblem(const QString &path);

// An answer as the user means it: blanks around it dropped, and "~" or "~/..." taken from the
// user's own home directory, as a shell would.
QString expandAnswer(const QString &answer);

// Settles the home directory before any window is shown: the current directory, then the
// default path, then the user's answers until one holds a control file. `ask` returns the
// user's answer (empty when cancelled); `tellWrong` tells the user why an answer was wrong.
// Returns the home directory, ending with "/", or nothing when the user gave up.
std::optional<QString> settleHomeDirectory(const QString &currentDirectory,
                                           const QString &defaultPath,
                                           const std::function<QString()> &ask,
                                           const std::function<void(const QString &)> &tellWrong);

// The same, asking with the program's input box "Ange sökväg till hemkatalogen" and answering a
// wrong path with "Felaktig sökväg: " and what is wrong with it.
std::optional<QString> settleHomeDirectory(const QString &currentDirectory,
                                           const QString &defaultPath);

// Qt's own Swedish texts, so that the standard buttons and dialogs read "Avbryt", "Ja", "Nej"
// like the rest of the program: Qt's Swedish catalogue where it is installed, and the standard
// buttons' words in any case. False when nothing could be installed.
bool installSwedishQtTexts(QCoreApplication &app);
