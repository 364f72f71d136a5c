#include "app/options/RunRecordOptions.h"

#include "app/options/OptionTable.h"

#include <algorithm>

namespace veldrin {

namespace {

bool taken(const OptionEntry& entry, std::span<const OptionId> only) {
    return entry.record && (only.empty() || std::find(only.begin(), only.end(), entry.id) != only.end());
}

} // namespace

std::vector<std::pair<std::string, RunRecord::OptionValue>> recordedOptions(const ConversionOptions& o,
                                                                           std::span<const OptionId> only) {
    std::vector<std::pair<std::string, RunRecord::OptionValue>> options;
    for (const OptionEntry& entry : optionTable()) {
        if (taken(entry, only)) options.emplace_back(entry.name, entry.record(o));
    }
    return options;
}

std::vector<std::string> changedOptions(const ConversionOptions& o, std::span<const OptionId> only) {
    ConversionOptions defaults;
    applyLevelPick(defaults, o.lvzPath);
    if (o.editionAuto) defaults.edition = o.edition;
    std::vector<std::string> changed;
    for (const OptionEntry& entry : optionTable()) {
        if (!taken(entry, only)) continue;
        // A named edition is a choice even when it is the one detection would make.
        const bool named = entry.id == OptionId::Edition && !o.editionAuto;
        if (named || entry.record(o) != entry.record(defaults)) changed.push_back(entry.name);
    }
    return changed;
}

RunRecord::Level recordedLevel(const ConversionOptions& o, bool editionDetected) {
    return {o.levelName, o.lvzPath.string(), o.imgPath.string(), std::string(editionName(o.edition)),
            editionDetected};
}

} // namespace veldrin
