#include "gui/shared/formlayout.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace FormLayout {

QLabel *label(QWidget *parent, const char *name, const QString &text) {
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    // A label may show a file name or a tree's id: never read as markup.
    l->setTextFormat(Qt::PlainText);
    return l;
}

QLabel *caption(QWidget *parent, const char *name, const QString &text, int width) {
    QLabel *l = label(parent, name, text);
    if (width > 0) {
        l->setWordWrap(true);
        l->setFixedWidth(width);
    }
    return l;
}

QLineEdit *numberField(QWidget *parent, const char *name) {
    auto *f = new QLineEdit(parent);
    f->setObjectName(QLatin1String(name));
    f->setAlignment(Qt::AlignRight);
    f->setFixedWidth(f->fontMetrics().horizontalAdvance(QStringLiteral("0000000.00")) + 16);
    return f;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text) {
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setMinimumWidth(110);
    return b;
}

QLabel *label(QWidget *parent, const NamedText &text) {
    return label(parent, text.name, text.string());
}

QPushButton *button(QWidget *parent, const NamedText &text) {
    return button(parent, text.name, text.string());
}

} // namespace FormLayout
