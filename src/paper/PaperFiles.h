#pragma once

#include "core/Result.h"
#include "paper/PaperFromSheet.h"
#include "paper/PaperRecipes.h"

#include <QString>

class QuestionTable;

// Where ReadPaper takes a paper from.
enum class PaperSource {
    PaperFile, // a paper file, whatever its name: what the open command reads
    Workbook,  // the active sheet of an .xls or .xlsx workbook, told by its content
               // whatever its name, laid out as the export writes it: what the import reads
    ByName,    // a paper file for a .csv name, a workbook for an .xls or .xlsx name
};

// What a file's name asks for: PaperFile for .csv, Workbook for .xls and .xlsx (any
// letter case); any other name is refused as of an unknown type.
Result<PaperSource> PaperSourceOfName(const QString &path);

// The paper of a workbook's active sheet, told by the file's content whatever its name,
// with the import's report; a refusal lists every fault of the sheet.
Result<SheetImport> ImportWorkbook(const QString &path);

// The paper in the file at path, read from the given source; nothing of a refused file.
Result<BuiltPaper> ReadPaper(const QString &path, PaperSource source);

// Writes the table to path in the format its name asks for: a paper file for .csv, a
// workbook of the paper's sheet for .xls or .xlsx; any other name is refused.
Result<void> WritePaper(const QuestionTable &table, const QString &path);
