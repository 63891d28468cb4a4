#pragma once

#include <QSet>
#include <QString>

class QWidget;

// What makes a window usable from the keyboard and by a screen reader, done once for every
// window so that each window only lays out its controls.
namespace KeyboardAccess {

// A control the user types into or chooses in (not a button that acts, not a read-only box).
bool isField(const QWidget *widget);

// `caption` with its mnemonic marked ("&Avbryt"): the first letter of a word that is not taken
// yet, else any free letter, else no mnemonic. A caption that already has one keeps it. The
// letter is added to `used` (lower case).
QString withMnemonic(const QString &caption, QSet<QChar> &used);

// A caption as a screen reader should say it: without the mnemonic's marker, the leader dots
// and the closing colon.
QString spokenName(const QString &caption);

// Every label that stands just before a field (to its left in the same grid row or box) and names
// nothing yet becomes that field's buddy, unless another label names the field already (the
// "Norra" beside its option button): the label's mnemonic takes the user into the field. Every
// field named by a label gets the label's spoken caption as its accessible name, so that a
// screen reader says "Trädart", not the species chosen.
// Call after `assignMnemonics` for names without the marker.
void pairLabelsWithFields(QWidget *window);

// Gives every button, and every label that names a field, a mnemonic that no other control of
// the window has. Buttons choose first, so that "Avbryt" and "Avsluta" keep their initials.
void assignMnemonics(QWidget *window);

// The first field in the window's tab order, or nullptr when it has none. Option buttons are not
// taken: a key typed there would change the choice instead of entering a value.
QWidget *firstField(QWidget *window);
// The first control of any kind that Tab reaches in the window, or nullptr.
QWidget *firstControl(QWidget *window);

} // namespace KeyboardAccess
