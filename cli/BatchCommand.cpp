#include "cli/BatchCommand.h"

#include <cstdio>
#include <exception>

#include "app/batch/BatchLevels.h"
#include "app/batch/BatchRun.h"
#include "app/batch/BatchSummary.h"
#include "app/batch/BatchTable.h"
#include "base/Error.h"
#include "cli/Interrupt.h"
#include "cli/Progress.h"
#include "cli/RunWatcher.h"
#include "cli/WarningCounts.h"

namespace veldrin::cli {

namespace fs = std::filesystem;

bool namesABatch(const std::vector<std::string>& levels) {
    std::error_code error;
    return levels.size() > 1 || (levels.size() == 1 && fs::is_directory(levels.front(), error));
}

int runBatchCommand(const ConvertRequest& request) {
    RunWatcher watcher(request.verbosity);
    TerminalProgress& progress = watcher.progress;
    InterruptGuard interrupt;
    std::size_t levels = 0;
    BatchCallbacks callbacks;
    callbacks.run = watcher.callbacks();
    callbacks.run.edition = nullptr; // the plan has shown each level's edition
    callbacks.levelStarts = [&](const BatchLevel& level, std::size_t index) {
        progress.finish();
        if (request.verbosity != Verbosity::Quiet)
            std::printf("Converting %s (%zu of %zu)\n", level.options.levelName.c_str(), index + 1, levels);
        std::fflush(stdout);
    };
    callbacks.levelEnds = [&](const BatchLevelResult& r) {
        progress.finish();
        if (r.outcome == LevelOutcome::Failed)
            std::fprintf(stderr, "%s failed: %s\n", r.level.options.levelName.c_str(), r.reason.c_str());
    };
    // The first levels start converting while later ones are still read; the plan is printed whole
    // before any level's messages.
    const auto printPlan = [&](const std::vector<BatchLevel>& plan) {
        levels = plan.size();
        if (request.verbosity != Verbosity::Quiet) std::printf("%s", batchPlanText(plan).c_str());
        std::fflush(stdout);
    };
    std::vector<BatchLevelResult> results;
    try {
        const std::vector<fs::path> named(request.levels.begin(), request.levels.end());
        results = planAndRunBatch(batchLevelFiles(named), request.settings, printPlan, callbacks);
    } catch (const std::exception& e) {
        progress.finish();
        std::fprintf(stderr, "%s\n", errorText(e).c_str());
        return 1;
    }
    progress.finish();
    std::printf("%s", batchResultTable(results).c_str());
    for (const std::string& line : warningCountLines(watcher.warnings)) std::printf("  %s\n", line.c_str());
    if (request.settings.options.writeReport) {
        const fs::path folder = batchFolder(results);
        try {
            writeBatchSummary(results, folder);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", errorText(e).c_str());
            return 1;
        }
        std::printf("Report: %s\n", (folder / "batch-report.html").string().c_str());
    }
    if (InterruptGuard::requested()) {
        std::fprintf(stderr, "%s\n", kInterruptedMessage);
        return kInterruptedExitCode;
    }
    if (!batchSucceeded(results)) {
        std::size_t failed = 0;
        for (const BatchLevelResult& r : results) failed += r.outcome != LevelOutcome::Converted;
        std::printf("%zu of %zu level(s) not converted\n", failed, results.size());
        return 1;
    }
    std::printf("%s\n", kAllDoneMessage);
    return 0;
}

} // namespace veldrin::cli
