#pragma once
// A reader of texture dictionaries written for these tests only: it walks the chunk tree,
// checks every size and stamp against the bytes and hands back the fields.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace veldrin::test {

struct ReadNative {
    uint32_t nativeSize = 0, structSize = 0;
    uint32_t platform = 0, filter = 0;
    std::string name, mask;
    uint32_t rasterFormat = 0, alphaWord = 0;
    uint16_t width = 0, height = 0;
    uint8_t depth = 0, levelCount = 0, rasterType = 0, flags = 0;
    std::vector<uint8_t> palette;             // GTA 3 opaque textures only
    std::vector<std::vector<uint8_t>> levels; // raster data of each level, after its size field
};

struct ReadTxd {
    uint32_t stamp = 0;
    uint16_t count = 0, deviceId = 0;
    std::vector<ReadNative> textures;
};

// Throws std::runtime_error describing the first inconsistency.
ReadTxd readTxd(std::span<const uint8_t> bytes);

} // namespace veldrin::test
