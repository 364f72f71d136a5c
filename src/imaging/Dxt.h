#pragma once
// One 4 x 4 block of DXT1 or DXT3. The encoder is deliberately simple and fully deterministic:
// its endpoint search, ordering, rounding and ties decide the bytes written.
#include <cstdint>

namespace veldrin {

// Texels are 16 x 4 bytes (blue, green, red, alpha), row by row.
void EncodeBlockDxt1(const uint8_t texels[64], uint8_t block[8]);
void EncodeBlockDxt3(const uint8_t texels[64], uint8_t block[16]);
void DecodeBlockDxt1(const uint8_t block[8], uint8_t texels[64]);
void DecodeBlockDxt3(const uint8_t block[16], uint8_t texels[64]);

// 565 packing (truncating) and expansion back to 8 bits per channel (0 blue, 1 green, 2 red).
uint16_t PackColour565(uint8_t red, uint8_t green, uint8_t blue);
void ExpandColour565(uint16_t colour, int32_t rgb[3]);

} // namespace veldrin
