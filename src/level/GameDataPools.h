#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ByteReader.h"

namespace veldrin {

// One entry of a placement pool of the inflated game data (GAME.DTZ): the model number, the position
// and the rotation decoded from its matrix.
struct PoolPlacement {
    uint16_t model = 0;
    std::array<float, 3> position{};
    std::array<float, 4> rotation{};
};

// The placement pools of the game data; each value is where the data keeps the position of the
// pool's header.
enum class GameDataPool : int64_t { Buildings = 36, Treadables = 40, Dummies = 44 };

// Where the game data keeps its model count and the position of its model table, and where a model
// info record keeps the position of its collision model.
inline constexpr int64_t kGameDataModelCountAt = 56;
inline constexpr int64_t kGameDataModelTableAt = 60;
inline constexpr int64_t kModelInfoColOffsetAt = 20;

// The pool's name in messages: "buildings", "treadables", "dynamic objects".
const char* poolName(GameDataPool pool);

// Reads a pool: its header holds the entries' position and, 12 bytes on, the last index (-1 for an
// empty pool). Entries are 96 bytes. Anything outside the data throws VeldrinError naming the pool.
std::vector<PoolPlacement> readPlacementPool(const ByteReader& data, GameDataPool pool);

} // namespace veldrin
