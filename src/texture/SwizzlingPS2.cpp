#include "texture/SwizzlingPS2.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "texture/TexelOps.h"

namespace veldrin {
namespace {

// Placement of four-texel runs inside a 16-texel column pair of one row pair; the two rows of a
// group use the two tables in turn, and odd groups exchange them.
constexpr uint8_t GroupOrderA[8] = {0, 1, 2, 3, 4, 5, 6, 7};
constexpr uint8_t GroupOrderB[8] = {4, 5, 6, 7, 0, 1, 2, 3};

} // namespace

void ExpandNibbles(std::span<const uint8_t> source, std::span<uint8_t> destination, int width, int height) {
    const std::size_t pairs = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) / 2;
    for (std::size_t k = 0; k < pairs; ++k) {
        destination[2 * k] = source[k] & 0x0F;
        destination[2 * k + 1] = source[k] >> 4;
    }
}

void PackNibbles(std::span<const uint8_t> source, std::span<uint8_t> destination, int width, int height) {
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    for (std::size_t j = 0; j + 1 < count; j += 2) {
        destination[j / 2] = static_cast<uint8_t>((source[j] << 4) | (source[j + 1] & 0x0F));
    }
}

void UnswizzlePS2(std::span<const uint8_t> source, std::span<uint8_t> destination, int depth, int width, int height) {
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (width < 8 || height < 4) {
        // No whole group to reorder: the texels are already in row order.
        if (depth == 4) {
            SwapHalfBytes(source, destination, (count + 1) / 2);
        } else {
            std::copy_n(source.begin(), count, destination.begin());
        }
        return;
    }

    std::vector<uint8_t> a(count, 0);
    std::vector<uint8_t> b(count, 0);
    if (depth == 4) {
        ExpandNibbles(source, a, width, height);
    } else {
        std::copy_n(source.begin(), count, a.begin());
    }

    const std::size_t w = static_cast<std::size_t>(width);
    for (int g = height / 4 - 1; g >= 0; --g) {
        const std::size_t base = 4 * static_cast<std::size_t>(g) * w;
        const uint8_t* p = (g % 2 == 0) ? GroupOrderA : GroupOrderB;
        const uint8_t* q = (g % 2 == 0) ? GroupOrderB : GroupOrderA;
        for (std::size_t k = 0; k < w / 8; ++k) {
            for (std::size_t i = 0; i < 8; ++i) {
                const std::size_t s = base + 32 * k + 4 * i;
                b[base + 16 * k + p[i]] = a[s];
                b[base + 16 * k + 8 + p[i]] = a[s + 2];
                b[base + 2 * w + 16 * k + q[i]] = a[s + 1];
                b[base + 2 * w + 16 * k + 8 + q[i]] = a[s + 3];
            }
        }
    }

    if (depth == 4) {
        PackNibbles(b, destination, width, height);
    } else {
        std::copy_n(b.begin(), count, destination.begin());
    }
}

} // namespace veldrin
