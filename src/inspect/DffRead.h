#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "inspect/ChunkTree.h"

namespace veldrin::inspect {

// One geometry of a model file, as its flags say it is laid out.
struct DffGeometry {
    uint32_t format = 0; // flags, texture coordinate sets, native bit
    uint32_t triangleCount = 0, vertexCount = 0, morphTargetCount = 0;
    std::vector<std::array<float, 3>> positions;  // of the first morph target
    std::vector<std::array<float, 2>> coordinates; // the first set
    std::vector<std::array<uint8_t, 4>> prelit, night;
    uint32_t nightHeader = 0;                      // the word before the night colours
    std::vector<std::array<uint16_t, 4>> triangles; // as stored: b, a, material, c
    std::vector<std::string> materialNames;        // one per material chunk; "" when untextured
    std::vector<std::pair<uint32_t, std::vector<uint32_t>>> binMeshes; // material index, indices
    bool hasReflection = false, hasMeshExtension = false;
};

struct DffAtomic {
    uint32_t frame = 0, geometry = 0, flags = 0;
    bool hasMaterialEffects = false;
};

struct DffModel {
    ChunkNode root; // the clump
    uint32_t stamp = 0;
    std::vector<std::string> frameNames; // "" for a frame without a name
    std::vector<DffGeometry> geometries;
    std::vector<DffAtomic> atomics;
};

// Reads a model file (one clump) back into plain values. Refuses, with VeldrinError naming `what`, the
// chunk and the offset, any chunk missing where the layout needs it and any count whose records do not
// fit in their chunk.
DffModel readDff(std::span<const uint8_t> file, const std::string& what);

} // namespace veldrin::inspect
