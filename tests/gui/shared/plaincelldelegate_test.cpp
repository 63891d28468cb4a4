// A table's cells painted the quick way look exactly as the style paints them: the same pixels,
// cell for cell, whatever the cell's alignment, font, colours, selection or width.
#include "gui/shared/plaincelldelegate.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableView>

#include <gtest/gtest.h>

namespace {

class OpenDelegate : public PlainCellDelegate {
public:
    using PlainCellDelegate::initStyleOption;
    using PlainCellDelegate::paintPlain;
    using PlainCellDelegate::PlainCellDelegate;
};

// A list much like the tree list: numbers to the right, texts to the left, a bold decision,
// a grey value from the settings, a cell coloured for a fault, texts too long for their cell.
void fill(QStandardItemModel &model) {
    model.setRowCount(8);
    model.setColumnCount(6);
    for (int r = 0; r < model.rowCount(); ++r) {
        auto *id = new QStandardItem(QString::number(r + 1));
        auto *decision = new QStandardItem(r % 2 ? QStringLiteral("Avverkas (märkt)")
                                                 : QStringLiteral("Låt stå"));
        if (r % 2) {
            QFont bold = QApplication::font();
            bold.setBold(true);
            decision->setFont(bold);
        }
        auto *number = new QStandardItem(QStringLiteral("%1,%2").arg(r * 7 - 20).arg(r));
        number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto *grey = new QStandardItem(QStringLiteral("24"));
        grey->setForeground(QColor(128, 128, 128));
        grey->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto *fault =
            new QStandardItem(r == 3 ? QStringLiteral("bdm: Värdet är inget tal") : QString());
        if (r == 3)
            fault->setBackground(QColor(255, 215, 215));
        auto *note = new QStandardItem(r == 5 ? QStringLiteral("Fröträd\nvid vägen")
                                              : QStringLiteral("Centrerad"));
        note->setTextAlignment(Qt::AlignCenter);
        model.setItem(r, 0, id);
        model.setItem(r, 1, decision);
        model.setItem(r, 2, number);
        model.setItem(r, 3, grey);
        model.setItem(r, 4, fault);
        model.setItem(r, 5, note);
    }
}

QImage paintedWith(QTableView &view, QAbstractItemDelegate *delegate) {
    view.setItemDelegate(delegate);
    return view.viewport()->grab().toImage();
}

TEST(PlainCellDelegate, PaintsEveryCellAsTheStyleDoes) {
    QStandardItemModel model;
    fill(model);
    for (const bool wrap : {true, false}) {
        QTableView view;
        view.setModel(&model);
        view.setWordWrap(wrap);
        view.resize(640, 320);
        view.setColumnWidth(1, 60); // the decisions are shortened
        view.setColumnWidth(4, 90);
        view.selectionModel()->select(QItemSelection(model.index(1, 0), model.index(2, 3)),
                                      QItemSelectionModel::Select);
        view.setCurrentIndex(model.index(2, 2));
        view.show();
        QApplication::processEvents();
        OpenDelegate quick;
        QStyledItemDelegate style;
        const QImage quickly = paintedWith(view, &quick);
        const QImage styled = paintedWith(view, &style);
        ASSERT_FALSE(quickly.isNull());
        EXPECT_TRUE(quickly == styled) << "word wrap " << wrap;
    }
}

TEST(PlainCellDelegate, TakesTheQuickWayOnlyForALineThatFits) {
    QStandardItemModel model;
    fill(model);
    QTableView view;
    view.setModel(&model);
    view.resize(640, 320);
    view.setColumnWidth(1, 60);
    OpenDelegate delegate;
    const struct {
        int row, column;
        bool quick;
    } cases[] = {
        {0, 0, true},  // a number
        {0, 2, true},  // to the right
        {0, 1, true},  // "Låt stå" fits
        {1, 1, false}, // "Avverkas (märkt)" is shortened
        {3, 4, false}, // so is the fault
        {4, 4, true},  // an empty cell
        {5, 5, false}, // two lines
    };
    for (const auto &c : cases) {
        QStyleOptionViewItem cell;
        cell.initFrom(&view);
        cell.widget = &view;
        cell.features |= QStyleOptionViewItem::WrapText;
        const QModelIndex index = model.index(c.row, c.column);
        cell.rect = view.visualRect(index);
        delegate.initStyleOption(&cell, index);
        QImage image(cell.rect.size() + QSize(10, 10), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        EXPECT_EQ(delegate.paintPlain(&painter, cell), c.quick) << c.row << "," << c.column;
    }
}

} // namespace
