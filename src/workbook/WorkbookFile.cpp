#include "workbook/WorkbookFile.h"

#include "workbook/XlsReader.h"
#include "workbook/XlsWriter.h"
#include "workbook/XlsxReader.h"
#include "workbook/XlsxWriter.h"

#include <QFile>
#include <QFileInfo>

namespace {
// A zip archive's local header, and a compound file's signature.
constexpr char ZipSignature[] = "PK\x03\x04";
constexpr char CompoundFileSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

WorkbookFormat formatOfContent(const QByteArray &start)
{
    if (start.startsWith(QByteArrayView(CompoundFileSignature, 8)))
        return WorkbookFormat::Xls;
    if (start.startsWith(QByteArrayView(ZipSignature, 4)))
        return WorkbookFormat::Xlsx;
    return WorkbookFormat::None;
}
} // namespace

Result<SheetGrid> ReadWorkbookSheet(const QString &path, SheetReadLimits limits)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileError{QStringLiteral("The file cannot be read: %1").arg(file.errorString())};
    switch (formatOfContent(file.read(8))) {
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
