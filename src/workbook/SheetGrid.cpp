#include "workbook/SheetGrid.h"

namespace {
const SheetCell EmptyCell;
}

SheetGrid::SheetGrid(int rowCount, int columnCount)
    : m_rows(qMax(rowCount, 0)), m_columns(qMax(columnCount, 0))
{
    m_cells.resize(qsizetype(m_rows) * m_columns);
}

const SheetCell &SheetGrid::cell(int row, int column) const
{
    if (row < 1 || row > m_rows || column < 1 || column > m_columns)
        return EmptyCell;
    return m_cells[qsizetype(row - 1) * m_columns + (column - 1)];
}

void SheetGrid::setCell(int row, int column, SheetCell cell)
{
    if (row < 1 || row > m_rows || column < 1 || column > m_columns)
        return;
    m_cells[qsizetype(row - 1) * m_columns + (column - 1)] = std::move(cell);
}
