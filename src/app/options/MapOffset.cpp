#include "app/options/MapOffset.h"

#include <cmath>

#include "base/DecimalText.h"
#include "base/Error.h"
#include "base/TextUtil.h"

namespace veldrin {

namespace {

// The three texts as doubles; `fits` says whether a value is one the offset can hold.
template <typename Fits>
std::array<double, 3> parseAxes(const std::array<std::string, 3>& texts, MapOffsetMessages messages, Fits fits) {
    static constexpr char kAxes[3] = {'X', 'Y', 'Z'};
    std::array<double, 3> values{};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const auto value = parseDecimal(texts[axis]);
        if (value && std::isfinite(*value) && fits(*value)) {
            values[axis] = *value;
            continue;
        }
        if (messages == MapOffsetMessages::CollisionMap)
            throw VeldrinError(std::string("Global map offset ") + kAxes[axis] + " error!");
        throw VeldrinError(std::string(kInvalidMapOffsetMessage) + " (" + kAxes[axis] + ": \"" + texts[axis] +
                           "\" is not a number)");
    }
    return values;
}

} // namespace

MapOffset parseMapOffset(const std::array<std::string, 3>& texts, MapOffsetMessages messages) {
    // A finite double past the float range would become infinite: refused like "inf".
    const auto values = parseAxes(texts, messages, [](double v) { return std::isfinite(static_cast<float>(v)); });
    MapOffset offset;
    for (std::size_t axis = 0; axis < 3; ++axis) offset.xyz[axis] = static_cast<float>(values[axis]);
    return offset;
}

std::array<double, 3> parseExactMapOffset(const std::array<std::string, 3>& texts, MapOffsetMessages messages) {
    return parseAxes(texts, messages, [](double) { return true; });
}

std::array<std::string, 3> splitMapOffsetText(const std::string& xyz) {
    std::array<std::string, 3> parts;
    std::size_t start = 0;
    for (std::size_t axis = 0; axis < 3 && start <= xyz.size(); ++axis) {
        const std::size_t comma = axis < 2 ? xyz.find(',', start) : std::string::npos;
        parts[axis] = xyz.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        start = comma == std::string::npos ? xyz.size() + 1 : comma + 1;
    }
    return parts;
}

MapOffset parseMapOffset(const std::string& xyz, MapOffsetMessages messages) {
    return parseMapOffset(splitMapOffsetText(xyz), messages);
}

std::string mapOffsetText(const MapOffset& offset) {
    const auto& m = offset.xyz;
    return formatGeneral(m[0], 9, 2) + "," + formatGeneral(m[1], 9, 2) + "," + formatGeneral(m[2], 9, 2);
}

} // namespace veldrin
