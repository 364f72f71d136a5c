#include <gtest/gtest.h>

#include "DffChecks.h"
#include "base/Error.h"
#include "ModelTestLevel.h"
#include "internal/DffWriter.h"
#include "model/ModelConverter.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {

const TargetGame kTargets[] = {TargetGame::Gta3, TargetGame::GtaVc, TargetGame::GtaSa};

ModelParams paramsFor(TargetGame target, std::string name = "abcd", std::string prefix = "t") {
    ModelParams p;
    p.edition = GameVersion::LcsPsp;
    p.target = target;
    p.modelName = std::move(name);
    p.texturePrefix = std::move(prefix);
    p.scale = {4.0f, 8.0f, 0.0f}; // divisors 8192, 4096 and 1024
    return p;
}

TestModelPart oneTriangle(int16_t textureId = 5) {
    TestModelPart part;
    part.materials.push_back({textureId, 1.0f, 1.0f, distinctStrip(3)});
    return part;
}

// Three source materials over two textures: 10 (twice) and 20.
TestModelPart twoTextures() {
    TestModelPart part;
    part.materials.push_back({10, 1.0f, 2.0f, distinctStrip(4)});
    part.materials.push_back({20, 0.5f, 1.0f, distinctStrip(3, 100)});
    part.materials.push_back({10, 1.0f, 1.0f, distinctStrip(3, 200)});
    part.materials[0].strip[0] = {8192, -4096, 2048, 64, 32, 0x001F};
    return part;
}

ModelOutput convert(const TestModelPart& part, const ModelParams& params) {
    const TestLevel level = placeParts(params.edition, part);
    return convertModel(level.bytes, level.firstPart, 0, params);
}

uint32_t lp(std::size_t length) { return static_cast<uint32_t>(length + 4 - length % 4); }

} // namespace

TEST(DffOutput, WorkedSizesOfTheSmallestModel) {
    EXPECT_EQ(convert(oneTriangle(), paramsFor(TargetGame::Gta3)).dff.size(), 628u);
    EXPECT_EQ(convert(oneTriangle(), paramsFor(TargetGame::GtaVc)).dff.size(), 636u);
    EXPECT_EQ(convert(oneTriangle(), paramsFor(TargetGame::GtaSa)).dff.size(), 660u);
    ModelParams night = paramsFor(TargetGame::GtaSa);
    night.nightPrelit = true;
    EXPECT_EQ(convert(oneTriangle(), night).dff.size(), 688u);
}

TEST(DffOutput, SizesFollowTheClosedFormulas) {
    for (TargetGame target : kTargets) {
        for (bool nightPrelit : {false, true}) {
            ModelParams params = paramsFor(target, "model123", "levelprefix");
            params.nightPrelit = nightPrelit;
            const ModelOutput out = convert(twoTextures(), params);
            ASSERT_TRUE(out.produced);
            const bool sa = target == TargetGame::GtaSa, night = sa && nightPrelit;
            const uint32_t V = 10, T = 4, M = 2, n = 8;
            const uint32_t sumLp = lp(13) + lp(13);
            const uint32_t B = 8 * M + 12 * T + 12;
            const uint32_t S = 8 * T + 24 * V + (sa ? 40 : 52);
            const uint32_t L = (sa ? 172 : 136) * M + 16 + sumLp;
            const uint32_t G = B + S + L + (sa ? 92 : 76) + (night ? 4 * V + 16 : 0);
            const uint32_t A = sa ? 40 : 56;
            const uint32_t C = n + G + A + (target == TargetGame::Gta3 ? 160 : 168);
            EXPECT_EQ(out.dff.size(), C + 12) << static_cast<int>(target) << nightPrelit;
            const ParsedDff dff = parseDff(out.dff);
            EXPECT_EQ(dff.root.child(2).size, G);
            EXPECT_EQ(dff.root.child(2).child(1).child(0).size, S);
            EXPECT_EQ(dff.root.child(2).child(1).child(1).size, L);
            EXPECT_EQ(dff.root.child(2).child(1).child(2).find(0x050E).size, B);
        }
    }
}

TEST(DffOutput, ContentReadsBackThroughAnIndependentReader) {
    for (TargetGame target : kTargets) {
        SCOPED_TRACE(static_cast<int>(target));
        const ModelOutput out = convert(twoTextures(), paramsFor(target));
        const ParsedDff dff = parseDff(out.dff);
        EXPECT_EQ(dff.stamp, target == TargetGame::Gta3 ? 0x0800FFFFu
                             : target == TargetGame::GtaVc ? 0x0C02FFFFu
                                                           : 0x1803FFFFu);
        EXPECT_EQ(dff.frameName, "abcd");
        EXPECT_EQ(dff.materialNames, (std::vector<std::string>{"t10", "t20"}));
        ASSERT_EQ(dff.positions.size(), 10u);
        EXPECT_EQ(dff.positions[0], (std::array<float, 3>{1.0f, -1.0f, 2.0f}));
        EXPECT_EQ(dff.coordinates[0], (std::array<float, 2>{0.5f, 0.5f})); // 64/128 x 1, 32/128 x 2
        EXPECT_EQ(dff.prelit[0], (std::array<uint8_t, 4>{248, 0, 0, 255}));
        // Each triangle carries the index of its texture among the materials.
        EXPECT_EQ(dff.triangles, (std::vector<std::array<uint16_t, 4>>{{0, 2, 0, 1}, {1, 2, 0, 3}, {4, 6, 1, 5},
                                                                        {7, 9, 0, 8}}));
        // The bin mesh lists each texture's triangles as b, a, c, those of every source material of it.
        ASSERT_EQ(dff.binMeshes.size(), 2u);
        EXPECT_EQ(dff.binMeshes[0].first, 0u);
        EXPECT_EQ(dff.binMeshes[0].second, (std::vector<uint32_t>{2, 0, 1, 2, 1, 3, 9, 7, 8}));
        EXPECT_EQ(dff.binMeshes[1].first, 1u);
        EXPECT_EQ(dff.binMeshes[1].second, (std::vector<uint32_t>{6, 4, 5}));
        const bool sa = target == TargetGame::GtaSa;
        EXPECT_EQ(dff.hasReflection, sa);
        EXPECT_EQ(dff.hasMeshExtension, sa);
        EXPECT_EQ(dff.hasMaterialEffects, !sa);
        EXPECT_TRUE(dff.night.empty());
    }
}

TEST(DffOutput, Gta3AndViceCityDifferOnlyInStampsAndTheClumpStruct) {
    const auto gta3 = convert(twoTextures(), paramsFor(TargetGame::Gta3)).dff;
    auto vc = convert(twoTextures(), paramsFor(TargetGame::GtaVc)).dff;
    ASSERT_EQ(vc.size(), gta3.size() + 8);
    // Drop the light and camera counts, give the clump and its struct the GTA 3 sizes, swap the stamps.
    vc.erase(vc.begin() + 28, vc.begin() + 36);
    const auto setU32 = [&](std::size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) vc[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    setU32(4, static_cast<uint32_t>(vc.size() - 12));
    setU32(16, 4);
    for (std::size_t at = 0; at + 4 <= vc.size(); ++at) {
        if (vc[at] == 0xFF && vc[at + 1] == 0xFF && vc[at + 2] == 0x02 && vc[at + 3] == 0x0C) setU32(at, 0x0800FFFF);
    }
    EXPECT_EQ(vc, gta3);
}

TEST(DffOutput, NightColoursOnlyForSanAndreas) {
    for (TargetGame target : kTargets) {
        ModelParams params = paramsFor(target);
        params.nightPrelit = true;
        TestModelPart part = oneTriangle();
        part.materials[0].strip[0].colour = 0x0000;
        const ParsedDff dff = parseDff(convert(part, params).dff);
        if (target == TargetGame::GtaSa) {
            EXPECT_EQ(dff.prelit[0], (std::array<uint8_t, 4>{64, 64, 64, 255}));
            ASSERT_EQ(dff.night.size(), 3u);
            EXPECT_EQ(dff.night[0], (std::array<uint8_t, 4>{16, 16, 16, 255}));
        } else {
            EXPECT_EQ(dff.prelit[0], (std::array<uint8_t, 4>{0, 0, 0, 255}));
            EXPECT_TRUE(dff.night.empty());
        }
    }
}

TEST(DffOutput, TextureNamesAreNeverShortened) {
    const std::string prefix = "averylongprefix_"; // 16 characters: the id would once have been cut off
    TestModelPart part = oneTriangle(1234);
    part.materials.push_back({-7, 1.0f, 1.0f, distinctStrip(3)});
    const ParsedDff dff = parseDff(convert(part, paramsFor(TargetGame::GtaVc, "m", prefix)).dff);
    EXPECT_EQ(dff.materialNames, (std::vector<std::string>{prefix + "1234", prefix + "-7"}));

    // A name whose length is a multiple of four still gets its terminator: 4 characters, 8 bytes.
    const ParsedDff four = parseDff(convert(oneTriangle(123), paramsFor(TargetGame::Gta3)).dff);
    const ChunkNode& name = four.root.child(2).child(1).child(1).child(1).find(0x06).child(1);
    EXPECT_EQ(name.size, 8u);
    EXPECT_EQ(four.materialNames[0], "t123");
}


// With night prelight on for GTA SA, a mesh left with no vertices still carries the night colour chunk:
// "FUK1" and no colours, and the geometry grows by its 4V + 16 bytes with V = 0.
TEST(DffOutput, NightColourChunkIsWrittenForAnEmptyMeshWhenNightColoursAreOn) {
    DffModel empty;
    empty.name = "empty";
    const std::vector<uint8_t> off = writeDff(empty, TargetGame::GtaSa);
    empty.nightColours = true;
    const std::vector<uint8_t> on = writeDff(empty, TargetGame::GtaSa);
    EXPECT_EQ(on.size(), off.size() + 16);
    const ParsedDff dff = parseDff(on);
    EXPECT_EQ(dff.root.child(2).size, parseDff(off).root.child(2).size + 16);
    const ChunkNode& ext = dff.root.child(2).child(1).child(2);
    ASSERT_TRUE(ext.has(0x0253F2F9));
    EXPECT_EQ(ext.find(0x0253F2F9).size, 4u);
    EXPECT_TRUE(dff.night.empty());
}

// The reader the tests check our models with refuses a geometry whose counts outgrow its chunk, naming
// the chunk, instead of reading past it.
TEST(DffOutput, ReaderRefusesCountsPastTheGeometryStruct) {
    std::vector<uint8_t> dff = convert(oneTriangle(), paramsFor(TargetGame::GtaSa)).dff;
    const ParsedDff parsed = parseDff(dff);
    const ChunkNode& gs = parsed.root.child(2).child(1).child(0);
    dff[gs.content + 11] = 0x10; // vertex count 2^28 and more
    try {
        inspect::readDff(dff, "m.dff");
        FAIL() << "a vertex count past the struct was read";
    } catch (const VeldrinError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("m.dff: Struct (0x1) at offset " + std::to_string(gs.offset) + ": vertex colours at offset 16", 0), 0u)
            << e.what();
    }
}
