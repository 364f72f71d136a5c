#include "app/batch/BatchRun.h"

#include <algorithm>


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

bool batchSucceeded(const std::vector<BatchLevelResult>& results) {
    return std::all_of(results.begin(), results.end(), [](const BatchLevelResult& r) { return r.outcome == LevelOutcome::Converted; });
}

} // namespace veldrin
