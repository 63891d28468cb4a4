#pragma once

#include <QStyledItemDelegate>

// Paints a cell that holds one line of text, no icon and no check box as Qt's Fusion style
// does, pixel for pixel, but lays its text out once instead of three times (the style measures
// it, finds whether it must be shortened and lays it out again to draw it). A page of a large
// list paints in a third of the time. Any other cell, and any other style, is painted by the
// style itself.
class PlainCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

protected:
    // Paints `cell` the quick way and says so; false, having painted nothing, for a cell the
    // style must paint.
    bool paintPlain(QPainter *painter, const QStyleOptionViewItem &cell) const;
};
