#include "workbook/XlsxErrorReasons.h"

namespace XlsxErrorReasons {

namespace {
FileError reason(const QString &text)
{
    return FileError{text};
}
} // namespace

FileError notAWorkbook()
{
    return reason(QStringLiteral("The file is not an .xlsx workbook."));
}

FileError cannotOpen()
{
    return reason(QStringLiteral("The file cannot be opened."));
}

FileError incomplete()
{
    return reason(QStringLiteral("The workbook is damaged: the file is incomplete."));
}

FileError badContainer()
{
    return reason(QStringLiteral("The workbook is damaged: its zip directory is inconsistent."));
}

FileError encrypted()
{
    return reason(QStringLiteral("The workbook is encrypted and cannot be read."));
}

FileError tooManyEntries(qint64 limit)
{
    return reason(QStringLiteral("The workbook is too large to read: it holds more than %1 parts.")
                      .arg(limit));
}

FileError directoryTooLarge(quint64 announced, qint64 limit)
{
    return reason(QStringLiteral("The workbook is too large to read: its zip directory lists %1 "
                                 "parts, more than %2.")
                      .arg(announced)
                      .arg(limit));
}

FileError partTooLarge(const QString &part, qint64 limitBytes)
{
    return reason(QStringLiteral("The workbook is too large to read: %1 unpacks to more than %2 MiB.")
                      .arg(part)
                      .arg(limitBytes / (1024 * 1024)));
}

FileError tooManySharedStrings(qint64 limit)
{
    return reason(
        QStringLiteral("The workbook is too large to read: it holds more than %1 shared strings.")
            .arg(limit));
}

FileError missingPart(const QString &part)
{
    return reason(QStringLiteral("The workbook is damaged: %1 is missing.").arg(part));
}

FileError unreadablePart(const QString &part)
{
    return reason(QStringLiteral("The workbook is damaged: %1 cannot be unpacked.").arg(part));
}

FileError badChecksum(const QString &part)
{
    return reason(QStringLiteral("The workbook is damaged: %1 fails its checksum.").arg(part));
}

FileError unsupportedCompression(const QString &part)
{
    return reason(
        QStringLiteral("The workbook cannot be read: %1 uses an unsupported compression method.")
            .arg(part));
}

FileError notWellFormed(const QString &part, qint64 line)
{
    return reason(QStringLiteral("The workbook is damaged: %1 is not well-formed XML (line %2).")
                      .arg(part)
                      .arg(line));
}

FileError hasDocumentType(const QString &part)
{
    return reason(
        QStringLiteral("The workbook is damaged: %1 holds a document type declaration.").arg(part));
}

FileError tagTooLarge(const QString &part, qint64 limitBytes)
{
    return reason(
        QStringLiteral("The workbook is damaged: %1 holds a tag of more than %2 KiB.")
            .arg(part)
            .arg(limitBytes / 1024));
}

FileError tooManyAttributes(const QString &part, int limit)
{
    return reason(QStringLiteral("The workbook is damaged: %1 holds a tag of more than %2 attributes.")
                      .arg(part)
                      .arg(limit));
}

FileError nestedTooDeeply(const QString &part)
{
    return reason(QStringLiteral("The workbook is damaged: %1 nests its elements too deeply.")
                      .arg(part));
}

FileError notAWorksheet()
{
    return reason(QStringLiteral("The workbook's active sheet is not a worksheet."));
}

FileError damaged(const QString &detail)
{
    return reason(QStringLiteral("The workbook is damaged: %1").arg(detail));
}

FileError badCell(const QString &detail, int row, int column)
{
    return FileError::atRow(QStringLiteral("The workbook is damaged: %1").arg(detail), row, column);
}

} // namespace XlsxErrorReasons
