#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TextureLevel.h"
#include "TxdChecks.h"
#include "base/Error.h"
#include "texture/SourceTexture.h"
#include "texture/TextureDictionary.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {

TxdParams gta3Params(GameVersion edition) { return TxdParams{TargetGame::Gta3, edition, "tx"}; }

uint8_t opaqueAlpha(GameVersion edition) { return isPs2(edition) ? 128 : 255; }

// The palette a GTA 3 dictionary must hold for an opaque texture: source byte order, PC alpha.
std::vector<uint8_t> expectedPalette(const TestTexture& t) {
    std::vector<uint8_t> bytes(1024, 0);
    for (std::size_t e = 0; e < t.palette.size(); ++e) {
        for (int c = 0; c < 3; ++c) bytes[4 * e + c] = t.palette[e][c];
        bytes[4 * e + 3] = 255; // 128 on the PS2 and 255 on the PSP both mean opaque
    }
    return bytes;
}

struct Shape {
    int width, height, depth, mipCount;
    bool swizzled;
};

std::string describe(GameVersion edition, const Shape& s) {
    return std::string(editionName(edition)) + " " + std::to_string(s.width) + "x" + std::to_string(s.height) +
           " at " + std::to_string(s.depth) + " bits, " + std::to_string(s.mipCount) + " levels" +
           (s.swizzled ? ", swizzled" : "");
}

} // namespace

// Encoder -> dictionary -> independent reader, for every edition and the storage paths each one has:
// swizzled and plain PS2 data, textures too small for the console orders, narrow and block-ordered PSP data.
TEST(TextureRoundTrip, IndicesAndPaletteSurviveForEveryEdition) {
    const std::vector<Shape> shapes = {
        {16, 16, 8, 1, true}, {64, 32, 4, 3, true},  {32, 8, 8, 2, false}, {16, 4, 4, 1, false},
        {4, 4, 8, 1, true},   {16, 4, 4, 2, true},   {8, 8, 4, 1, true},   {128, 16, 8, 4, true},
        {8, 4, 4, 2, true},   {32, 4, 4, 1, true},   {8, 8, 8, 1, true},   {16, 64, 8, 3, true},
    };
    for (GameVersion edition : {GameVersion::LcsPs2, GameVersion::VcsPs2, GameVersion::LcsPsp, GameVersion::VcsPsp}) {
        for (const Shape& s : shapes) {
            TestTexture t = patternTexture(s.width, s.height, s.depth, opaqueAlpha(edition), s.width + s.depth);
            t.mipCount = s.mipCount;
            t.swizzled = s.swizzled;
            const TextureLevel level = buildTextureLevel(edition, {t});
            const ReadTxd txd = readTxd(makeTxd(level.bytes, level.refs, gta3Params(edition)));
            ASSERT_EQ(txd.textures.size(), 1u) << describe(edition, s);
            const ReadNative& n = txd.textures[0];
            EXPECT_EQ(n.width, s.width) << describe(edition, s);
            EXPECT_EQ(n.height, s.height) << describe(edition, s);
            EXPECT_EQ(n.rasterFormat, 0x2600u) << describe(edition, s);
            EXPECT_EQ(n.palette, expectedPalette(t)) << describe(edition, s);
            ASSERT_EQ(n.levels.size(), 1u);
            EXPECT_EQ(n.levels[0], t.texels) << describe(edition, s);
        }
    }
}

TEST(TextureRoundTrip, TransparentTexturesBecomeBlueGreenRedAlphaTexels) {
    for (GameVersion edition : {GameVersion::VcsPs2, GameVersion::LcsPsp}) {
        TestTexture t = patternTexture(32, 8, 4, opaqueAlpha(edition));
        t.palette[5][3] = 10; // one transparent entry makes the whole texture transparent
        const TextureLevel level = buildTextureLevel(edition, {t});
        const ReadNative n = readTxd(makeTxd(level.bytes, level.refs, gta3Params(edition))).textures.at(0);
        EXPECT_EQ(n.rasterFormat, 0x0500u);
        ASSERT_EQ(n.levels.at(0).size(), 32u * 8 * 4);
        for (std::size_t i = 0; i < t.texels.size(); ++i) {
            const auto& entry = t.palette[t.texels[i]];
            const uint8_t alpha = t.texels[i] == 5 ? (isPs2(edition) ? 20 : 10) : 255;
            const std::vector<uint8_t> expected = {entry[2], entry[1], entry[0], alpha};
            ASSERT_EQ(std::vector<uint8_t>(n.levels[0].begin() + 4 * i, n.levels[0].begin() + 4 * i + 4), expected)
                << editionName(edition) << " texel " << i;
        }
    }
}

TEST(SourceTexture, TwoByTwoIsStretchedToFourByFour) {
    TestTexture t = patternTexture(2, 2, 8);
    t.texels = {1, 2, 3, 4};
    t.swizzled = false;
    const TextureLevel level = buildTextureLevel(GameVersion::LcsPs2, {t});
    const DecodedTexture d = decodeSourceTexture(level.bytes, level.refs[0], GameVersion::LcsPs2, TargetGame::Gta3);
    ASSERT_EQ(d.image.width, 4);
    ASSERT_EQ(d.image.height, 4);
    EXPECT_EQ(d.image.texels, (std::vector<uint8_t>{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}));
}

TEST(SourceTexture, OpaqueTextureKeepsSourceColourOrderOnlyForGta3) {
    TestTexture t = patternTexture(8, 8, 4);
    t.palette[1] = {200, 100, 30, 128};
    const TextureLevel level = buildTextureLevel(GameVersion::LcsPs2, {t});
    const DecodedTexture gta3 = decodeSourceTexture(level.bytes, level.refs[0], GameVersion::LcsPs2, TargetGame::Gta3);
    EXPECT_FALSE(gta3.hasAlpha);
    EXPECT_EQ(gta3.image.format, TexelFormat::Index8);
    EXPECT_EQ(std::vector<uint8_t>(gta3.image.palette.begin() + 4, gta3.image.palette.begin() + 8),
              (std::vector<uint8_t>{200, 100, 30, 255}));
    const DecodedTexture vc = decodeSourceTexture(level.bytes, level.refs[0], GameVersion::LcsPs2, TargetGame::GtaVc);
    EXPECT_EQ(std::vector<uint8_t>(vc.image.palette.begin() + 4, vc.image.palette.begin() + 8),
              (std::vector<uint8_t>{30, 100, 200, 255})); // blue, green, red, alpha
}

TEST(SourceTexture, PspDataOffsetsDropTheirLowFourBits) {
    const TestTexture t = patternTexture(32, 16, 4, 255);
    const TextureLevel level = buildTextureLevel(GameVersion::VcsPsp, {t});
    const auto reference = makeTxd(level.bytes, level.refs, gta3Params(GameVersion::VcsPsp));
    TextureLevel patched = level;
    const std::size_t field = static_cast<std::size_t>(level.refs[0].position) + 4;
    ASSERT_EQ(patched.bytes[field] % 16, 0);
    patched.bytes[field] += 4; // e.g. 96 becomes 100
    EXPECT_EQ(makeTxd(patched.bytes, patched.refs, gta3Params(GameVersion::VcsPsp)), reference);
}

TEST(SourceTexture, DataOutsideTheLevelIsRefusedNamingTheTexture) {
    const TestTexture t = patternTexture(32, 32, 8);
    TextureLevel level = buildTextureLevel(GameVersion::LcsPs2, {t}, 12);
    auto expectRefused = [](const TextureLevel& l, const char* what) {
        try {
            makeTxd(l.bytes, l.refs, gta3Params(GameVersion::LcsPs2));
            ADD_FAILURE() << "accepted " << what;
        } catch (const VeldrinError& e) {
            EXPECT_NE(std::string(e.what()).find("texture 12"), std::string::npos) << e.what();
        }
    };
    TextureLevel truncated = level;
    truncated.bytes.resize(truncated.bytes.size() - 40); // palette cut short
    expectRefused(truncated, "a truncated palette");

    TextureLevel farOffset = level;
    const auto field = static_cast<std::size_t>(level.refs[0].position);
    farOffset.bytes[field + 3] = 0x7F; // data offset far past the end
    expectRefused(farOffset, "a data offset past the end");

    TextureLevel badPosition = level;
    badPosition.refs[0].position = static_cast<int64_t>(level.bytes.size()) - 2;
    expectRefused(badPosition, "a record past the end");

    TextureLevel badDepth = level;
    badDepth.bytes[field + 5] = (badDepth.bytes[field + 5] & 0x0F) | 0x20; // 2 bits per texel
    expectRefused(badDepth, "a depth of 2");

    TextureLevel hugeHeight = level;
    hugeHeight.bytes[field + 5] |= 0x0F; // height exponent beyond 15
    expectRefused(hugeHeight, "a height of 2^60 or more");
}

TEST(SourceTexture, TexturesBeyondTheOldBufferSizeAreDecoded) {
    // 1024 x 512 at 8 bits is 512 KiB of level-0 texels.
    const TestTexture t = patternTexture(1024, 512, 8);
    const TextureLevel level = buildTextureLevel(GameVersion::LcsPs2, {t});
    const DecodedTexture d = decodeSourceTexture(level.bytes, level.refs[0], GameVersion::LcsPs2, TargetGame::Gta3);
    EXPECT_EQ(d.image.texels, t.texels);
}

TEST(SourceTexture, DegenerateSidesAreStretchedWithoutLosingTexels) {
    const std::vector<std::pair<int, int>> sides = {{1, 1}, {1, 16}, {16, 1}, {2, 8}, {64, 2}};
    for (GameVersion edition : {GameVersion::LcsPs2, GameVersion::VcsPs2, GameVersion::LcsPsp, GameVersion::VcsPsp}) {
        for (int depth : {4, 8}) {
            for (const auto& [w, h] : sides) {
                const TestTexture t = patternTexture(w, h, depth, opaqueAlpha(edition), w * 3 + h);
                const TextureLevel level = buildTextureLevel(edition, {t});
                const DecodedTexture d = decodeSourceTexture(level.bytes, level.refs[0], edition, TargetGame::Gta3);
                const int width = std::max(w, 4), height = std::max(h, 4);
                ASSERT_EQ(d.image.width, width);
                ASSERT_EQ(d.image.height, height);
                // A lone 4-bit PS2 texel has no byte of its own before the palette.
                if (isPs2(edition) && depth == 4 && w * h == 1) continue;
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x)
                        ASSERT_EQ(d.image.texels[static_cast<std::size_t>(y * width + x)],
                                  t.texels[static_cast<std::size_t>((y * h / height) * w + x * w / width)])
                            << editionName(edition) << " " << w << "x" << h << " at " << depth << " bits, texel "
                            << x << "," << y;
            }
        }
    }
}
