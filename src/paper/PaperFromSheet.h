#pragma once

#include "core/ImportReport.h"
#include "core/Result.h"
#include "paper/PaperRecipes.h"
#include "workbook/SheetGrid.h"
#include "workbook/SheetReadLimits.h"

// What the import asks a reader for: the header row, up to 250 question rows and one
// more row, which tells a full paper from one question too many; eleven columns.
SheetReadLimits PaperSheetReadLimits();

// A paper taken from a sheet, with what the user is told about it.
struct SheetImport
{
    BuiltPaper paper;
    ImportReport report;
};

// The paper held by a worksheet laid out as the export writes it, or why the sheet was
// refused. The questions are the rows from row 2 down to the first row whose column 1
// or 2 is blank (an error value is not blank); there must be 1 to 250 of them. Questions
// are renumbered in row order; marks and time limits take the whole number at or below
// the cell's value (0 when there is no readable 16-bit number) and must lie within 0-250
// and 1-250; answers are read case-blind and made canonical; texts are taken untrimmed.
// The sheet is checked whole: a refusal lists every fault, in row order. The report says
// where the questions came from, where they end and why, what lies below them, and every
// value the rules changed.
Result<SheetImport> PaperFromSheet(const SheetGrid &sheet);
