#pragma once

#include "editor/CommandContext.h"
#include "editor/PlatformExportCommand.h"
#include "editor/PlatformImportCommand.h"
#include "editor/SaveChangesGuard.h"

#include <QStringList>

class CommonDialog;
class PrintCommands;
struct BuiltPaper;

// The window's file commands: new paper, open, save, import and export. Each asks
// through the window's one file dialog, tells the user why when it fails, and leaves
// the open paper exactly as it was unless it completes.
class FileCommands
{
public:
    FileCommands(CommandContext context, CommonDialog &dialog, SaveChangesGuard &guard,
                 PrintCommands &print, const QString &programFolder);

    void newPaper();
    void openPaper();
    void savePaper();
    void importPaper();
    void exportPaper();

    // Reads a paper file and makes it the open paper; false (after telling the user
    // why) when it cannot. Leaves the path and the caption to the caller.
    bool readCsvFile(const QString &path);
    // Writes the open paper to a new workbook without changing it.
    void doExport(const QString &path);
    // Replaces the open paper with a workbook's questions; true when it did.
    // announce: say "Import succeed" when it did.
    bool doImport(const QString &path, bool announce);

    // IMPORT's workbook filter: "Excel File (*.xls *.xlsx)".
    static QStringList workbookFilters();
    // "Excel File (*.xls)", "Excel Workbook (*.xlsx)", then "PDF document (*.pdf)", then the learning platforms' formats.
    static QStringList exportFilters();

private:
    bool writeCsvFile(const QString &path);
    // True when nothing is at the path, or the user agrees to overwrite what is.
    bool mayOverwrite(const QString &path);
    // "Invalid format", with every fault of the refusal under it.
    void showInvalidFormat(const FileError &refusal);
    // "Import succeed", with what the import read and changed under it.
    void showImportSucceeded(const ImportReport &report);
    // Makes a complete paper the open one, on its first question.
    void showPaper(BuiltPaper paper);
    // showPaper for a paper that has no file yet.
    void handOver(BuiltPaper paper);

    CommandContext context_;
    CommonDialog &dialog_;
    SaveChangesGuard &guard_;
    PrintCommands &print_;
    PlatformExportCommand platformExport_;
    PlatformImportCommand platformImport_;
    QString programFolder_;
};
