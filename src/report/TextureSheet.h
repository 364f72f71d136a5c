#pragma once
#include <string>
#include <vector>

#include "report/RgbaImage.h"
#include "texture/DictionaryDecoder.h"

namespace veldrin {

// Where one texture sits in a sheet.
struct SheetCell {
    std::string name;
    int x = 0, y = 0, width = 0, height = 0;
    bool alpha = false;
    const char* format = ""; // as stored in the dictionary, "" when not known
    int levels = 0;          // mip-map levels stored, 0 when not known
};

struct TextureSheet {
    RgbaImage image; // transparent between cells; 1 x 1 and transparent for a dictionary without textures
    std::vector<SheetCell> cells;
};

// Lays the textures out at 1:1, tallest first, left to right in rows (a row is as tall as its tallest
// texture, rows about as wide as the sheet is tall, never narrower than the widest texture), kSheetGap
// pixels apart, and copies each texture into its cell. The cells are listed in dictionary order.
inline constexpr int kSheetGap = 4;
TextureSheet composeSheet(const std::vector<DictionaryTexture>& textures, int jobs = 1);

// The sheet's cells as JSON: {"textures": [{"name", "x", "y", "width", "height", "alpha", "format", "levels"}, ...]}.
std::string sheetJson(const TextureSheet& sheet);

} // namespace veldrin
