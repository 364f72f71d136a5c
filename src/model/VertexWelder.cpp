#include "internal/VertexWelder.h"

#include <bit>
#include <unordered_map>

namespace veldrin {

namespace {

// Every byte that decides whether two vertices are the same, packed into 16 bytes.
struct WeldKey {
    uint64_t positionAndColour;
    uint64_t coordinates;
    bool operator==(const WeldKey&) const = default;
};

WeldKey keyOf(const ModelVertex& v) {
    const auto p = [](int16_t c) { return static_cast<uint64_t>(static_cast<uint16_t>(c)); };
    return {p(v.position[0]) | p(v.position[1]) << 16 | p(v.position[2]) << 32 | static_cast<uint64_t>(v.colour) << 48,
            static_cast<uint64_t>(std::bit_cast<uint32_t>(v.u)) |
                static_cast<uint64_t>(std::bit_cast<uint32_t>(v.v)) << 32};
}

struct WeldKeyHash {
    std::size_t operator()(const WeldKey& k) const {
        // Mix both words so that keys differing in any bit spread over the buckets.
        uint64_t h = k.positionAndColour * 0x9E3779B97F4A7C15ull;
        h ^= (k.coordinates + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
        return static_cast<std::size_t>(h ^ (h >> 31));
    }
};

bool sameVertex(const ModelVertex& p, const ModelVertex& q) { return keyOf(p) == keyOf(q); }

} // namespace

std::vector<ModelVertex> weldVertices(const std::vector<ModelVertex>& vertices, std::vector<MeshTriangle>& triangles) {
    std::vector<ModelVertex> distinct;
    std::unordered_map<WeldKey, uint32_t, WeldKeyHash> indexOf;
    indexOf.reserve(vertices.size());
    const auto weld = [&](uint32_t& corner) {
        const ModelVertex& v = vertices[corner];
        const auto [it, added] = indexOf.try_emplace(keyOf(v), static_cast<uint32_t>(distinct.size()));
        if (added) distinct.push_back(v);
        corner = it->second;
    };
    for (MeshTriangle& t : triangles) {
        weld(t.a);
        weld(t.b);
        weld(t.c);
    }
    return distinct;
}

std::vector<ModelVertex> weldVerticesLinear(const std::vector<ModelVertex>& vertices,
                                            std::vector<MeshTriangle>& triangles) {
    std::vector<ModelVertex> distinct;
    const auto weld = [&](uint32_t& corner) {
        const ModelVertex& v = vertices[corner];
        uint32_t i = 0;
        while (i < distinct.size() && !sameVertex(distinct[i], v)) ++i;
        if (i == distinct.size()) distinct.push_back(v);
        corner = i;
    };
    for (MeshTriangle& t : triangles) {
        weld(t.a);
        weld(t.b);
        weld(t.c);
    }
    return distinct;
}

} // namespace veldrin
