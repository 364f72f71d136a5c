#include "app/options/MapOffset.h"

#include <cmath>

#include "base/Error.h"
#include "base/TextUtil.h"

namespace veldrin {

std::array<double, 3> parseMapOffset(const std::array<std::string, 3>& texts, MapOffsetMessages messages) {
    static constexpr char kAxes[3] = {'X', 'Y', 'Z'};
    std::array<double, 3> offset{};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const auto value = parseDecimal(texts[axis]);
        if (value && std::isfinite(*value)) {
            offset[axis] = *value;
            continue;
        }
        if (messages == MapOffsetMessages::CollisionMap)
            throw VeldrinError(std::string("Global map offset ") + kAxes[axis] + " error!");
        throw VeldrinError(std::string(kInvalidMapOffsetMessage) + " (" + kAxes[axis] + ": \"" + texts[axis] +
                           "\" is not a number)");
    }
    return offset;
}

} // namespace veldrin
