// libpaperconv-workbooks.so: paperconv's workbook reading and writing, with the
// libraries they need, loaded only when a conversion reads or writes a workbook.
#include "app/PaperconvModules.h"
#include "paper/PaperFiles.h"

namespace {
Result<BuiltPaper> readWorkbook(const QString &path)
{
    return ReadPaper(path, PaperSource::Workbook);
}
} // namespace

extern "C" __attribute__((visibility("default"))) const WorkbookModule *paperconvWorkbookModule()
{
    static const WorkbookModule module{readWorkbook, WritePaper};
    return &module;
}
