// The zone file reader, and the island test over what it read.
#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "level/ZonFile.h"

using namespace veldrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > (64 << 10)) return 0;
    const std::vector<uint8_t> text(data, data + size);
    fuzz::refusalsAreFine([&] {
        const ZoneTable zones = readZoneTable(std::span<const uint8_t>(text));
        for (const ZoneEntry& z : zones) {
            isInsideIsland(zones, z.island, (z.min[0] + z.max[0]) / 2, (z.min[1] + z.max[1]) / 2, (z.min[2] + z.max[2]) / 2);
        }
    });
    return 0;
}
