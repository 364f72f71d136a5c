#include <gtest/gtest.h>

#include "DffChecks.h"
#include "ModelTestLevel.h"
#include "base/Error.h"
#include "model/ModelConverter.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {

ModelParams paramsFor(GameVersion edition, TargetGame target = TargetGame::GtaVc) {
    ModelParams p;
    p.edition = edition;
    p.target = target;
    p.modelName = "town17";
    p.texturePrefix = "town";
    p.scale = {32.0f, 32.0f, 32.0f}; // divisor 1024
    return p;
}

} // namespace

TEST(ModelConverter, EveryEditionConvertsBothParts) {
    TestModelPart first, second;
    first.materials.push_back({3, 1.0f, 1.0f, distinctStrip(kTestPs2BatchVertices + 10)});
    second.materials.push_back({-4, 1.0f, 1.0f, distinctStrip(5, 300)});
    for (GameVersion edition : kAllEditions) {
        SCOPED_TRACE(std::string(editionName(edition)));
        const TestLevel level = placeParts(edition, first, &second);
        const ModelOutput out = convertModel(level.bytes, level.firstPart, level.secondPart, paramsFor(edition));
        ASSERT_TRUE(out.produced);
        EXPECT_TRUE(out.skipReason.empty());
        EXPECT_EQ(out.textureIds, (std::vector<int>{3, -4}));
        const ParsedDff dff = parseDff(out.dff);
        EXPECT_EQ(dff.frameName, "town17");
        EXPECT_EQ(dff.materialNames, (std::vector<std::string>{"town3", "town-4"}));
        EXPECT_EQ(dff.positions.size(), kTestPs2BatchVertices + 15u);
        EXPECT_EQ(dff.triangles.size(), kTestPs2BatchVertices + 8u + 3u);
        EXPECT_EQ(dff.positions.back(), (std::array<float, 3>{304.0f / 1024, -12.0f / 1024, 29.0f / 1024}));
    }
}

TEST(ModelConverter, BoundsCoverEveryWrittenPosition) {
    TestModelPart part;
    part.materials.push_back({1, 1.0f, 1.0f, distinctStrip(3)});
    part.materials[0].strip = {{-1024, 2048, 0, 0, 0, 0}, {512, -3072, 10, 0, 0, 0}, {0, 0, -512, 0, 0, 0}};
    const TestLevel level = placeParts(GameVersion::VcsPsp, part);
    const ModelOutput out = convertModel(level.bytes, level.firstPart, 0, paramsFor(GameVersion::VcsPsp));
    EXPECT_EQ(out.boundsMin, (std::array<float, 3>{-1.0f, -3.0f, -0.5f}));
    EXPECT_EQ(out.boundsMax, (std::array<float, 3>{0.5f, 2.0f, 10.0f / 1024}));
}

TEST(ModelConverter, AFirstPartWithoutMaterialsProducesNothing) {
    TestModelPart empty, second;
    second.materials.push_back({9, 1.0f, 1.0f, distinctStrip(4)});
    for (GameVersion edition : kAllEditions) {
        const TestLevel level = placeParts(edition, empty, &second);
        const ModelOutput out = convertModel(level.bytes, level.firstPart, level.secondPart, paramsFor(edition));
        EXPECT_FALSE(out.produced);
        EXPECT_TRUE(out.skipReason.empty());
        EXPECT_TRUE(out.dff.empty());
        EXPECT_TRUE(out.textureIds.empty());
        EXPECT_TRUE(readModelTextureIds(level.bytes, level.firstPart, level.secondPart, edition).empty());
    }
}

TEST(ModelConverter, WeldingShrinksTheVertexTableNotTheTriangles) {
    // Every vertex of the second strip repeats one of the first.
    TestModelPart part;
    part.materials.push_back({1, 1.0f, 1.0f, distinctStrip(6)});
    part.materials.push_back({2, 1.0f, 1.0f, distinctStrip(6)});
    const TestLevel level = placeParts(GameVersion::LcsPs2, part);
    ModelParams params = paramsFor(GameVersion::LcsPs2);
    const ParsedDff plain = parseDff(convertModel(level.bytes, level.firstPart, 0, params).dff);
    params.optimiseMesh = true;
    const ParsedDff welded = parseDff(convertModel(level.bytes, level.firstPart, 0, params).dff);
    EXPECT_EQ(plain.positions.size(), 12u);
    EXPECT_EQ(welded.positions.size(), 6u);
    ASSERT_EQ(welded.triangles.size(), plain.triangles.size());
    // Both materials' triangles now share the same corners.
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(welded.triangles[i][0], welded.triangles[i + 4][0]);
        EXPECT_EQ(welded.triangles[i][3], welded.triangles[i + 4][3]);
        EXPECT_EQ(welded.triangles[i + 4][2], 1);
    }
}

TEST(ModelConverter, MoreVerticesThanSixteenBitIndicesReachAreSkippedWithAReason) {
    TestModelPart part;
    for (int m = 0; m < 3; ++m) {
        part.materials.push_back({static_cast<int16_t>(m), 1.0f, 1.0f, distinctStrip(21846, static_cast<int16_t>(m))});
    }
    const TestLevel level = placeParts(GameVersion::VcsPsp, part);
    ModelParams params = paramsFor(GameVersion::VcsPsp);
    const ModelOutput out = convertModel(level.bytes, level.firstPart, 0, params);
    EXPECT_FALSE(out.produced);
    EXPECT_TRUE(out.dff.empty());
    EXPECT_TRUE(out.textureIds.empty()); // nothing of a skipped model reaches the dictionaries
    EXPECT_NE(out.skipReason.find("town17"), std::string::npos);
    EXPECT_NE(out.skipReason.find("65538 vertices"), std::string::npos);

    // Welded down below the limit, the same model converts.
    for (auto& m : part.materials) m.strip = distinctStrip(21846, 0);
    const TestLevel repeated = placeParts(GameVersion::VcsPsp, part);
    params.optimiseMesh = true;
    EXPECT_TRUE(convertModel(repeated.bytes, repeated.firstPart, 0, params).produced);
}

TEST(ModelConverter, DataOutsideTheLevelIsAnErrorNamingTheModel) {
    TestModelPart part;
    part.materials.push_back({1, 1.0f, 1.0f, distinctStrip(20)});
    TestLevel level = placeParts(GameVersion::VcsPs2, part);
    level.bytes.resize(level.bytes.size() - 30);
    try {
        convertModel(level.bytes, level.firstPart, 0, paramsFor(GameVersion::VcsPs2));
        FAIL() << "no error";
    } catch (const VeldrinError& e) {
        EXPECT_NE(std::string(e.what()).find("model town17"), std::string::npos) << e.what();
    }
}
