#pragma once
#include <cstdint>
#include <span>

namespace veldrin {

// Puts swizzled PS2 level-0 texels (palette indices of `depth` 4 or 8 bits, sizes powers of two)
// back into plain order: one index per byte of `indices` (width * height bytes), top row first.
// `source` holds at least (width * height * depth + 7) / 8 bytes. A texture too small for the
// console's groups (narrower than 8 or shorter than 4 texels) is stored in plain order already.
void unswizzlePs2(std::span<const uint8_t> source, int depth, int width, int height, std::span<uint8_t> indices);

} // namespace veldrin
