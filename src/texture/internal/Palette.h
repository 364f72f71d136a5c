#pragma once
#include <cstdint>
#include <span>

#include "base/Editions.h"

namespace veldrin {

// Copies `paletteSize` bytes of RGBA entries to `destination`, bringing alpha into the PC range,
// and returns whether any entry is transparent. PS2 alpha runs 0..128: below 127 is transparent,
// 128 (and anything above, which the console does not produce) becomes 255, the rest doubles.
// PSP alpha is kept; below 254 is transparent.
bool convertPaletteAlpha(std::span<const uint8_t> source, std::span<uint8_t> destination, GameVersion edition,
                         int paletteSize);

// The PS2 stores 256-entry palettes with entries 8-15 and 16-23 of every 32 exchanged; puts a
// 1024-byte palette back into index order, in place. The exchange is its own inverse.
void UnswizzleClut(std::span<uint8_t> palette);

} // namespace veldrin
