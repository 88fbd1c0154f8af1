#include "paper/PaperFiles.h"

#include "paper/PaperFileReader.h"
#include "paper/PaperFileWriter.h"
#include "paper/PaperFromSheet.h"
#include "paper/PaperSheetLayout.h"
#include "workbook/WorkbookFile.h"

Result<SheetImport> ImportWorkbook(const QString &path)
{
    const Result<SheetGrid> sheet = ReadWorkbookSheet(path, PaperSheetReadLimits());
    if (!sheet)
        return sheet.error();
    return PaperFromSheet(*sheet);
}

Result<BuiltPaper> ReadPaper(const QString &path, PaperSource source)
{
    switch (source) {
    case PaperSource::PaperFile:
        return ReadPaperFile(path);
    case PaperSource::Workbook: {
        Result<SheetImport> imported = ImportWorkbook(path);
        if (!imported)
            return imported.error();
        return std::move(imported->paper);
    }
    case PaperSource::ByName:
        break;
    }
    const Result<PaperSource> named = PaperSourceOfName(path);
    if (!named)
        return named.error();
    return ReadPaper(path, *named);
}

Result<void> WritePaper(const QuestionTable &table, const QString &path)
{
    const Result<PaperSource> named = PaperSourceOfName(path);
    if (!named)
        return named.error();
    if (*named == PaperSource::PaperFile)
        return WritePaperFile(table, path);
    return WriteWorkbook(PaperToSheet(table), path);
}
