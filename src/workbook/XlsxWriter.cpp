#include "workbook/XlsxWriter.h"

#include "core/AtomicFileWriter.h"
#include "workbook/SheetContentCheck.h"
#include "workbook/XlsxTextEscape.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <cerrno>
#include <cstring>

namespace {
// libxlsxwriter frees its workbook only in workbook_close, which also writes the file;
// on a failed export that file lands in the private folder that is about to be removed.
class OpenWorkbook
{
public:
    OpenWorkbook(const QByteArray &file, const QByteArray &tmpdir) : tmpdir_(tmpdir)
    {
        lxw_workbook_options options{};
        options.tmpdir = tmpdir_.data();
        workbook_ = workbook_new_opt(file.constData(), &options);
    }
    ~OpenWorkbook()
    {
        if (workbook_)
            workbook_close(workbook_);
    }
    lxw_workbook *get() const { return workbook_; }
    lxw_error close()
    {
        lxw_workbook *workbook = workbook_;
        workbook_ = nullptr;
        return workbook_close(workbook);
    }

private:
    QByteArray tmpdir_;
    lxw_workbook *workbook_ = nullptr;
};

QString libraryError(lxw_error error)
{
    return QString::fromUtf8(lxw_strerror(error));
}

Result<void> writeCell(lxw_worksheet *sheet, const SheetCell &cell, int row, int column,
                       lxw_format *format)
{
    lxw_error error = LXW_NO_ERROR;
    if (cell.kind == SheetCell::Kind::Number) {
        error = worksheet_write_number(sheet, lxw_row_t(row - 1), lxw_col_t(column - 1),
                                       cell.number, format);
    } else if (cell.kind == SheetCell::Kind::Text) {
        const QByteArray utf8 = XlsxCellTextUtf8(cell.text);
        error = worksheet_write_string(sheet, lxw_row_t(row - 1), lxw_col_t(column - 1),
                                       utf8.constData(), format);
    }
    if (error != LXW_NO_ERROR)
        return FileError::atRow(QStringLiteral("the cell could not be written: %1")
                                    .arg(libraryError(error)),
                                row, column);
    return {};
}

// Why the library could not write the workbook's files in folder. The library says only
// "Zip generic error ZIP_ERRNO" for a failed write; the system's reason is still in errno
// when the library returns, and is the one that tells the user what to do.
FileError closeFailure(lxw_error error, int systemError, const QString &folder)
{
    const bool fileError = error == LXW_ERROR_ZIP_FILE_OPERATION
                           || error == LXW_ERROR_CREATING_TMPFILE
                           || error == LXW_ERROR_CREATING_XLSX_FILE
                           || error == LXW_ERROR_ZIP_FILE_ADD;
    const QString reason = fileError && systemError != 0
                               ? QString::fromLocal8Bit(std::strerror(systemError))
                               : libraryError(error);
    return FileError(QStringLiteral("the workbook's temporary files could not be written in %1: %2")
                         .arg(QDir::toNativeSeparators(folder), reason));
}

// Builds the workbook at file; the library keeps its own temporary data in tmpdir, a
// private folder made in base.
Result<void> buildWorkbook(const SheetContent &content, const QString &file,
                           const QString &tmpdir, const QString &base)
{
    OpenWorkbook workbook(QFile::encodeName(file), QFile::encodeName(tmpdir));
    if (!workbook.get())
        return FileError(QStringLiteral("the workbook could not be created"));

    const QByteArray sheetName = content.sheetName.toUtf8();
    const lxw_error nameError = workbook_validate_sheet_name(workbook.get(), sheetName.constData());
    if (nameError != LXW_NO_ERROR)
        return FileError(QStringLiteral("the sheet name \"%1\" cannot be used: %2")
                             .arg(content.sheetName, libraryError(nameError)));
    lxw_worksheet *sheet = workbook_add_worksheet(workbook.get(), sheetName.constData());
    if (!sheet)
        return FileError(QStringLiteral("the sheet could not be added"));

    lxw_format *wrap = nullptr;
    if (content.wrapText) {
        wrap = workbook_add_format(workbook.get());
        if (!wrap)
            return FileError(QStringLiteral("the wrap-text format could not be added"));
        format_set_text_wrap(wrap);
    }

    const int widthCount = int(content.columnWidths.size());
    for (int c = 0; c < widthCount; ++c) {
        const lxw_error error = worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c),
                                                     content.columnWidths[c], wrap);
        if (error != LXW_NO_ERROR)
            return FileError::atRow(QStringLiteral("the column width could not be set: %1")
                                        .arg(libraryError(error)),
                                    0, c + 1);
    }

    // A cell's own format wins over its column's, so cells under a wrapping column carry
    // the wrap format themselves.
    const SheetGrid &cells = content.cells;
    for (int r = 1; r <= cells.rowCount(); ++r) {
        for (int c = 1; c <= cells.columnCount(); ++c) {
            lxw_format *format = c <= widthCount ? wrap : nullptr;
            if (Result<void> written = writeCell(sheet, cells.cell(r, c), r, c, format); !written)
                return written;
        }
    }

    errno = 0;
    const lxw_error closeError = workbook.close();
    const int systemError = errno;
    if (closeError != LXW_NO_ERROR)
        return closeFailure(closeError, systemError, base);
    return {};
}

// The folders for libxlsxwriter's scratch files, best first: a folder in memory (the
// user's runtime folder, else /dev/shm) makes and drops its dozen small files at a
// fraction of a disk's cost, which a batch of a thousand workbooks notices; the system's
// temporary folder when there is none, or when it is full.
QStringList scratchFolders()
{
    QStringList folders;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        folders << runtime;
    folders << QStringLiteral("/dev/shm") << QDir::tempPath();
    return folders;
}

// The workbook's bytes, built in a private folder under base (removed again after).
Result<QByteArray> buildInFolder(const SheetContent &content, const QString &base)
{
    QTemporaryDir scratch(QDir(base).filePath(QStringLiteral("paperedit-XXXXXX")));
    if (!scratch.isValid())
        return FileError(QStringLiteral("no temporary folder for the workbook in %1: %2")
                             .arg(QDir::toNativeSeparators(base), scratch.errorString()));
    const QString built = scratch.filePath(QStringLiteral("workbook.xlsx"));
    if (Result<void> written = buildWorkbook(content, built, scratch.path(), base); !written)
        return written.error();

    QFile file(built);
    if (!file.open(QIODevice::ReadOnly))
        return FileError(QStringLiteral("the built workbook could not be read: %1")
                             .arg(file.errorString()));
    QByteArray bytes = file.readAll();
    if (bytes.size() != file.size())
        return FileError(QStringLiteral("the built workbook could not be read: %1")
                             .arg(file.errorString()));
    return bytes;
}
} // namespace

Result<QByteArray> XlsxWorkbookBytes(const SheetContent &content)
{
    if (std::optional<FileError> error = CheckSheetContent(content, XlsxSheetLimits))
        return *error;

    // libxlsxwriter writes to a file name, never to memory: build the workbook in a
    // private folder and take its bytes. A folder that fails (full, or not writable) is
    // followed by the next; the last one's reason is the one given.
    Result<QByteArray> bytes = FileError(QStringLiteral("no temporary folder for the workbook"));
    for (const QString &base : scratchFolders()) {
        if (!QFileInfo(base).isDir())
            continue;
        bytes = buildInFolder(content, base);
        if (bytes)
            break;
    }
    return bytes;
}

Result<void> WriteXlsxWorkbook(const SheetContent &content, const QString &path)
{
    // The target is only ever replaced by a complete file.
    const Result<QByteArray> bytes = XlsxWorkbookBytes(content);
    if (!bytes)
        return bytes.error();
    return WriteFileAtomically(path, *bytes);
}
