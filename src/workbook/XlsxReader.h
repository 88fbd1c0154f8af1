#pragma once

#include "core/Result.h"
#include "workbook/SheetGrid.h"
#include "workbook/SheetReadLimits.h"

#include <QByteArray>
#include <QString>

// Reads an Office Open XML workbook (.xlsx): the active sheet, or the first when none is
// marked. Cached values only; formulas are never evaluated.
Result<SheetGrid> ReadXlsxSheet(const QString &path, SheetReadLimits limits);

// The same for a workbook already in memory.
Result<SheetGrid> ReadXlsxSheetFromBytes(const QByteArray &bytes, SheetReadLimits limits);
