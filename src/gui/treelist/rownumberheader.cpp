#include "gui/treelist/rownumberheader.h"

#include <QAbstractProxyModel>

RowNumberHeader::RowNumberHeader(QWidget *parent) : QHeaderView(Qt::Vertical, parent) {
    // As the header a table makes for itself.
    setHighlightSections(true);
    setSectionsClickable(true);
}

QSize RowNumberHeader::sizeHint() const {
    if (count() == 0)
        return QHeaderView::sizeHint();
    // The numbers' digits are equally wide, so the widest number is the list's last tree's,
    // wherever a sort has put it.
    int last = count() - 1;
    if (const auto *sorted = qobject_cast<const QAbstractProxyModel *>(model()))
        if (const QAbstractItemModel *list = sorted->sourceModel();
            list && list->rowCount() == count() && list->columnCount() > 0)
            last = sorted->mapFromSource(list->index(count() - 1, 0)).row();
    if (last < 0)
        return QHeaderView::sizeHint();
    return sectionSizeFromContents(0).expandedTo(sectionSizeFromContents(last));
}
