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

// A written dictionary's textures: every header read and checked at once, each level 0 decoded when
// asked into rows the caller places (a texture sheet's cell, a texture's own buffer). Keeps a view of
// the bytes, which must outlive it. Safe for untrusted bytes as decodeDictionary.
class DictionaryTexels {
public:
    DictionaryTexels(std::span<const uint8_t> bytes, const std::string& label);
    ~DictionaryTexels();
    DictionaryTexels(DictionaryTexels&&) noexcept;

    // In dictionary order, `rgba` empty.
    const std::vector<DictionaryTexture>& textures() const { return textures_; }
    // Level 0 of texture `i` as RGBA rows of width * 4 bytes, each `rowBytes` after the one before.
    // Textures may be decoded side by side.
    void decode(std::size_t i, uint8_t* out, std::size_t rowBytes) const;

    struct Native;

private:
    std::vector<DictionaryTexture> textures_;
    std::vector<Native> natives_;
};

// Reads back a texture dictionary of the kind this program writes (PC natives of platform 8 or 9:
// 256-colour palettes, 32-bit texels, DXT1 and DXT3 blocks) and decodes level 0 of every texture to
// RGBA, in dictionary order. Safe for untrusted bytes: every size is checked against the chunk that
// holds it, and anything else is refused with VeldrinError naming `label` and the texture. The textures
// are decoded on `jobs` threads.
std::vector<DictionaryTexture> decodeDictionary(std::span<const uint8_t> bytes, const std::string& label, int jobs = 1);

} // namespace veldrin
