#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "inspect/ChunkTree.h"

namespace veldrin::inspect {

// One texture of a dictionary. The fields past `platform` are read for the PC platforms (8 and 9) only.
struct TxdTexture {
    uint32_t nativeSize = 0, structSize = 0, extensionSize = 0;
    uint32_t platform = 0, filter = 0;
    std::string name, mask;
    uint32_t rasterFormat = 0, alphaWord = 0; // alphaWord: the alpha flag, or the compressed format's tag
    uint16_t width = 0, height = 0;
    uint8_t depth = 0, levelCount = 0, rasterType = 0, flags = 0;
    std::vector<uint8_t> palette;             // 8-bit palettes only
    std::vector<std::vector<uint8_t>> levels; // raster data of each level, after its size field
};

struct TxdDictionary {
    ChunkNode root;
    uint32_t stamp = 0;
    uint16_t count = 0, deviceId = 0;
    uint32_t extensionSize = 0;
    std::vector<TxdTexture> textures;
};

inline constexpr uint32_t kPcPlatformD3d8 = 8, kPcPlatformD3d9 = 9;

// Reads a texture dictionary file: the root must be a dictionary holding its struct, exactly `count`
// textures and an extension; each PC texture's struct must end where its fields and levels end.
// Refusals are VeldrinError naming `what`, the chunk and the offset.
TxdDictionary readTxd(std::span<const uint8_t> file, const std::string& what);

} // namespace veldrin::inspect
