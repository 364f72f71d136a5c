#include "model/Positions.h"

namespace veldrin {

float positionDivisor(float scale) {
    return scale != 0.0f ? static_cast<float>(32768.0 / static_cast<double>(scale)) : 1024.0f;
}

std::vector<std::array<float, 3>> scaledPositions(const std::vector<ModelVertex>& vertices,
                                                  const std::array<float, 3>& scale) {
    const std::array<float, 3> divisor{positionDivisor(scale[0]), positionDivisor(scale[1]), positionDivisor(scale[2])};
    std::vector<std::array<float, 3>> out;
    out.reserve(vertices.size());
    for (const ModelVertex& v : vertices) {
        out.push_back({static_cast<float>(v.position[0]) / divisor[0], static_cast<float>(v.position[1]) / divisor[1],
                       static_cast<float>(v.position[2]) / divisor[2]});
    }
    return out;
}

} // namespace veldrin
