#include "paper/PaperSheetLayout.h"

#include "paper/PaperFileFormat.h"
#include "paper/QuestionTable.h"

static_assert(PaperSheetColumnCount == PaperColumnCount);

QList<double> PaperSheetColumnWidths()
{
    return {6, 6, 6, 30, 6, 13, 13, 13, 13, 13, 13};
}

SheetContent PaperToSheet(const QuestionTable &table)
{
    SheetContent sheet;
    sheet.columnWidths = PaperSheetColumnWidths();
    sheet.wrapText = true;
    sheet.cells = SheetGrid(table.RecordCount() + 1, PaperSheetColumnCount);
    for (int column = 1; column <= PaperSheetColumnCount; ++column) {
        sheet.cells.setCell(1, column,
                            SheetCell::fromText(QString(PaperColumns[column - 1].header)));
    }
    for (int index = 0; index < table.RecordCount(); ++index) {
        const QuestionRow &row = table.row(index);
        for (int column = 1; column <= PaperSheetColumnCount; ++column) {
            const QuestionField field = PaperColumns[column - 1].field;
            const QVariant value = row.value(field);
            sheet.cells.setCell(index + 2, column,
                                QuestionTableSchema()[std::size_t(field)].isInteger
                                    ? SheetCell::fromNumber(value.toDouble())
                                    : SheetCell::fromText(value.toString()));
        }
    }
    return sheet;
}
