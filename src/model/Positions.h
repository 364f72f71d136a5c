#pragma once
#include <array>
#include <vector>

#include "model/GeometryDecoder.h"

namespace veldrin {

// Divisor that maps the raw i16 range onto +-scale: 32768 / scale, or 1024 for a scale of 0.
float positionDivisor(float scale);

// Positions of the vertices in model space: raw / divisor per axis.
std::vector<std::array<float, 3>> scaledPositions(const std::vector<ModelVertex>& vertices,
                                                  const std::array<float, 3>& scale);

} // namespace veldrin
