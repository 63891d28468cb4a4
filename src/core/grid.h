#pragma once

#include <QList>
#include <QString>

// The grid operations the program uses on its tables: a current cell chosen by row and column
// (the fixed header row 0 and column 0 included), and the text of that cell. The valuation
// engine writes its result rows through this interface alone, so it runs without any window.
class Grid {
public:
    virtual ~Grid() = default;

    virtual int rows() const = 0;
    virtual void setRows(int rows) = 0;
    virtual int cols() const = 0;
    virtual void setCols(int cols) = 0;

    virtual int row() const = 0;
    virtual void setRow(int row) = 0;
    virtual int col() const = 0;
    virtual void setCol(int col) = 0;

    virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;
};

// A grid held in memory, for the engine's tests and benchmarks.
class MemoryGrid : public Grid {
public:
    MemoryGrid(int rows = 0, int cols = 0);

    int rows() const override { return m_rows; }
    void setRows(int rows) override;
    int cols() const override { return m_cols; }
    void setCols(int cols) override;
    int row() const override { return m_row; }
    void setRow(int row) override { m_row = row; }
    int col() const override { return m_col; }
    void setCol(int col) override { m_col = col; }
    QString text() const override;
    void setText(const QString &text) override;

    QString cell(int row, int col) const;

private:
    void resize(int rows, int cols);

    int m_rows = 0, m_cols = 0, m_row = 0, m_col = 0;
    QList<QString> m_cells;
};
