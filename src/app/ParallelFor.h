#pragma once
#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace veldrin {

// Runs work(i) for i in [0, count) on up to `jobs` threads. Each index's exception is kept in
// `errors[i]` so the caller can rethrow in index order and stay deterministic.
template <typename Work>
void parallelFor(std::size_t count, int jobs, Work&& work, std::vector<std::exception_ptr>& errors) {
    errors.assign(count, nullptr);
    std::atomic<std::size_t> next{0};
    auto worker = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            try {
                work(i);
            } catch (...) {
                errors[i] = std::current_exception();
            }
        }
    };
    const std::size_t threads = std::min<std::size_t>(count, static_cast<std::size_t>(std::max(1, jobs)));
    if (threads <= 1) {
        worker();
        return;
    }
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool) t.join();
}

} // namespace veldrin
