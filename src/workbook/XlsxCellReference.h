#pragma once

#include <QStringView>

// Row and column numbers of the sheet grid, as cell references spell them: rows 1 to
// 1048576, columns A (1) to XFD (16384).
namespace XlsxCellReference {

inline constexpr int MaxRow = 1048576;
inline constexpr int MaxColumn = 16384;

// "AB12" -> row 12, column 28. False for anything that is not a reference inside the grid.
bool parse(QStringView reference, int &row, int &column);
// A row number attribute: "12" -> 12; false outside 1..MaxRow.
bool parseRow(QStringView text, int &row);

} // namespace XlsxCellReference
