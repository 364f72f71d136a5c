#pragma once
#include <cstdint>
#include <vector>

#include "model/GeometryDecoder.h"

namespace veldrin {

// One triangle over the mesh's vertex table, with the DFF material it belongs to (the index of its texture
// in Mesh::textureIds).
struct MeshTriangle {
    uint32_t a, b, c;
    uint32_t material;
};

struct Mesh {
    std::vector<ModelVertex> vertices;
    std::vector<MeshTriangle> triangles; // source material after source material, strip order within each
    std::vector<int16_t> textureIds;     // one DFF material per distinct texture, first-appearance order
};

// Appends the triangles of one strip (vertices first .. first + count - 1). Windows whose corners share a
// position are dropped; a strip of three or more vertices that would give nothing keeps its last window, so
// every such strip owns at least one triangle. Winding alternates from the strip's first vertex.
void appendStripTriangles(const std::vector<ModelVertex>& vertices, uint32_t first, uint32_t count,
                          uint32_t material, std::vector<MeshTriangle>& out);

// Triangles of every material, grouped by texture; with `weld`, identical vertices are merged and unused
// ones dropped (see VertexWelder.h).
Mesh buildMesh(DecodedGeometry geometry, bool weld);

} // namespace veldrin
