#pragma once

#include "core/files/outcome.h"

#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>

// The test a numeric field of the parameter forms must pass when the user leaves it, without
// any widget: the caller shows the message and puts the focus back.

// The three messages of the field check, in the order they are tested.
namespace FieldMessage {
inline QString empty() {
    return QStringLiteral("Fältet får ej lämnas tomt");
}
inline QString notNumeric() {
    return QStringLiteral("Värdet måste vara numeriskt");
}
QString outOfRange(double lower, double upper, QChar decimalSeparator);
// A character the control file cannot hold, such as "ł" or an emoji.
QString notInCp1252(const QString &character);
} // namespace FieldMessage

// True when the text as a whole is one decimal number: blanks before and after it, an optional
// sign, digits with at most one "." and an optional exponent (E or D, optional sign, digits).
// A unit, a letter or a second number makes it no number. The control file takes "." only.
bool isNumericText(QStringView text);

// A bound as the range message prints it: its shortest plain decimal form (300, not 300.00;
// 0.1, not 0.10000000000000001), with the given decimal separator and a plain "-".
QString boundText(double bound, QChar decimalSeparator);

// The first character of `text` that Windows-1252 cannot hold (an emoji whole, not half of
// it), or the empty text. Such a character would reach the file as a stray substitute byte.
QString firstCharacterOutsideCp1252(QStringView text);

// The value of a text that is one plain number, read with "." or a decimal comma as the
// decimal point and blanks around it allowed; nothing for any other text ("abc", "nan",
// "0x10", "12 cm", the empty text).
std::optional<double> plainNumber(QStringView text);

// Checks `text` in a field bounded `lower` to `upper` (both inclusive); fails with the message
// for its first fault: empty, a character the file cannot hold, not a number, out of range, in
// that order. The value is read by the control file's leading-number rule, as the engine will
// read it.
Outcome checkField(QStringView text, double lower, double upper, QChar decimalSeparator);

// A Swedish user writes 2,5 for two and a half; the control file and the engine read only "."
// and would take it as 2. A text that is a number once its one decimal comma is a point is
// given back with the point; any other text comes back unchanged.
QString withDecimalPoint(const QString &text);

// A number as a person reads it: the point of a number text (as the control file holds it)
// written as `decimalSeparator`, a typed decimal comma or point alike. Any other text comes back
// unchanged. withDecimalPoint() gives back the file's text.
QString withDecimalSeparator(const QString &text, QChar decimalSeparator);
