#pragma once
// Reads a DFF written by the model converter back through the reader kit and checks the fields that
// every model of ours holds alike (one atomic, one frame without parent, the geometry's flags).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ByteReader.h"
#include "inspect/DffRead.h"

namespace veldrin::test {

using inspect::ChunkNode;

// The one geometry of the model, with the model's own fields beside it.
struct ParsedDff : inspect::DffGeometry {
    ChunkNode root;
    uint32_t stamp = 0;
    std::string frameName;
    bool hasMaterialEffects = false;
};

inline ParsedDff parseDff(const std::vector<uint8_t>& file) {
    const inspect::DffModel model = inspect::readDff(file, "model");
    const ByteReader r(file, "model");
    ParsedDff out;
    static_cast<inspect::DffGeometry&>(out) = model.geometries.at(0);
    out.root = model.root;
    out.stamp = model.stamp;
    out.frameName = model.frameNames.at(0);
    out.hasMaterialEffects = model.atomics.at(0).hasMaterialEffects;
    EXPECT_TRUE(inspect::stampsAgree(model.root));

    const ChunkNode& clump = model.root;
    EXPECT_EQ(clump.children.size(), 5u);
    EXPECT_EQ(r.u32(clump.child(0).content), 1u); // one atomic
    const ChunkNode& frames = clump.child(1);
    EXPECT_EQ(frames.child(0).size, 60u);
    EXPECT_EQ(r.u32(frames.child(0).content + 52), 0xFFFFFFFFu); // no parent
    EXPECT_EQ(model.geometries.size(), 1u);
    EXPECT_EQ(out.format, 0x0001006Cu);
    EXPECT_EQ(out.morphTargetCount, 1u);
    // The morph target closes the geometry struct: bounding sphere, two flags, the positions.
    const ChunkNode& gs = clump.child(2).child(1).child(0);
    const std::size_t morph = gs.end() - 12 * out.positions.size() - 24;
    EXPECT_EQ(r.f32(morph + 12), 10.0f); // bounding sphere radius
    EXPECT_EQ(r.u32(morph + 16), 1u);    // positions present
    EXPECT_EQ(r.u32(morph + 20), 0u);    // no normals
    const ChunkNode& materials = clump.child(2).child(1).child(1);
    EXPECT_EQ(materials.children.size(), r.u32(materials.child(0).content) + 1);
    if (clump.child(2).child(1).child(2).has(inspect::chunk_type::NightColours)) {
        EXPECT_EQ(out.nightHeader, 0x314B5546u); // "FUK1"
    }
    EXPECT_EQ(model.atomics.size(), 1u);
    EXPECT_EQ(model.atomics.at(0).flags, 5u);
    EXPECT_EQ(clump.child(4).type, 0x03u);
    EXPECT_EQ(clump.child(4).size, 0u);
    return out;
}

} // namespace veldrin::test
