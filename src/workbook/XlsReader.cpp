#include "workbook/XlsReader.h"

#include "workbook/XlsHelperProcess.h"

SheetReadResult ReadXlsSheet(const QString &path, SheetReadLimits limits)
{
    return RunXlsHelper(XlsHelperProgram(), path, limits);
}
