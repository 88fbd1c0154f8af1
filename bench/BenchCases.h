#pragma once
// One list of cases serves two ways of measuring them: Google Benchmark times each case,
// and under callgrind (tools/bench.sh) each case's instructions are counted, which stays
// steady on a machine busy with other work. A case is set up once outside what is
// measured; its run returns an empty text on success, or what went wrong, and its
// optional reset puts things back, unmeasured, before the next run.
#include "BenchPaper.h"

#include <QString>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define BENCH_HAVE_CALLGRIND 1
#else
#define BENCH_HAVE_CALLGRIND 0
#endif

using CaseRun = std::function<QString()>;

struct CaseSteps
{
    CaseSteps(CaseRun run = {}, std::function<void()> reset = {})
        : run(std::move(run)), reset(std::move(reset)) {}
    CaseRun run;
    std::function<void()> reset;
};
using CaseSetup = std::function<CaseSteps()>;

struct BenchCase
{
    std::string name;
    CaseSetup setup;
};

inline std::vector<BenchCase> &benchCases()
{
    static std::vector<BenchCase> cases;
    return cases;
}

// Registers a timed case; a floor is registered the same way, named "<case>/floor".
inline benchmark::internal::Benchmark *addCase(const std::string &name, CaseSetup setup)
{
    benchCases().push_back({name, setup});
    return benchmark::RegisterBenchmark(name.c_str(), [setup](benchmark::State &state) {
        const CaseSteps steps = setup();
        if (!steps.run) {
            state.SkipWithError("the case could not be set up");
            return;
        }
        resetPeakMemory();
        for (auto _ : state) {
            const QString error = steps.run();
            if (!error.isEmpty()) {
                state.SkipWithError(qPrintable(error));
                return;
            }
            if (steps.reset) {
                state.PauseTiming();
                steps.reset();
                state.ResumeTiming();
            }
        }
        reportPeakMemory(state);
    });
}

// Under callgrind: runs every case (or those whose name holds filter) once to warm it
// up, then `repeat` more times between zeroed counters, and dumps the counts under the
// case's name. tools/bench.sh divides each dump's total by `repeat`.
inline int countInstructions(const char *filter, int repeat)
{
#if BENCH_HAVE_CALLGRIND
    for (const BenchCase &c : benchCases()) {
        if (filter && c.name.find(filter) == std::string::npos)
            continue;
        const CaseSteps steps = c.setup();
        if (!steps.run || !steps.run().isEmpty()) {
            std::fprintf(stderr, "%s: failed\n", c.name.c_str());
            return 1;
        }
        if (steps.reset)
            steps.reset();
        CALLGRIND_ZERO_STATS;
        for (int i = 0; i < repeat; ++i) {
            steps.run();
            if (steps.reset) {
                CALLGRIND_TOGGLE_COLLECT;
                steps.reset();
                CALLGRIND_TOGGLE_COLLECT;
            }
        }
        CALLGRIND_DUMP_STATS_AT(c.name.c_str());
    }
    return 0;
#else
    (void)filter;
    (void)repeat;
    std::fprintf(stderr, "built without valgrind's headers: no instruction counts\n");
    return 1;
#endif
}

// The main of every benchmark program: instruction counts when started by
// tools/bench.sh under callgrind (BENCH_COUNT=repeat[:filter]), timings otherwise.
inline int runBenchCases(int argc, char **argv)
{
    const QByteArray count = qgetenv("BENCH_COUNT");
    if (!count.isEmpty()) {
        const qsizetype colon = count.indexOf(':');
        const int repeat = qMax(1, count.left(colon < 0 ? count.size() : colon).toInt());
        const QByteArray filter = colon < 0 ? QByteArray() : count.mid(colon + 1);
        return countInstructions(filter.isEmpty() ? nullptr : filter.constData(), repeat);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The question counts every growing case is measured at.
inline constexpr int PaperSizes[] = {1, 50, 250};
