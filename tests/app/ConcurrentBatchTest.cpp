// Batches whose levels convert side by side: the same files, results and messages as one by one.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>

#include "RunFixture.h"
#include "app/batch/BatchLevels.h"
#include "app/batch/BatchRun.h"
#include "app/batch/BatchTable.h"
#include "base/FileIO.h"
#include "support/SampleLevels.h"

using namespace veldrin;
using namespace veldrin::test;
namespace fs = std::filesystem;

namespace {

// What the front end was told, in order, one line per message; a run of progress steps counts as its last
// step, the only one a level waiting for its turn keeps.
struct Told {
    std::vector<std::string> lines;
    std::vector<BatchLevelResult> results;
    bool offThread = false; // a callback came on another thread than the caller's
};

Told runTelling(std::vector<BatchLevel> plan, int jobs, std::function<bool()> stop = {}) {
    for (BatchLevel& level : plan) level.options.jobs = jobs;
    Told told;
    const std::thread::id caller = std::this_thread::get_id();
    auto add = [&](std::string line, bool progress = false) {
        told.offThread |= std::this_thread::get_id() != caller;
        if (progress && !told.lines.empty() && told.lines.back().rfind("progress ", 0) == 0) told.lines.back() = line;
        else told.lines.push_back(std::move(line));
    };
    BatchCallbacks cb;
    cb.levelStarts = [&](const BatchLevel& l, std::size_t i) { add("start " + std::to_string(i) + " " + l.options.levelName); };
    cb.levelEnds = [&](const BatchLevelResult& r) { add("end " + r.level.options.levelName + " " + outcomeName(r.outcome)); };
    cb.run.status = [&](const std::string& text) { add("status " + text); };
    cb.run.warning = [&](WarningKind, const std::string& text) { add("warning " + text); };
    cb.run.progress = [&](int position, int maximum) {
        add("progress " + std::to_string(position) + "/" + std::to_string(maximum), true);
    };
    cb.run.stopRequested = std::move(stop);
    told.results = runBatch(plan, cb);
    return told;
}

// A game's folder: a level of each edition, two that share names (a warning), one that is not a level
// (fails in the plan) and one whose output folder is taken by a file (fails while converting).
struct Game {
    TempFolder in{"veldrin-concurrent-in"};
    TempFolder out{"veldrin-concurrent-out"};
    BatchSettings settings;
    std::vector<BatchLevel> plan;

    Game() {
        const std::vector<std::pair<const char*, GameVersion>> levels = {
            {"alpha", GameVersion::LcsPs2}, {"bar", GameVersion::VcsPs2}, {"bay", GameVersion::VcsPs2},
            {"delta", GameVersion::LcsPsp}, {"echo", GameVersion::VcsPsp}, {"zulu", GameVersion::LcsPs2}};
        for (const auto& [name, edition] : levels) buildLevel(sampleTown(edition)).write(in.path(), name);
        writeWholeFile(in / "junk.lvz", std::string("not a level"));
        writeWholeFile(in / "junk.IMG", std::string("nor this"));
        BatchSettings& s = settings;
        s.options.editionAuto = true;
        s.options.generateIde = true;
        s.options.idOffset = 2000;
        s.options.buildImg = true;
        s.options.genMipMaps = true;
        s.options.genBlankCol = true;
        s.options.targetGame = TargetGame::GtaVc;
        s.options.txdMode = TxdMode::OneBigTxd;
        s.outputFolder = out.path();
        plan = planFor(1);
    }

    // The plan as made with `jobs` threads, the levels read side by side.
    std::vector<BatchLevel> planFor(int jobs) {
        settings.options.jobs = jobs;
        return planBatch(batchLevelFiles({in.path()}), settings);
    }

    // Empties the output folder but for the file in zulu's way.
    void resetOutput() {
        fs::remove_all(out.path());
        fs::create_directories(out.path());
        writeWholeFile(out / "zulu", std::string("a file where the level folder should go"));
    }
};

} // namespace

// Each --jobs plans the same ids and names, converts the same files, ends each level the same way and tells the same messages in the
// same order (each level's together) as one level after another, every message on the caller's thread.
TEST(ConcurrentBatch, SameFilesResultsAndMessagesAsOneByOne) {
    Game game;
    ASSERT_EQ(game.plan.size(), 7u);
    game.resetOutput();
    const Told alone = runTelling(game.plan, 1);
    const auto aloneBytes = filesUnder(game.out.path());
    const std::vector<LevelOutcome> outcomes = {LevelOutcome::Converted, LevelOutcome::Converted,
                                                LevelOutcome::Converted, LevelOutcome::Converted,
                                                LevelOutcome::Converted, LevelOutcome::Failed, LevelOutcome::Failed};
    for (std::size_t i = 0; i < outcomes.size(); ++i) EXPECT_EQ(alone.results[i].outcome, outcomes[i]) << i;
    EXPECT_GT(aloneBytes.size(), 20u);

    for (const int jobs : {1, 2, 3}) {
        SCOPED_TRACE("jobs " + std::to_string(jobs));
        game.resetOutput();
        const Told side = runTelling(game.planFor(jobs), jobs);
        EXPECT_FALSE(side.offThread);
        EXPECT_EQ(side.lines, alone.lines);
        EXPECT_EQ(batchResultTable(side.results), batchResultTable(alone.results));
        EXPECT_TRUE(filesUnder(game.out.path()) == aloneBytes);
    }
}

// A stop asked for in the middle of the batch: the levels under way stop, none starts after, no level
// leaves a temporary or half-built file, and each level that did convert wrote exactly its files.
TEST(ConcurrentBatch, StopEndsEveryLevelAndLeavesNoPartialFile) {
    Game game;
    game.resetOutput();
    runTelling(game.plan, 1);
    const auto whole = filesUnder(game.out.path());
    for (const int jobs : {1, 2, 3}) {
        SCOPED_TRACE("jobs " + std::to_string(jobs));
        game.resetOutput();
        std::atomic<int> asked{0};
        // Past the first level's models: the second level (and with more jobs, those beside it) is under way.
        const Told told = runTelling(game.plan, jobs, [&] { return ++asked > 45; });
        ASSERT_EQ(told.results.size(), game.plan.size());
        EXPECT_EQ(told.results.back().outcome, LevelOutcome::Stopped);
        std::size_t ends = 0, starts = 0, stopped = 0;
        for (const std::string& line : told.lines) {
            starts += line.rfind("start ", 0) == 0;
            ends += line.rfind("end ", 0) == 0;
        }
        for (const BatchLevelResult& r : told.results) {
            stopped += r.outcome == LevelOutcome::Stopped;
            const fs::path folder = r.level.options.levelFolder();
            if (r.outcome != LevelOutcome::Converted) {
                EXPECT_FALSE(fs::exists(folder / (r.level.options.levelName + ".IMG"))) << r.level.options.levelName;
                continue;
            }
            for (const auto& [name, bytes] : filesUnder(folder))
                EXPECT_TRUE(whole.at(fs::relative(folder / name, game.out.path()).string()) == bytes) << name;
        }
        EXPECT_GE(stopped, 2u);
        EXPECT_EQ(starts, ends);
        EXPECT_LT(starts, game.plan.size()); // the last levels never started
        for (const auto& [name, bytes] : filesUnder(game.out.path()))
            EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
    }
}
