#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/OrderedPipeline.h"

using namespace veldrin;

namespace {

struct PipelineRun {
    std::vector<std::size_t> consumed; // indices in the order consume saw them
    std::vector<int> values;
    std::string error;
    int produced = 0;
};

// Produces i * i (slower for low indices, so later ones finish first), failing at `failAt`; consume
// stops after `stopAfter` results.
PipelineRun runPipeline(std::size_t count, int jobs, std::size_t ahead, std::size_t chunk, std::size_t failAt, std::size_t stopAfter) {
    PipelineRun run;
    std::atomic<int> produced{0};
    try {
        orderedPipeline<int>(
            count, jobs, ahead,
            [&](std::size_t i) {
                ++produced;
                volatile int spin = 0;
                for (std::size_t k = 0; k < (count - i) * 200; ++k) spin = spin + 1;
                if (i == failAt) throw std::runtime_error("fail " + std::to_string(i));
                return static_cast<int>(i * i);
            },
            [&](std::size_t i, int&& value) {
                run.consumed.push_back(i);
                run.values.push_back(value);
                return run.consumed.size() < stopAfter;
            },
            chunk);
    } catch (const std::runtime_error& e) {
        run.error = e.what();
    }
    run.produced = produced;
    return run;
}

} // namespace

// Whatever the thread count, the distance producing may run ahead and the indices claimed at once, results arrive in index order,
// a failure is met after exactly the indices below it, and a stop ends the run where it is asked.
TEST(OrderedPipeline, ResultsInOrderWithTheSameErrorAndStopWhateverTheThreads) {
    constexpr std::size_t kNone = ~std::size_t{0};
    struct Case {
        std::size_t count, failAt, stopAfter;
        std::size_t expectConsumed;
        const char* expectError;
    };
    const Case cases[] = {
        {0, kNone, kNone, 0, ""},
        {1, kNone, kNone, 1, ""},
        {300, kNone, kNone, 300, ""},
        {300, 0, kNone, 0, "fail 0"},
        {300, 137, kNone, 137, "fail 137"},
        {300, kNone, 50, 50, ""},
        {300, 120, 50, 50, ""}, // stopped before the failure is reached
    };
    for (const Case& c : cases) {
        for (int jobs : {1, 2, 4}) {
            for (const auto& [ahead, chunk] : {std::pair<std::size_t, std::size_t>{1, 1}, {3, 1}, {64, 1}, {3, 8}, {64, 8}}) {
                const PipelineRun run = runPipeline(c.count, jobs, ahead, chunk, c.failAt, c.stopAfter);
                const std::string label = "count " + std::to_string(c.count) + " jobs " + std::to_string(jobs) +
                                          " ahead " + std::to_string(ahead) + " chunk " + std::to_string(chunk);
                ASSERT_EQ(run.consumed.size(), c.expectConsumed) << label;
                for (std::size_t i = 0; i < run.consumed.size(); ++i) {
                    ASSERT_EQ(run.consumed[i], i) << label;
                    ASSERT_EQ(run.values[i], static_cast<int>(i * i)) << label;
                }
                EXPECT_EQ(run.error, c.expectError) << label;
                // Producing never runs further ahead than asked (the calling thread counts among the jobs).
                EXPECT_LE(static_cast<std::size_t>(run.produced), std::min(c.count, run.consumed.size() + 1 + ahead))
                    << label;
            }
        }
    }
}
