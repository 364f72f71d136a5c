#pragma once
#include <cstdint>
#include <span>

namespace veldrin {

// PSP level-0 texel storage (palette indices of `depth` 4 or 8 bits, sizes powers of two), by the
// bytes a row of texels takes:
// - under 16 bytes: one row per 16 bytes, top row first;
// - 16 bytes or more, under 8 rows: plain rows, top row first;
// - otherwise blocks 16 bytes wide and 8 rows tall, block after block left to right, then block row
//   after block row.

// Bytes that level 0 of such a texture takes in the level.
int64_t pspTexelBytes(int depth, int width, int height);

// Puts level-0 texels into plain order: one index per byte of `indices` (width * height bytes), top
// row first. `source` holds at least pspTexelBytes(depth, width, height) bytes.
void unswizzlePsp(std::span<const uint8_t> source, int depth, int width, int height, std::span<uint8_t> indices);

} // namespace veldrin
