#pragma once

#include <QString>

struct Parameter;
class QWidget;

// The explanation a parameter field shows under the mouse pointer, taken from the one table of
// parameters: what the value means, its unit and the bounds the field accepts.
namespace FieldTips {

QString tipFor(const Parameter &parameter, QChar decimalSeparator);

// Gives the fields of a parameter form, and their captions, their explanations. Only the form
// that owns a parameter explains it: the price list's species box is not the tree's species.
void explainFields(QWidget *window);

} // namespace FieldTips
