#pragma once

#include <QString>

class QWidget;

// A modal message box with a title, a text and an OK button only, no icon.
void showMessage(QWidget *parent, const QString &title, const QString &text);

// The program's own messages (file problems, a calculation that stopped) carry its name.
void showKvistelMessage(QWidget *parent, const QString &text);
