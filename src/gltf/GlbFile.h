#pragma once
#include <cstdint>
#include <vector>

#include "scene/Scene.h"

namespace veldrin {

// The scene as one glTF 2.0 binary: a root node named after the level turns the game's z-up world to
// glTF's y-up and holds one node per placement (named after its model, placed and turned as the game
// places it); one mesh per model that has triangles (named after it: positions, texture coordinates,
// prelight as COLOR_0, one primitive per material); one material per texture used, its picture
// embedded as PNG (alpha-tested when the dictionary says it has alpha) and one for untextured
// triangles. Faces are drawn from both sides, as the converted models may be.
std::vector<uint8_t> writeGlb(const Scene& scene);

} // namespace veldrin
