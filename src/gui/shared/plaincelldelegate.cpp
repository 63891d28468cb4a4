#include "gui/shared/plaincelldelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>

void PlainCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    if (!paintPlain(painter, cell))
        QStyledItemDelegate::paint(painter, option, index);
}

bool PlainCellDelegate::paintPlain(QPainter *painter, const QStyleOptionViewItem &cell) const {
    const QWidget *widget = cell.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    // The focused or edited cell, and anything but a line of text, as the style draws it.
    constexpr auto plain = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::Alternate |
                           QStyleOptionViewItem::WrapText;
    if (style->name() != QLatin1String("fusion") || (cell.features & ~plain) ||
        (cell.state & (QStyle::State_HasFocus | QStyle::State_Editing)) ||
        cell.text.contains(QChar::LineFeed) || cell.text.contains(QChar::LineSeparator))
        return false;

    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect textRect = cell.rect.adjusted(margin, 0, -margin, 0);
    QTextOption textOption;
    textOption.setWrapMode((cell.features & QStyleOptionViewItem::WrapText)
                               ? QTextOption::WordWrap
                               : QTextOption::ManualWrap);
    textOption.setTextDirection(cell.direction);
    textOption.setAlignment(QStyle::visualAlignment(cell.direction, cell.displayAlignment));
    QTextLayout layout(cell.text, cell.font);
    layout.setTextOption(textOption);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) {
        line.setLineWidth(textRect.width());
        line.setPosition(QPointF(0, 0));
    }
    // A text that wraps, or is too wide for its cell and is shortened with a "…", is left to
    // the style.
    const bool oneLine = !line.isValid() || !layout.createLine().isValid();
    layout.endLayout();
    if (!oneLine || (line.isValid() && line.naturalTextWidth() > textRect.width()))
        return false;

    painter->save();
    painter->setClipRect(cell.rect);
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &cell, painter, widget);
    if (line.isValid()) {
        QPalette::ColorGroup group = !(cell.state & QStyle::State_Enabled) ? QPalette::Disabled
                                     : (cell.state & QStyle::State_Active) ? QPalette::Normal
                                                                           : QPalette::Inactive;
        painter->setPen(cell.palette.color(group, (cell.state & QStyle::State_Selected)
                                                      ? QPalette::HighlightedText
                                                      : QPalette::Text));
        // Placed in the cell's height as the style places it.
        const QRect placed = QStyle::alignedRect(Qt::LayoutDirectionAuto, cell.displayAlignment,
                                                 layout.boundingRect().size().toSize(), textRect);
        layout.draw(painter, QPointF(textRect.x(), placed.top()));
    }
    painter->restore();
    return true;
}
