#pragma once
// One 4 x 4 block of DXT1 or DXT3. The exact encoder is deliberately simple and fully
// deterministic: its endpoint search, ordering, rounding and ties decide the bytes written. These
// are the plain C++ forms; encodeBlocks runs the same choices in vector lanes (DxtVector.cpp) and
// the tests hold every vector target to these bytes.
#include <array>
#include <cstdint>

namespace veldrin {

// Texels are 16 x 4 bytes (blue, green, red, alpha), row by row.
using BlockTexels = std::array<uint8_t, 64>;

std::array<uint8_t, 8> encodeBlockDxt1(const uint8_t* texels);
std::array<uint8_t, 16> encodeBlockDxt3(const uint8_t* texels);
BlockTexels decodeBlockDxt1(const uint8_t* block);
BlockTexels decodeBlockDxt3(const uint8_t* block);

// A colour block's (8 bytes) four texels by index, each as the four bytes it has in memory: blue or
// red first, alpha last. `fourColours` forces the four-colour palette (DXT3); otherwise the
// endpoint order decides, and a three-colour block's index 3 is transparent black.
void colourBlockWords(const uint8_t* block, bool fourColours, bool redFirst, uint32_t words[4]);

// The DXT3 alpha half: texel 2i in the low nibble of byte i, texel 2i + 1 in the high one.
void encodeAlphaNibbles(const uint8_t* texels, uint8_t* out);

// 565 packing (truncating) and expansion back to 8 bits per channel.
uint16_t packColour565(uint8_t red, uint8_t green, uint8_t blue);
struct Rgb {
    int32_t r = 0, g = 0, b = 0;
};
Rgb expandColour565(uint16_t colour);

} // namespace veldrin
