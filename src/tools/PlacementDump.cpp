#include "tools/PlacementDump.h"

#include <algorithm>
#include <array>
#include <limits>
#include <set>
#include <vector>

#include "base/ByteReader.h"
#include "base/DecimalText.h"
#include "base/Error.h"
#include "level/GameDataPools.h"
#include "pcout/IdeIpl.h"

namespace veldrin {

namespace {

std::string joinedLine(const std::vector<std::string>& fields) {
    std::string line;
    for (const std::string& field : fields) {
        if (!line.empty()) line += ", ";
        line += field;
    }
    return line + "\r\n";
}

std::string instLine(int64_t id, const PoolPlacement& e) {
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
    std::vector<PoolPlacement> entries = readPlacementPool(data, GameDataPool::Buildings);
    const std::vector<PoolPlacement> treadables = readPlacementPool(data, GameDataPool::Treadables);
    entries.insert(entries.end(), treadables.begin(), treadables.end());

    // The objs lines follow the model numbers sorted as text, as the tool always listed them.
    std::set<std::string> models;
    uint16_t highest = 0;
    for (const PoolPlacement& e : entries) {
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
    for (const PoolPlacement& e : entries) dump.ipl += instLine(int64_t{options.idOffset} + e.model, e);
    dump.ipl += iplTail();
    return dump;
}

} // namespace veldrin
