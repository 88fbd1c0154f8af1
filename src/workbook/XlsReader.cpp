#include "workbook/XlsReader.h"

#include "workbook/XlsHelperProcess.h"

Result<SheetGrid> ReadXlsSheet(const QString &path, SheetReadLimits limits)
{
    return RunXlsHelper(XlsHelperProgram(), path, limits);
}
