#pragma once

#include <QString>

class MainMenu;

// What the program does when the desktop session ends while it runs (log-off or shutdown on
// Windows, the session manager ending the session on Linux), so that no edit is lost:
// - where the system lets the program ask, every window with unsaved work asks as it does at
//   Avsluta ("Spara ändringarna i trädlistan?"), and Avbryt keeps the session going;
// - where it may not ask, the tree list's unsaved edits are kept in a recovery file, which the
//   next start on the same home directory offers to restore ("Återställ osparade ändringar i
//   trädlistan?"). Should the session go on after all (another program stopped it) and the user
//   end the program with Avsluta, where unsaved work is asked about, the file is dropped.
class SessionEnd {
public:
    // `recoveryDirectory`: where the kept edits are written (the program's own data folder).
    SessionEnd(MainMenu &menu, QString recoveryDirectory);

    // The session is ending. Returns false when the user chose to stay (the end is to be
    // cancelled); with `mayAsk` false it never asks and always returns true.
    bool end(bool mayAsk);
    // Whether edits kept at an earlier session end wait for this home directory.
    bool hasKeptEdits() const;
    // Offers kept edits of this home directory back; restores them into the tree list, unsaved,
    // when the user says Ja. Either way the recovery file is gone afterwards.
    void offerKeptEdits();

    // The program's own folder for kept edits (AppLocalDataLocation).
    static QString defaultRecoveryDirectory();

private:
    bool keepEdits();
    QString keptList() const;
    QString keptFacts() const;

    MainMenu &m_menu;
    QString m_directory;
    bool m_keptThisRun = false;
};
