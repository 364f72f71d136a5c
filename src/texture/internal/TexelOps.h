#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

namespace veldrin {

// Console texels are palette indices of 4 or 8 bits. Of a 4-bit pair, the first texel sits in the
// low nibble of its byte.

// The index of texel `i` of a run of texels starting at `source`.
template <int Depth>
inline uint8_t consoleTexel(const uint8_t* source, std::size_t i) {
    static_assert(Depth == 4 || Depth == 8);
    if constexpr (Depth == 8) {
        return source[i];
    } else {
        return static_cast<uint8_t>((source[i / 2] >> (4 * (i % 2))) & 0x0F);
    }
}

// One index per byte for the first indices.size() texels of `source`, which holds at least
// (indices.size() * depth + 7) / 8 bytes.
void expandTexels(std::span<const uint8_t> source, int depth, std::span<uint8_t> indices);

} // namespace veldrin
