#include <algorithm>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>

#include "app/batch/BatchNames.h"
#include "app/batch/BatchRun.h"
#include "app/batch/LargestFirst.h"
#include "base/Error.h"
#include "base/ParallelFor.h"

namespace veldrin {

namespace fs = std::filesystem;

namespace {

// What planning keeps of a level once read: its settled options, its counts and its planned models; the
// level's bytes are released as soon as it is read, unless its run is to take them (`prepared`).
struct LevelRead {
    ConversionOptions options;
    bool editionDetected = false;
    PlannedCounts counts;
    int dictionaries = 0;
    std::vector<PlannedModel> models;
    std::exception_ptr failure;
    bool editionSettled = false; // also for a level refused after its edition was settled
    std::shared_ptr<PreparedLevel> prepared;
};

// Reads the level as its run will: settles its edition and island, counts what the run will write. With
// `shortNames` the level is read under a one-letter model and texture prefix and level name: the names it
// is placed under are checked once placed.
LevelRead readLevel(const ConversionOptions& options, bool keep, bool shortNames) {
    LevelRead read;
    RunCallbacks callbacks;
    callbacks.edition = [&read](GameVersion edition, bool detected) {
        read.options.edition = edition;
        read.editionDetected = detected;
        read.editionSettled = true;
    };
    ConversionOptions o = options;
    if (shortNames) o.modelPrefix = o.texturePrefix = o.levelName = "m";
    try {
        PreparedLevel prepared = prepareLevel(o, callbacks, PrepareFor::Inspection);
        read.options = prepared.options;
        read.editionDetected = prepared.editionDetected;
        read.counts = plannedCounts(prepared);
        read.dictionaries = static_cast<int>(prepared.dictionaries.size());
        read.models = prepared.plan.models;
        if (keep) read.prepared = std::make_shared<PreparedLevel>(std::move(prepared));
    } catch (...) {
        read.failure = std::current_exception();
    }
    return read;
}

// Places the level's ids and names after those of the levels before it.
void placeLevel(BatchLevel& level, LevelRead& read, LevelNamePlanner& planner) {
    if (read.editionSettled) {
        level.options.edition = read.options.edition;
        level.editionDetected = read.editionDetected;
    }
    if (read.failure) std::rethrow_exception(read.failure);
    level.options.edition = read.options.edition;
    level.options.zonIsland = read.options.zonIsland;
    level.editionDetected = read.editionDetected;
    level.plannedModels = read.counts.models;
    level.plannedPlacements = read.counts.placements;
    level.plannedDictionaries = read.dictionaries;
    ConversionOptions placed = level.options;
    level.planWarnings = planner.placeLevel(placed, read.models);
    // The names as placed must still fit where they go.
    if (planner.shortensPrefixes() || placed.modelPrefix != level.options.modelPrefix || placed.levelName != level.options.levelName) {
        std::vector<PlannedModel> models = read.models;
        for (PlannedModel& p : models) p.name = modelName(p.drawDistance, p.resourceIndex, placed.modelPrefix, placed.lodPrefix());
        checkOutputNames(placed, models, plannedDictionaries(models, placed));
    }
    level.options = std::move(placed);
    level.read = std::move(read.prepared);
}

} // namespace

std::vector<BatchLevel> levelsToPlan(const std::vector<fs::path>& levels, const BatchSettings& settings) {
    std::vector<BatchLevel> plan(levels.size());
    for (std::size_t i = 0; i < levels.size(); ++i) plan[i].options = levelOptions(levels[i], settings);
    return plan;
}

void placeLevelsAsRead(std::vector<BatchLevel>& plan, int jobs, LevelNamePlanner& planner, const std::function<void(std::size_t)>& placed,
                       std::size_t keep) {
    // Read side by side, largest first, as many levels at once as the thread budget: each level's bytes
    // are released once read, and what planning keeps of it is small. Ids and names are placed one after
    // another in name order, each as soon as it and every level before it are read, so the plan is the
    // same whatever the budget.
    const std::vector<std::size_t> order = largestFirst(plan);
    std::vector<std::optional<LevelRead>> reads(plan.size());
    std::size_t next = 0;
    std::mutex placing;
    std::vector<std::exception_ptr> errors;
    parallelFor(order.size(), std::max(1, jobs), [&](std::size_t k) {
        LevelRead read = readLevel(plan[order[k]].options, k < keep, planner.shortensPrefixes());
        const std::lock_guard lock(placing);
        reads[order[k]] = std::move(read);
        for (; next < plan.size() && reads[next]; ++next) {
            BatchLevel& level = plan[next];
            try {
                placeLevel(level, *reads[next], planner);
            } catch (const std::exception& e) {
                level.failure = errorText(e); // with its reason: the batch table is where a failed level is explained
                level.plannedModels = 0;
                level.options.idOffset = planner.nextId(); // printed, so a rerun of the level alone fits
            }
            reads[next].reset();
            if (placed) placed(next);
        }
    }, errors);
    rethrowFirst(errors);
}

std::vector<BatchLevel> planLevels(const std::vector<fs::path>& levels, const BatchSettings& settings, LevelNamePlanner& planner) {
    std::vector<BatchLevel> plan = levelsToPlan(levels, settings);
    placeLevelsAsRead(plan, settings.options.jobs, planner, {});
    return plan;
}

std::vector<BatchLevel> planBatch(const std::vector<fs::path>& levels, const BatchSettings& settings) {
    LevelNamePlanner planner(ReservedContent{}, IdRule{settings.options.idOffset, false});
    return planLevels(levels, settings, planner);
}

} // namespace veldrin
