// Exporting a full paper to a workbook and importing it back, in both formats, with the
// peak resident memory of each run. The .xls import includes starting its helper process.
#include "PaperFromSheet.h"
#include "PaperLimits.h"
#include "PaperRecipes.h"
#include "PaperSheetLayout.h"
#include "WorkbookFile.h"

#include "BenchPaper.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {
QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// The one full paper every benchmark here exports.
const QuestionTable &fullPaperTable()
{
    static const std::unique_ptr<QuestionTable> table = fullPaper();
    return *table;
}

QString workbookPath(const char *extension)
{
    return workDir().filePath(QStringLiteral("full.") + QLatin1StringView(extension));
}

void exportPaper(benchmark::State &state, const char *extension)
{
    const QString path = workbookPath(extension);
    for (auto _ : state) {
        QString reason;
        if (!WriteWorkbook(PaperToSheet(fullPaperTable()), path, reason))
            state.SkipWithError(qPrintable(reason));
    }
    reportPeakMemory(state);
}

void importPaper(benchmark::State &state, const char *extension)
{
    const QString path = workbookPath(extension);
    QString reason;
    if (!WriteWorkbook(PaperToSheet(fullPaperTable()), path, reason)) {
        state.SkipWithError(qPrintable(reason));
        return;
    }
    for (auto _ : state) {
        SheetReadResult sheet = ReadWorkbookSheet(path, PaperSheetReadLimits());
        if (auto *error = std::get_if<WorkbookError>(&sheet)) {
            state.SkipWithError(qPrintable(error->text()));
            break;
        }
        PaperFromSheetResult paper = PaperFromSheet(std::get<SheetGrid>(sheet));
        if (auto *error = std::get_if<WorkbookError>(&paper)) {
            state.SkipWithError(qPrintable(error->text()));
            break;
        }
        if (std::get<BuiltPaper>(paper).table->rows() != fullPaperTable().rows()) {
            state.SkipWithError("the imported paper differs from the exported one");
            break;
        }
    }
    reportPeakMemory(state);
}

BENCHMARK_CAPTURE(exportPaper, xls, "xls")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(exportPaper, xlsx, "xlsx")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(importPaper, xls, "xls")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(importPaper, xlsx, "xlsx")->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    // The .xls reader looks for its helper beside the program; this one lives elsewhere.
    if (!qEnvironmentVariableIsSet("PAPEREDIT_XLS_HELPER"))
        qputenv("PAPEREDIT_XLS_HELPER", PAPERXLSREAD_PATH);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
