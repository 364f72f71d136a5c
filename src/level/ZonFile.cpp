#include "level/ZonFile.h"

#include <cmath>
#include <limits>

#include "base/Error.h"
#include "base/TextUtil.h"

namespace veldrin {

namespace {

constexpr std::size_t kZoneFieldCount = 9;

struct LineContext {
    std::string_view source;
    std::size_t number;

    [[noreturn]] void fail(const std::string& problem) const {
        throw VeldrinError(std::string(source) + " line " + std::to_string(number) + ": " + problem);
    }
};

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t comma = line.find(',');
        fields.push_back(trimBlanks(line.substr(0, comma)));
        if (comma == std::string_view::npos) return fields;
        line.remove_prefix(comma + 1);
    }
}

float parseBound(std::string_view field, const LineContext& at) {
    const auto value = parseDecimal(field);
    if (!value || !(std::fabs(*value) <= std::numeric_limits<float>::max())) {
        at.fail("\"" + std::string(field) + "\" is not a valid number");
    }
    return static_cast<float>(*value);
}

ZoneEntry parseZoneLine(std::string_view line, const LineContext& at) {
    const std::vector<std::string_view> fields = splitFields(line);
    if (fields.size() != kZoneFieldCount) {
        at.fail("a zone line needs " + std::to_string(kZoneFieldCount) + " comma-separated fields, found " +
                std::to_string(fields.size()));
    }
    ZoneEntry zone;
    zone.name = std::string(fields[0].substr(0, kZoneNameLength));
    for (std::size_t axis = 0; axis < 3; ++axis) {
        zone.min[axis] = parseBound(fields[2 + axis], at);
        zone.max[axis] = parseBound(fields[5 + axis], at);
    }
    const auto island = parseInteger(fields[8]);
    if (!island || *island < 0 || *island > 255) {
        at.fail("the island number \"" + std::string(fields[8]) + "\" is not a whole number from 0 to 255");
    }
    zone.island = static_cast<uint8_t>(*island);
    return zone;
}

} // namespace

ZoneTable readZoneTable(std::string_view text, std::string_view sourceName) {
    ZoneTable zones;
    bool inSection = false;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;

        const std::string_view trimmed = trimBlanks(line);
        if (trimmed == "zone") {
            inSection = true;
        } else if (trimmed == "end") {
            inSection = false;
        } else if (inSection && !trimmed.empty() && trimmed.front() != '#') {
            zones.push_back(parseZoneLine(trimmed, LineContext{sourceName, lineNumber}));
        }
    }
    return zones;
}

ZoneTable readZoneTable(std::span<const uint8_t> bytes, std::string_view sourceName) {
    return readZoneTable(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), sourceName);
}

bool isInsideIsland(const ZoneTable& zones, int island, float x, float y, float z) {
    for (const ZoneEntry& zone : zones) {
        if (zone.island != island) continue;
        if (zone.min[0] < x && x < zone.max[0] && zone.min[1] < y && y < zone.max[1] && zone.min[2] < z && z < zone.max[2]) {
            return true;
        }
    }
    return false;
}

std::optional<int> smallestIsland(const ZoneTable& zones) {
    std::optional<int> smallest;
    for (const ZoneEntry& zone : zones)
        if (!smallest || zone.island < *smallest) smallest = zone.island;
    return smallest;
}

} // namespace veldrin
