#include "internal/Palette.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace veldrin {
namespace {

// Source block of four entries for each output block of a 32-entry group.
constexpr uint8_t ClutOrder[8] = {0, 1, 4, 5, 2, 3, 6, 7};

uint8_t ps2AlphaToPc(uint8_t alpha) { return alpha >= 128 ? 255 : static_cast<uint8_t>(alpha * 2); }

} // namespace

bool convertPaletteAlpha(std::span<const uint8_t> source, std::span<uint8_t> destination, GameVersion edition,
                         int paletteSize) {
    bool hasAlpha = false;
    for (std::size_t e = 0; e + 4 <= static_cast<std::size_t>(paletteSize); e += 4) {
        uint8_t alpha = source[e + 3];
        if (isPs2(edition)) {
            hasAlpha = hasAlpha || alpha < 127;
            alpha = ps2AlphaToPc(alpha);
        } else {
            hasAlpha = hasAlpha || alpha < 254;
        }
        std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(e), 3,
                    destination.begin() + static_cast<std::ptrdiff_t>(e));
        destination[e + 3] = alpha;
    }
    return hasAlpha;
}

void UnswizzleClut(std::span<uint8_t> palette) {
    constexpr std::size_t kGroupBytes = 128, kBlockBytes = 16;
    std::array<uint8_t, kGroupBytes> group{};
    for (std::size_t g = 0; g + kGroupBytes <= palette.size(); g += kGroupBytes) {
        std::copy_n(palette.begin() + static_cast<std::ptrdiff_t>(g), kGroupBytes, group.begin());
        for (std::size_t i = 0; i < 8; ++i) {
            std::copy_n(group.begin() + ClutOrder[i] * kBlockBytes, kBlockBytes,
                        palette.begin() + static_cast<std::ptrdiff_t>(g + i * kBlockBytes));
        }
    }
}

} // namespace veldrin
