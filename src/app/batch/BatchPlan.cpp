#include <algorithm>

#include "app/batch/BatchNames.h"
#include "app/batch/BatchRun.h"
#include "base/Error.h"

namespace veldrin {

namespace fs = std::filesystem;

namespace {

// Reads the level as its run will: settles its edition and island, counts what the run will write and
// places its ids and names.
void readPlan(BatchLevel& level, LevelNamePlanner& planner) {
    const PreparedLevel prepared = prepareLevel(level.options, {}, PrepareFor::Inspection);
    level.options.edition = prepared.options.edition;
    level.options.zonIsland = prepared.options.zonIsland;
    level.editionDetected = prepared.editionDetected;
    const PlannedCounts counts = plannedCounts(prepared);
    level.plannedModels = counts.models;
    level.plannedPlacements = counts.placements;
    level.plannedDictionaries = static_cast<int>(plannedDictionaries(prepared.plan.models, prepared.options).size());
    ConversionOptions placed = level.options;
    level.planWarnings = planner.placeLevel(placed, prepared.plan.models);
    // The names as placed must still fit where they go.
    if (placed.modelPrefix != level.options.modelPrefix || placed.levelName != level.options.levelName) {
        std::vector<PlannedModel> models = prepared.plan.models;
        for (PlannedModel& p : models) p.name = modelName(p.drawDistance, p.resourceIndex, placed.modelPrefix, placed.lodPrefix());
        checkOutputNames(placed, models);
    }
    level.options = std::move(placed);
}

} // namespace

std::vector<BatchLevel> planLevels(const std::vector<fs::path>& levels, const BatchSettings& settings, LevelNamePlanner& planner) {
    std::vector<BatchLevel> plan;
    for (const fs::path& lvz : levels) {
        BatchLevel level;
        level.options = levelOptions(lvz, settings);
        try {
            readPlan(level, planner);
        } catch (const std::exception& e) {
            level.failure = errorText(e); // with its reason: the batch table is where a failed level is explained
            level.plannedModels = 0;
            level.options.idOffset = planner.nextId(); // printed, so a rerun of the level alone fits
        }
        plan.push_back(std::move(level));
    }
    return plan;
}

std::vector<BatchLevel> planBatch(const std::vector<fs::path>& levels, const BatchSettings& settings) {
    LevelNamePlanner planner(ReservedContent{}, IdRule{settings.options.idOffset, false});
    return planLevels(levels, settings, planner);
}

} // namespace veldrin
