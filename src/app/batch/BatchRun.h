#pragma once
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/batch/BatchNames.h"
#include "app/options/ConversionOptions.h"
#include "app/run/LevelRun.h"

namespace veldrin {

// What every level of a batch shares.
struct BatchSettings {
    ConversionOptions options;                          // every setting; a level's pick fills its paths and names
    std::optional<std::filesystem::path> outputFolder;  // DIR of every level; otherwise each LVZ's own folder
    std::optional<std::string> modelPrefix;             // the same for every level; otherwise the level name
    std::optional<std::string> texturePrefix;
};

// One level's run options: the pick derives its paths, names and output folder; the settings given
// explicitly then take precedence.
ConversionOptions levelOptions(const std::filesystem::path& lvz, const BatchSettings& settings);

// One level as planned: its own run options, with the planned first IDE id in `options.idOffset` and the
// edition the level reads in (its run settles the same one again).
struct BatchLevel {
    ConversionOptions options;
    bool editionDetected = false;
    int plannedModels = 0; // the ids options.idOffset .. + plannedModels - 1 are the level's (with IDE on)
    int plannedDictionaries = 0;
    int plannedPlacements = 0;
    std::string failure;   // set when the level could not be planned; it is reported and not run
    std::vector<RunWarning> planWarnings; // found across the levels (shared names), raised when it runs
    // The level as the plan read it, kept for its run when it is among the first to start, so it is not
    // read twice; empty otherwise, and once its run has taken it.
    std::shared_ptr<PreparedLevel> read;
};

// The levels read side by side (largest first, at most the thread budget `jobs` at once, each released
// once read) and placed in name order; the edition is settled as a run settles it. The first level starts at options.idOffset and each further
// one where the previous level's planned models end: a level's planned count is every model it will
// convert, so no two levels share an id and a level that fails keeps its range. A level whose model or
// dictionary names an earlier level writes too is given distinct ones (LevelNamePlanner), with a warning.
// A level that cannot be read is planned as failed with its message; the others are planned as usual.
std::vector<BatchLevel> planBatch(const std::vector<std::filesystem::path>& levels, const BatchSettings& settings);

// The same through a planner that knows what else the levels must leave alone (an install's game).
std::vector<BatchLevel> planLevels(const std::vector<std::filesystem::path>& levels, const BatchSettings& settings,
                                   LevelNamePlanner& planner);
// The steps of planLevels: each level's options before reading, then the reading and placing, with
// `placed(i)` called as soon as level i and every level before it are placed (on a reading thread, one
// call at a time). Level i of the plan must not be looked at before.
std::vector<BatchLevel> levelsToPlan(const std::vector<std::filesystem::path>& levels, const BatchSettings& settings);
// The first `keep` levels of the start order (largest first) keep what was read of them for their runs
// (BatchLevel::read): the levels a batch starts at once, which it would hold anyway.
void placeLevelsAsRead(std::vector<BatchLevel>& plan, int jobs, LevelNamePlanner& planner,
                       const std::function<void(std::size_t)>& placed, std::size_t keep = 0);

enum class LevelOutcome { Converted, Failed, Stopped };

struct BatchLevelResult {
    BatchLevel level;
    LevelOutcome outcome = LevelOutcome::Failed;
    std::string reason;  // the failure's message
    RunSummary summary;  // of a converted level; warnings counts a failed level's warnings too
    std::size_t staleFiles = 0;

    // The IDE ids the level wrote, first and last; none when it wrote none.
    std::optional<std::pair<int, int>> writtenIds() const;
};

// Every callback is called on the thread that called runBatch, one level's messages after the other's.
struct BatchCallbacks {
    RunCallbacks run;                                           // each level's run; stopRequested (asked from the
                                                                // levels' threads) also ends the batch
    std::function<void(const BatchLevel&, std::size_t index)> levelStarts;
    std::function<void(const BatchLevelResult&)> levelEnds;     // e.g. to write the level's report
};

// Converts the planned levels, each through the one level run, as many side by side as the levels'
// `jobs` (the thread budget) allows, each of them with that budget for its own stages. The front end sees
// exactly what converting them one after another shows: each level's messages together, from levelStarts
// to levelEnds, levels in plan order; what a level tells before its turn waits (only the last of a run of
// progress steps is kept). Two levels writing into the same folder never run at once. Memory: at most
// `jobs` levels are held at a time, besides the messages waiting for their turn.
// A level that fails is reported through its result and the others go on; a stop request ends every
// level being converted (no partial file) and starts none after. With `clean` on, no level's folder may
// hold an input of another.
std::vector<BatchLevelResult> runBatch(const std::vector<BatchLevel>& plan, const BatchCallbacks& callbacks);

// planBatch then runBatch, with the first levels converting while later ones are still read (with a
// budget of more than one thread): `planned` sees the whole plan before any level's messages, on the
// calling thread. The output, the ids and the messages are those of planBatch then runBatch. Memory: the
// levels being read for the plan (at most `jobs`) besides those being converted (at most `jobs`).
std::vector<BatchLevelResult> planAndRunBatch(const std::vector<std::filesystem::path>& levels, const BatchSettings& settings,
                                              const std::function<void(const std::vector<BatchLevel>&)>& planned,
                                              const BatchCallbacks& callbacks);

// True when every level converted.
bool batchSucceeded(const std::vector<BatchLevelResult>& results);

} // namespace veldrin
