#pragma once
// Lays encoded test textures out in a level buffer the way a world resource points at them.
#include <vector>

#include "support/TextureEncoder.h"
#include "texture/TextureDictionary.h"

namespace veldrin::test {

struct TextureLevel {
    std::vector<uint8_t> bytes;
    std::vector<TextureRef> refs;
};

// Each record starts on a 16-byte boundary; its Base lies `baseDistance` bytes before it, so data
// offsets are relative, not absolute. Resource indices count up from `firstIndex`.
inline TextureLevel buildTextureLevel(GameVersion edition, const std::vector<TestTexture>& textures, int firstIndex = 10,
                                      uint32_t baseDistance = 40) {
    TextureLevel level;
    level.bytes.assign(64, 0xCD);
    int index = firstIndex;
    for (const TestTexture& texture : textures) {
        level.bytes.resize((level.bytes.size() + 15) / 16 * 16, 0xCD);
        const auto position = static_cast<int64_t>(level.bytes.size());
        const auto encoded = encodeTexture(edition, texture, baseDistance);
        level.bytes.insert(level.bytes.end(), encoded.begin(), encoded.end());
        level.refs.push_back({index++, position, position - baseDistance});
    }
    level.bytes.resize(level.bytes.size() + 16, 0xCD);
    return level;
}

// A texture whose texels and palette follow simple patterns, so misplaced texels show.
// Every palette entry gets `alpha` (128 is opaque on the PS2, 255 on the PSP).
inline TestTexture patternTexture(int width, int height, int depth, uint8_t alpha = 128, int seed = 0) {
    TestTexture t;
    t.width = width;
    t.height = height;
    t.depth = depth;
    const int entries = depth == 4 ? 16 : 256;
    for (int i = 0; i < width * height; ++i) t.texels.push_back(static_cast<uint8_t>((i * 7 + i / width + seed) % entries));
    for (int e = 0; e < entries; ++e) {
        t.palette.push_back({static_cast<uint8_t>(e), static_cast<uint8_t>(255 - e), static_cast<uint8_t>(e * 3 + seed),
                             alpha});
    }
    return t;
}

} // namespace veldrin::test
