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

// Where the game data keeps the position of each pool's header.
inline constexpr int64_t kBuildingsPoolAt = 36;
inline constexpr int64_t kTreadablesPoolAt = 40;
inline constexpr int64_t kDummiesPoolAt = 44;

// Reads the pool whose header position is stored at `headerAt`: the header holds the entries' position
// and, 12 bytes on, the last index (-1 for an empty pool). Entries are 96 bytes. `pool` names the pool
// in messages; anything outside the data throws VeldrinError.
std::vector<PoolPlacement> readPlacementPool(const ByteReader& data, int64_t headerAt, const std::string& pool);

} // namespace veldrin
