#include "gui/forms/parameterform.h"

#include "core/files/numberformat.h"
#include "core/parameters/fieldcheck.h"
#include "gui/forms/fieldwatch.h"
#include "gui/shared/changedfile.h"
#include "gui/shared/formlayout.h"
#include "gui/shared/messages.h"
#include "gui/shared/parameterfields.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

ParameterForm::ParameterForm(WindowHub &hub, const HomeDirectory &home, Parameter::Form form,
                             ControlFile::Lines lines, QWidget *parent)
    : WorkWindow(parent), m_hub(hub), m_controlFile(home), m_lines(lines),
      m_rows(parametersOf(form)), m_watch(new FieldWatch(this)) {}

const Parameter &ParameterForm::row(QStringView key) {
    const Parameter *p = findParameter(key);
    Q_ASSERT(p);
    return *p;
}

QLabel *ParameterForm::captionOf(QWidget *frame, const Parameter &p, int width) const {
    QLabel *l = FormLayout::caption(frame, "", p.caption.toString(), width);
    l->setObjectName(fieldsOf(p).caption.toString());
    return l;
}

QLabel *ParameterForm::unitOf(QWidget *frame, const Parameter &p) const {
    const QStringView name = fieldsOf(p).unit;
    if (name.isEmpty())
        return nullptr;
    QLabel *l = FormLayout::label(frame, "", p.unit.toString());
    l->setObjectName(name.toString());
    return l;
}

QLineEdit *ParameterForm::numberFieldOf(QWidget *frame, const Parameter &p) {
    QLineEdit *f = FormLayout::numberField(frame, "");
    f->setObjectName(fieldsOf(p).control.toString());
    m_fields.insert(p.keyText(), f);
    m_watch->watch(f, p.lower, p.upper);
    return f;
}

QComboBox *ParameterForm::listBoxOf(QWidget *frame, const Parameter &p,
                                    const QStringList &entries) {
    auto *box = new QComboBox(frame);
    box->setObjectName(fieldsOf(p).control.toString());
    box->setEditable(true);
    // A typed text is the box's value; it never becomes an entry of the list.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(entries);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("Björk")) + 64);
    if (p.conversion == Parameter::Conversion::Quality) {
        // One class of the list, and nothing else, can be typed; a class the file holds
        // outside the list is shown as it stands and refused when the form is confirmed.
        box->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[%1-%2]").arg(p.lower).arg(p.upper)), box));
    }
    m_boxes.insert(p.keyText(), box);
    return box;
}

QLineEdit *ParameterForm::field(QStringView key) const {
    return m_fields.value(key.toString());
}

QComboBox *ParameterForm::listBox(QStringView key) const {
    return m_boxes.value(key.toString());
}

void ParameterForm::clearControls() {
    for (QLineEdit *f : std::as_const(m_fields))
        f->clear();
}

void ParameterForm::showValue(const Parameter &p, const QString &value) {
    // The file's point is shown as the regional settings' decimal separator; a save writes
    // the point back, so an unchanged value keeps its text in the file.
    if (QLineEdit *f = field(p.key))
        f->setText(withDecimalSeparator(value, localeDecimalSeparator()));
    else if (QComboBox *box = listBox(p.key))
        box->setEditText(value);
}

std::optional<QString> ParameterForm::valueToSave(const Parameter &p) const {
    if (QLineEdit *f = field(p.key))
        return withDecimalPoint(f->text());
    if (QComboBox *box = listBox(p.key))
        return box->currentText();
    return std::nullopt;
}

Outcome ParameterForm::checkRow(const Parameter &p, QWidget **where) const {
    if (QLineEdit *f = field(p.key)) {
        *where = f;
        // As on leaving the field: a typed point or comma is the regional decimal separator.
        const QChar separator = localeDecimalSeparator();
        if (const QString shown = withDecimalSeparator(f->text(), separator); shown != f->text())
            f->setText(shown);
        return checkField(withDecimalPoint(f->text()), p.lower, p.upper, separator);
    }
    if (QComboBox *box = listBox(p.key); box && p.conversion == Parameter::Conversion::Quality) {
        *where = box;
        const QString text = box->currentText();
        if (const QString c = firstCharacterOutsideCp1252(text); !c.isEmpty())
            return Outcome::failure(FieldMessage::notInCp1252(c));
        if (box->findText(text, Qt::MatchExactly) < 0)
            return Outcome::failure(
                QStringLiteral("Kvalitetsklassen \"%1\" finns inte i listan. Välj en klass "
                               "från %2 till %3.")
                    .arg(text)
                    .arg(p.lower)
                    .arg(p.upper));
    }
    return {};
}

bool ParameterForm::loadParameters() {
    clearControls();
    QStringList keys;
    for (const Parameter *p : std::as_const(m_rows))
        keys << p->keyText();
    const Outcome read =
        m_controlFile.read(keys, m_lines, [this](const QString &key, const QString &value) {
            showValue(row(key), value);
        });
    if (!read)
        showKvistelMessage(this, read.message());
    return read.ok();
}

bool ParameterForm::checkParameters() {
    m_watch->dropWaitingChecks();
    for (const Parameter *p : std::as_const(m_rows)) {
        QWidget *where = nullptr;
        if (const Outcome checked = checkRow(*p, &where); !checked) {
            m_watch->report(where ? where : this, checked.message());
            return false;
        }
    }
    return true;
}

bool ParameterForm::saveParameters() {
    QHash<QString, QString> values;
    for (const Parameter *p : std::as_const(m_rows))
        if (const std::optional<QString> value = valueToSave(*p))
            values.insert(p->keyText(), *value);
    // A change another copy of the program made to these values since the form read them is
    // never overwritten without asking; "Läs om" shows the file's values instead.
    return saveAskingIfChanged(
        this, [&](IfChangedSinceRead ifChanged) { return m_controlFile.save(values, ifChanged); },
        [this] { loadParameters(); });
}

void ParameterForm::formActivate() {
    // Every opening shows the file as it is: edits left with the return button are dropped,
    // and a value saved by the other form or by hand is seen.
    loadParameters();
}

void ParameterForm::returnToMenu() {
    hide();
    m_hub.open(WindowHub::Window::MainMenu);
}
