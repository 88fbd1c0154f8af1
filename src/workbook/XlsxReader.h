#pragma once

#include "workbook/SheetReadResult.h"

#include <QByteArray>
#include <QString>

// Reads an Office Open XML workbook (.xlsx): the active sheet, or the first when none is
// marked. Cached values only; formulas are never evaluated.
SheetReadResult ReadXlsxSheet(const QString &path, SheetReadLimits limits);

// The same for a workbook already in memory.
SheetReadResult ReadXlsxSheetFromBytes(const QByteArray &bytes, SheetReadLimits limits);
