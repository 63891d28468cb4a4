#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

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
} // namespace FieldMessage

// True when the text as a whole is one decimal number: blanks before and after it, an optional
// sign, digits with at most one "." and an optional exponent (E or D, optional sign, digits).
// A unit, a letter or a second number makes it no number. The control file takes "." only.
bool isNumericText(QStringView text);

// A bound as the range message prints it: its shortest plain decimal form (300, not 300.00;
// 0.1, not 0.10000000000000001), with the given decimal separator and a plain "-".
QString boundText(double bound, QChar decimalSeparator);

// The message for the first fault of `text` in a field bounded `lower` to `upper` (both
// inclusive), or the empty text when the field passes. The value is read by the control file's
// leading-number rule, as the engine will read it.
QString fieldFault(QStringView text, double lower, double upper, QChar decimalSeparator);

// A Swedish user writes 2,5 for two and a half; the control file and the engine read only "."
// and would take it as 2. A text that is a number once its one decimal comma is a point is
// given back with the point; any other text comes back unchanged.
QString withDecimalPoint(const QString &text);
