#pragma once

#include "grid.h"

#include <QTableWidget>

// The program's grid on screen: a table of text cells whose row 0 and column 0 are fixed
// headers, with a current cell that the program or the user moves. Sizes and offsets are in
// twips (1440 to the inch, through the screen's logical DPI) as the windows are laid out in them.
// Every change of the current cell, by a click or by the program, raises enterCell().
class FlexGrid : public QTableWidget, public Grid {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget *parent = nullptr);

    int rows() const override { return m_rows; }
    void setRows(int rows) override;
    int cols() const override { return m_cols; }
    void setCols(int cols) override;

    int row() const override { return m_row; }
    void setRow(int row) override;
    int col() const override { return m_col; }
    void setCol(int col) override;

    QString text() const override;
    void setText(const QString &text) override;

    // Text of any cell, headers included, without moving the current cell.
    QString textAt(int row, int col) const;

    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    int rowHeight(int row) const;
    void setRowHeight(int row, int twips);

    // Alignment of the current cell.
    void setCellAlignment(Qt::Alignment alignment);
    Qt::Alignment cellAlignment() const;

    // Offset of the current cell inside the grid, in twips.
    int cellLeft() const;
    int cellTop() const;

    // Size and position of the grid inside its window, in twips.
    int gridWidth() const;
    int gridLeft() const;
    int gridTop() const;

    int twipsToPixels(int twips) const;
    int pixelsToTwips(int pixels) const;

signals:
    void enterCell();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void moveTo(int row, int col);
    void showCurrentCell();
    QTableWidgetItem *itemFor(int row, int col, bool create);
    const QTableWidgetItem *itemFor(int row, int col) const;
    QRect cellRect(int row, int col) const;

    int m_rows = 1, m_cols = 1, m_row = 0, m_col = 0;
    QString m_cornerText;
    Qt::Alignment m_cornerAlignment = Qt::AlignCenter;
    bool m_userMove = false;
};
