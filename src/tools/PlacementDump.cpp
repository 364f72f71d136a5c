#include "tools/PlacementDump.h"

#include <algorithm>
#include <array>
#include <limits>
#include <set>
#include <vector>

#include "base/ByteReader.h"
#include "base/Error.h"
#include "level/IdeIpl.h"
#include "level/Rotation.h"
#include "base/DecimalText.h"

namespace veldrin {

namespace {

constexpr int64_t kBuildingsPoolAt = 36;
constexpr int64_t kTreadablesPoolAt = 40;
constexpr int64_t kEntrySize = 96;
constexpr int64_t kModelAt = 88;
constexpr int64_t kPositionAt = 48;

struct PoolEntry {
    uint16_t model = 0;
    std::array<float, 3> position{};
    std::array<float, 4> rotation{};
};

std::vector<PoolEntry> readPool(const ByteReader& data, int64_t headerOffsetAt, const std::string& pool) {
    const int64_t header = data.u32(headerOffsetAt, pool + " pool header position");
    const int64_t entries = data.u32(header, pool + " pool header");
    const int64_t last = data.i32(header + 12, pool + " pool header");
    if (last < 0) return {}; // N = -1: an empty pool
    const int64_t count = last + 1;
    data.require(entries, count * kEntrySize, pool + " pool entries (" + std::to_string(count) + ")");

    std::vector<PoolEntry> result(static_cast<std::size_t>(count));
    for (int64_t k = 0; k < count; ++k) {
        const int64_t at = entries + k * kEntrySize;
        std::array<float, 9> rows{};
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) rows[static_cast<std::size_t>(row * 3 + col)] = data.f32(at + row * 16 + col * 4);
        PoolEntry& entry = result[static_cast<std::size_t>(k)];
        entry.rotation = decodeMatrix(rows).rotation;
        for (int axis = 0; axis < 3; ++axis) entry.position[static_cast<std::size_t>(axis)] = data.f32(at + kPositionAt + axis * 4);
        entry.model = data.u16(at + kModelAt);
    }
    return result;
}

std::string joinedLine(const std::vector<std::string>& fields) {
    std::string line;
    for (const std::string& field : fields) {
        if (!line.empty()) line += ", ";
        line += field;
    }
    return line + "\r\n";
}

std::string instLine(int64_t id, const PoolEntry& e) {
    auto position = [](float v) { return formatGeneral(v, 8, 4); };
    auto rotation = [](float v) { return formatGeneral(v, 15, 0); };
    return joinedLine({std::to_string(id), std::to_string(e.model), "0", position(e.position[0]), position(e.position[1]),
                       position(e.position[2]), rotation(e.rotation[0]), rotation(e.rotation[1]), rotation(e.rotation[2]),
                       rotation(e.rotation[3]), "-1"});
}

} // namespace

PlacementDump dumpPlacements(std::span<const uint8_t> gameData, const PlacementDumpOptions& options) {
    if (options.idOffset < 0) throw VeldrinError("The ID offset must be 0 or more, not " + std::to_string(options.idOffset));
    const ByteReader data(gameData, "game data");
    std::vector<PoolEntry> entries = readPool(data, kBuildingsPoolAt, "buildings");
    const std::vector<PoolEntry> treadables = readPool(data, kTreadablesPoolAt, "treadables");
    entries.insert(entries.end(), treadables.begin(), treadables.end());

    // The objs lines follow the model numbers sorted as text, as the tool always listed them.
    std::set<std::string> models;
    uint16_t highest = 0;
    for (const PoolEntry& e : entries) {
        models.insert(std::to_string(e.model));
        highest = std::max(highest, e.model);
    }
    if (!entries.empty() && int64_t{options.idOffset} + highest > std::numeric_limits<int32_t>::max()) {
        throw VeldrinError("The ID offset " + std::to_string(options.idOffset) + " plus model number " + std::to_string(highest) +
                           " is beyond the largest object id 2147483647");
    }

    PlacementDump dump;
    dump.models = static_cast<int>(models.size());
    dump.instances = static_cast<int>(entries.size());
    dump.ide = ideHead(options.levelName);
    for (const std::string& model : models) {
        const int32_t id = options.idOffset + std::stoi(model);
        dump.ide += ideObjsLine(id, "col" + model, "generic", 299, 0);
    }
    dump.ide += ideTail();
    dump.ipl = iplHead(options.levelName);
    for (const PoolEntry& e : entries) dump.ipl += instLine(int64_t{options.idOffset} + e.model, e);
    dump.ipl += iplTail();
    return dump;
}

} // namespace veldrin
