#pragma once

#include <QThread>
#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>
#include <vector>

// work(0) ... work(count - 1) on the machine's cores, each index once; the results in
// the order of their indices, so what is done with them is the same as when the work
// runs one by one. work must be safe to run on several threads at once.
template <typename Result, typename Work>
std::vector<Result> InParallel(int count, const Work &work)
{
    std::vector<std::optional<Result>> done(std::size_t(std::max(count, 0)));
    std::atomic<int> next{0};
    const auto worker = [&] {
        for (int index = next++; index < count; index = next++)
            done[std::size_t(index)].emplace(work(index));
    };
    const int threads = std::clamp(QThread::idealThreadCount(), 1, std::max(count, 1));
    std::vector<std::thread> helpers;
    for (int k = 1; k < threads; ++k)
        helpers.emplace_back(worker);
    worker();
    for (std::thread &helper : helpers)
        helper.join();
    std::vector<Result> results;
    results.reserve(done.size());
    for (std::optional<Result> &result : done)
        results.push_back(std::move(*result));
    return results;
}
