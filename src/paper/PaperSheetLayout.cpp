#include "paper/PaperSheetLayout.h"

#include "core/PaperColumns.h"
#include "paper/QuestionTable.h"

QList<double> PaperSheetColumnWidths()
{
    QList<double> widths;
    for (const PaperColumn &column : PaperColumns)
        widths << column.sheetWidth;
    return widths;
}

SheetContent PaperToSheet(const QuestionTable &table)
{
    SheetContent sheet;
    sheet.columnWidths = PaperSheetColumnWidths();
    sheet.wrapText = true;
    sheet.cells = SheetGrid(table.RecordCount() + 1, PaperColumnCount);
    for (int column = 1; column <= PaperColumnCount; ++column) {
        sheet.cells.setCell(1, column,
                            SheetCell::fromText(QString(PaperColumns[column - 1].header)));
    }
    for (int index = 0; index < table.RecordCount(); ++index) {
        const QuestionRow &row = table.row(index);
        for (int column = 1; column <= PaperColumnCount; ++column) {
            const PaperColumn &paperColumn = PaperColumns[column - 1];
            const QVariant value = row.value(paperColumn.field);
            sheet.cells.setCell(index + 2, column,
                                paperColumn.isInteger ? SheetCell::fromNumber(value.toDouble())
                                                      : SheetCell::fromText(value.toString()));
        }
    }
    return sheet;
}
