#include "workbook/SheetContentCheck.h"

#include <cmath>

namespace {
constexpr int MaxSheetNameLength = 31;

std::optional<FileError> checkSheetName(const QString &name)
{
    if (name.isEmpty())
        return FileError{QStringLiteral("the sheet name is empty")};
    if (name.size() > MaxSheetNameLength)
        return FileError{QStringLiteral("the sheet name \"%1\" is longer than %2 characters")
                             .arg(name)
                             .arg(MaxSheetNameLength)};
    for (QChar c : QStringLiteral("[]:*?/\\")) {
        if (name.contains(c))
            return FileError{
                QStringLiteral("the sheet name \"%1\" holds the character %2").arg(name, c)};
    }
    if (name.startsWith(u'\'') || name.endsWith(u'\''))
        return FileError{
            QStringLiteral("the sheet name \"%1\" starts or ends with an apostrophe").arg(name)};
    return std::nullopt;
}

std::optional<FileError> checkCell(const SheetCell &cell, int row, int column)
{
    if (cell.kind == SheetCell::Kind::Text && cell.text.size() > MaxCellTextLength)
        return FileError::atRow(
            QStringLiteral("the text has %1 characters; a cell holds at most %2")
                .arg(cell.text.size())
                .arg(MaxCellTextLength),
            row, column);
    if (cell.kind == SheetCell::Kind::Number && !std::isfinite(cell.number))
        return FileError::atRow(QStringLiteral("the number is not finite"), row, column);
    return std::nullopt;
}
} // namespace

std::optional<FileError> CheckSheetContent(const SheetContent &content,
                                           SheetFormatLimits limits)
{
    if (auto error = checkSheetName(content.sheetName))
        return error;
    if (content.columnWidths.size() > limits.columns)
        return FileError{QStringLiteral("%1 column widths are more than the sheet's %2 columns")
                             .arg(content.columnWidths.size())
                             .arg(limits.columns)};
    for (int c = 0; c < content.columnWidths.size(); ++c) {
        const double width = content.columnWidths[c];
        if (!(width >= 0 && width <= MaxColumnWidth)) // also refuses NaN
            return FileError::atRow(QStringLiteral("the column width %1 is outside 0-%2")
                                        .arg(width)
                                        .arg(MaxColumnWidth),
                                    0, c + 1);
    }
    const SheetGrid &cells = content.cells;
    if (cells.rowCount() > limits.rows || cells.columnCount() > limits.columns)
        return FileError{QStringLiteral("%1 rows and %2 columns do not fit a sheet of %3 rows "
                                        "and %4 columns")
                             .arg(cells.rowCount())
                             .arg(cells.columnCount())
                             .arg(limits.rows)
                             .arg(limits.columns)};
    for (int r = 1; r <= cells.rowCount(); ++r) {
        for (int c = 1; c <= cells.columnCount(); ++c) {
            if (auto error = checkCell(cells.cell(r, c), r, c))
                return error;
        }
    }
    return std::nullopt;
}
