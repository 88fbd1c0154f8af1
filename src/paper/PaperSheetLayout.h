#pragma once

#include "workbook/SheetContent.h"

#include <QList>

class QuestionTable;

// The paper as a worksheet: row 1 holds the paper file's eleven column headers, row
// k + 1 question k. QuestionNo, Mark and Time Limit are numbers, the rest text.

// Widths of columns 1..11 in characters of the standard font.
QList<double> PaperSheetColumnWidths();

// The sheet of every row of table, in table order, wrap text on in all columns.
// Reads the rows without moving the table's cursor.
SheetContent PaperToSheet(const QuestionTable &table);
