#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veldrin {

// One zone of a MAP.ZON zone section.
struct ZoneEntry {
    uint8_t island = 0;
    std::string name; // at most 24 characters
    std::array<float, 3> min{};
    std::array<float, 3> max{};
};

using ZoneTable = std::vector<ZoneEntry>;

inline constexpr std::size_t kZoneNameLength = 24;

// Reads the zone lines of a MAP.ZON text, in file order. A section runs from a line "zone" to a line
// "end" (blanks around either are ignored) or to the end of the text; inside it, blank lines and
// lines beginning with "#" are skipped and every other line holds nine comma-separated fields:
// name, zone type (skipped), min x, min y, min z, max x, max y, max z, island (0 to 255).
// A malformed line is refused with VeldrinError naming `sourceName` and the line number.
// Safe for untrusted input: one pass over the text, names cut to 24 characters.
ZoneTable readZoneTable(std::string_view text, std::string_view sourceName = "MAP.ZON");
ZoneTable readZoneTable(std::span<const uint8_t> bytes, std::string_view sourceName = "MAP.ZON");

// True when (x, y, z) lies strictly inside at least one zone of `island`. A negative island (no
// island chosen) keeps nothing.
bool isInsideIsland(const ZoneTable& zones, int island, float x, float y, float z);

// The smallest island that has a zone: the one a run keeps when none is named. None for an empty table.
std::optional<int> smallestIsland(const ZoneTable& zones);

} // namespace veldrin
