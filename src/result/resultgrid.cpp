#include "resultgrid.h"

#include "cornerheading.h"
#include "twips.h"

#include "resultmodel.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>


namespace {

// Heading texts wrap onto further lines; the header view takes the flag with the alignment.
const Qt::Alignment wrap = Qt::Alignment(QFlag(Qt::TextWordWrap));

// The row of the best harvest year stands out, so the eye finds the advice in the table.
class BestYearDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(ResultModel::BestYearRole).toBool()) {
            option->backgroundBrush = QColor(255, 236, 160);
            option->font.setBold(true);
        }
    }
};

} // namespace

ResultGrid::ResultGrid(QWidget *parent) : QTableView(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setCornerButtonEnabled(false);
    setWordWrap(true);
    // On a small screen the grid scrolls; by pixels, so a wide column never jumps out of view.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(new BestYearDelegate(this));
    QHeaderView *top = horizontalHeader();
    top->setSectionResizeMode(QHeaderView::Fixed);
    top->setDefaultAlignment(Qt::AlignCenter | wrap);
    top->setMinimumSectionSize(1);
    // The grid shows a result, it does not select by heading.
    top->setHighlightSections(false);
    top->setSectionsClickable(false);
    QHeaderView *left = verticalHeader();
    left->setSectionResizeMode(QHeaderView::Fixed);
    left->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    left->setMinimumSectionSize(1);
    left->setDefaultSectionSize(twipsToPixels(300));
    left->setHighlightSections(false);
    left->setSectionsClickable(false);

    if (auto *corner = findChild<QAbstractButton *>())
        corner->installEventFilter(this);
}

void ResultGrid::setResultModel(ResultModel *model) {
    m_model = model;
    setModel(model);
}

QString ResultGrid::textAt(int row, int col) const {
    if (!m_model)
        return {};
    if (row == 0 && col == 0)
        return ResultModel::yearHeading();
    if (row == 0)
        return m_model->headerData(col - 1, Qt::Horizontal).toString();
    if (col == 0)
        return m_model->headerData(row - 1, Qt::Vertical).toString();
    return m_model->index(row - 1, col - 1).data(Qt::DisplayRole).toString();
}

int ResultGrid::rows() const {
    return m_model ? m_model->rowCount() + 1 : 1;
}

int ResultGrid::cols() const {
    return m_model ? m_model->columnCount() + 1 : 1;
}

int ResultGrid::twipsToPixels(int twips) const {
    return Twips::toPixels(*this, twips);
}

int ResultGrid::pixelsToTwips(int pixels) const {
    return Twips::fromPixels(*this, pixels);
}

int ResultGrid::colWidth(int col) const {
    if (col == 0)
        return pixelsToTwips(verticalHeader()->width());
    return pixelsToTwips(columnWidth(col - 1));
}

void ResultGrid::setColWidth(int col, int twips) {
    if (col == 0)
        verticalHeader()->setFixedWidth(twipsToPixels(twips));
    else
        setColumnWidth(col - 1, twipsToPixels(twips));
}

int ResultGrid::rowHeight(int row) const {
    if (row == 0)
        return pixelsToTwips(horizontalHeader()->height());
    return pixelsToTwips(QTableView::rowHeight(row - 1));
}

void ResultGrid::setRowHeight(int row, int twips) {
    if (row == 0)
        horizontalHeader()->setFixedHeight(twipsToPixels(twips));
    else
        QTableView::setRowHeight(row - 1, twipsToPixels(twips));
}

QSize ResultGrid::fullTableSize() const {
    const QHeaderView *top = horizontalHeader();
    const QHeaderView *left = verticalHeader();
    const int frame = 2 * frameWidth();
    return {frame + left->width() + top->length(), frame + top->height() + left->length()};
}

bool ResultGrid::eventFilter(QObject *watched, QEvent *event) {
    auto *corner = qobject_cast<QAbstractButton *>(watched);
    if (corner && event->type() == QEvent::Paint) {
        // The corner heads the year column: "År".
        paintCornerHeading(corner, ResultModel::yearHeading(), Qt::AlignCenter);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}
