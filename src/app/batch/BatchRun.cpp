#include "app/batch/BatchRun.h"

#include <algorithm>
#include <cstdint>

#include "app/run/StaleFiles.h"
#include "base/Error.h"

namespace veldrin {

namespace fs = std::filesystem;

ConversionOptions levelOptions(const fs::path& lvz, const BatchSettings& s) {
    ConversionOptions o = s.options;
    applyLevelPick(o, lvz);
    if (s.outputFolder) o.outputFolder = *s.outputFolder;
    if (s.modelPrefix) o.modelPrefix = *s.modelPrefix;
    if (s.texturePrefix) o.texturePrefix = *s.texturePrefix;
    return o;
}

std::optional<std::pair<int, int>> BatchLevelResult::writtenIds() const {
    if (outcome != LevelOutcome::Converted || !level.options.generateIde || summary.modelsConverted == 0) return std::nullopt;
    return std::make_pair(level.options.idOffset, level.options.idOffset + summary.modelsConverted - 1);
}

namespace {

std::vector<fs::path> inputsOf(const std::vector<BatchLevel>& plan) {
    std::vector<fs::path> inputs;
    for (const BatchLevel& l : plan) {
        inputs.push_back(l.options.lvzPath);
        inputs.push_back(l.options.imgPath);
        if (l.options.useZon) inputs.push_back(l.options.zonPath);
    }
    return inputs;
}

void convertOne(BatchLevelResult& r, const std::vector<fs::path>& inputs, const RunCallbacks& run) {
    const ConversionOptions& o = r.level.options;
    if (!r.level.failure.empty()) throw VeldrinError(r.level.failure);
    // A level's run guards its own inputs when it cleans; the batch guards those of every level.
    if (o.clean) requireNoInputsInside(o.levelFolder(), inputs);
    r.summary = convertLevel(prepareLevel(o, run), run);
    r.outcome = r.summary.stopped ? LevelOutcome::Stopped : LevelOutcome::Converted;
    r.staleFiles = r.summary.staleFiles;
}

} // namespace

std::vector<BatchLevelResult> runBatch(const std::vector<BatchLevel>& plan, const BatchCallbacks& callbacks) {
    const std::vector<fs::path> inputs = inputsOf(plan);
    std::vector<BatchLevelResult> results;
    bool stopped = false;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        BatchLevelResult r;
        r.level = plan[i];
        if (stopped) {
            r.outcome = LevelOutcome::Stopped;
            results.push_back(std::move(r));
            continue;
        }
        if (callbacks.levelStarts) callbacks.levelStarts(r.level, i);
        // Warnings are counted here as well, so that a level that fails still shows how many it had.
        int warnings = 0;
        RunCallbacks run = callbacks.run;
        run.warning = [&](WarningKind kind, const std::string& text) {
            ++warnings;
            if (callbacks.run.warning) callbacks.run.warning(kind, text);
        };
        try {
            for (const RunWarning& w : r.level.planWarnings) run.warning(w.kind, w.text);
            convertOne(r, inputs, run);
        } catch (const std::exception& e) {
            r.outcome = LevelOutcome::Failed;
            r.reason = errorText(e);
            r.summary = RunSummary{};
        }
        r.summary.warnings = warnings;
        stopped = r.outcome == LevelOutcome::Stopped;
        if (callbacks.levelEnds) callbacks.levelEnds(r);
        results.push_back(std::move(r));
    }
    return results;
}

bool batchSucceeded(const std::vector<BatchLevelResult>& results) {
    return std::all_of(results.begin(), results.end(), [](const BatchLevelResult& r) { return r.outcome == LevelOutcome::Converted; });
}

} // namespace veldrin
