#pragma once
#include <array>
#include <string>
#include <vector>

#include "model/MeshBuilder.h"
#include "model/Prelight.h"

namespace veldrin {

// Everything one DFF holds, already in the writer's terms: one frame, one geometry, one atomic.
struct DffModel {
    std::string name;                                 // frame name
    std::vector<std::array<float, 3>> positions;      // one per vertex
    std::vector<std::array<float, 2>> coordinates;    // one per vertex
    VertexColours colours;                            // night colours written only for GTA SA
    bool nightColours = false;                        // GTA SA: the night colour chunk, even with no vertices
    std::vector<MeshTriangle> triangles;              // vertex indices below 65536, stored as a, b, material, c
    std::vector<std::string> materialNames;           // texture name of each material
    bool untextured = false;                          // the materials name no texture (their names unused)
};

} // namespace veldrin
