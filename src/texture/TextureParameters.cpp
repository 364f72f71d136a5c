#include "texture/TextureParameters.h"

#include <algorithm>

namespace veldrin {
namespace {

int32_t paletteSizeFor(int32_t depth) { return depth == 4 ? 64 : 1024; }

// PSP nibbles above 10 carry an extra 8.
int32_t pspNibble(int32_t value) { return value > 10 ? value - 8 : value; }

} // namespace

int64_t pspStoredWidth(int64_t width, int32_t depth) {
    const int64_t minimum = depth > 0 ? 128 / depth : 32;
    return std::max(width, minimum);
}

TextureParameters GetTextureParametersPS2(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    TextureParameters p;
    p.WidthLog2 = b0 & 15;
    p.HeightLog2 = (b0 >> 6) + 4 * (b1 & 15);
    p.Depth = b1 >> 4;
    p.MipCount = b2 >> 4;
    p.Swizzled = b3;
    p.PaletteSize = paletteSizeFor(p.Depth);

    if (!p.fitsDictionary()) return p;
    // Every stored level halves both sides (a side that has run out counts 0).
    int64_t w = p.width();
    int64_t h = p.height();
    for (int32_t level = 0; level < p.MipCount; ++level) {
        p.PaletteOffset += h * w * p.Depth / 8;
        w /= 2;
        h /= 2;
    }
    return p;
}

TextureParameters GetTextureParametersPSP(uint8_t b0, uint8_t b1, uint8_t, uint8_t) {
    TextureParameters p;
    p.Depth = pspNibble(b0 & 15);
    p.MipCount = pspNibble(b0 >> 4);
    p.WidthLog2 = b1 & 15;
    p.HeightLog2 = b1 >> 4;
    p.Swizzled = 1;
    p.PaletteSize = paletteSizeFor(p.Depth);

    const int64_t minimum = pspStoredWidth(1, p.Depth);
    int64_t w = pspStoredWidth(p.width(), p.Depth);
    int64_t h = p.height();
    for (int32_t level = 0; level <= p.MipCount; ++level) {
        p.PaletteOffset += h * w * p.Depth / 8;
        h /= 2;
        w = std::max(w / 2, minimum);
    }
    return p;
}

} // namespace veldrin
