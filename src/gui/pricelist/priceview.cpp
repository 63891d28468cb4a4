#include "gui/pricelist/priceview.h"

#include "gui/shared/cornerheading.h"
#include "gui/shared/twips.h"

#include "gui/pricelist/pricegrid.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>

PriceView::PriceView(QWidget *parent) : QTableView(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setTabKeyNavigation(false);
    setFocusPolicy(Qt::NoFocus);
    setCornerButtonEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAutoScroll(false);

    QHeaderView *top = horizontalHeader();
    top->setSectionResizeMode(QHeaderView::Fixed);
    top->setSectionsClickable(false);
    top->setMinimumSectionSize(1);
    QHeaderView *left = verticalHeader();
    left->setSectionResizeMode(QHeaderView::Fixed);
    left->setSectionsClickable(false);
    left->setMinimumSectionSize(1);
    left->setDefaultSectionSize(twipsToPixels(priceRowTwips));
    left->setFixedWidth(twipsToPixels(headerColumnTwips));

    if (auto *corner = findChild<QAbstractButton *>())
        corner->installEventFilter(this);
}

void PriceView::setCornerText(const QString &text, Qt::Alignment alignment) {
    m_cornerText = text;
    m_cornerAlignment = alignment;
    if (auto *corner = findChild<QAbstractButton *>())
        corner->update();
}

int PriceView::twipsToPixels(int twips) const {
    return Twips::toPixels(*this, twips);
}

int PriceView::pixelsToTwips(int pixels) const {
    return Twips::fromPixels(*this, pixels);
}

void PriceView::fitToPrices() {
    // "Class        1" is wider than 900 twips in many of today's screen fonts: rather than cut
    // the word, the column's font is condensed, and made smaller only if that is not enough.
    const QString widest = model() ? model()->headerData(0, Qt::Vertical).toString() : QString();
    const int room =
        twipsToPixels(headerColumnTwips) - 2 * style()->pixelMetric(QStyle::PM_HeaderMargin) - 2;
    QFont font = this->font();
    auto fits = [&] { return QFontMetrics(font).horizontalAdvance(widest) <= room; };
    for (int stretch = 95; !fits() && stretch >= 70; stretch -= 5)
        font.setStretch(stretch);
    while (!fits() && font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    verticalHeader()->setFont(font);

    const int rows = model() ? model()->rowCount() : 0;
    setFixedHeight(2 * frameWidth() + horizontalHeader()->sizeHint().height() +
                   rows * twipsToPixels(priceRowTwips));
    applyColumnWidths();
}

void PriceView::applyColumnWidths() {
    const int width = twipsToPixels(priceColumnWidth(pixelsToTwips(this->width())));
    for (int c = 0; c < (model() ? model()->columnCount() : 0); ++c)
        setColumnWidth(c, width);
}

void PriceView::resizeEvent(QResizeEvent *event) {
    QTableView::resizeEvent(event);
    applyColumnWidths();
}

void PriceView::keyPressEvent(QKeyEvent *event) {
    // Keys the box over the cell does not use go on to the window (Return, Escape, the buttons'
    // shortcuts); the view must not move the current cell behind the box's back.
    event->ignore();
}

bool PriceView::eventFilter(QObject *watched, QEvent *event) {
    auto *corner = qobject_cast<QAbstractButton *>(watched);
    if (corner && event->type() == QEvent::Paint) {
        paintCornerHeading(corner, m_cornerText, m_cornerAlignment);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}
