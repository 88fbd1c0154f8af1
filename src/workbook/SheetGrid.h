#pragma once

#include "workbook/SheetCell.h"

#include <QList>

// A rectangle of cells from the top-left corner of a worksheet: rows and columns are
// numbered from 1 as in the sheet. Cells never set, and cells outside the rectangle,
// read as empty.
class SheetGrid
{
public:
    SheetGrid() = default;
    SheetGrid(int rowCount, int columnCount);

    int rowCount() const { return m_rows; }
    int columnCount() const { return m_columns; }

    const SheetCell &cell(int row, int column) const;
    // Ignored outside the rectangle, so a reader can pass on what it finds there.
    void setCell(int row, int column, SheetCell cell);

    bool operator==(const SheetGrid &) const = default;

private:
    int m_rows = 0;
    int m_columns = 0;
    QList<SheetCell> m_cells; // row-major
};
