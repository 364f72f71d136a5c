// A stop asked for while levels convert side by side.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/batch/BatchLevels.h"
#include "app/batch/BatchRun.h"
#include "support/SampleLevels.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::test;
namespace fs = std::filesystem;

// In the middle of the batch: the levels under way stop, none starts after, every callback comes on the
// caller's thread, a started level is ended once, no level leaves a temporary or half-built file, and a
// level that did convert wrote exactly what it writes without a stop.
TEST(ConcurrentBatch, StopEndsEveryLevelAndLeavesNoPartialFile) {
    TempFolder in("veldrin-concurrent-in"), out("veldrin-concurrent-out");
    for (const char* name : {"a", "b", "c", "d", "e", "f"}) buildLevel(sampleTown(GameVersion::VcsPs2)).write(in.path(), name);
    BatchSettings settings;
    settings.options.editionAuto = true;
    settings.options.generateIde = true;
    settings.options.buildImg = true;
    settings.outputFolder = out.path();
    const std::vector<BatchLevel> plan = planBatch(batchLevelFiles({in.path()}), settings);
    const std::vector<BatchLevelResult> uninterrupted = runBatch(plan, {});
    ASSERT_TRUE(batchSucceeded(uninterrupted)) << uninterrupted.front().reason;
    const auto whole = filesUnder(out.path());

    for (const int jobs : {1, 2, 3}) {
        SCOPED_TRACE("jobs " + std::to_string(jobs));
        fs::remove_all(out.path());
        std::vector<BatchLevel> levels = plan;
        for (BatchLevel& level : levels) level.options.jobs = jobs;
        const std::thread::id caller = std::this_thread::get_id();
        bool offThread = false;
        std::size_t starts = 0, ends = 0;
        std::atomic<int> asked{0};
        BatchCallbacks cb;
        cb.levelStarts = [&](const BatchLevel&, std::size_t) { ++starts, offThread |= std::this_thread::get_id() != caller; };
        cb.levelEnds = [&](const BatchLevelResult&) { ++ends, offThread |= std::this_thread::get_id() != caller; };
        cb.run.status = [&](const std::string&) { offThread |= std::this_thread::get_id() != caller; };
        // Past the first level's models: the second (and with more jobs, those beside it) is under way.
        cb.run.stopRequested = [&] { return ++asked > 45; };
        const std::vector<BatchLevelResult> results = runBatch(levels, cb);

        EXPECT_FALSE(offThread);
        EXPECT_EQ(starts, ends);
        EXPECT_LT(starts, levels.size()); // the last levels never started
        std::size_t stopped = 0;
        for (const BatchLevelResult& r : results) {
            const std::string& name = r.level.options.levelName;
            stopped += r.outcome == LevelOutcome::Stopped;
            if (r.outcome != LevelOutcome::Converted) {
                EXPECT_FALSE(fs::exists(out / name / (name + ".IMG"))) << name;
                continue;
            }
            for (const auto& [file, bytes] : filesUnder(out / name)) EXPECT_TRUE(whole.at(name + "/" + file) == bytes) << file;
        }
        EXPECT_GE(stopped, 2u);
        EXPECT_EQ(results.back().outcome, LevelOutcome::Stopped);
        for (const auto& [file, bytes] : filesUnder(out.path())) EXPECT_EQ(file.find(".tmp"), std::string::npos) << file;
    }
}
