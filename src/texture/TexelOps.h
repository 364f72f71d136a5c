#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

namespace veldrin {

// Destination byte i = source byte i with its two nibbles exchanged, for `count` bytes.
void SwapHalfBytes(std::span<const uint8_t> source, std::span<uint8_t> destination, std::size_t count);

// Narrow PSP textures keep a 16-byte pitch per row; keeps the first (width * depth + 7) / 8 bytes
// of each of `height` rows, packed (a 4-bit texture one texel wide keeps a whole byte a row).
void CutTexture(std::span<const uint8_t> source, std::span<uint8_t> destination, int width, int height, int depth);

} // namespace veldrin
