#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace veldrin {

// What the report's models table counts of a written model file.
struct ModelCounts {
    int64_t triangles = 0, vertices = 0; // over every geometry of the clump
};

// Reads only the chunk headers and each geometry's counts. Throws VeldrinError naming `what` when the
// file is not one clump with a geometry list.
ModelCounts countModelGeometry(std::span<const uint8_t> dff, const std::string& what);

} // namespace veldrin
