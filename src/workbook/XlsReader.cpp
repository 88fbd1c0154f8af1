#include "XlsReader.h"

#include "XlsHelperProcess.h"

SheetReadResult ReadXlsSheet(const QString &path, SheetReadLimits limits)
{
    return RunXlsHelper(XlsHelperProgram(), path, limits);
}
