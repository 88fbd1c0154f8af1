#pragma once

#include "core/Result.h"
#include "formats/PlatformExport.h"
#include "formats/PlatformFormat.h"
#include "formats/PlatformImport.h"
#include "paper/PaperRecipes.h"

#include <QString>
#include <memory>

class QCoreApplication;
class QuestionTable;
struct PrintOptions;

// The parts of paperconv whose libraries are loaded only when a conversion needs them,
// so that a start, and a conversion between paper files and text formats, costs no
// more than Qt Core: the workbooks (libzip, libxlsxwriter) and printing (Qt Gui). Each
// is a module beside the program, loaded on first use and kept for the process's life.

// Many papers written into one file, a category or test for each, added in turn.
class PaperBatchFile
{
public:
    virtual ~PaperBatchFile() = default;
    // Returns what the format could not carry of the paper.
    virtual QStringList add(const QuestionTable &paper, const QString &paperName) = 0;
    // The file's bytes, or why it could not be made (in failure).
    virtual PlatformExport finish() = 0;
};

// libpaperconv-workbooks.so: the workbooks and the zipped platform formats.
struct WorkbookModule
{
    // A workbook's paper, with the import's report.
    Result<PlatformImport> (*readWorkbook)(const QString &path);
    // .xls or .xlsx as the name asks.
    Result<void> (*writeWorkbook)(const QuestionTable &paper, const QString &path);
    // The QTI 2.1 package or the Kahoot! spreadsheet.
    PlatformExport (*writePackaged)(PlatformFormat format, const QuestionTable &paper,
                                    const QString &paperName);
    std::unique_ptr<PaperBatchFile> (*startQtiPackage)();
    // A QTI 2.1 package (or a single item) read into a paper.
    Result<PlatformImport> (*readQti21)(QByteArrayView bytes, const ImportDefaults &defaults);
};

// libpaperconv-print.so
struct PrintModule
{
    // The application object printing needs (fonts, offscreen), in place of Qt Core's.
    std::unique_ptr<QCoreApplication> (*startApplication)(int &argc, char **argv);
    Result<void> (*writePdf)(const QuestionTable &paper, const QString &paperName,
                             const PrintOptions &options, const QString &path);
};

// The module, or nullptr and why it could not be loaded. Call from the main thread
// before any work runs in parallel.
const WorkbookModule *LoadWorkbookModule(QString &problem);
const PrintModule *LoadPrintModule(QString &problem);

// What each module exports, by name.
extern "C" const WorkbookModule *paperconvWorkbookModule();
extern "C" const PrintModule *paperconvPrintModule();
