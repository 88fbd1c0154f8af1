#pragma once

#include "core/Result.h"
#include "workbook/SheetGrid.h"
#include "workbook/SheetReadLimits.h"

#include <QString>

// Reads a BIFF8 workbook (.xls): the active sheet, or the first when none is marked.
// The file is parsed in a helper process, so a file that crashes or hangs the parser
// is refused like any other bad file.
Result<SheetGrid> ReadXlsSheet(const QString &path, SheetReadLimits limits);
