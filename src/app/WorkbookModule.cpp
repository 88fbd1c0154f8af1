// libpaperconv-workbooks.so: paperconv's workbook reading and writing and the zipped
// platform formats (the QTI package read and written, the quiz-game sheet written), with the libraries they need, loaded only when a conversion reads or
// writes one of them.
#include "app/PaperconvModules.h"
#include "formats/KahootSheet.h"
#include "formats/Qti21.h"
#include "formats/Qti21Reader.h"
#include "paper/PaperFiles.h"

namespace {
Result<PlatformImport> readWorkbook(const QString &path)
{
    Result<SheetImport> imported = ImportWorkbook(path);
    if (!imported)
        return imported.error();
    return PlatformImport{std::move(imported->paper), {}, std::move(imported->report)};
}

PlatformExport writePackaged(PlatformFormat format, const QuestionTable &paper, const QString &paperName)
{
    if (format == PlatformFormat::Kahoot)
        return WriteKahootSheet(paper);
    return WriteQti21Package(paper, paperName);
}

class QtiBatch : public PaperBatchFile
{
public:
    QStringList add(const QuestionTable &paper, const QString &paperName) override
    {
        return package_.add(paper, paperName);
    }
    PlatformExport finish() override { return package_.finish(); }

private:
    Qti21Package package_;
};

std::unique_ptr<PaperBatchFile> startQtiPackage()
{
    return std::make_unique<QtiBatch>();
}
} // namespace

extern "C" __attribute__((visibility("default"))) const WorkbookModule *paperconvWorkbookModule()
{
    static const WorkbookModule module{readWorkbook, WritePaper, writePackaged, startQtiPackage, ReadQti21};
    return &module;
}
