// A table's cells painted the quick way look exactly as the style paints them, and the quick way
// is taken only for a line of text that fits its cell.
#include "gui/shared/plaincelldelegate.h"

#include <QApplication>
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

TEST(PlainCellDelegate, PaintsEveryCellAsTheStyleDoesAndQuicklyOnlyALineThatFits) {
    QFont bold = QApplication::font();
    bold.setBold(true);
    const int left = Qt::AlignLeft | Qt::AlignVCenter, right = Qt::AlignRight | Qt::AlignVCenter;
    // Cells much like the tree list's: numbers to the right, a bold decision, a grey value from
    // the settings, a fault on its colour, a text too long for its cell, two lines, nothing.
    const struct {
        QString text;
        int alignment;
        int role;
        QVariant value;
        bool quick;
    } cells[] = {
        {QStringLiteral("12"), left, Qt::UserRole, {}, true},
        {QStringLiteral("-1,6"), right, Qt::UserRole, {}, true},
        {QStringLiteral("Låt stå"), left, Qt::FontRole, bold, true},
        {QStringLiteral("24"), right, Qt::ForegroundRole, QColor(128, 128, 128), true},
        {QStringLiteral("Fröträd"), Qt::AlignCenter, Qt::BackgroundRole, QColor(255, 215, 215),
         true},
        {QStringLiteral("bdm: Värdet är inget tal mellan 0 och 150"),
         left,
         Qt::UserRole,
         {},
         false},
        {QStringLiteral("Fröträd\nvid vägen"), left, Qt::UserRole, {}, false},
        {QString(), left, Qt::UserRole, {}, true},
    };
    QStandardItemModel model(4, int(std::size(cells)));
    for (int r = 0; r < model.rowCount(); ++r)
        for (int c = 0; c < model.columnCount(); ++c) {
            const QModelIndex i = model.index(r, c);
            model.setData(i, cells[c].text);
            model.setData(i, cells[c].alignment, Qt::TextAlignmentRole);
            model.setData(i, cells[c].value, cells[c].role);
        }
    for (const bool wrap : {true, false}) {
        QTableView view;
        view.setModel(&model);
        view.setWordWrap(wrap);
        view.resize(900, 200);
        view.selectionModel()->select(QItemSelection(model.index(1, 0), model.index(2, 4)),
                                      QItemSelectionModel::Select);
        view.setCurrentIndex(model.index(2, 1));
        view.show();
        QApplication::processEvents();
        OpenDelegate quick;
        QStyledItemDelegate style;
        view.setItemDelegate(&quick);
        const QImage quickly = view.viewport()->grab().toImage();
        view.setItemDelegate(&style);
        EXPECT_TRUE(quickly == view.viewport()->grab().toImage()) << "word wrap " << wrap;

        for (int c = 0; c < model.columnCount(); ++c) {
            QStyleOptionViewItem option;
            option.initFrom(&view);
            option.widget = &view;
            option.state &= ~QStyle::State_HasFocus; // the view's, not the cell's
            option.rect = view.visualRect(model.index(0, c));
            if (wrap)
                option.features |= QStyleOptionViewItem::WrapText;
            quick.initStyleOption(&option, model.index(0, c));
            QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
            QPainter painter(&image);
            EXPECT_EQ(quick.paintPlain(&painter, option), cells[c].quick) << "column " << c;
        }
    }
}

} // namespace
