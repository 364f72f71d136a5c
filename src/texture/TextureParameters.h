#pragma once
#include <cstdint>

namespace veldrin {

// What a raster header says about one source texture. Sizes are in texels; the offsets are bytes
// from the start of the texel data.
struct TextureParameters {
    int32_t Depth = 0;         // bits per texel, 4 or 8 in usable data
    int32_t WidthLog2 = 0;     // the header stores sizes as powers of two
    int32_t HeightLog2 = 0;
    int32_t MipCount = 0;
    int32_t Swizzled = 0;      // PS2: nonzero when level 0 is in the console's swizzled order
    int64_t PaletteOffset = 0; // summed size of the stored mip levels
    int32_t PaletteSize = 0;   // bytes: 64 (16 entries) or 1024 (256 entries)

    // The dictionary stores sizes in 16 bits: 2^15 is the largest side it can hold.
    static constexpr int32_t kMaxSideLog2 = 15;
    bool fitsDictionary() const { return WidthLog2 <= kMaxSideLog2 && HeightLog2 <= kMaxSideLog2; }
    int64_t width() const { return int64_t{1} << WidthLog2; }
    int64_t height() const { return int64_t{1} << HeightLog2; }
};

// PS2 raster header: width 2^(b0 & 15), height 2^(bits 6-11 of the word b0,b1), depth b1 >> 4,
// mip count b2 >> 4, swizzled b3. PaletteOffset is left 0 for sizes beyond fitsDictionary().
TextureParameters GetTextureParametersPS2(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3);

// PSP raster header: depth and mip count in the nibbles of b0 (8 is taken off values above 10),
// width 2^(b1 & 15), height 2^(b1 >> 4). The PSP keeps rows at least 16 bytes wide; the stored
// levels are MipCount + 1. 8-bit textures have a 256-entry palette.
TextureParameters GetTextureParametersPSP(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3);

// Texels per row that the PSP stores for a texture of this depth: never under 16 bytes.
int64_t pspStoredWidth(int64_t width, int32_t depth);

} // namespace veldrin
