#pragma once
#include <cstdint>
#include <span>

namespace veldrin {

// PS2 texel reordering. Texels are palette indices of 4 or 8 bits; sizes are in texels and
// powers of two. 4-bit source data holds the first texel of a pair in the low nibble; every output
// here holds it in the high nibble, as a 4-bit bitmap row does.

// Puts swizzled level-0 texels back into plain row order, top row first. `source` holds at least
// (width * height * depth + 7) / 8 bytes and `destination` exactly that many. A texture too small for
// the console's groups (narrower than 8 or shorter than 4 texels) is stored in plain row order; it is
// delivered the same way, with the nibble order above.
void UnswizzlePS2(std::span<const uint8_t> source, std::span<uint8_t> destination, int depth, int width, int height);

// 4-bit to one byte per texel; the first texel of each source byte is its low nibble.
void ExpandNibbles(std::span<const uint8_t> source, std::span<uint8_t> destination, int width, int height);

// One byte per texel to 4-bit; the first texel goes into the high nibble.
void PackNibbles(std::span<const uint8_t> source, std::span<uint8_t> destination, int width, int height);

} // namespace veldrin
