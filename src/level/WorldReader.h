#pragma once
#include <cstdint>
#include <span>

#include "level/LevelInput.h"
#include "level/WorldTables.h"

namespace veldrin {

// Reads the world resource into the run's tables: every resource's position, every model's scale,
// draw distance and marks, every placed instance with its world position and rotation.
// A structure that points outside the data refuses the level with VeldrinError naming it;
// resource indices at or above ResourceCount are skipped and counted in stats.
WorldTables readWorld(const LevelBuffer& level, GameVersion edition);

} // namespace veldrin
