#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace veldrin {

// A developer aid: the placements of the buildings and treadables pools of an uncompressed game
// data file (the layout of an inflated GAME.DTZ), as an IDE and an IPL text in the GTA SA syntax.
// Every object is named after its model number and uses the texture dictionary "generic".

inline constexpr const char* kDumpIdeName = "lcs.ide";
inline constexpr const char* kDumpIplName = "lcs.ipl";

struct PlacementDumpOptions {
    int32_t idOffset = 1000; // an object's id is this plus its model number, in both files
    std::string levelName;   // named in the files' head lines; empty before a level is picked
};

struct PlacementDump {
    std::string ide; // head, one objs line per distinct model, tail
    std::string ipl; // head, one inst line per pool entry (buildings, then treadables), tail
    int models = 0;
    int instances = 0;
};

// Reads the pool header offsets at bytes 36 (buildings) and 40 (treadables); each header gives the
// entry array's offset (at 0) and the index of its last entry N (at 12), so N + 1 entries of 96
// bytes: matrix rows at 0, 16 and 32, position at 48, model number (uint16) at 88. IPL lines read
// "id, model, 0, x, y, z, qx, qy, qz, qw, -1", with x, y, z in general notation of 8 significant
// digits and the quaternion in general notation of 15; objs lines read "id, col<model>, generic, 1,
// 299, 0", models sorted as text ("10" before "7"). Throws VeldrinError for a negative id offset, ids
// beyond 2147483647, and pool headers or entries outside the data.
// Safe for untrusted input: a pool's entries are checked whole inside the data before any is read, so
// the texts grow with the data's size.
PlacementDump dumpPlacements(std::span<const uint8_t> gameData, const PlacementDumpOptions& options);

} // namespace veldrin
