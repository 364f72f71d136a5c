#pragma once
// Reads a DFF written by the model converter back into plain values, through the independent chunk-tree
// reader, checking the fixed fields on the way.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "ChunkTreeReader.h"

namespace veldrin::test {

struct ParsedDff {
    ChunkNode root;
    uint32_t stamp = 0;
    std::string frameName;
    std::vector<std::array<float, 3>> positions;
    std::vector<std::array<float, 2>> coordinates;
    std::vector<std::array<uint8_t, 4>> prelit, night;
    std::vector<std::array<uint16_t, 4>> triangles; // a, b, material, c
    std::vector<std::string> materialNames;
    std::vector<std::pair<uint32_t, std::vector<uint32_t>>> binMeshes; // material index, indices
    bool hasReflection = false, hasMeshExtension = false, hasMaterialEffects = false;
};

inline ParsedDff parseDff(const std::vector<uint8_t>& file) {
    ParsedDff out;
    ChunkTreeReader r(file);
    out.root = r.readRoot();
    const ChunkNode& clump = out.root;
    out.stamp = clump.stamp;
    const bool sa = clump.stamp == 0x1803FFFF;
    EXPECT_EQ(clump.type, 0x10u);
    EXPECT_EQ(clump.children.size(), 5u);
    EXPECT_EQ(r.u32(clump.child(0).content), 1u); // one atomic

    const ChunkNode& frames = clump.child(1);
    EXPECT_EQ(frames.type, 0x0Eu);
    EXPECT_EQ(frames.child(0).size, 60u);
    EXPECT_EQ(r.u32(frames.child(0).content + 52), 0xFFFFFFFFu); // no parent
    const ChunkNode& frameName = frames.child(1).find(0x0253F2FE);
    out.frameName = r.text(frameName.content, frameName.size);

    const ChunkNode& geometryList = clump.child(2);
    EXPECT_EQ(geometryList.type, 0x1Au);
    const ChunkNode& geometry = geometryList.child(1);
    EXPECT_EQ(geometry.type, 0x0Fu);
    const ChunkNode& gs = geometry.child(0);
    std::size_t at = gs.content;
    EXPECT_EQ(r.u32(at), 0x0001006Cu);
    const uint32_t triangleCount = r.u32(at + 4), vertexCount = r.u32(at + 8);
    EXPECT_EQ(r.u32(at + 12), 1u);
    at += 16;
    if (!sa) at += 12; // ambient, specular, diffuse
    for (uint32_t i = 0; i < vertexCount; ++i, at += 4) {
        out.prelit.push_back({file[at], file[at + 1], file[at + 2], file[at + 3]});
    }
    for (uint32_t i = 0; i < vertexCount; ++i, at += 8) out.coordinates.push_back({r.f32(at), r.f32(at + 4)});
    for (uint32_t i = 0; i < triangleCount; ++i, at += 8) {
        out.triangles.push_back({r.u16(at), r.u16(at + 2), r.u16(at + 4), r.u16(at + 6)});
    }
    EXPECT_EQ(r.f32(at + 12), 10.0f); // bounding sphere radius
    EXPECT_EQ(r.u32(at + 16), 1u);    // positions present
    EXPECT_EQ(r.u32(at + 20), 0u);    // no normals
    at += 24;
    for (uint32_t i = 0; i < vertexCount; ++i, at += 12) out.positions.push_back({r.f32(at), r.f32(at + 4), r.f32(at + 8)});
    EXPECT_EQ(at, gs.content + gs.size) << "geometry struct holds more than its fields";

    const ChunkNode& materials = geometry.child(1);
    EXPECT_EQ(materials.type, 0x08u);
    const uint32_t materialCount = r.u32(materials.child(0).content);
    EXPECT_EQ(materials.children.size(), materialCount + 1);
    for (uint32_t m = 0; m < materialCount; ++m) {
        const ChunkNode& material = materials.child(m + 1);
        const ChunkNode& texture = material.find(0x06);
        const ChunkNode& name = texture.child(1);
        std::string text = r.text(name.content, name.size);
        out.materialNames.push_back(text.substr(0, text.find('\0')));
        const ChunkNode& ext = material.child(2);
        if (ext.has(0x0253F2FC)) out.hasReflection = true;
    }

    const ChunkNode& ext = geometry.child(2);
    const ChunkNode& bin = ext.find(0x050E);
    const uint32_t meshCount = r.u32(bin.content + 4);
    std::size_t b = bin.content + 12;
    for (uint32_t i = 0; i < meshCount; ++i) {
        const uint32_t count = r.u32(b), index = r.u32(b + 4);
        b += 8;
        std::vector<uint32_t> indices;
        for (uint32_t k = 0; k < count; ++k, b += 4) indices.push_back(r.u32(b));
        out.binMeshes.emplace_back(index, indices);
    }
    EXPECT_EQ(b, bin.content + bin.size);
    out.hasMeshExtension = ext.has(0x0253F2FD);
    if (ext.has(0x0253F2F9)) {
        const ChunkNode& nightChunk = ext.find(0x0253F2F9);
        EXPECT_EQ(r.text(nightChunk.content, 4), "FUK1");
        for (std::size_t c = nightChunk.content + 4; c < nightChunk.content + nightChunk.size; c += 4) {
            out.night.push_back({file[c], file[c + 1], file[c + 2], file[c + 3]});
        }
    }

    const ChunkNode& atomic = clump.child(3);
    EXPECT_EQ(atomic.type, 0x14u);
    EXPECT_EQ(r.u32(atomic.child(0).content + 8), 5u);
    out.hasMaterialEffects = atomic.child(1).has(0x0120);
    EXPECT_EQ(clump.child(4).type, 0x03u);
    EXPECT_EQ(clump.child(4).size, 0u);
    return out;
}

} // namespace veldrin::test
