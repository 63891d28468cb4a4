#pragma once

#include "gui/shared/plaincelldelegate.h"

// Edits a cell of the tree list: the species, the planting and the quality classes in list
// boxes that also take a typed text, as in the tree form, the numbers in a plain field. A value
// the tree form would refuse is kept as typed (nothing the user wrote is lost), marked in the
// list, and its message is given as the form gives it.
class TreeListDelegate : public PlainCellDelegate {
    Q_OBJECT
public:
    using PlainCellDelegate::PlainCellDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

signals:
    // A value was stored that the tree form's check refuses, with its message.
    void valueFault(const QString &message) const;
};
