#include "gui/pricelist/pricecelldelegate.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTableView>

QWidget *PriceCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                         const QModelIndex &) const {
    auto *box = new QLineEdit(parent);
    box->setObjectName(QStringLiteral("txtEdit"));
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *self = const_cast<PriceCellDelegate *>(this);
    connect(box, &QLineEdit::textChanged, self, [self, box] { emit self->commitData(box); });
    return box;
}

void PriceCellDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const {
    auto *box = static_cast<QLineEdit *>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    // The cell echoes every keystroke back; setting the same text again would move the cursor.
    // The text comes from the cell, so it is not handed back to it.
    if (box->text() != text) {
        const QSignalBlocker quiet(box);
        box->setText(text);
    }
}

void PriceCellDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                     const QModelIndex &index) const {
    model->setData(index, static_cast<QLineEdit *>(editor)->text(), Qt::EditRole);
}

void PriceCellDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                             const QModelIndex &index) const {
    // The box covers the cell exactly, its grid line included.
    const auto *view = qobject_cast<const QTableView *>(option.widget);
    if (!view) {
        editor->setGeometry(option.rect);
        return;
    }
    editor->setGeometry(view->columnViewportPosition(index.column()),
                        view->rowViewportPosition(index.row()), view->columnWidth(index.column()),
                        view->rowHeight(index.row()));
}

void PriceCellDelegate::destroyEditor(QWidget *editor, const QModelIndex &) const {
    // The box of the cell just left lives until the event loop deletes it; it must not be taken
    // for the box of the new cell in the meantime.
    editor->setObjectName(QString());
    editor->deleteLater();
}

std::optional<CellMove> PriceCellDelegate::moveForKey(const QKeyEvent &key, const QLineEdit &box) {
    const bool plain = (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const bool all = box.hasSelectedText() && box.selectedText() == box.text();
    const bool atStart = box.hasSelectedText() ? all : box.cursorPosition() == 0;
    const bool atEnd = box.hasSelectedText() ? all : box.cursorPosition() == box.text().size();
    switch (key.key()) {
    case Qt::Key_Tab:
        return plain ? std::optional(CellMove::Tab) : std::nullopt;
    case Qt::Key_Backtab:
        return CellMove::Backtab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return plain ? std::optional(CellMove::Enter) : std::nullopt;
    case Qt::Key_Up:
        return plain ? std::optional(CellMove::Up) : std::nullopt;
    case Qt::Key_Down:
        return plain ? std::optional(CellMove::Down) : std::nullopt;
    case Qt::Key_Right:
        return plain && atEnd ? std::optional(CellMove::Right) : std::nullopt;
    case Qt::Key_Left:
        return plain && atStart ? std::optional(CellMove::Left) : std::nullopt;
    default:
        return std::nullopt;
    }
}

bool PriceCellDelegate::eventFilter(QObject *watched, QEvent *event) {
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box)
        return QStyledItemDelegate::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        if (const auto move = moveForKey(*static_cast<QKeyEvent *>(event), *box)) {
            emit moveRequested(*move);
            return true;
        }
    }
    // Everything else is the box's own: it stays open when the focus goes to a button or the
    // species box (the cell already holds its text), and Escape does not throw the typing away.
    return false;
}
