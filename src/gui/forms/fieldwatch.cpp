#include "gui/forms/fieldwatch.h"

#include "core/files/numberformat.h"
#include "core/parameters/fieldcheck.h"
#include "gui/shared/messages.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>

void valid(double p1, double p2, QLineEdit *field) {
    const Outcome checked =
        checkField(withDecimalPoint(field->text()), p1, p2, localeDecimalSeparator());
    if (checked)
        return;
    showMessage(field->window(), QStringLiteral("Error"), checked.message());
    // The box has had the keyboard; without a window manager nobody hands it back to the form.
    field->setFocus(Qt::OtherFocusReason);
    field->activateWindow();
}

FieldWatch::FieldWatch(QObject *parent) : QObject(parent) {}

void FieldWatch::report(QWidget *control, const QString &message) {
    dropWaitingChecks();
    m_checking = true;
    showMessage(control->window(), QStringLiteral("Error"), message);
    control->setFocus(Qt::OtherFocusReason);
    control->activateWindow();
    m_checking = false;
}

void FieldWatch::watch(QLineEdit *field, double lower, double upper) {
    m_bounds.insert(field, {lower, upper});
    field->installEventFilter(this);
    connect(field, &QObject::destroyed, this,
            [this, field] { m_bounds.remove(static_cast<QLineEdit *>(field)); });
}

bool FieldWatch::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::FocusOut) {
        auto *field = static_cast<QLineEdit *>(watched);
        if (m_bounds.contains(field))
            leave(field, static_cast<QFocusEvent *>(event)->reason());
    }
    return QObject::eventFilter(watched, event);
}

void FieldWatch::leave(QLineEdit *field, int reason) {
    // A typed point or comma is shown as the decimal separator of the regional settings.
    const QString converted = withDecimalSeparator(field->text(), localeDecimalSeparator());
    if (converted != field->text())
        field->setText(converted);

    if (m_checking)
        return;
    // Focus that leaves the window (a message box opening, the window being hidden, another
    // program taken up) is not the user leaving the field for another of the form's controls.
    switch (reason) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
        break;
    default:
        return;
    }
    if (!field->window()->isVisible())
        return;
    QTimer::singleShot(0, this,
                       [this, f = QPointer<QLineEdit>(field), g = m_generation] { check(f, g); });
}

void FieldWatch::check(QPointer<QLineEdit> field, unsigned generation) {
    // The press that took the focus may have hidden the window (a return button); a hidden
    // form has been left as a whole and is not held back by its fields.
    if (!field || m_checking || generation != m_generation || !field->window()->isVisible())
        return;
    const Bounds bounds = m_bounds.value(field);
    m_checking = true;
    valid(bounds.lower, bounds.upper, field);
    m_checking = false;
}
