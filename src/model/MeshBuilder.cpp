#include "model/MeshBuilder.h"

#include <unordered_map>

#include "internal/VertexWelder.h"

namespace veldrin {

namespace {

bool samePosition(const ModelVertex& p, const ModelVertex& q) { return p.position == q.position; }

} // namespace

void appendStripTriangles(const std::vector<ModelVertex>& vertices, uint32_t first, uint32_t count,
                          uint32_t material, std::vector<MeshTriangle>& out) {
    if (count < 3) return;
    bool emitted = false;
    for (uint32_t i = 0; i + 2 < count; ++i) {
        const uint32_t j = first + i;
        const ModelVertex &p = vertices[j], &q = vertices[j + 1], &r = vertices[j + 2];
        if (samePosition(p, q) || samePosition(q, r) || samePosition(p, r)) continue;
        if (i % 2 == 0) {
            out.push_back({j, j + 2, j + 1, material});
        } else {
            out.push_back({j, j + 1, j + 2, material});
        }
        emitted = true;
    }
    if (!emitted) {
        const uint32_t j = first + count - 3;
        out.push_back({j, j + 1, j + 2, material});
    }
}

Mesh buildMesh(DecodedGeometry geometry, bool weld) {
    Mesh mesh;
    mesh.textureIds = std::move(geometry.textureIds);
    std::unordered_map<int16_t, uint32_t> materialOf;
    for (uint32_t t = 0; t < mesh.textureIds.size(); ++t) materialOf.emplace(mesh.textureIds[t], t);

    for (const ModelMaterial& m : geometry.materials) {
        appendStripTriangles(geometry.vertices, m.firstVertex, m.vertexCount, materialOf.at(m.textureId),
                             mesh.triangles);
    }
    mesh.vertices = weld ? weldVertices(geometry.vertices, mesh.triangles) : std::move(geometry.vertices);
    return mesh;
}

} // namespace veldrin
