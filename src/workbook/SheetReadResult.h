#pragma once

#include "workbook/SheetGrid.h"
#include "core/FileError.h"

#include <variant>

// How much of a sheet a reader is asked for: the top-left rows x columns. Readers stop
// as soon as they have it, so a huge or hostile sheet costs no more than this.
struct SheetReadLimits
{
    int rows = 0;
    int columns = 0;
};

// The first rows x columns of the workbook's active sheet, or why the file was refused.
// Nothing of a refused file is ever returned.
using SheetReadResult = std::variant<SheetGrid, FileError>;
