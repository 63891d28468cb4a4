#include "gui/shared/cornerheading.h"

#include <QAbstractButton>
#include <QStyleOptionHeader>
#include <QStylePainter>

void paintCornerHeading(QAbstractButton *corner, const QString &text, Qt::Alignment alignment) {
    QStyleOptionHeader opt;
    opt.initFrom(corner);
    opt.state |= QStyle::State_Enabled;
    opt.palette.setCurrentColorGroup(QPalette::Active);
    opt.rect = corner->rect();
    opt.text = text;
    opt.textAlignment = alignment;
    opt.position = QStyleOptionHeader::OnlyOneSection;
    opt.orientation = Qt::Horizontal;
    QStylePainter painter(corner);
    painter.drawControl(QStyle::CE_Header, opt);
}
