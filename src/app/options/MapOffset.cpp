#include "app/options/MapOffset.h"

#include <cmath>

#include "base/DecimalText.h"
#include "base/Error.h"
#include "base/TextUtil.h"

namespace veldrin {

MapOffset parseMapOffset(const std::array<std::string, 3>& texts, MapOffsetMessages messages) {
    static constexpr char kAxes[3] = {'X', 'Y', 'Z'};
    MapOffset offset;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const auto value = parseDecimal(texts[axis]);
        // A finite double past the float range would become infinite: refused like "inf".
        if (value && std::isfinite(*value) && std::isfinite(static_cast<float>(*value))) {
            offset.xyz[axis] = static_cast<float>(*value);
            continue;
        }
        if (messages == MapOffsetMessages::CollisionMap)
            throw VeldrinError(std::string("Global map offset ") + kAxes[axis] + " error!");
        throw VeldrinError(std::string(kInvalidMapOffsetMessage) + " (" + kAxes[axis] + ": \"" + texts[axis] +
                           "\" is not a number)");
    }
    return offset;
}

MapOffset parseMapOffset(const std::string& xyz, MapOffsetMessages messages) {
    std::array<std::string, 3> parts;
    std::size_t start = 0;
    for (std::size_t axis = 0; axis < 3 && start <= xyz.size(); ++axis) {
        const std::size_t comma = axis < 2 ? xyz.find(',', start) : std::string::npos;
        parts[axis] = xyz.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        start = comma == std::string::npos ? xyz.size() + 1 : comma + 1;
    }
    return parseMapOffset(parts, messages);
}

std::string mapOffsetText(const MapOffset& offset) {
    const auto& m = offset.xyz;
    return formatGeneral(m[0], 9, 2) + "," + formatGeneral(m[1], 9, 2) + "," + formatGeneral(m[2], 9, 2);
}

} // namespace veldrin
