#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Named controls made alike in every window of the program.
namespace FormLayout {

QLabel *label(QWidget *parent, const char *name, const QString &text);
// A caption that wraps onto further lines when it is wider than `width` pixels (0: one line).
QLabel *caption(QWidget *parent, const char *name, const QString &text, int width);
QLineEdit *numberField(QWidget *parent, const char *name);
QPushButton *button(QWidget *parent, const char *name, const QString &text);

} // namespace FormLayout
