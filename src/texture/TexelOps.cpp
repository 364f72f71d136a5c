#include "texture/TexelOps.h"

#include <algorithm>

namespace veldrin {

void SwapHalfBytes(std::span<const uint8_t> source, std::span<uint8_t> destination, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        destination[i] = static_cast<uint8_t>((source[i] >> 4) | (source[i] << 4));
    }
}

void CutTexture(std::span<const uint8_t> source, std::span<uint8_t> destination, int width, int height, int depth) {
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * static_cast<std::size_t>(depth) + 7) / 8;
    for (std::size_t r = 0; r < static_cast<std::size_t>(height); ++r) {
        std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(16 * r), rowBytes,
                    destination.begin() + static_cast<std::ptrdiff_t>(r * rowBytes));
    }
}

} // namespace veldrin
