#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/Editions.h"

namespace veldrin {

// One decoded source vertex: raw position, scaled texture coordinates, raw 5:5:5 colour.
struct ModelVertex {
    std::array<int16_t, 3> position;
    float u, v;
    uint16_t colour;
};

// One material record of a geometry part and where its triangle strip lies.
struct ModelMaterial {
    int16_t textureId = 0;
    float uScale = 0.0f, vScale = 0.0f;
    int64_t dataOffset = 0;   // absolute position of the vertex data in the level
    int64_t dataSize = 0;     // bytes of vertex data
    uint32_t firstVertex = 0; // index in the model's vertex table (set while decoding vertices)
    uint32_t vertexCount = 0;
};

struct DecodedGeometry {
    std::vector<ModelMaterial> materials; // first part's, then second part's; empty: the model has nothing
    std::vector<ModelVertex> vertices;    // all strips, material after material
    std::vector<int16_t> textureIds;      // distinct ids in order of first appearance
};

// Material records of both parts (secondPart 0 = none), vertex data untouched. Empty when the first part has
// no materials. `label` names the model in error messages.
std::vector<ModelMaterial> readMaterialRecords(std::span<const uint8_t> level, int64_t firstPart, int64_t secondPart,
                                               GameVersion edition, const std::string& label);

// Material records and every material's strip. Throws VeldrinError when the data points outside the level.
DecodedGeometry decodeGeometry(std::span<const uint8_t> level, int64_t firstPart, int64_t secondPart,
                               GameVersion edition, const std::string& label);

// What decodeGeometry checks (records, and every batch or vertex run inside the level and inside its
// material's data) without decoding a vertex: the records with their vertex counts, or the same VeldrinError.
std::vector<ModelMaterial> checkGeometry(std::span<const uint8_t> level, int64_t firstPart, int64_t secondPart,
                                        GameVersion edition, const std::string& label);

// Bytes of the level that the materials' vertex data covers; data the level does not hold is not counted.
int64_t vertexDataBytes(const std::vector<ModelMaterial>& materials, std::size_t levelSize);

// An honest level's models read their own geometry, and a pair's second part once more: vertex data
// past this many times the level's size (plus the allowance) is the same geometry named over and over,
// which would make output without bound from a small file.
inline constexpr int64_t kGeometryReadsPerLevelByte = 4;
inline constexpr int64_t kGeometryReadAllowance = 16 << 20;
inline int64_t geometryReadBound(int64_t levelBytes) { return kGeometryReadsPerLevelByte * levelBytes + kGeometryReadAllowance; }
std::string sharedGeometryMessage(int64_t levelBytes);

// Distinct texture ids of the materials, in order of first appearance.
std::vector<int16_t> distinctTextureIds(const std::vector<ModelMaterial>& materials);

} // namespace veldrin
