#include "workbook/XlsxErrorReasons.h"

namespace XlsxErrorReasons {

namespace {
WorkbookError reason(const QString &text)
{
    return WorkbookError{text, 0, 0};
}
} // namespace

WorkbookError notAWorkbook()
{
    return reason(QStringLiteral("The file is not an .xlsx workbook."));
}

WorkbookError cannotOpen()
{
    return reason(QStringLiteral("The file cannot be opened."));
}

WorkbookError incomplete()
{
    return reason(QStringLiteral("The workbook is damaged: the file is incomplete."));
}

WorkbookError badContainer()
{
    return reason(QStringLiteral("The workbook is damaged: its zip directory is inconsistent."));
}

WorkbookError encrypted()
{
    return reason(QStringLiteral("The workbook is encrypted and cannot be read."));
}

WorkbookError tooManyEntries(qint64 limit)
{
    return reason(QStringLiteral("The workbook is too large to read: it holds more than %1 parts.")
                      .arg(limit));
}

WorkbookError partTooLarge(const QString &part, qint64 limitBytes)
{
    return reason(QStringLiteral("The workbook is too large to read: %1 unpacks to more than %2 MiB.")
                      .arg(part)
                      .arg(limitBytes / (1024 * 1024)));
}

WorkbookError tooManySharedStrings(qint64 limit)
{
    return reason(
        QStringLiteral("The workbook is too large to read: it holds more than %1 shared strings.")
            .arg(limit));
}

WorkbookError missingPart(const QString &part)
{
    return reason(QStringLiteral("The workbook is damaged: %1 is missing.").arg(part));
}

WorkbookError unreadablePart(const QString &part)
{
    return reason(QStringLiteral("The workbook is damaged: %1 cannot be unpacked.").arg(part));
}

WorkbookError badChecksum(const QString &part)
{
    return reason(QStringLiteral("The workbook is damaged: %1 fails its checksum.").arg(part));
}

WorkbookError unsupportedCompression(const QString &part)
{
    return reason(
        QStringLiteral("The workbook cannot be read: %1 uses an unsupported compression method.")
            .arg(part));
}

WorkbookError notWellFormed(const QString &part, qint64 line)
{
    return reason(QStringLiteral("The workbook is damaged: %1 is not well-formed XML (line %2).")
                      .arg(part)
                      .arg(line));
}

WorkbookError hasDocumentType(const QString &part)
{
    return reason(
        QStringLiteral("The workbook is damaged: %1 holds a document type declaration.").arg(part));
}

WorkbookError tagTooLarge(const QString &part, qint64 limitBytes)
{
    return reason(
        QStringLiteral("The workbook is damaged: %1 holds a tag of more than %2 KiB.")
            .arg(part)
            .arg(limitBytes / 1024));
}

WorkbookError nestedTooDeeply(const QString &part)
{
    return reason(QStringLiteral("The workbook is damaged: %1 nests its elements too deeply.")
                      .arg(part));
}

WorkbookError notAWorksheet()
{
    return reason(QStringLiteral("The workbook's active sheet is not a worksheet."));
}

WorkbookError damaged(const QString &detail)
{
    return reason(QStringLiteral("The workbook is damaged: %1").arg(detail));
}

WorkbookError badCell(const QString &detail, int row, int column)
{
    return WorkbookError{QStringLiteral("The workbook is damaged: %1").arg(detail), row, column};
}

} // namespace XlsxErrorReasons
