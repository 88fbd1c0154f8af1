#include "workbook/WorkbookFile.h"

#include "workbook/XlsReader.h"
#include "workbook/XlsWriter.h"
#include "workbook/XlsxReader.h"
#include "workbook/XlsxWriter.h"

#include "core/RegularFileReading.h"

#include <QFile>
#include <QFileInfo>

Result<SheetGrid> ReadWorkbookSheet(const QString &path, SheetReadLimits limits)
{
    // Opened by the name's own bytes, and without waiting on a FIFO.
    QFile file;
    if (const Result<void> opened = OpenRegularFileForReading(file, path); !opened)
        return FileError{QStringLiteral("The file cannot be read: %1").arg(opened.error().text())};
    switch (WorkbookFormatOfContent(file.read(8))) {
    case WorkbookFormat::Xls:
        return ReadXlsSheet(path, limits);
    case WorkbookFormat::Xlsx:
        return ReadXlsxSheet(path, limits);
    case WorkbookFormat::None:
        break;
    }
    return FileError{QStringLiteral("The file is neither an .xls nor an .xlsx workbook.")};
}

Result<void> WriteWorkbook(const SheetContent &content, const QString &path)
{
    if (WorkbookFormatOfName(path) == WorkbookFormat::Xlsx)
        return WriteXlsxWorkbook(content, path);
    return WriteXlsWorkbook(content, path);
}
