#include "internal/SwizzlingPSP.h"

#include <cstddef>

#include "internal/TexelOps.h"

namespace veldrin {
namespace {

constexpr std::size_t kBlockBytes = 16, kBlockRows = 8;

std::size_t rowBytesOf(int depth, int width) {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(depth) + 7) / 8;
}

} // namespace

int64_t pspTexelBytes(int depth, int width, int height) {
    const std::size_t rowBytes = rowBytesOf(depth, width);
    return static_cast<int64_t>((rowBytes < kBlockBytes ? kBlockBytes : rowBytes) * static_cast<std::size_t>(height));
}

void unswizzlePsp(std::span<const uint8_t> source, int depth, int width, int height, std::span<uint8_t> indices) {
    const auto w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
    const std::size_t rowBytes = rowBytesOf(depth, width);
    if (rowBytes < kBlockBytes) {
        for (std::size_t y = 0; y < h; ++y) {
            expandTexels(source.subspan(y * kBlockBytes), depth, indices.subspan(y * w, w));
        }
        return;
    }
    if (h < kBlockRows) {
        expandTexels(source, depth, indices);
        return;
    }
    const std::size_t blocksAcross = rowBytes / kBlockBytes;
    const std::size_t texelsPerBlockRow = kBlockBytes * 8 / static_cast<std::size_t>(depth);
    std::size_t from = 0;
    for (std::size_t by = 0; by < h / kBlockRows; ++by) {
        for (std::size_t bx = 0; bx < blocksAcross; ++bx) {
            for (std::size_t r = 0; r < kBlockRows; ++r, from += kBlockBytes) {
                const std::size_t y = by * kBlockRows + r;
                expandTexels(source.subspan(from, kBlockBytes), depth,
                             indices.subspan(y * w + bx * texelsPerBlockRow, texelsPerBlockRow));
            }
        }
    }
}

} // namespace veldrin
