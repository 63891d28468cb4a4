#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// A modal message box with a title, a text and an OK button only, no icon.
void showMessage(QWidget *parent, const QString &title, const QString &text);

// The program's own messages (file problems, a calculation that stopped) carry its name.
void showKvistelMessage(QWidget *parent, const QString &text);

// Asks `question` with "Ja", "Nej" and "Avbryt" (each with its underlined letter), Ja the default
// and Escape as Avbryt; returns Yes, No or Cancel. `objectName` names the box for the tests.
QMessageBox::StandardButton askToSaveChanges(QWidget *parent, const QString &question,
                                             const char *objectName = nullptr);
