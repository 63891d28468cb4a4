#include "flexgrid.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QStylePainter>

#include <cmath>

namespace {
// Header texts wrap onto further lines; the header views take the text flag with the alignment.
const Qt::Alignment wrap = Qt::Alignment(QFlag(Qt::TextWordWrap));
} // namespace

// Row 0 and column 0 of the program's grids are shown in the table's own header rows, so that
// they stay in place when the table scrolls; cell (r, c) of the data is table cell (r-1, c-1).

FlexGrid::FlexGrid(QWidget *parent) : QTableWidget(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setCornerButtonEnabled(false);
    setWordWrap(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter | wrap);
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(twipsToPixels(300));
    setRowCount(0);
    setColumnCount(0);
    horizontalHeader()->setVisible(false);
    verticalHeader()->setVisible(false);

    if (auto *corner = findChild<QAbstractButton *>())
        corner->installEventFilter(this);

    connect(this, &QTableWidget::currentCellChanged, this, [this](int r, int c, int, int) {
        if (m_userMove || r < 0 || c < 0)
            return;
        if (r + 1 != m_row || c + 1 != m_col) {
            m_row = r + 1;
            m_col = c + 1;
            emit enterCell();
        }
    });
}

int FlexGrid::twipsToPixels(int twips) const {
    return int(std::lround(twips * logicalDpiX() / 1440.0));
}

int FlexGrid::pixelsToTwips(int pixels) const {
    return int(std::lround(pixels * 1440.0 / logicalDpiX()));
}

void FlexGrid::setRows(int rows) {
    m_rows = qMax(1, rows);
    setRowCount(m_rows - 1);
    horizontalHeader()->setVisible(true);
    if (m_row >= m_rows)
        moveTo(m_rows - 1, m_col);
}

void FlexGrid::setCols(int cols) {
    m_cols = qMax(1, cols);
    setColumnCount(m_cols - 1);
    verticalHeader()->setVisible(true);
    if (m_col >= m_cols)
        moveTo(m_row, m_cols - 1);
}

void FlexGrid::setRow(int row) {
    moveTo(row, m_col);
}

void FlexGrid::setCol(int col) {
    moveTo(m_row, col);
}

void FlexGrid::moveTo(int row, int col) {
    row = qBound(0, row, m_rows - 1);
    col = qBound(0, col, m_cols - 1);
    if (row == m_row && col == m_col)
        return;
    m_row = row;
    m_col = col;
    showCurrentCell();
    emit enterCell();
}

void FlexGrid::showCurrentCell() {
    if (m_row < 1 || m_col < 1)
        return;
    m_userMove = true;
    setCurrentCell(m_row - 1, m_col - 1);
    m_userMove = false;
}

QTableWidgetItem *FlexGrid::itemFor(int row, int col, bool create) {
    if (row <= 0 && col <= 0)
        return nullptr;
    if (row == 0) {
        QTableWidgetItem *it = horizontalHeaderItem(col - 1);
        if (!it && create) {
            it = new QTableWidgetItem;
            it->setTextAlignment(Qt::AlignCenter | wrap);
            setHorizontalHeaderItem(col - 1, it);
        }
        return it;
    }
    if (col == 0) {
        QTableWidgetItem *it = verticalHeaderItem(row - 1);
        if (!it && create) {
            it = new QTableWidgetItem;
            it->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            setVerticalHeaderItem(row - 1, it);
        }
        return it;
    }
    QTableWidgetItem *it = item(row - 1, col - 1);
    if (!it && create) {
        it = new QTableWidgetItem;
        it->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        setItem(row - 1, col - 1, it);
    }
    return it;
}

const QTableWidgetItem *FlexGrid::itemFor(int row, int col) const {
    return const_cast<FlexGrid *>(this)->itemFor(row, col, false);
}

QString FlexGrid::textAt(int row, int col) const {
    if (row == 0 && col == 0)
        return m_cornerText;
    const QTableWidgetItem *it = itemFor(row, col);
    return it ? it->text() : QString();
}

QString FlexGrid::text() const {
    return textAt(m_row, m_col);
}

void FlexGrid::setText(const QString &text) {
    if (m_row == 0 && m_col == 0) {
        m_cornerText = text;
        if (auto *corner = findChild<QAbstractButton *>())
            corner->update();
        return;
    }
    itemFor(m_row, m_col, true)->setText(text);
}

int FlexGrid::colWidth(int col) const {
    if (col == 0)
        return pixelsToTwips(verticalHeader()->width());
    return pixelsToTwips(columnWidth(col - 1));
}

void FlexGrid::setColWidth(int col, int twips) {
    if (col == 0)
        verticalHeader()->setFixedWidth(twipsToPixels(twips));
    else
        setColumnWidth(col - 1, twipsToPixels(twips));
}

int FlexGrid::rowHeight(int row) const {
    if (row == 0)
        return pixelsToTwips(horizontalHeader()->height());
    return pixelsToTwips(QTableWidget::rowHeight(row - 1));
}

void FlexGrid::setRowHeight(int row, int twips) {
    if (row == 0)
        horizontalHeader()->setFixedHeight(twipsToPixels(twips));
    else
        QTableWidget::setRowHeight(row - 1, twipsToPixels(twips));
}

void FlexGrid::setCellAlignment(Qt::Alignment alignment) {
    if (m_row == 0 && m_col == 0) {
        m_cornerAlignment = alignment;
        return;
    }
    QTableWidgetItem *it = itemFor(m_row, m_col, true);
    it->setTextAlignment(alignment | (m_row == 0 ? wrap : Qt::Alignment()));
}

Qt::Alignment FlexGrid::cellAlignment() const {
    if (m_row == 0 && m_col == 0)
        return m_cornerAlignment;
    const QTableWidgetItem *it = itemFor(m_row, m_col);
    return it ? Qt::Alignment(it->textAlignment()) & ~wrap : Qt::Alignment();
}

QRect FlexGrid::cellRect(int row, int col) const {
    const QPoint origin = viewport()->geometry().topLeft();
    const int x = col == 0 ? origin.x() - verticalHeader()->width()
                           : origin.x() + columnViewportPosition(col - 1);
    const int y = row == 0 ? origin.y() - horizontalHeader()->height()
                           : origin.y() + rowViewportPosition(row - 1);
    const int w = col == 0 ? verticalHeader()->width() : columnWidth(col - 1);
    const int h = row == 0 ? horizontalHeader()->height() : QTableWidget::rowHeight(row - 1);
    return {x, y, w, h};
}

int FlexGrid::cellLeft() const {
    return pixelsToTwips(cellRect(m_row, m_col).x());
}

int FlexGrid::cellTop() const {
    return pixelsToTwips(cellRect(m_row, m_col).y());
}

int FlexGrid::gridWidth() const {
    return pixelsToTwips(width());
}

int FlexGrid::gridLeft() const {
    return pixelsToTwips(x());
}

int FlexGrid::gridTop() const {
    return pixelsToTwips(y());
}

bool FlexGrid::eventFilter(QObject *watched, QEvent *event) {
    auto *corner = qobject_cast<QAbstractButton *>(watched);
    if (corner && event->type() == QEvent::Paint) {
        // The corner holds the grid's cell (0, 0), such as "År" or "Diam".
        QStyleOptionHeader opt;
        opt.initFrom(corner);
        // The corner cannot be clicked, but its text is no less a heading than the others.
        opt.state |= QStyle::State_Enabled;
        opt.palette.setCurrentColorGroup(QPalette::Active);
        opt.rect = corner->rect();
        opt.text = m_cornerText;
        opt.textAlignment = m_cornerAlignment;
        opt.position = QStyleOptionHeader::OnlyOneSection;
        opt.orientation = Qt::Horizontal;
        QStylePainter painter(corner);
        painter.drawControl(QStyle::CE_Header, opt);
        return true;
    }
    return QTableWidget::eventFilter(watched, event);
}
