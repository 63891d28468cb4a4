#include "gui/shared/groupframestyle.h"

#include <QApplication>
#include <QGroupBox>
#include <QPainter>
#include <QPixmap>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

const QString fusion = QStringLiteral("fusion");
// The image Fusion frames a group box with, its border width, and the gap above the frame.
const QString frameImage =
    QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png");
constexpr int border = 6;
constexpr int topGap = 3;

} // namespace

GroupFrameStyle::GroupFrameStyle() : QProxyStyle(QStyleFactory::create(fusion)) {}

void GroupFrameStyle::applyTo(QGroupBox *box) {
    if (QApplication::style()->name() != fusion || QPixmap(frameImage).isNull())
        return;
    auto *style = new GroupFrameStyle;
    style->setParent(box);
    box->setStyle(style);
}

void GroupFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                    QPainter *painter, const QWidget *widget) const {
    if (element != PE_FrameGroupBox)
        return QProxyStyle::drawPrimitive(element, option, painter, widget);
    static const QPixmap image(frameImage);
    static const QColor centre = image.toImage().pixelColor(image.rect().center());
    // The frame starts below the title, as Fusion places it.
    const auto *box = qobject_cast<const QGroupBox *>(widget);
    int top = topGap;
    if (!box || box->isCheckable() || !box->title().isEmpty())
        top += qMax(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height());
    const QRect frame = option->rect.adjusted(0, top, 0, 0);
    if (frame.width() < 2 * border || frame.height() < 2 * border)
        return QProxyStyle::drawPrimitive(element, option, painter, widget);

    // Nine parts: the corners as they are, the edges stretched along, the centre filled.
    const QRect src = image.rect();
    const int xs[] = {frame.left(), frame.left() + border, frame.right() + 1 - border,
                      frame.right() + 1};
    const int ys[] = {frame.top(), frame.top() + border, frame.bottom() + 1 - border,
                      frame.bottom() + 1};
    const int sx[] = {0, border, src.width() - border, src.width()};
    const int sy[] = {0, border, src.height() - border, src.height()};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const QRect target(QPoint(xs[col], ys[row]), QPoint(xs[col + 1] - 1, ys[row + 1] - 1));
            if (row == 1 && col == 1) {
                painter->fillRect(target, centre);
                continue;
            }
            const QRect source(QPoint(sx[col], sy[row]), QPoint(sx[col + 1] - 1, sy[row + 1] - 1));
            painter->drawPixmap(target, image, source);
        }
    }
}
