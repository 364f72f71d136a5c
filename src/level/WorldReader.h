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
// Safe for untrusted input: every read is checked, and cells, blocks and lists that name the same IMG
// records over and over are refused once they would read the IMG (instance lists + 2) times over, so
// time and memory stay linear in the level's size.
WorldTables readWorld(const LevelBuffer& level, GameVersion edition);

} // namespace veldrin
