#include "model/ModelConverter.h"

#include <algorithm>

#include "base/TextureName.h"
#include "internal/DffWriter.h"
#include "model/GeometryDecoder.h"
#include "model/MeshBuilder.h"
#include "model/Positions.h"
#include "model/Prelight.h"

namespace veldrin {

namespace {

constexpr std::size_t kMaxIndexedVertices = 0xFFFF; // triangles index vertices with 16 bits

std::vector<int> widen(const std::vector<int16_t>& ids) { return {ids.begin(), ids.end()}; }

DffModel dffModelOf(Mesh&& mesh, const ModelParams& params) {
    DffModel m;
    m.name = params.modelName;
    m.positions = scaledPositions(mesh.vertices, params.scale);
    m.coordinates.reserve(mesh.vertices.size());
    for (const ModelVertex& v : mesh.vertices) m.coordinates.push_back({v.u, v.v});
    m.nightColours = params.nightPrelit && params.target == TargetGame::GtaSa;
    m.colours = computeVertexColours(mesh.vertices, m.nightColours, params.dayMinimum, params.nightMinimum);
    m.triangles = std::move(mesh.triangles);
    for (int16_t id : mesh.textureIds) m.materialNames.push_back(textureName(params.texturePrefix, id));
    return m;
}

} // namespace


ModelOutput convertModel(std::span<const uint8_t> level, int64_t firstPart, int64_t secondPart,
                         const ModelParams& params) {
    ModelOutput out;
    DecodedGeometry geometry = decodeGeometry(level, firstPart, secondPart, params.edition, "model " + params.modelName);
    if (geometry.materials.empty()) return out;

    Mesh mesh = buildMesh(std::move(geometry), params.optimiseMesh);
    if (mesh.vertices.size() > kMaxIndexedVertices) {
        out.skipReason = "model " + params.modelName + " has " + std::to_string(mesh.vertices.size()) +
                         " vertices, more than the 65535 that 16-bit triangle indices can address";
        return out;
    }

    out.textureIds = widen(mesh.textureIds);
    DffModel dff = dffModelOf(std::move(mesh), params);
    for (const auto& p : dff.positions) {
        for (int axis = 0; axis < 3; ++axis) {
            out.boundsMin[axis] = std::min(out.boundsMin[axis], p[axis]);
            out.boundsMax[axis] = std::max(out.boundsMax[axis], p[axis]);
        }
    }
    out.dff = writeDff(dff, params.target);
    if (params.keepWritten) out.written = std::move(dff);
    out.produced = true;
    return out;
}

std::vector<int> readModelTextureIds(std::span<const uint8_t> level, int64_t firstPart, int64_t secondPart,
                                     GameVersion edition) {
    return readModelFootprint(level, firstPart, secondPart, edition).textureIds;
}

ModelFootprint readModelFootprint(std::span<const uint8_t> level, int64_t firstPart, int64_t secondPart,
                                  GameVersion edition) {
    const std::vector<ModelMaterial> materials = readMaterialRecords(level, firstPart, secondPart, edition, "model");
    return {widen(distinctTextureIds(materials)), vertexDataBytes(materials, level.size())};
}

} // namespace veldrin
