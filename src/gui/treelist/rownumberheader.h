#pragma once

#include <QHeaderView>

// The row numbers beside a list of any length. Its width is the widest number's, the last;
// Qt's own header measures the first and the last hundred numbers every time the list changes,
// a noticeable share of opening a large list.
class RowNumberHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit RowNumberHeader(QWidget *parent);

    QSize sizeHint() const override;
};
