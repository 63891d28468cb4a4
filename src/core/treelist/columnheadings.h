#pragma once

#include <QList>

#include <QString>
#include <QStringView>
#include <array>

// What the headings of a list file mean. A spreadsheet list is headed the way its writer
// thinks of the values: the control file's key ("bdm"), the tree list window's heading
// ("Diam, cm"), the tree form's caption ("Brösthöjdsdiameter:") or a word of their own
// ("Diameter"). A heading names a value when it matches one of the names below, ignoring case,
// spaces, a unit after a comma or in parentheses, and a trailing period, colon or question
// mark. The user guide lists the same names.

// What a column holds besides the tree keys (TreeKey 0..10).
inline constexpr int idColumn = 11;     // the tree's identifier
inline constexpr int remarkColumn = 12; // the marker's note on the tree, carried along as it is
inline constexpr int markColumn = 13; // the owner's "lämnas" or "avverkas", read and carried along
inline constexpr int otherColumn = -1; // not the program's: carried along as it is
// A heading that looks like a tree value ("Höjd, m", "Kvalitet") but names none: a list that has
// one is refused, since its figures would otherwise be left unread without a word.
inline constexpr int unknownTreeValue = -2;

struct HeadingName {
    QStringView name; // as the guide shows it
    int column;       // a TreeKey, idColumn, remarkColumn or markColumn
};

// Every name a heading may have, grouped by column in the order of the tree form.
const QList<HeadingName> &headingNames();

// The heading as it is compared: lower case, without spaces, unit and closing punctuation
// ("Diam, cm" and "DIAM (cm)." are both "diam").
QString comparableHeading(QStringView heading);

// The column a heading names: a TreeKey, idColumn, remarkColumn, markColumn, otherColumn or
// unknownTreeValue.
int columnNamed(QStringView heading);

// The column's name in messages: "värdet \"Diam, cm\"", "trädets id", "anmärkningen".
QString columnDescription(int column);

// The values a list takes from "trad.sty" since it has no column for them, by their window
// headings without the unit ("Bonitet, Plantering"); empty when it has them all.
QString keysFromControlFile(const std::array<bool, 11> &hasColumn);
