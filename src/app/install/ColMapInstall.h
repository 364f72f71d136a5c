#pragma once
#include <filesystem>

#include "app/batch/BatchNames.h"
#include "app/install/InstallPlan.h"
#include "collision/ColMapConverter.h"

namespace veldrin {

// Reads the collision map under its game (the one given; else the one it reads as, or when it reads as
// both, the levels' game), counts its models and placements, and places its ids, model names and file
// name (in `folder`) with the levels' planner. Throws VeldrinError when it reads as neither game, or as
// both without levels of one game (then --colmap-game says which).
ColMapPlan planColMap(const std::filesystem::path& dtz, const std::filesystem::path& img, const InstallRequest& request,
                      std::optional<StoriesEdition> levelsGame, LevelNamePlanner& planner, const std::filesystem::path& folder);

// Converts the collision map as planned for `target`: ColMap.IDE, ColMap.IPL and ColMap.col, and the
// indices its model names end in (each object's model is the install's to give: the invisible one).
// Its IDE lines name `dictionary`, one the install's archive holds.
ColMapResult convertPlannedColMap(const ColMapPlan& plan, const InstallRequest& request, TargetGame target,
                                  const std::string& dictionary, const ColCallbacks& callbacks);

} // namespace veldrin
