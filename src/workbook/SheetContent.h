#pragma once

#include "workbook/SheetGrid.h"

#include <QList>
#include <QString>

// What a writer puts into a new workbook of one sheet.
struct SheetContent
{
    QString sheetName = QStringLiteral("Sheet1");
    // Column i + 1's width, in characters of the workbook's standard font.
    QList<double> columnWidths;
    // Wrap text on for every column that has a width.
    bool wrapText = false;
    // Number and Text cells are written; other kinds are left empty.
    SheetGrid cells;
};
