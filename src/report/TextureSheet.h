#pragma once
#include <cstdint>
#include <functional>
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

// A sheet's textures: their sizes, names and facts, and how each is drawn into its cell (rows
// `rowBytes` apart). Without `draw`, each texture's own `rgba` is copied.
struct SheetTextures {
    std::vector<DictionaryTexture> textures;
    std::function<void(std::size_t texture, uint8_t* cell, std::size_t rowBytes)> draw;
};

// Lays the textures out at 1:1, tallest first, left to right in rows (a row is as tall as its tallest
// texture, rows about as wide as the sheet is tall, never narrower than the widest texture), kSheetGap
// pixels apart, and draws each texture into its cell on `jobs` threads. The cells are listed in
// dictionary order.
inline constexpr int kSheetGap = 4;
TextureSheet composeSheet(const SheetTextures& textures, int jobs = 1);
TextureSheet composeSheet(std::vector<DictionaryTexture> textures, int jobs = 1);

// The sheet's cells as JSON: {"textures": [{"name", "x", "y", "width", "height", "alpha", "format", "levels"}, ...]}.
std::string sheetJson(const TextureSheet& sheet);

} // namespace veldrin
