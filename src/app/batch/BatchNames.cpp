#include "app/batch/BatchNames.h"

#include "app/run/RunPlan.h"
#include "base/TextUtil.h"

namespace veldrin {

LevelNames plannedNames(const PreparedLevel& level) {
    LevelNames names;
    for (const PlannedModel& p : level.plan.models) names.models.push_back(p.name);
    // One per model takes the models' own names, which the model names already claim.
    if (!level.options.onePerModel())
        for (const DictionaryPlan& d : plannedDictionaries(level.plan.models, level.options)) names.dictionaries.push_back(d.name);
    return names;
}

namespace {

// The clashes of one kind of name, claimed after they are counted so a level never clashes with itself.
std::optional<RunWarning> claimKind(TakenNames& taken, const std::string& level, const std::vector<std::string>& names,
                                    const char* what, const char* fix) {
    int clashes = 0;
    std::string example, other;
    std::vector<std::string> fresh;
    for (const std::string& name : names) {
        const std::string key = toLower(name);
        const auto it = taken.owner.find(key);
        if (it == taken.owner.end()) {
            fresh.push_back(key);
        } else if (it->second != level) {
            if (clashes++ == 0) {
                example = name;
                other = it->second;
            }
        }
    }
    for (const std::string& key : fresh) taken.owner.emplace(key, level);
    if (clashes == 0) return std::nullopt;
    return RunWarning{WarningKind::NameClash, "level " + level + " writes " + std::to_string(clashes) + " " + what +
                                                  " that an earlier level writes too, such as \"" + example + "\" (level " +
                                                  other + "); the game loads only one of each: " + fix};
}

} // namespace

std::vector<RunWarning> claimNames(TakenNames& taken, const std::string& level, const LevelNames& names) {
    std::vector<RunWarning> warnings;
    if (auto w = claimKind(taken, level, names.models, "model name(s)", "give the levels distinct model prefixes (--model-prefix)"))
        warnings.push_back(*w);
    if (auto w = claimKind(taken, level, names.dictionaries, "dictionary name(s)", "rename one level's LVZ and IMG (dictionaries are named after their level)"))
        warnings.push_back(*w);
    return warnings;
}

} // namespace veldrin
