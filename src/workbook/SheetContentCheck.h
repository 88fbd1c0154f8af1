#pragma once

#include "workbook/SheetContent.h"
#include "core/FileError.h"

#include <optional>

// How large a sheet a workbook format can hold.
struct SheetFormatLimits
{
    int rows;
    int columns;
};

constexpr SheetFormatLimits XlsSheetLimits{65536, 256};
constexpr SheetFormatLimits XlsxSheetLimits{1048576, 16384};

// The most characters (UTF-16 code units) one cell's text may hold in either format.
constexpr int MaxCellTextLength = 32767;
// The widest column either format stores, in characters of the standard font.
constexpr double MaxColumnWidth = 255;

// Why content cannot be written in a format with these limits, or nothing when it can:
// the sheet name, the column widths, the grid's size, the texts' lengths and the numbers
// are checked before a writer starts, so a refused workbook is refused as a whole.
std::optional<FileError> CheckSheetContent(const SheetContent &content,
                                               SheetFormatLimits limits);
