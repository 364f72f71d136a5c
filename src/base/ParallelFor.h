#pragma once
#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace veldrin {

// The threads a run takes by default: one per core the machine reports, one at least.
inline int machineThreads() { return static_cast<int>(std::max(1u, std::thread::hardware_concurrency())); }

// Runs work(i) for i in [0, count) on up to `jobs` threads. An index's exception is kept in
// `errors[i]`. Indices are claimed in order and none is started past the first failure, so every
// index below the earliest failing one is done: a caller that goes through the results in index
// order meets the same results and the same error whatever the thread count.
template <typename Work>
void parallelFor(std::size_t count, int jobs, Work&& work, std::vector<std::exception_ptr>& errors) {
    errors.assign(count, nullptr);
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> firstFailure{count};
    auto worker = [&] {
        for (;;) {
            const std::size_t i = next.fetch_add(1);
            if (i >= count || i > firstFailure.load()) return;
            try {
                work(i);
            } catch (...) {
                errors[i] = std::current_exception();
                std::size_t seen = firstFailure.load();
                while (i < seen && !firstFailure.compare_exchange_weak(seen, i)) {
                }
            }
        }
    };
    const std::size_t threads = std::min<std::size_t>(count, static_cast<std::size_t>(std::max(1, jobs)));
    std::vector<std::jthread> pool;
    for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(worker);
    worker();
}

// Rethrows the error of the lowest index, if any.
inline void rethrowFirst(const std::vector<std::exception_ptr>& errors) {
    for (const std::exception_ptr& error : errors)
        if (error) std::rethrow_exception(error);
}

} // namespace veldrin
