#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "base/Editions.h"

namespace veldrin::test {

// One palettised source texture as a console edition stores it.
struct TestTexture {
    int width = 16, height = 16, depth = 8;     // depth 4 or 8; width and height powers of two
    std::vector<uint8_t> texels;                 // one palette index per texel, rows top first
    std::vector<std::array<uint8_t, 4>> palette; // RGBA in console terms (PS2 alpha 0..128), 16 or 256 entries
    int mipCount = 1;                            // stored levels (1..15); extra levels are filler
    bool swizzled = true;                        // PS2 only
};

// Raster record followed by texel data and palette, in the edition's layout. offsetFromBase: the distance
// of the record's first byte from its Base (data offsets inside count from Base). The caller places the
// record at a 16-byte aligned position. The texel data starts at the first 16-byte multiple from Base after
// the record. Missing texels and palette entries are written as index 0 and zero entries.
std::vector<uint8_t> encodeTexture(GameVersion edition, const TestTexture& texture, uint32_t offsetFromBase);

} // namespace veldrin::test
