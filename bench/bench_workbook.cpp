// Exporting a full paper to a workbook and importing it back, in both formats, with the
// peak resident memory of each run. The .xls import includes starting its helper process.
#include "PaperFromSheet.h"
#include "PaperLimits.h"
#include "PaperRecipes.h"
#include "PaperSheetLayout.h"
#include "WorkbookFile.h"

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

void reportPeakMemory(benchmark::State &state)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MiB"] = double(usage.ru_maxrss) / 1024.0; // ru_maxrss is KiB
}

QString text(int length, int seed)
{
    static const QString pieces[] = {
        QStringLiteral("Which, of \"these\" "), QStringLiteral("été ça "),
        QStringLiteral("中文题目 "), QStringLiteral("line\r\nbreak ")};
    QString result;
    while (result.size() < length)
        result += pieces[(seed + result.size()) % 4];
    return result.left(length);
}

// 250 questions, each with a 250-character title and six 100-character options: the
// most the editor's boxes hold.
const QuestionTable &fullPaper()
{
    static const std::unique_ptr<QuestionTable> table = [] {
        BuiltPaper paper{std::make_unique<QuestionTable>(), {}};
        for (int k = 1; k <= MaxQuestions; ++k) {
            AppendQuestion(paper, std::int16_t(k % (MaxMark + 1)), 15, QStringLiteral("ACE"));
            paper.table->setField(QuestionField::Title, text(250, k));
            for (int i = 0; i < 6; ++i)
                paper.table->setField(OptionField(i), text(100, k + i));
            paper.table->Update();
        }
        return std::move(paper.table);
    }();
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
        if (!WriteWorkbook(PaperToSheet(fullPaper()), path, reason))
            state.SkipWithError(qPrintable(reason));
    }
    reportPeakMemory(state);
}

void importPaper(benchmark::State &state, const char *extension)
{
    const QString path = workbookPath(extension);
    QString reason;
    if (!WriteWorkbook(PaperToSheet(fullPaper()), path, reason)) {
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
        if (std::get<BuiltPaper>(paper).table->rows() != fullPaper().rows()) {
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
