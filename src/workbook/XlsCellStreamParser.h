#pragma once

#include "core/Result.h"
#include "workbook/SheetGrid.h"
#include "workbook/SheetReadLimits.h"

#include <QByteArray>

// Checks the whole cell stream of the .xls helper (XlsCellStream.h) before anything of it
// is used: a stream that is cut short, has bytes after its end, a cell outside the limits
// or out of order, text that is not UTF-8, a number that is not finite, or a count that
// does not match is refused as a whole. The result is the grid, or what was wrong.
Result<SheetGrid> ParseXlsCellStream(const QByteArray &bytes, SheetReadLimits limits);
