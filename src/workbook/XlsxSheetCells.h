#pragma once

#include "core/Result.h"
#include "workbook/SheetGrid.h"
#include "workbook/SheetReadLimits.h"

#include <QList>

class XlsxPackage;

// A wanted cell of type s: its text is the shared string at `index`, looked up later.
struct XlsxSharedStringUse
{
    qint64 index = 0;
    int row = 0;
    int column = 0;
};

struct XlsxSheetCells
{
    SheetGrid grid;                           // every kind but shared strings filled in
    QList<XlsxSharedStringUse> sharedStrings; // wanted cells still waiting for their text
};

// Reads the wanted rows x columns of a worksheet part and stops after the last wanted
// row; cells outside the rectangle are skipped without being looked at. Only a
// formula's cached value is taken.
Result<XlsxSheetCells> ReadXlsxSheetCells(const XlsxPackage &package, const QString &partName,
                                          SheetReadLimits limits);
