#pragma once
#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace veldrin {

// Runs produce(i) for i in [0, count) on `jobs` threads and hands each result to consume(i, result) on
// the calling thread, in index order, as soon as it and every earlier one are done. Producing runs at
// most `ahead` indices past what was consumed, so memory stays bounded, and never waits for a whole
// batch: a thread that finishes goes straight on to the next index. The calling thread produces too
// while the result it waits for is not ready, so `jobs` threads are busy in all.
//
// A thread claims `chunk` indices at once: when an item takes microseconds, taking the lock for each
// one costs more than the item.
//
// consume returns false to stop early. An exception from produce(i) is rethrown once every index
// below i is consumed, so callers meet the same results and the same error whatever the thread count.
// With jobs <= 1 everything runs on the calling thread, one index after the other.
template <typename Result, typename Produce, typename Consume>
void orderedPipeline(std::size_t count, int jobs, std::size_t ahead, Produce&& produce, Consume&& consume, std::size_t chunk = 1) {
    if (jobs <= 1 || count <= 1) {
        for (std::size_t i = 0; i < count; ++i)
            if (!consume(i, produce(i))) return;
        return;
    }
    ahead = std::max<std::size_t>(ahead, 1);
    chunk = std::clamp<std::size_t>(chunk, 1, ahead);
    struct Slot {
        std::optional<Result> result;
        std::exception_ptr error;
        bool ready = false;
    };
    std::vector<Slot> slots(ahead); // index i waits in slots[i % ahead]
    std::mutex mutex;
    // Items may take microseconds, so threads are woken only when it matters: the calling thread when
    // the result it waits for arrives, a worker when there is room to run ahead again.
    std::condition_variable resultArrived, roomMade;
    std::size_t claimed = 0, consumed = 0;
    std::size_t awaited = count; // the index the calling thread sleeps on; count when it does not
    int idleWorkers = 0;
    bool stopping = false;

    // Indices [first, last) for one thread, at most `chunk` of them.
    const auto claim = [&]() -> std::optional<std::pair<std::size_t, std::size_t>> {
        const std::size_t limit = std::min(count, consumed + ahead);
        if (stopping || claimed >= limit) return std::nullopt;
        const std::size_t first = claimed;
        claimed = std::min(limit, first + chunk);
        return std::pair{first, claimed};
    };
    // Produces the indices without the lock, then files them as ready. A claimed index's slot is its
    // producer's alone until it is marked ready, so the results go straight into their slots.
    const auto produceRange = [&](std::pair<std::size_t, std::size_t> range, std::unique_lock<std::mutex>& lock) {
        lock.unlock();
        for (std::size_t i = range.first; i < range.second; ++i) {
            Slot& slot = slots[i % ahead];
            try {
                slot.result.emplace(produce(i));
            } catch (...) {
                slot.error = std::current_exception();
            }
        }
        lock.lock();
        for (std::size_t i = range.first; i < range.second; ++i) slots[i % ahead].ready = true;
        if (awaited >= range.first && awaited < range.second) resultArrived.notify_one();
    };
    const auto worker = [&] {
        std::unique_lock lock(mutex);
        while (!stopping && claimed < count) {
            if (const auto range = claim()) {
                produceRange(*range, lock);
            } else {
                ++idleWorkers;
                roomMade.wait(lock);
                --idleWorkers;
            }
        }
    };

    std::vector<std::jthread> pool;
    // Declared after the pool so it runs first on the way out: the workers finish what they hold and
    // leave before the pool joins them, however the loop below ends.
    struct StopGuard {
        std::mutex& mutex;
        std::condition_variable& roomMade;
        bool& stopping;
        ~StopGuard() {
            const std::lock_guard lock(mutex);
            stopping = true;
            roomMade.notify_all();
        }
    } guard{mutex, roomMade, stopping};
    const std::size_t threads = std::min(count, static_cast<std::size_t>(jobs));
    for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(worker);

    for (std::size_t next = 0; next < count; ++next) {
        std::unique_lock lock(mutex);
        Slot& slot = slots[next % ahead];
        while (!slot.ready) {
            if (const auto range = claim()) {
                produceRange(*range, lock);
            } else {
                awaited = next;
                resultArrived.wait(lock);
                awaited = count;
            }
        }
        std::optional<Result> result = std::move(slot.result);
        const std::exception_ptr error = slot.error;
        slot = Slot{};
        ++consumed;
        // Idle workers are woken once there is room for several items, not for each: woken for one, a
        // worker would go back to sleep after it, a switch of threads per item.
        const std::size_t room = consumed + ahead - claimed, left = count - claimed;
        if (idleWorkers > 0 && left > 0 && room >= std::min(std::max<std::size_t>(ahead / 2, 1), left)) roomMade.notify_all();
        lock.unlock();
        if (error) std::rethrow_exception(error);
        if (!consume(next, std::move(*result))) return;
    }
}

} // namespace veldrin
