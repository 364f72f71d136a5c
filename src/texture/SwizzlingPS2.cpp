#include "internal/SwizzlingPS2.h"

#include <cstddef>

#include "internal/TexelOps.h"

namespace veldrin {
namespace {

// Placement of four-texel runs inside a 16-texel column pair of one row pair; the two rows of a
// group use the two tables in turn, and odd groups exchange them.
constexpr uint8_t GroupOrderA[8] = {0, 1, 2, 3, 4, 5, 6, 7};
constexpr uint8_t GroupOrderB[8] = {4, 5, 6, 7, 0, 1, 2, 3};

// Every group of four rows holds, in runs of four texels, the texels of its first and third row
// (run texels 0 and 2) and of its second and fourth row (run texels 1 and 3).
template <int Depth>
void reorderGroups(const uint8_t* source, std::size_t width, std::size_t height, uint8_t* indices) {
    for (std::size_t g = 0; g < height / 4; ++g) {
        const std::size_t base = 4 * g * width;
        const uint8_t* p = (g % 2 == 0) ? GroupOrderA : GroupOrderB;
        const uint8_t* q = (g % 2 == 0) ? GroupOrderB : GroupOrderA;
        for (std::size_t k = 0; k < width / 8; ++k) {
            uint8_t* upper = indices + base + 16 * k;
            uint8_t* lower = upper + 2 * width;
            for (std::size_t i = 0; i < 8; ++i) {
                const std::size_t s = base + 32 * k + 4 * i;
                upper[p[i]] = consoleTexel<Depth>(source, s);
                upper[8 + p[i]] = consoleTexel<Depth>(source, s + 2);
                lower[q[i]] = consoleTexel<Depth>(source, s + 1);
                lower[8 + q[i]] = consoleTexel<Depth>(source, s + 3);
            }
        }
    }
}

} // namespace

void unswizzlePs2(std::span<const uint8_t> source, int depth, int width, int height, std::span<uint8_t> indices) {
    if (width < 8 || height < 4) {
        expandTexels(source, depth, indices);
        return;
    }
    const auto w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
    if (depth == 4) {
        reorderGroups<4>(source.data(), w, h, indices.data());
    } else {
        reorderGroups<8>(source.data(), w, h, indices.data());
    }
}

} // namespace veldrin
