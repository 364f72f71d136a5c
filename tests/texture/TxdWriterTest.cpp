#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TextureLevel.h"
#include "TxdChecks.h"
#include "base/Error.h"
#include "imaging/Imaging.h"
#include "texture/TextureDictionary.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {

TestTexture uniformTexture(int width, int height, std::array<uint8_t, 4> colour) {
    TestTexture t = patternTexture(width, height, 4);
    t.texels.assign(static_cast<std::size_t>(width * height), 1);
    t.palette[1] = colour;
    return t;
}

ReadTxd convert(const std::vector<TestTexture>& textures, TxdParams params, int firstIndex = 10) {
    const TextureLevel level = buildTextureLevel(params.edition, textures, firstIndex);
    return readTxd(makeTxd(level.bytes, level.refs, params));
}

TxdParams params(TargetGame target, std::string prefix = "tex") {
    return TxdParams{target, GameVersion::LcsPs2, std::move(prefix)};
}

} // namespace

TEST(TxdWriter, Gta3OpaqueTextureIsAPaletteAndIndices) {
    const ReadTxd txd = convert({patternTexture(64, 32, 8)}, params(TargetGame::Gta3));
    EXPECT_EQ(txd.stamp, 0x0800FFFFu);
    EXPECT_EQ(txd.count, 1);
    EXPECT_EQ(txd.deviceId, 0);
    const ReadNative& n = txd.textures.at(0);
    EXPECT_EQ(n.nativeSize, 3188u);
    EXPECT_EQ(n.structSize, 3164u);
    EXPECT_EQ(n.platform, 8u);
    EXPECT_EQ(n.filter, 0x1101u);
    EXPECT_EQ(n.name, "tex10");
    EXPECT_EQ(n.mask, "");
    EXPECT_EQ(n.rasterFormat, 0x2600u);
    EXPECT_EQ(n.alphaWord, 0u);
    EXPECT_EQ(n.depth, 8);
    EXPECT_EQ(n.levelCount, 1);
    EXPECT_EQ(n.rasterType, 4);
    EXPECT_EQ(n.flags, 0);
}

TEST(TxdWriter, Gta3TransparentTextureHasAMaskNameAnd32BitTexels) {
    TestTexture t = patternTexture(16, 8, 4);
    t.palette[2][3] = 0;
    const ReadNative n = convert({t}, params(TargetGame::Gta3, "lvl"), 12).textures.at(0);
    EXPECT_EQ(n.name, "lvl12");
    EXPECT_EQ(n.mask, "lvl12a");
    EXPECT_EQ(n.rasterFormat, 0x0500u);
    EXPECT_EQ(n.depth, 32);
    EXPECT_EQ(n.alphaWord, 1u);
    EXPECT_EQ(n.nativeSize, 4u * 16 * 8 + 116);
}

TEST(TxdWriter, SanAndreasOpaqueTextureIsDxt1) {
    TxdParams p = params(TargetGame::GtaSa);
    const ReadTxd txd = convert({patternTexture(32, 16, 8)}, p);
    EXPECT_EQ(txd.stamp, 0x1803FFFFu);
    EXPECT_EQ(txd.deviceId, 2);
    const ReadNative& n = txd.textures.at(0);
    EXPECT_EQ(n.platform, 9u);
    EXPECT_EQ(n.filter, 0x1102u);
    EXPECT_EQ(n.rasterFormat, 0x0100u);
    EXPECT_EQ(n.alphaWord, 0x31545844u); // "DXT1"
    EXPECT_EQ(n.depth, 16);
    EXPECT_EQ(n.flags, 8);
    EXPECT_EQ(n.nativeSize, 32u * 16 / 2 + 116);

    TestTexture transparent = patternTexture(8, 8, 4);
    transparent.palette[0][3] = 0;
    const ReadNative a = convert({transparent}, p).textures.at(0);
    EXPECT_EQ(a.alphaWord, 0x33545844u); // "DXT3"
    EXPECT_EQ(a.flags, 9);
    EXPECT_EQ(a.rasterFormat, 0x0300u);
}

TEST(TxdWriter, ViceCityOpaqueColoursLandInTheRightChannels) {
    const ReadTxd txd = convert({uniformTexture(8, 8, {200, 100, 30, 128})}, params(TargetGame::GtaVc));
    EXPECT_EQ(txd.stamp, 0x0C02FFFFu);
    const ReadNative& n = txd.textures.at(0);
    EXPECT_EQ(n.flags, 1);
    EXPECT_EQ(n.alphaWord, 0u);
    ASSERT_EQ(n.levels.at(0).size(), 32u);
    const uint16_t colour0 = static_cast<uint16_t>(n.levels[0][0] | n.levels[0][1] << 8);
    EXPECT_EQ(colour0, (200 >> 3) << 11 | (100 >> 2) << 5 | (30 >> 3)); // red in the top bits
}

TEST(TxdWriter, ViceCityMipChainDownToOneTexel) {
    TxdParams p = params(TargetGame::GtaVc);
    p.genMipMaps = true;
    TestTexture t = patternTexture(64, 64, 8);
    t.palette[0][3] = 40;
    const ReadNative n = convert({t}, p).textures.at(0);
    EXPECT_EQ(n.levelCount, 7);
    EXPECT_EQ(n.rasterFormat, 0x8300u);
    EXPECT_EQ(n.filter, 0x1106u);
    EXPECT_EQ(n.flags, 3);
    std::vector<std::size_t> sizes;
    for (const auto& level : n.levels) sizes.push_back(level.size());
    EXPECT_EQ(sizes, (std::vector<std::size_t>{4096, 1024, 256, 64, 16, 16, 16}));
    EXPECT_EQ(n.nativeSize, 5628u);

    // "All textures" includes the smallest: a 4 x 4 gets 4 x 4, 2 x 2 and 1 x 1, each one DXT1 block.
    const ReadNative small = convert({patternTexture(4, 4, 4)}, p).textures.at(0);
    EXPECT_EQ(small.levelCount, 3);
    for (const auto& level : small.levels) EXPECT_EQ(level.size(), 8u);
}

TEST(TxdWriter, MipMapThresholdAndTargetDecide) {
    TxdParams p = params(TargetGame::GtaVc);
    p.genMipMaps = true;
    p.mipSizeThreshold = MipMapThreshold::Over32;
    const ReadTxd txd = convert({patternTexture(32, 128, 4), patternTexture(64, 8, 4)}, p);
    EXPECT_EQ(txd.textures.at(0).levelCount, 1);
    EXPECT_EQ(txd.textures.at(0).filter, 0x1102u);
    EXPECT_EQ(txd.textures.at(0).rasterFormat, 0x0100u);
    EXPECT_EQ(txd.textures.at(1).levelCount, 7); // 64 x 8 halves down to 1 x 1
    EXPECT_EQ(txd.textures.at(1).rasterFormat, 0x8100u);

    p.target = TargetGame::Gta3;
    const ReadNative gta3 = convert({patternTexture(64, 64, 8)}, p).textures.at(0);
    EXPECT_EQ(gta3.levelCount, 1);
    EXPECT_EQ(gta3.filter, 0x1101u);
}

TEST(TxdWriter, TexturesFollowTheListOrderAndAreCounted) {
    const ReadTxd txd = convert({patternTexture(8, 8, 4), patternTexture(16, 8, 8), patternTexture(4, 4, 4)},
                                params(TargetGame::Gta3, "x"), 100);
    EXPECT_EQ(txd.count, 3);
    ASSERT_EQ(txd.textures.size(), 3u);
    EXPECT_EQ(txd.textures[0].name, "x100");
    EXPECT_EQ(txd.textures[1].name, "x101");
    EXPECT_EQ(txd.textures[1].width, 16);
    EXPECT_EQ(txd.textures[2].name, "x102");

    const ReadTxd empty = convert({}, params(TargetGame::GtaSa));
    EXPECT_EQ(empty.count, 0);
}

TEST(TxdWriter, NamesAreNeverCut) {
    const std::string prefix(29, 'n'); // + "10" = 31 characters: the longest name
    const ReadNative n = convert({[] {
                                     TestTexture t = patternTexture(8, 8, 4);
                                     t.palette[0][3] = 0;
                                     return t;
                                 }()},
                                 params(TargetGame::Gta3, prefix))
                             .textures.at(0);
    EXPECT_EQ(n.name, prefix + "10");
    EXPECT_EQ(n.mask, prefix + "10a");
    EXPECT_THROW(convert({patternTexture(8, 8, 4)}, params(TargetGame::Gta3, prefix + "n")), VeldrinError);
}

TEST(TxdWriter, OutputDoesNotDependOnTheThreadCount) {
    std::vector<TestTexture> textures;
    const int sides[] = {4, 8, 16, 32, 64, 128};
    for (int i = 0; i < 24; ++i) {
        TestTexture t = patternTexture(sides[i % 6], sides[(i * 5 + 2) % 6], i % 3 == 0 ? 8 : 4, 128, i);
        if (i % 4 == 1) t.palette[3][3] = 50;
        textures.push_back(std::move(t));
    }
    for (TargetGame target : {TargetGame::Gta3, TargetGame::GtaSa}) {
        TxdParams p = params(target);
        p.genMipMaps = true;
        p.edition = GameVersion::VcsPs2;
        const TextureLevel level = buildTextureLevel(p.edition, textures);
        const auto one = makeTxd(level.bytes, level.refs, p);
        EXPECT_EQ(readTxd(one).count, 24);
        for (int jobs : {2, 3, 8}) {
            p.jobs = jobs;
            EXPECT_EQ(makeTxd(level.bytes, level.refs, p), one) << jobs << " threads";
        }
    }
}

TEST(TxdWriter, TheFirstBadTextureInListOrderIsReportedWhateverTheThreadCount) {
    std::vector<TestTexture> textures(12, patternTexture(32, 32, 8));
    TextureLevel level = buildTextureLevel(GameVersion::LcsPs2, textures, 1);
    level.refs[4].position = -8;
    level.refs[9].position = static_cast<int64_t>(level.bytes.size());
    for (int jobs : {1, 4}) {
        TxdParams p = params(TargetGame::GtaVc);
        p.jobs = jobs;
        try {
            makeTxd(level.bytes, level.refs, p);
            ADD_FAILURE() << "bad textures accepted";
        } catch (const VeldrinError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("texture 5:", 0), 0u) << e.what();
        }
    }
}
