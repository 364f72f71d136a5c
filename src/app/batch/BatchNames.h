#pragma once
#include <string>
#include <unordered_map>
#include <vector>

#include "app/run/LevelRun.h"

namespace veldrin {

// The names a level's run writes that the game keeps in tables shared by every level it loads: model
// names and texture dictionary names.
struct LevelNames {
    std::vector<std::string> models;
    std::vector<std::string> dictionaries;
};
LevelNames plannedNames(const PreparedLevel& level);

// Names already given to a level of the batch, by their lower-case spelling (the game ignores case).
struct TakenNames {
    std::unordered_map<std::string, std::string> owner; // name -> the level that writes it
};

// Claims a level's names: one warning for its model names and one for its dictionary names that an
// earlier level of the batch writes too (the game would load only one of each), naming one of them,
// the other level and the fix. The names not yet taken become the level's.
std::vector<RunWarning> claimNames(TakenNames& taken, const std::string& level, const LevelNames& names);

} // namespace veldrin
