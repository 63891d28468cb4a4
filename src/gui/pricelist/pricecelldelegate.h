#pragma once

#include "gui/pricelist/pricegrid.h"

#include <QStyledItemDelegate>

class QLineEdit;

// The box the user types a price in, laid over the whole current cell. The cell takes every
// change of the box's text at once, so the grid always shows what was typed. The keys that move
// to another cell are handed to the window as a CellMove: arrows (Left and Right only at the
// ends of the text), Return and Enter, Tab and Backtab.
class PriceCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;

    // The key's move, or nothing for a key the box keeps for itself.
    static std::optional<CellMove> moveForKey(const QKeyEvent &key, const QLineEdit &box);

signals:
    void moveRequested(CellMove move);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
