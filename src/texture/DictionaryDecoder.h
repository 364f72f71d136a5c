#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace veldrin {

// Level 0 of one texture of a written dictionary, as the game will show it.
struct DictionaryTexture {
    std::string name;
    int width = 0;
    int height = 0;
    bool hasAlpha = false;     // the native header says the texture has alpha
    std::vector<uint8_t> rgba; // width * height * 4 bytes: red, green, blue, alpha
    const char* format = "";   // as stored: "Index8", "A8R8G8B8", "DXT1" or "DXT3"
    int levels = 0;            // mip-map levels stored, level 0 included
};

// Reads back a texture dictionary of the kind this program writes (PC natives of platform 8 or 9:
// 256-colour palettes, 32-bit texels, DXT1 and DXT3 blocks) and decodes level 0 of every texture to
// RGBA, in dictionary order. Safe for untrusted bytes: every size is checked against the chunk that
// holds it, and anything else is refused with VeldrinError naming `label` and the texture. The textures
// are decoded on `jobs` threads.
std::vector<DictionaryTexture> decodeDictionary(std::span<const uint8_t> bytes, const std::string& label, int jobs = 1);

} // namespace veldrin
