#pragma once
#include <array>
#include <cstdint>
#include <string_view>

#include "report/RgbaImage.h"

namespace veldrin {

// Numbers on the report's pictures: a 3 x 5 pixel font of the digits, "-" and ".", drawn at a whole
// multiple of its size. Other characters draw as blanks.
inline constexpr int kGlyphWidth = 3, kGlyphHeight = 5;

// Width in pixels of the text at `scale`, one blank column between characters.
int textWidth(std::string_view text, int scale);

// Draws the text with its top left corner at (x, y); pixels outside the image are left out.
void drawText(RgbaImage& image, int x, int y, std::string_view text, int scale, std::array<uint8_t, 4> colour);

} // namespace veldrin
