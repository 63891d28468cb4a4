#include "gui/treelist/treelistdelegate.h"

#include "core/parameters/species.h"
#include "gui/treelist/treelistmodel.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

// The tree key of a column, or -1 for the identifier.
int keyOf(const QModelIndex &index) {
    const int c = index.column();
    return c >= TreeListModel::FirstKeyColumn && c < TreeListModel::FirstSummaryColumn
               ? c - TreeListModel::FirstKeyColumn
               : -1;
}

QStringList entriesFor(int key) {
    if (key < 0)
        return {};
    switch (treeKeyInfo(key).kind) {
    case TreeKeyInfo::Species: {
        QStringList names;
        for (const SpeciesCode &s : speciesCodes)
            names << QString::fromUtf16(s.name);
        return names;
    }
    case TreeKeyInfo::YesNo:
        return {QStringLiteral("Ja"), QStringLiteral("Nej")};
    case TreeKeyInfo::Quality:
        return {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                QStringLiteral("5")};
    case TreeKeyInfo::Number:
        break;
    }
    return {};
}

} // namespace

QWidget *TreeListDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const {
    if (const auto *list = qobject_cast<const TreeListModel *>(index.model());
        list && list->isMarkColumn(index.column())) {
        // The owner's mark is one of three, offered as a choice.
        auto *box = new QComboBox(parent);
        box->addItems({QString(), treeMarkText(TreeMark::Leave), treeMarkText(TreeMark::Cut)});
        return box;
    }
    const QStringList entries = entriesFor(keyOf(index));
    if (entries.isEmpty())
        return QStyledItemDelegate::createEditor(parent, option, index);
    auto *box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(entries);
    return box;
}

void TreeListDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const {
    if (auto *box = qobject_cast<QComboBox *>(editor); box && !box->isEditable()) {
        const std::optional<TreeMark> mark = treeMarkNamed(index.data(Qt::EditRole).toString());
        box->setCurrentIndex(!mark                      ? 0
                             : *mark == TreeMark::Leave ? 1
                             : *mark == TreeMark::Cut   ? 2
                                                        : 0);
        return;
    }
    if (auto *box = qobject_cast<QComboBox *>(editor)) {
        // The species and the planting are offered by name, whatever letter the list holds.
        const int key = keyOf(index);
        const bool named = key == TreeSpecies || key == Plant;
        const bool valid = checkTreeValue(key, index.data(Qt::EditRole).toString()).ok();
        box->setEditText(index.data(named && valid ? Qt::DisplayRole : Qt::EditRole).toString());
        // Typing into the cell replaces what it held, as in a spreadsheet: the key that opened
        // the editor comes next and lands on the selection.
        if (box->lineEdit())
            box->lineEdit()->selectAll();
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void TreeListDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                    const QModelIndex &index) const {
    if (auto *box = qobject_cast<QComboBox *>(editor))
        model->setData(index, box->currentText(), Qt::EditRole);
    else
        QStyledItemDelegate::setModelData(editor, model, index);
    if (const int key = keyOf(index); key >= 0) {
        if (const Outcome checked = checkTreeValue(key, index.data(Qt::EditRole).toString());
            !checked)
            emit valueFault(checked.message());
    }
}
