#include "rownumberheader.h"

RowNumberHeader::RowNumberHeader(QWidget *parent) : QHeaderView(Qt::Vertical, parent) {
    // As the header a table makes for itself.
    setHighlightSections(true);
    setSectionsClickable(true);
}

QSize RowNumberHeader::sizeHint() const {
    if (count() == 0)
        return QHeaderView::sizeHint();
    // The numbers' digits are equally wide: the last has the most of them.
    QSize hint = sectionSizeFromContents(0).expandedTo(sectionSizeFromContents(count() - 1));
    return hint;
}
