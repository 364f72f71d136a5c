#pragma once
#include <cstdint>
#include <span>

namespace veldrin {

// PSP texel reordering. The PSP stores texels in blocks 16 bytes wide and 8 rows tall, block after
// block, left to right, then block row after block row.
//
// Puts level-0 texels (depth 4 or 8 bits) back into plain row order, delivered BOTTOM row first (the
// row order of a bottom-up bitmap); 4-bit texels come out with the first texel of a pair in the high
// nibble. `source` holds at least width * height * depth / 8 bytes and `destination` exactly that many.
// A texture too small for whole blocks (shorter than 8 rows, or rows under 16 bytes) is stored in
// plain row order, top row first; it is delivered the same way as a reordered one.
void UnswizzlePSP(std::span<const uint8_t> source, std::span<uint8_t> destination, int depth, int width, int height);

} // namespace veldrin
