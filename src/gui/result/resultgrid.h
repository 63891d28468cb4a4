#pragma once

#include <QTableView>

class ResultModel;

// The result grid on screen: the harvest years of a ResultModel under their wrapped headings,
// the years in a fixed column at the left with "År" in the corner. Sizes are given in twips
// (1440 to the inch at the screen's logical DPI), the unit the window's whole layout is given in.
class ResultGrid : public QTableView {
    Q_OBJECT
public:
    explicit ResultGrid(QWidget *parent = nullptr);

    void setResultModel(ResultModel *model);

    // Grid coordinates: row 0 holds the headings, column 0 the years, (0, 0) the corner.
    QString textAt(int row, int col) const;
    int rows() const;
    int cols() const;

    int colWidth(int col) const; // twips
    void setColWidth(int col, int twips);
    int rowHeight(int row) const; // twips
    void setRowHeight(int row, int twips);

    int twipsToPixels(int twips) const;
    int pixelsToTwips(int pixels) const;

    // The size that shows every cell without scrolling, in pixels.
    QSize fullTableSize() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ResultModel *m_model = nullptr;
};
