#include "gui/shared/keyboardaccess.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>

namespace KeyboardAccess {

namespace {

bool acceptsFocus(const QWidget *w) {
    return w->focusPolicy() != Qt::NoFocus && w->isEnabled();
}

bool typedInto(const QWidget *w) {
    if (const auto *edit = qobject_cast<const QLineEdit *>(w))
        return !edit->isReadOnly();
    return qobject_cast<const QComboBox *>(w) || qobject_cast<const QAbstractSpinBox *>(w) ||
           qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QTextEdit *>(w);
}

// The first control a label placed before `item` would name: the widget itself, or the first
// field or option inside a nested layout (the two options of a yes/no row).
QWidget *namedBy(QLayoutItem *item) {
    if (!item)
        return nullptr;
    if (QWidget *w = item->widget())
        return isField(w) || qobject_cast<QRadioButton *>(w) ? w : nullptr;
    if (QLayout *inner = item->layout())
        for (int i = 0; i < inner->count(); ++i)
            if (QWidget *w = namedBy(inner->itemAt(i)))
                return w;
    return nullptr;
}

void pairIn(QLayout *layout, QSet<QWidget *> &named) {
    if (!layout)
        return;
    auto *grid = qobject_cast<QGridLayout *>(layout);
    auto *box = qobject_cast<QBoxLayout *>(layout);
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (item->layout()) {
            pairIn(item->layout(), named);
            continue;
        }
        auto *label = qobject_cast<QLabel *>(item->widget());
        if (!label || label->buddy())
            continue;
        QLayoutItem *next = nullptr;
        if (grid) {
            int row, col, rowSpan, colSpan;
            grid->getItemPosition(i, &row, &col, &rowSpan, &colSpan);
            next = grid->itemAtPosition(row, col + colSpan);
        } else if (box && box->direction() == QBoxLayout::LeftToRight) {
            next = i + 1 < layout->count() ? layout->itemAt(i + 1) : nullptr;
        }
        if (QWidget *field = namedBy(next); field && !named.contains(field)) {
            label->setBuddy(field);
            named.insert(field);
        }
    }
}

// The caption as read: a single "&" marks the mnemonic and goes, "&&" is an ampersand.
QString plain(const QString &caption) {
    QString t;
    t.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            t += caption[i];
        else if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&'))
            t += caption[++i];
    }
    return t;
}

} // namespace

bool isField(const QWidget *widget) {
    return widget && acceptsFocus(widget) && typedInto(widget);
}

QString withMnemonic(const QString &caption, QSet<QChar> &used) {
    // An existing marker ("&&" is a plain ampersand) is kept.
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        used.insert(caption[i + 1].toLower());
        return caption;
    }
    auto freeAt = [&](int i) {
        return caption[i].isLetter() && !used.contains(caption[i].toLower());
    };
    int chosen = -1;
    for (int i = 0; i < caption.size() && chosen < 0; ++i)
        if ((i == 0 || !caption[i - 1].isLetterOrNumber()) && freeAt(i))
            chosen = i;
    for (int i = 0; i < caption.size() && chosen < 0; ++i)
        if (freeAt(i))
            chosen = i;
    if (chosen < 0)
        return caption;
    used.insert(caption[chosen].toLower());
    QString marked = caption;
    marked.insert(chosen, QLatin1Char('&'));
    return marked;
}

QString spokenName(const QString &caption) {
    QString spoken = plain(caption).simplified();
    while (spoken.endsWith(u'.') || spoken.endsWith(u':') || spoken.endsWith(u' '))
        spoken.chop(1);
    return spoken;
}

void pairLabelsWithFields(QWidget *window) {
    const auto labels = window->findChildren<QLabel *>();
    QSet<QWidget *> named;
    for (QLabel *l : labels)
        if (l->buddy())
            named.insert(l->buddy());
    pairIn(window->layout(), named);
    for (QWidget *child : window->findChildren<QWidget *>())
        pairIn(child->layout(), named);
    for (QLabel *l : labels)
        if (QWidget *field = l->buddy(); field && field->accessibleName().isEmpty())
            field->setAccessibleName(spokenName(l->text()));
}

void assignMnemonics(QWidget *window) {
    QSet<QChar> used;
    const auto buttons = window->findChildren<QAbstractButton *>();
    const auto labels = window->findChildren<QLabel *>();
    // Mnemonics set by the window itself are kept and reserved first.
    for (QAbstractButton *b : buttons)
        if (plain(b->text()) != b->text())
            withMnemonic(b->text(), used);
    for (QLabel *l : labels)
        if (l->buddy() && plain(l->text()) != l->text())
            withMnemonic(l->text(), used);
    for (QAbstractButton *b : buttons)
        if (!b->text().isEmpty() && b->focusPolicy() != Qt::NoFocus)
            b->setText(withMnemonic(b->text(), used));
    for (QLabel *l : labels)
        if (l->buddy() && acceptsFocus(l->buddy()) && l->textFormat() != Qt::RichText)
            l->setText(withMnemonic(l->text(), used));
}

namespace {
template <typename Test> QWidget *firstInTabOrder(QWidget *window, Test test) {
    for (QWidget *w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain())
        if (w->window() == window && w->isVisibleTo(window) && w->isEnabled() &&
            (w->focusPolicy() & Qt::TabFocus) && test(w))
            return w;
    return nullptr;
}
} // namespace

QWidget *firstField(QWidget *window) {
    return firstInTabOrder(window, [](QWidget *w) { return isField(w); });
}

QWidget *firstControl(QWidget *window) {
    return firstInTabOrder(window, [](QWidget *) { return true; });
}

} // namespace KeyboardAccess
