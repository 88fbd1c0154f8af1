#pragma once
// What the benchmarks share: a full paper and the peak memory of a run.
#include "core/PaperLimits.h"
#include "paper/PaperRecipes.h"

#include <QFile>
#include <benchmark/benchmark.h>
#include <memory>
#include <sys/resource.h>

// A line of /proc/self/status in KiB ("VmRSS", "VmHWM"); -1 where there is none.
inline double statusKiB(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toDouble();
    }
    return -1;
}

// The resident memory when the measured work began.
inline double &baselineKiB()
{
    static double kib = 0;
    return kib;
}

// Starts a fresh peak for this benchmark where Linux allows it (otherwise the peak of
// the whole process so far is reported), and notes what is resident before the work.
inline void resetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
    baselineKiB() = statusKiB("VmRSS");
}

// The peak resident memory, and how much of it the measured work added.
inline void reportPeakMemory(benchmark::State &state)
{
    double peak = statusKiB("VmHWM");
    if (peak < 0) {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        peak = double(usage.ru_maxrss); // KiB
    }
    state.counters["peak_rss_MiB"] = peak / 1024.0;
    if (baselineKiB() > 0)
        state.counters["extra_MiB"] = qMax(0.0, peak - baselineKiB()) / 1024.0;
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

// `questions` questions, each with a 250-character title and six 100-character options:
// the most the editor's boxes hold.
inline std::unique_ptr<QuestionTable> paperOf(int questions)
{
    BuiltPaper paper{std::make_unique<QuestionTable>(), {}};
    for (int k = 1; k <= questions; ++k) {
        AppendQuestion(paper, std::int16_t(k % (MaxMark + 1)), 15, QStringLiteral("ACE"));
        paper.table->setField(QuestionField::Title, text(250, k));
        for (int i = 0; i < 6; ++i)
            paper.table->setField(OptionField(i), text(100, k + i));
        paper.table->Update();
    }
    return std::move(paper.table);
}

// A full paper: 250 such questions.
inline std::unique_ptr<QuestionTable> fullPaper()
{
    return paperOf(MaxQuestions);
}

