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

// Where a sheet's textures go: at 1:1, tallest first, left to right in shelves (a shelf is as tall as
// its tallest texture, shelves about as wide as the sheet is tall, never narrower than the widest
// texture), kSheetGap pixels apart. The cells are listed in dictionary order. A dictionary without
// textures has a 1 x 1 sheet.
inline constexpr int kSheetGap = 4;
struct SheetLayout {
    int width = 1, height = 1;
    std::vector<SheetCell> cells;
    std::vector<int> shelfEnds; // the row after each shelf and its gap; the last is `height`
};
SheetLayout layOutSheet(const std::vector<DictionaryTexture>& textures);

// Draws the textures whose cells lie in rows [first, last) of the sheet into `rows` (that band of
// the sheet, cleared beforehand), on `jobs` threads.
void drawSheetRows(const SheetTextures& textures, const SheetLayout& layout, int first, int last, uint8_t* rows, int jobs);

// The sheet laid out and drawn whole.
TextureSheet composeSheet(const SheetTextures& textures, int jobs = 1);
TextureSheet composeSheet(std::vector<DictionaryTexture> textures, int jobs = 1);

// The sheet's PNG, drawn a few shelves at a time: the whole sheet is never held at once.
std::vector<uint8_t> sheetPng(const SheetTextures& textures, const SheetLayout& layout, int jobs = 1);

// The sheet's cells as JSON: {"textures": [{"name", "x", "y", "width", "height", "alpha", "format", "levels"}, ...]}.
std::string sheetJson(const std::vector<SheetCell>& cells);

} // namespace veldrin
