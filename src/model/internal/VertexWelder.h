#pragma once
#include <vector>

#include "model/MeshBuilder.h"

namespace veldrin {

// Merges vertices whose position, texture coordinates (compared as bit patterns) and colour are identical.
// Corners are visited triangle by triangle in the order a, b, c; each distinct vertex gets the next index at
// its first use and the corners are rewritten to those indices. Returns the distinct vertices; vertices no
// triangle uses are dropped.
std::vector<ModelVertex> weldVertices(const std::vector<ModelVertex>& vertices, std::vector<MeshTriangle>& triangles);

// The same result by a linear search over the distinct vertices found so far (quadratic); the reference the
// hashed version is measured and tested against.
std::vector<ModelVertex> weldVerticesLinear(const std::vector<ModelVertex>& vertices,
                                            std::vector<MeshTriangle>& triangles);

} // namespace veldrin
