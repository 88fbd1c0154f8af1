// Reading and writing a full paper, and refusing huge files that are not papers, with
// the peak resident memory of each run.
#include "PaperFileFormat.h"
#include "PaperFileReader.h"
#include "PaperFileWriter.h"
#include "PaperLimits.h"
#include "PaperRecipes.h"

#include "BenchPaper.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {
QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// A file of the given size whose first bytes are `start`; the rest is a hole that reads
// as NUL bytes and takes no disk space.
QString sparseFile(const char *name, const QByteArray &start, qint64 size)
{
    const QString path = workDir().filePath(QLatin1StringView(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(start) != start.size() || !file.resize(size))
        return {};
    return path;
}

// Reads the file over and over; each read must be refused for the expected reason.
void refuse(benchmark::State &state, const QString &path, const QString &reason)
{
    if (path.isEmpty()) {
        state.SkipWithError("could not create the file");
        return;
    }
    resetPeakMemory();
    for (auto _ : state) {
        PaperReadResult result = ReadPaperFile(path);
        const auto *error = std::get_if<PaperFileError>(&result);
        if (!error || !error->reason.contains(reason)) {
            state.SkipWithError("the file was not refused for the expected reason");
            return;
        }
        benchmark::DoNotOptimize(result);
    }
    reportPeakMemory(state);
}

void BM_RefuseSparseGigabyte(benchmark::State &state)
{
    static const QString path = sparseFile("gigabyte.csv", QByteArray(), qint64(1) << 30);
    refuse(state, path, QStringLiteral("NUL bytes"));
}

void BM_RefuseGigabyteOfQuestions(benchmark::State &state)
{
    static const QString path = [] {
        QByteArray start = QByteArray(PaperHeaderLine) + PaperLineEnd;
        // Long enough that the 251st question comes before the first NUL-holding chunk.
        const QByteArray title(500, 't');
        for (int k = 1; k <= 600; ++k)
            start += QByteArray::number(k) + ",10,A," + title + ",15,a,b,c,d,e,f\r\n";
        return sparseFile("questions.csv", start, qint64(1) << 30);
    }();
    refuse(state, path, QStringLiteral("more than 250 questions"));
}

void BM_RefuseHundredMegabyteLine(benchmark::State &state)
{
    static const QString path =
        sparseFile("one-line.csv", QByteArray(2 * MaxPaperLineBytes, 'x'), qint64(100) << 20);
    refuse(state, path, QStringLiteral("the line is longer"));
}

void BM_ReadFullPaper(benchmark::State &state)
{
    static const QString path = [] {
        const QString file = workDir().filePath(QStringLiteral("full.csv"));
        QString reason;
        return WritePaperFile(*fullPaper(), file, reason) ? file : QString();
    }();
    if (path.isEmpty()) {
        state.SkipWithError("could not write the paper");
        return;
    }
    resetPeakMemory();
    for (auto _ : state) {
        PaperReadResult result = ReadPaperFile(path);
        if (!std::holds_alternative<BuiltPaper>(result)) {
            state.SkipWithError("the paper was refused");
            return;
        }
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
    reportPeakMemory(state);
}

void BM_WriteFullPaper(benchmark::State &state)
{
    const auto table = fullPaper();
    const QString path = workDir().filePath(QStringLiteral("written.csv"));
    resetPeakMemory();
    for (auto _ : state) {
        QString reason;
        if (!WritePaperFile(*table, path, reason)) {
            state.SkipWithError(qPrintable(reason));
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
    reportPeakMemory(state);
}
} // namespace

BENCHMARK(BM_RefuseSparseGigabyte)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RefuseGigabyteOfQuestions)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RefuseHundredMegabyteLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadFullPaper)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteFullPaper)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
