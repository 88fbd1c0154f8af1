#pragma once
// What the benchmarks share: a full paper and the peak memory of a run.
#include "PaperLimits.h"
#include "PaperRecipes.h"

#include <QFile>
#include <benchmark/benchmark.h>
#include <memory>
#include <sys/resource.h>

// Starts a fresh peak for this benchmark where Linux allows it (otherwise the peak of
// the whole process so far is reported).
inline void resetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

inline void reportPeakMemory(benchmark::State &state)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MiB"] = double(usage.ru_maxrss) / 1024.0; // ru_maxrss is KiB
}

inline QString text(int length, int seed)
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
inline std::unique_ptr<QuestionTable> fullPaper()
{
    BuiltPaper paper{std::make_unique<QuestionTable>(), {}};
    for (int k = 1; k <= MaxQuestions; ++k) {
        AppendQuestion(paper, std::int16_t(k % (MaxMark + 1)), 15, QStringLiteral("ACE"));
        paper.table->setField(QuestionField::Title, text(250, k));
        for (int i = 0; i < 6; ++i)
            paper.table->setField(OptionField(i), text(100, k + i));
        paper.table->Update();
    }
    return std::move(paper.table);
}

