#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class QLineEdit;
class QWidget;

// The field check of both parameter forms: tests the field's text against its bounds and, at
// the first fault, shows the message in a box titled "Error" and puts the focus back into the
// field. The text is left as the user typed it.
void valid(double p1, double p2, QLineEdit *field);

// Runs `valid` on a form's numeric fields when the user leaves one of them for another control
// of the same window, by keyboard or mouse: exactly one message per leaving.
//
// The message box takes the focus, and giving the focus back moves it once more; neither is a
// leaving of the user's, so the watch ignores focus that goes to another window (the box, the
// hidden window, another program) and every focus change while a message is up or the focus is
// being given back. The test itself waits until the event that moved the focus has been
// handled, so that a button that was pressed is not left pressed behind the modal box.
//
// A decimal comma is turned into a point as soon as the field is left, whatever takes the
// focus, so that no button handler can save "2,5" for the engine to read as 2.
class FieldWatch : public QObject {
    Q_OBJECT
public:
    explicit FieldWatch(QObject *parent = nullptr);

    // Checks `field` against `lower` .. `upper` (both inclusive) whenever it is left.
    void watch(QLineEdit *field, double lower, double upper);

    // Shows a fault of `control` as the field check does ("Error", OK) and puts the focus
    // back into it. A check still waiting for the leaving that came before is dropped, so
    // that a form's own check of all its fields and the leaving never give two messages.
    void report(QWidget *control, const QString &message);
    // Drops the checks still waiting: the form checks all its fields itself.
    void dropWaitingChecks() { ++m_generation; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Bounds {
        double lower, upper;
    };
    void leave(QLineEdit *field, int reason);
    void check(QPointer<QLineEdit> field, unsigned generation);

    QHash<QLineEdit *, Bounds> m_bounds;
    bool m_checking = false;
    unsigned m_generation = 0;
};
