#pragma once

#include "core/files/homedirectory.h"
#include "core/files/outcome.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QCoreApplication;
class QSettings;

// True when the directory's control file is an existing file (an empty one counts). Nothing is
// opened.
bool checkPath(const HomeDirectory &home);

// Whether the directory is a home directory (it holds a control file); when not, why, in words
// for the user (after "Felaktig sökväg: ").
Outcome checkHomeDirectory(const HomeDirectory &home);

// An answer as the user means it: blanks around it dropped, and "~" or "~/..." taken from the
// user's own home directory, as a shell would.
QString expandAnswer(const QString &answer);

// The first of `candidates` that holds a control file; nothing when start-up has to ask the user.
std::optional<HomeDirectory> firstHomeAmong(const QStringList &candidates);

// Settles the home directory before any window is shown: the first of `candidates` that holds
// a control file, else the user's answers until one does. `ask` returns the user's answer
// (empty when cancelled); `tellWrong` tells the user why an answer was wrong. Returns the home
// directory, or nothing when the user gave up.
std::optional<HomeDirectory>
settleHomeDirectory(const QStringList &candidates, const std::function<QString()> &ask,
                    const std::function<void(const QString &)> &tellWrong);

// The same with the current directory and the default path as the candidates.
std::optional<HomeDirectory>
settleHomeDirectory(const QString &currentDirectory, const QString &defaultPath,
                    const std::function<QString()> &ask,
                    const std::function<void(const QString &)> &tellWrong);

// The same, asking with the program's input box "Ange sökväg till hemkatalogen" (which also
// offers a folder dialog and a new home directory made from the example) and answering a wrong
// path with "Felaktig sökväg: " and what is wrong with it.
// `recent` are the homes used last, offered in the box's list. An empty answer is not taken
// for giving up: the box says what is missing and asks again; "Hjälp" and F1 open the guide.
std::optional<HomeDirectory> settleHomeDirectory(const QStringList &candidates,
                                                 const QStringList &recent = {});
std::optional<HomeDirectory> settleHomeDirectory(const QString &currentDirectory,
                                                 const QString &defaultPath);

// Where the program looks for its home directory when started without one: the current
// directory, the one used last, and on Windows the default path (a drive path that means
// nothing elsewhere).
QStringList homeCandidates(const QString &currentDirectory, const QString &remembered,
                           const QString &defaultPath);

// The home directory used last, as kept in the program's settings; empty when there is none.
QString rememberedHome(const QSettings &settings);
// The last five home directories used, the latest first.
QStringList recentHomes(const QSettings &settings);
// Changes the settings only when the home directory is another than the one remembered; it
// becomes the first of the recent ones.
void rememberHome(QSettings &settings, const HomeDirectory &home);
// What to tell the user when the home directory used last can no longer be opened (moved,
// removed, its trad.sty gone), naming the folder; empty when it can or none is remembered.
QString rememberedHomeGone(const QSettings &settings);

// The example home directory that comes with the program: installed beside it (exempel\ on
// Windows, share/kvistel/exempel on Linux), or the sample of the source tree for a program run from
// its build directory. Empty when neither is there.
QString exampleDirectory();

// Tells the user, after "Felaktig sökväg: ", why the directory is no home directory.
void tellWrongHome(const QString &problem);

// Qt's own Swedish texts, so that the standard buttons and dialogs read "Avbryt", "Ja", "Nej"
// like the rest of the program: Qt's Swedish catalogue where it is installed, and the standard
// buttons' words in any case. False when nothing could be installed.
bool installSwedishQtTexts(QCoreApplication &app);
