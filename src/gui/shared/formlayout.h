#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Named controls made alike in every window of the program.
namespace FormLayout {

// A fixed text of a window and the objectName of the control that shows it. A window keeps
// such texts in one table, which its tests walk to find each text on its control.
struct NamedText {
    const char *name;
    const char16_t *text;

    QString string() const { return QString::fromUtf16(text); }
};

QLabel *label(QWidget *parent, const char *name, const QString &text);
// A caption that wraps onto further lines when it is wider than `width` pixels (0: one line).
QLabel *caption(QWidget *parent, const char *name, const QString &text, int width);
QLineEdit *numberField(QWidget *parent, const char *name);
QPushButton *button(QWidget *parent, const char *name, const QString &text);
QLabel *label(QWidget *parent, const NamedText &text);
QPushButton *button(QWidget *parent, const NamedText &text);

} // namespace FormLayout
