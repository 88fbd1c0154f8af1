#pragma once

#include "core/Result.h"
#include "workbook/SheetContent.h"
#include "workbook/SheetGrid.h"
#include "workbook/SheetReadLimits.h"

#include <QByteArrayView>
#include <QString>

enum class WorkbookFormat { None, Xls, Xlsx };

// The workbook format a file name asks for, by its extension (any letter case).
WorkbookFormat WorkbookFormatOfName(const QString &path);

// The workbook format a file's first bytes announce (a compound file's signature, a zip's
// local header), whatever its name; None for anything else.
WorkbookFormat WorkbookFormatOfContent(QByteArrayView firstBytes);

// Reads the active sheet of a workbook in either format, recognised by the file's first
// bytes rather than its name, so a renamed workbook still opens.
Result<SheetGrid> ReadWorkbookSheet(const QString &path, SheetReadLimits limits);

// Writes a one-sheet workbook in the format the name asks for; a name with neither
// extension gets .xls, the format offered first. Replaces the file completely or
// leaves it as it was.
Result<void> WriteWorkbook(const SheetContent &content, const QString &path);
