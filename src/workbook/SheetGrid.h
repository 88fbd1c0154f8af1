#pragma once

#include "workbook/SheetCell.h"

#include <QList>
#include <QString>

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

    // The sheet's name in its workbook, as a reader found it; empty when not known.
    // It says where the cells came from, so two grids are equal by their cells alone.
    QString name;

    bool operator==(const SheetGrid &other) const
    {
        return m_rows == other.m_rows && m_columns == other.m_columns && m_cells == other.m_cells;
    }

private:
    int m_rows = 0;
    int m_columns = 0;
    QList<SheetCell> m_cells; // row-major
};
