#pragma once

#include "core/files/textfile.h"

#include <functional>

class QWidget;

// The user's answer when a window is about to save over a file that someone else (a second copy
// of the program, a text editor) changed since the window read it.
enum class ChangedFileChoice { Overwrite, Reload, Cancel };

// Asks with the program's box: "Skriv över", "Läs om" or "Avbryt" (the default, and Esc).
ChangedFileChoice askAboutChangedFile(QWidget *parent, const QString &message);

// A window's save: tries `save` so that it stops at a change made elsewhere; then asks, and
// saves over it, calls `reload` (the window shows the file as it is now) or does nothing. Any
// failure is shown in the program's message box. True only when the file was saved.
bool saveAskingIfChanged(QWidget *parent,
                         const std::function<SaveOutcome(IfChangedSinceRead)> &save,
                         const std::function<void()> &reload);
