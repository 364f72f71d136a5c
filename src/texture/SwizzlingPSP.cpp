#include "texture/SwizzlingPSP.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "texture/TexelOps.h"

namespace veldrin {

void UnswizzlePSP(std::span<const uint8_t> source, std::span<uint8_t> destination, int depth, int width, int height) {
    const std::size_t pitch = static_cast<std::size_t>(width) * static_cast<std::size_t>(depth) / 8;
    const std::size_t h = static_cast<std::size_t>(height);
    const std::size_t total = pitch * h;
    std::vector<uint8_t> c(total, 0);

    if (height < 8 || pitch < 16) {
        // No whole block: rows are plain, top first; only the row order changes.
        for (std::size_t y = 0; y < h; ++y) {
            std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(y * pitch), pitch,
                        c.begin() + static_cast<std::ptrdiff_t>((h - 1 - y) * pitch));
        }
    } else {
        const std::size_t blocks = pitch / 16;
        const std::size_t rows = h / 8;
        for (std::size_t b = 0; b < rows; ++b) {
            for (std::size_t x = 0; x < blocks; ++x) {
                for (std::size_t r = 0; r < 8; ++r) {
                    const std::size_t from = ((rows - 1 - b) * blocks + x) * 128 + (7 - r) * 16;
                    const std::size_t to = (8 * b + r) * pitch + 16 * x;
                    std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(from), 16,
                                c.begin() + static_cast<std::ptrdiff_t>(to));
                }
            }
        }
    }

    if (depth == 4) {
        SwapHalfBytes(c, destination, total);
    } else {
        std::copy_n(c.begin(), total, destination.begin());
    }
}

} // namespace veldrin
