#pragma once

#include "workbook/WorkbookError.h"

#include <QString>

// The reasons the .xlsx reader gives when it refuses a file, in one place so that every
// step words the same fault the same way.
namespace XlsxErrorReasons {

WorkbookError notAWorkbook();
WorkbookError cannotOpen();
WorkbookError incomplete();
WorkbookError badContainer();
WorkbookError encrypted();
WorkbookError tooManyEntries(qint64 limit);
WorkbookError partTooLarge(const QString &part, qint64 limitBytes);
WorkbookError tooManySharedStrings(qint64 limit);
WorkbookError missingPart(const QString &part);
WorkbookError unreadablePart(const QString &part);
WorkbookError badChecksum(const QString &part);
WorkbookError unsupportedCompression(const QString &part);
WorkbookError notWellFormed(const QString &part, qint64 line);
WorkbookError hasDocumentType(const QString &part);
WorkbookError tagTooLarge(const QString &part, qint64 limitBytes);
WorkbookError nestedTooDeeply(const QString &part);
WorkbookError notAWorksheet();
WorkbookError damaged(const QString &detail);
// A fault of one cell: row and column are the cell's, 1-based.
WorkbookError badCell(const QString &detail, int row, int column);

} // namespace XlsxErrorReasons
