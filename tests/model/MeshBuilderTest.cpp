#include <gtest/gtest.h>

#include <random>

#include "internal/VertexWelder.h"
#include "model/MeshBuilder.h"

using namespace veldrin;

namespace {

ModelVertex vertexAt(int16_t x, int16_t y = 0, uint16_t colour = 0, float u = 0.0f) {
    return ModelVertex{{x, y, 0}, u, 0.0f, colour};
}

std::vector<ModelVertex> distinctVertices(int count) {
    std::vector<ModelVertex> v;
    for (int i = 0; i < count; ++i) v.push_back(vertexAt(static_cast<int16_t>(i)));
    return v;
}

using Corners = std::array<uint32_t, 3>;
std::vector<Corners> cornersOf(const std::vector<MeshTriangle>& triangles) {
    std::vector<Corners> out;
    for (const MeshTriangle& t : triangles) out.push_back({t.a, t.b, t.c});
    return out;
}

ModelMaterial materialOf(int16_t textureId, uint32_t first, uint32_t count) {
    ModelMaterial m;
    m.textureId = textureId;
    m.firstVertex = first;
    m.vertexCount = count;
    return m;
}

} // namespace

TEST(StripTriangles, WindingAlternatesFromTheStripsFirstVertex) {
    const auto v = distinctVertices(10);
    std::vector<MeshTriangle> out;
    appendStripTriangles(v, 0, 3, 0, out);
    EXPECT_EQ(cornersOf(out), (std::vector<Corners>{{0, 2, 1}}));
    out.clear();
    appendStripTriangles(v, 5, 4, 7, out);
    EXPECT_EQ(cornersOf(out), (std::vector<Corners>{{5, 7, 6}, {6, 7, 8}}));
    EXPECT_EQ(out[0].material, 7u);
    EXPECT_EQ(out[1].material, 7u);
}

TEST(StripTriangles, DegenerateWindowsAreSkippedButKeepTheirParity) {
    auto v = distinctVertices(6);
    v[2].position = v[1].position;
    std::vector<MeshTriangle> out;
    appendStripTriangles(v, 0, 6, 0, out);
    // Window 0 (0,1,2) and 1 (1,2,3) and nothing else are degenerate; window 2 is even, window 3 odd.
    EXPECT_EQ(cornersOf(out), (std::vector<Corners>{{2, 4, 3}, {3, 4, 5}}));

    // Equal positions are what counts, not equal vertices: same position, other colour is still degenerate.
    auto w = distinctVertices(3);
    w[2] = vertexAt(0, 0, 0x1234, 0.5f);
    out.clear();
    appendStripTriangles(w, 0, 3, 0, out);
    EXPECT_EQ(cornersOf(out), (std::vector<Corners>{{0, 1, 2}})); // kept as the strip's one fallback triangle
}

TEST(StripTriangles, AFullyDegenerateStripKeepsItsLastWindow) {
    std::vector<ModelVertex> v{vertexAt(1), vertexAt(1), vertexAt(2), vertexAt(2), vertexAt(3), vertexAt(3)};
    std::vector<MeshTriangle> out;
    appendStripTriangles(v, 0, 6, 0, out);
    EXPECT_EQ(cornersOf(out), (std::vector<Corners>{{3, 4, 5}}));
}

TEST(StripTriangles, OneOrTwoVerticesGiveNothing) {
    const auto v = distinctVertices(2);
    std::vector<MeshTriangle> out;
    appendStripTriangles(v, 0, 0, 0, out);
    appendStripTriangles(v, 0, 1, 0, out);
    appendStripTriangles(v, 0, 2, 0, out);
    EXPECT_TRUE(out.empty());
}

TEST(MeshBuilder, TrianglesCarryTheIndexOfTheirTexture) {
    DecodedGeometry g;
    g.vertices = distinctVertices(12);
    g.materials = {materialOf(30, 0, 4), materialOf(-2, 4, 3), materialOf(30, 7, 3), materialOf(5, 10, 2)};
    g.textureIds = {30, -2, 5};
    const Mesh mesh = buildMesh(g, false);
    EXPECT_EQ(mesh.textureIds, (std::vector<int16_t>{30, -2, 5}));
    ASSERT_EQ(mesh.triangles.size(), 4u); // 2 + 1 + 1 + 0
    EXPECT_EQ(mesh.triangles[0].material, 0u);
    EXPECT_EQ(mesh.triangles[1].material, 0u);
    EXPECT_EQ(mesh.triangles[2].material, 1u);
    EXPECT_EQ(mesh.triangles[3].material, 0u); // the third source material shares the first texture
    EXPECT_EQ(cornersOf(mesh.triangles)[3], (Corners{7, 9, 8}));
    EXPECT_EQ(mesh.vertices.size(), 12u); // without welding every decoded vertex stays, used or not
}

TEST(Welding, SharedVerticesAreWrittenOnceInFirstUseOrder) {
    // Two strips over the same quad: the second repeats the first's vertices.
    DecodedGeometry g;
    g.vertices = {vertexAt(0), vertexAt(1), vertexAt(2), vertexAt(3), vertexAt(0), vertexAt(1), vertexAt(2)};
    g.materials = {materialOf(1, 0, 4), materialOf(2, 4, 3)};
    g.textureIds = {1, 2};
    const Mesh mesh = buildMesh(g, true);
    ASSERT_EQ(mesh.triangles.size(), 3u);
    EXPECT_EQ(cornersOf(mesh.triangles), (std::vector<Corners>{{0, 1, 2}, {2, 1, 3}, {0, 1, 2}}));
    // First-use order: corners 0, 2, 1 of the first triangle become 0, 1, 2.
    ASSERT_EQ(mesh.vertices.size(), 4u);
    EXPECT_EQ(mesh.vertices[0].position[0], 0);
    EXPECT_EQ(mesh.vertices[1].position[0], 2);
    EXPECT_EQ(mesh.vertices[2].position[0], 1);
    EXPECT_EQ(mesh.vertices[3].position[0], 3);
}

TEST(Welding, VerticesDifferingInAnyByteStayApartAndUnusedOnesGo) {
    std::vector<ModelVertex> v{vertexAt(0), vertexAt(1), vertexAt(2), vertexAt(0, 0, 1), vertexAt(0, 0, 0, -0.0f),
                               vertexAt(9)};
    std::vector<MeshTriangle> t{{0, 1, 2, 0}, {3, 1, 2, 0}, {4, 1, 2, 0}};
    const auto distinct = weldVertices(v, t);
    // Colour differs; -0.0 and 0.0 differ in their bits; vertex 5 is used by no triangle.
    EXPECT_EQ(distinct.size(), 5u);
    EXPECT_EQ(cornersOf(t), (std::vector<Corners>{{0, 1, 2}, {3, 1, 2}, {4, 1, 2}}));
}

TEST(Welding, HashedAndLinearSearchesGiveTheSameResult) {
    std::mt19937 random(7);
    std::vector<ModelVertex> v;
    // Few distinct values per field, so that many vertices repeat.
    for (int i = 0; i < 3000; ++i) {
        v.push_back(ModelVertex{{static_cast<int16_t>(random() % 8), static_cast<int16_t>(random() % 8), 0},
                                static_cast<float>(random() % 3) * 0.5f, 0.25f, static_cast<uint16_t>(random() % 2)});
    }
    std::vector<MeshTriangle> t;
    for (int i = 0; i < 2000; ++i) {
        t.push_back({static_cast<uint32_t>(random() % v.size()), static_cast<uint32_t>(random() % v.size()),
                     static_cast<uint32_t>(random() % v.size()), static_cast<uint32_t>(i % 4)});
    }
    auto hashedTriangles = t, linearTriangles = t;
    const auto hashed = weldVertices(v, hashedTriangles);
    const auto linear = weldVerticesLinear(v, linearTriangles);
    ASSERT_EQ(hashed.size(), linear.size());
    EXPECT_LE(hashed.size(), 8u * 8 * 3 * 2); // every combination of the fields at most: many corners merged
    for (std::size_t i = 0; i < hashed.size(); ++i) {
        EXPECT_EQ(hashed[i].position, linear[i].position);
        EXPECT_EQ(hashed[i].u, linear[i].u);
        EXPECT_EQ(hashed[i].colour, linear[i].colour);
    }
    EXPECT_EQ(cornersOf(hashedTriangles), cornersOf(linearTriangles));
}
