#pragma once

#include "gui/shared/workwindow.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QMap>

#include <memory>

class MainMenu;
class StandForm;
class TreeForm;
class PriceListEditor;
class ResultWindow;
class QWidget;

// How a file of the home directory can be wrong when the program comes to it.
enum class FileFault {
    Missing,    // deleted or moved away
    Empty,      // nothing in it
    Truncated,  // cut off in the middle of a line, as by a full disk or a crash of an editor
    Unreadable, // no read permission
    Directory,  // a directory of that name stands in its place
};

// Gives `name` in `home` the fault, starting from what the file holds now.
void applyFault(const TempHome &home, const QString &name, FileFault fault);

// Faults of permissions mean nothing to root; the tests run as an unprivileged user (asuser.sh)
// and skip these cases only when that was not possible.
bool permissionsHold();

// Every entry of the home directory with its content, so that a test can tell that a failed
// operation left all files exactly as they were and created none.
QMap<QString, QByteArray> snapshot(const TempHome &home);

// The snapshot without the temporary files of a save ("tmp.sty", "<name>.tmp"): a failed save
// must leave none behind, whatever stood there before.
QMap<QString, QByteArray> withoutTemporaries(QMap<QString, QByteArray> entries);

// The home directory is read-only while this lives (the user's share was remounted read-only,
// an administrator changed the rights): nothing can be created, renamed or deleted in it.
class ReadOnlyHome {
public:
    explicit ReadOnlyHome(const TempHome &home);
    ~ReadOnlyHome();

private:
    QString m_path;
};

// The disk is full while this lives: every write of a save fails with "no space left on device"
// (ENOSPC), as the disk would report it.
class FullDisk {
public:
    FullDisk();
    ~FullDisk();
};

// The whole program on a home directory of its own, made from the sample control file and
// price list: the main menu and the real windows it opens, in this process and offscreen.
class Program {
public:
    Program();
    ~Program();

    TempHome home;

    MainMenu &menu() { return *m_menu; }
    // Opens the window as the main menu does (created on first use, shown).
    StandForm &standForm();
    TreeForm &treeForm();
    PriceListEditor &priceEditor();
    // The result window as a calculation shows it; nullptr before the first calculation.
    ResultWindow *resultWindow() const;
    // Whether a calculation has put a result on screen: the result window itself may exist
    // before, made ahead of need.
    bool calculationShown() const;

    // Presses the named button of `window`.
    static void press(QWidget &window, const char *buttonName);
    // The text box `name` of `window`.
    static QLineEdit &field(QWidget &window, const char *name);

    // True when some window of the program is on screen: the user can go on working.
    bool somethingShown() const;

private:
    std::unique_ptr<MainMenu> m_menu;
};

// The one message box the user saw; fails the test when there was none or more than one.
SeenBox theOnlyMessage(const ModalHand &hand);
