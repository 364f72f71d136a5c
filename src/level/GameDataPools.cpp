#include "level/GameDataPools.h"

#include "level/Rotation.h"

namespace veldrin {

namespace {
constexpr int64_t kPoolLastIndexAt = 12;
constexpr int64_t kEntrySize = 96;
constexpr int64_t kPositionAt = 48;
constexpr int64_t kModelAt = 88;
} // namespace

const char* poolName(GameDataPool pool) {
    switch (pool) {
    case GameDataPool::Buildings: return "buildings";
    case GameDataPool::Treadables: return "treadables";
    case GameDataPool::Dummies: return "dynamic objects";
    }
    return "";
}

std::vector<PoolPlacement> readPlacementPool(const ByteReader& data, GameDataPool which) {
    const std::string pool = poolName(which);
    const int64_t header = data.u32(static_cast<int64_t>(which), pool + " pool header position");
    const int64_t entries = data.u32(header, pool + " pool header");
    const int64_t last = data.i32(header + kPoolLastIndexAt, pool + " pool header");
    if (last < 0) return {}; // -1: an empty pool
    const int64_t count = last + 1;
    data.require(entries, count * kEntrySize, pool + " pool entries (" + std::to_string(count) + ")");

    std::vector<PoolPlacement> result(static_cast<std::size_t>(count));
    for (int64_t k = 0; k < count; ++k) {
        const int64_t at = entries + k * kEntrySize;
        std::array<float, 9> rows{};
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) rows[static_cast<std::size_t>(row * 3 + col)] = data.f32(at + row * 16 + col * 4);
        PoolPlacement& entry = result[static_cast<std::size_t>(k)];
        entry.rotation = decodeMatrix(rows).rotation;
        for (int axis = 0; axis < 3; ++axis) entry.position[static_cast<std::size_t>(axis)] = data.f32(at + kPositionAt + axis * 4);
        entry.model = data.u16(at + kModelAt);
    }
    return result;
}

} // namespace veldrin
