#include "grid.h"

MemoryGrid::MemoryGrid(int rows, int cols) {
    resize(rows, cols);
}

void MemoryGrid::setRows(int rows) {
    resize(rows, m_cols);
}

void MemoryGrid::setCols(int cols) {
    resize(m_rows, cols);
}

void MemoryGrid::resize(int rows, int cols) {
    QList<QString> cells(qsizetype(rows) * cols);
    for (int r = 0; r < qMin(rows, m_rows); ++r)
        for (int c = 0; c < qMin(cols, m_cols); ++c)
            cells[qsizetype(r) * cols + c] = m_cells[qsizetype(r) * m_cols + c];
    m_cells = std::move(cells);
    m_rows = rows;
    m_cols = cols;
}

QString MemoryGrid::text() const {
    return cell(m_row, m_col);
}

void MemoryGrid::setText(const QString &text) {
    if (m_row >= 0 && m_row < m_rows && m_col >= 0 && m_col < m_cols)
        m_cells[qsizetype(m_row) * m_cols + m_col] = text;
}

QString MemoryGrid::cell(int row, int col) const {
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        return {};
    return m_cells[qsizetype(row) * m_cols + col];
}
