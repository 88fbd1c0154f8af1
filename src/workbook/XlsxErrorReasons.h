#pragma once

#include "core/FileError.h"

#include <QString>

// The reasons the .xlsx reader gives when it refuses a file, in one place so that every
// step words the same fault the same way.
namespace XlsxErrorReasons {

FileError notAWorkbook();
FileError cannotOpen();
FileError incomplete();
FileError badContainer();
FileError encrypted();
FileError tooManyEntries(qint64 limit);
// The zip directory's end record announces more entries than a workbook may have.
FileError directoryTooLarge(quint64 announced, qint64 limit);
FileError partTooLarge(const QString &part, qint64 limitBytes);
FileError tooManySharedStrings(qint64 limit);
FileError missingPart(const QString &part);
FileError unreadablePart(const QString &part);
FileError badChecksum(const QString &part);
FileError unsupportedCompression(const QString &part);
FileError notWellFormed(const QString &part, qint64 line);
FileError hasDocumentType(const QString &part);
FileError tagTooLarge(const QString &part, qint64 limitBytes);
FileError tooManyAttributes(const QString &part, int limit);
FileError nestedTooDeeply(const QString &part);
FileError notAWorksheet();
FileError damaged(const QString &detail);
// A fault of one cell: row and column are the cell's, 1-based.
FileError badCell(const QString &detail, int row, int column);

} // namespace XlsxErrorReasons
