// Exporting papers of 1, 50 and 250 questions to workbooks and importing them back, in
// both formats, each beside its floor: for .xlsx, deflating (or inflating) the same XML
// parts with zlib; for .xls, copying the same bytes. The .xls import includes starting
// its helper process.
#include "paper/PaperFiles.h"
#include "core/PaperLimits.h"
#include "paper/PaperRecipes.h"
#include "paper/PaperSheetLayout.h"
#include "workbook/WorkbookFile.h"
#include "workbook/XlsHelperProcess.h"

#include "BenchCases.h"
#include "BenchZip.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <map>
#include <zlib.h>

namespace {
QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

QString workbookPath(int questions, const char *extension)
{
    return workDir().filePath(QStringLiteral("paper-%1.").arg(questions)
                              + QLatin1StringView(extension));
}

// The paper of each size, built once.
const QuestionTable &paperTable(int questions)
{
    static std::map<int, std::unique_ptr<QuestionTable>> tables;
    auto &table = tables[questions];
    if (!table)
        table = paperOf(questions);
    return *table;
}

// The workbook of `questions` questions as the editor writes it, written once.
QString exportedWorkbook(int questions, const char *extension)
{
    const QString path = workbookPath(questions, extension);
    if (!QFile::exists(path) && !WriteWorkbook(PaperToSheet(paperTable(questions)), path))
        return {};
    return path;
}

// The parts of an .xlsx package, uncompressed.
std::vector<QByteArray> packageParts(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? zipParts(file.readAll()) : std::vector<QByteArray>();
}

QString exportRun(int questions, const char *extension)
{
    const QString path = workDir().filePath(QStringLiteral("export-%1.").arg(questions)
                                            + QLatin1StringView(extension));
    const Result<void> written = WriteWorkbook(PaperToSheet(paperTable(questions)), path);
    return written ? QString() : written.error().text();
}

QString importRun(const QString &path, int questions)
{
    const Result<BuiltPaper> paper = ReadPaper(path, PaperSource::Workbook);
    if (!paper)
        return paper.error().text();
    if (paper->table->RecordCount() != questions)
        return QStringLiteral("the imported paper differs from the exported one");
    return {};
}

// The floor of writing or reading an .xls: copying the same bytes once.
CaseRun copyFloor(int questions)
{
    QFile file(exportedWorkbook(questions, "xls"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return [bytes]() -> QString {
        QByteArray copy(bytes.size(), Qt::Uninitialized);
        std::memcpy(copy.data(), bytes.constData(), size_t(bytes.size()));
        benchmark::DoNotOptimize(copy.data());
        return {};
    };
}

void addCases(int questions)
{
    const std::string size = "/" + std::to_string(questions);
    for (const char *extension : {"xls", "xlsx"}) {
        const std::string ext = extension;
        addCase("Export_" + ext + size, [questions, extension]() -> CaseRun {
            return [questions, extension] { return exportRun(questions, extension); };
        })->Unit(benchmark::kMillisecond);
        addCase("Import_" + ext + size, [questions, extension]() -> CaseRun {
            const QString path = exportedWorkbook(questions, extension);
            if (path.isEmpty())
                return {};
            return [path, questions] { return importRun(path, questions); };
        })->Unit(benchmark::kMillisecond);
    }
    addCase("Export_xls" + size + "/floor", [questions] { return copyFloor(questions); })
        ->Unit(benchmark::kMillisecond);
    addCase("Import_xls" + size + "/floor", [questions] { return copyFloor(questions); })
        ->Unit(benchmark::kMillisecond);
    addCase("Export_xlsx" + size + "/floor", [questions]() -> CaseRun {
        const std::vector<QByteArray> parts = packageParts(exportedWorkbook(questions, "xlsx"));
        if (parts.empty())
            return {};
        return [parts]() -> QString {
            for (const QByteArray &part : parts) {
                if (deflated(part).isEmpty())
                    return QStringLiteral("deflate failed");
            }
            return {};
        };
    })->Unit(benchmark::kMillisecond);
    addCase("Import_xlsx" + size + "/floor", [questions]() -> CaseRun {
        std::vector<std::pair<QByteArray, qsizetype>> packed;
        for (const QByteArray &part : packageParts(exportedWorkbook(questions, "xlsx")))
            packed.emplace_back(deflated(part), part.size());
        if (packed.empty())
            return {};
        return [packed]() -> QString {
            for (const auto &[bytes, size] : packed) {
                QByteArray out(size, Qt::Uninitialized);
                uLongf got = uLongf(size);
                if (uncompress(reinterpret_cast<Bytef *>(out.data()), &got,
                               reinterpret_cast<const Bytef *>(bytes.constData()),
                               uLong(bytes.size())) != Z_OK)
                    return QStringLiteral("inflate failed");
            }
            return {};
        };
    })->Unit(benchmark::kMillisecond);
}

const bool registered = [] {
    for (const int questions : PaperSizes)
        addCases(questions);
    return true;
}();
} // namespace

int main(int argc, char **argv)
{
    // The .xls reader looks for its helper beside the program; this one lives elsewhere.
    SetXlsHelperProgramForTests(QStringLiteral(PAPERXLSREAD_PATH));
    QCoreApplication app(argc, argv);
    return runBenchCases(argc, argv);
}
