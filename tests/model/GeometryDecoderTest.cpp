#include <gtest/gtest.h>

#include <functional>

#include "ModelTestLevel.h"
#include "base/Error.h"
#include "model/GeometryDecoder.h"
#include "model/ModelConverter.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {

void expectVertex(const ModelVertex& got, const TestVertex& want, float uScale, float vScale) {
    EXPECT_EQ(got.position[0], want.x);
    EXPECT_EQ(got.position[1], want.y);
    EXPECT_EQ(got.position[2], want.z);
    EXPECT_EQ(got.u, static_cast<float>(want.u / 128.0 * uScale));
    EXPECT_EQ(got.v, static_cast<float>(want.v / 128.0 * vScale));
    EXPECT_EQ(got.colour, want.colour);
}

std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const VeldrinError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(GeometryDecoder, EveryEditionReadsBackWhatTheEncoderWrote) {
    TestModelPart part;
    // A long first strip crosses several PS2 batches; it must come back as one continuous strip.
    part.materials.push_back({12, 2.0f, 0.5f, distinctStrip(kTestPs2BatchVertices * 2 + 5)});
    part.materials.push_back({-7, 1.0f, 1.0f, distinctStrip(3, 1000)});
    part.materials.push_back({12, 1.0f, 4.0f, distinctStrip(4, -2000)});
    part.materials[1].strip[0] = {-32768, 32767, -1, 255, 128, 0xFFFF};

    for (GameVersion edition : kAllEditions) {
        SCOPED_TRACE(std::string(editionName(edition)));
        const TestLevel level = placeParts(edition, part);
        const DecodedGeometry g = decodeGeometry(level.bytes, level.firstPart, 0, edition, "model m");
        ASSERT_EQ(g.materials.size(), 3u);
        EXPECT_EQ(g.textureIds, (std::vector<int16_t>{12, -7}));
        uint32_t first = 0;
        for (std::size_t m = 0; m < 3; ++m) {
            const TestMaterial& want = part.materials[m];
            EXPECT_EQ(g.materials[m].textureId, want.textureId);
            EXPECT_EQ(g.materials[m].uScale, want.uScale);
            EXPECT_EQ(g.materials[m].vScale, want.vScale);
            EXPECT_EQ(g.materials[m].firstVertex, first);
            ASSERT_EQ(g.materials[m].vertexCount, want.strip.size());
            for (std::size_t i = 0; i < want.strip.size(); ++i) {
                expectVertex(g.vertices[first + i], want.strip[i], want.uScale, want.vScale);
            }
            first += g.materials[m].vertexCount;
        }
        EXPECT_EQ(g.vertices.size(), first);
        // Each material's data follows the previous one's.
        EXPECT_EQ(g.materials[1].dataOffset, g.materials[0].dataOffset + g.materials[0].dataSize);
        EXPECT_EQ(g.materials[2].dataOffset, g.materials[1].dataOffset + g.materials[1].dataSize);
    }
}

TEST(GeometryDecoder, RecordLayoutsOfTheEditions) {
    TestModelPart part;
    part.materials.push_back({65, 1.0f, 1.0f, distinctStrip(3)});
    const auto lcsPs2 = encodeModelPart(GameVersion::LcsPs2, part);
    EXPECT_EQ(lcsPs2[0] | lcsPs2[1] << 8, 1);
    EXPECT_EQ(lcsPs2[2] | lcsPs2[3] << 8, 22); // table size
    EXPECT_EQ(lcsPs2[4], 65);
    const auto vcsPs2 = encodeModelPart(GameVersion::VcsPs2, part);
    EXPECT_EQ(vcsPs2[2] | vcsPs2[3] << 8, 24);
    EXPECT_EQ(vcsPs2[4 + 4], 65);
    EXPECT_EQ(vcsPs2[4] | vcsPs2[5] << 8, 2 * (ps2BatchSize(3) + 16)); // doubled data size
    const auto lcsPsp = encodeModelPart(GameVersion::LcsPsp, part);
    EXPECT_EQ(lcsPsp.size(), 8u + 10 + 30);
    part.lcsPspWideRecords = true;
    const auto lcsPspWide = encodeModelPart(GameVersion::LcsPsp, part);
    EXPECT_EQ(lcsPspWide.size(), 8u + 24 + 30);
    EXPECT_EQ(lcsPspWide[7], 0x10);
    const auto vcsPsp = encodeModelPart(GameVersion::VcsPsp, part);
    EXPECT_EQ(vcsPsp.size(), 8u + 24 + 30);

    // Wide LCS PSP records are told by the high bits of header byte 7.
    const TestLevel level = placeParts(GameVersion::LcsPsp, part);
    const DecodedGeometry g = decodeGeometry(level.bytes, level.firstPart, 0, GameVersion::LcsPsp, "m");
    ASSERT_EQ(g.vertices.size(), 3u);
    EXPECT_EQ(g.materials[0].dataOffset, level.firstPart + 8 + 24);
    expectVertex(g.vertices[2], part.materials[0].strip[2], 1.0f, 1.0f);
}

TEST(GeometryDecoder, ASecondPartFollowsTheFirst) {
    TestModelPart first, second, empty;
    first.materials.push_back({3, 1.0f, 1.0f, distinctStrip(5)});
    second.materials.push_back({9, 1.0f, 1.0f, distinctStrip(4, 500)});
    second.materials.push_back({3, 1.0f, 1.0f, distinctStrip(3, 700)});
    for (GameVersion edition : kAllEditions) {
        SCOPED_TRACE(std::string(editionName(edition)));
        const TestLevel level = placeParts(edition, first, &second);
        const DecodedGeometry g = decodeGeometry(level.bytes, level.firstPart, level.secondPart, edition, "m");
        ASSERT_EQ(g.materials.size(), 3u);
        EXPECT_EQ(g.textureIds, (std::vector<int16_t>{3, 9}));
        EXPECT_EQ(g.materials[1].firstVertex, 5u);
        EXPECT_EQ(g.materials[2].firstVertex, 9u);
        EXPECT_EQ(g.vertices.size(), 12u);
        EXPECT_EQ(g.vertices[5].position[0], 500);
        EXPECT_EQ(g.vertices[9].position[0], 700);
        EXPECT_GT(g.materials[1].dataOffset, level.secondPart);

        // An empty second part adds nothing.
        const TestLevel alone = placeParts(edition, first, &empty);
        const DecodedGeometry h = decodeGeometry(alone.bytes, alone.firstPart, alone.secondPart, edition, "m");
        EXPECT_EQ(h.materials.size(), 1u);
        EXPECT_EQ(h.vertices.size(), 5u);
    }
}

TEST(GeometryDecoder, ShortPs2MaterialsDecodeNoVertices) {
    // An empty strip is encoded as the 16-byte trailer alone: data size 16.
    TestModelPart part;
    part.materials.push_back({1, 1.0f, 1.0f, {}});
    part.materials.push_back({2, 1.0f, 1.0f, distinctStrip(3)});
    const TestLevel level = placeParts(GameVersion::LcsPs2, part);
    const DecodedGeometry g = decodeGeometry(level.bytes, level.firstPart, 0, GameVersion::LcsPs2, "m");
    EXPECT_EQ(g.materials[0].dataSize, 16);
    EXPECT_EQ(g.materials[0].vertexCount, 0u);
    EXPECT_EQ(g.materials[1].vertexCount, 3u);
    EXPECT_EQ(g.materials[1].firstVertex, 0u);
}

TEST(GeometryDecoder, TextureIdsOfBothPartsWithoutVertexData) {
    TestModelPart first, second;
    first.materials.push_back({-5, 1.0f, 1.0f, distinctStrip(3)});
    first.materials.push_back({40, 1.0f, 1.0f, distinctStrip(3)});
    second.materials.push_back({-5, 1.0f, 1.0f, distinctStrip(3)});
    second.materials.push_back({7, 1.0f, 1.0f, distinctStrip(3)});
    const TestLevel level = placeParts(GameVersion::VcsPs2, first, &second);
    EXPECT_EQ(readModelTextureIds(level.bytes, level.firstPart, level.secondPart, GameVersion::VcsPs2),
              (std::vector<int>{-5, 40, 7}));
    EXPECT_EQ(readModelTextureIds(level.bytes, level.firstPart, 0, GameVersion::VcsPs2), (std::vector<int>{-5, 40}));
}

TEST(GeometryDecoder, DataOutsideTheLevelIsRefusedNamingThePart) {
    TestModelPart part;
    part.materials.push_back({1, 1.0f, 1.0f, distinctStrip(60)});
    for (GameVersion edition : kAllEditions) {
        SCOPED_TRACE(std::string(editionName(edition)));
        TestLevel level = placeParts(edition, part);
        // The part's position itself outside the level.
        EXPECT_NE(errorOf([&] { decodeGeometry(level.bytes, 1 << 30, 0, edition, "model town7"); })
                      .find("model town7, first geometry part"),
                  std::string::npos);
        EXPECT_THROW(decodeGeometry(level.bytes, -4, 0, edition, "m"), VeldrinError);
        EXPECT_NE(errorOf([&] { decodeGeometry(level.bytes, level.firstPart, 1 << 30, edition, "m"); })
                      .find("second geometry part"),
                  std::string::npos);
        // Vertex data cut short.
        level.bytes.resize(level.bytes.size() - 40);
        EXPECT_NE(errorOf([&] { decodeGeometry(level.bytes, level.firstPart, 0, edition, "model town7"); })
                      .find("model town7, material 0"),
                  std::string::npos);
        // The records cut short.
        level.bytes.resize(static_cast<std::size_t>(level.firstPart) + 9);
        EXPECT_THROW(decodeGeometry(level.bytes, level.firstPart, 0, edition, "m"), VeldrinError);
        EXPECT_THROW(readModelTextureIds(level.bytes, level.firstPart, 0, edition), VeldrinError);
    }
}

TEST(GeometryDecoder, BadPs2BatchCountsAreRefusedNotFollowed) {
    TestModelPart part;
    part.materials.push_back({1, 1.0f, 1.0f, distinctStrip(10)});
    part.materials.push_back({2, 1.0f, 1.0f, distinctStrip(10)});
    for (GameVersion edition : {GameVersion::LcsPs2, GameVersion::VcsPs2}) {
        const TestLevel good = placeParts(edition, part);
        const int64_t batch = good.firstPart + 4 + (edition == GameVersion::LcsPs2 ? 44 : 48);
        const auto withCount = [&](int32_t n) {
            TestLevel level = good;
            for (int i = 0; i < 4; ++i) level.bytes[batch + 12 + i] = static_cast<uint8_t>(n >> (8 * i));
            return level;
        };
        const TestLevel negative = withCount(-1);
        EXPECT_NE(errorOf([&] { decodeGeometry(negative.bytes, negative.firstPart, 0, edition, "m"); })
                      .find("negative vertex count"),
                  std::string::npos);
        // A count that stays inside the level but runs into the next material's data.
        const TestLevel tooLong = withCount(12);
        EXPECT_NE(errorOf([&] { decodeGeometry(tooLong.bytes, tooLong.firstPart, 0, edition, "m"); })
                      .find("runs past the end of its material's data"),
                  std::string::npos);
        const TestLevel huge = withCount(0x7FFFFFFF);
        EXPECT_THROW(decodeGeometry(huge.bytes, huge.firstPart, 0, edition, "m"), VeldrinError);
    }
}

TEST(GeometryDecoder, NegativeVcsPs2DataSizeIsRefused) {
    TestModelPart part;
    part.materials.push_back({1, 1.0f, 1.0f, distinctStrip(3)});
    TestLevel level = placeParts(GameVersion::VcsPs2, part);
    const int64_t record = level.firstPart + 4;
    for (int i = 0; i < 4; ++i) level.bytes[record + i] = 0xF0; // doubled size far below zero
    EXPECT_NE(errorOf([&] { decodeGeometry(level.bytes, level.firstPart, 0, GameVersion::VcsPs2, "m"); })
                  .find("negative data size"),
              std::string::npos);
}
