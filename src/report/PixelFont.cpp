#include "internal/PixelFont.h"

namespace veldrin {
namespace {

// Five rows of three bits each, the high bit on the left.
std::array<uint8_t, 5> glyph(char c) {
    switch (c) {
    case '0': return {7, 5, 5, 5, 7};
    case '1': return {2, 6, 2, 2, 7};
    case '2': return {7, 1, 7, 4, 7};
    case '3': return {7, 1, 7, 1, 7};
    case '4': return {5, 5, 7, 1, 1};
    case '5': return {7, 4, 7, 1, 7};
    case '6': return {7, 4, 7, 5, 7};
    case '7': return {7, 1, 1, 1, 1};
    case '8': return {7, 5, 7, 5, 7};
    case '9': return {7, 5, 7, 1, 7};
    case '-': return {0, 0, 7, 0, 0};
    case '.': return {0, 0, 0, 0, 2};
    default: return {0, 0, 0, 0, 0};
    }
}

} // namespace

int textWidth(std::string_view text, int scale) {
    if (text.empty()) return 0;
    return static_cast<int>(text.size()) * (kGlyphWidth + 1) * scale - scale;
}

void drawText(RgbaImage& image, int x, int y, std::string_view text, int scale, std::array<uint8_t, 4> colour) {
    for (char c : text) {
        const auto rows = glyph(c);
        for (int row = 0; row < kGlyphHeight; ++row) {
            for (int column = 0; column < kGlyphWidth; ++column) {
                if (!((rows[row] >> (kGlyphWidth - 1 - column)) & 1)) continue;
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx) image.set(x + column * scale + dx, y + row * scale + dy, colour);
            }
        }
        x += (kGlyphWidth + 1) * scale;
    }
}

} // namespace veldrin
